// The grid over a large log book: how long it takes to open it, to reach the
// last row and to come back, on an existing home (spine_bench makes one):
//   browse_bench HOME-DIR [book]
#include "store/access.h"
#include "store/workspace.h"
#include "ui/q7browse.h"
#include "core/scripted_messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "uso: browse_bench CARPETA [LIBRO]\n");
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::ScriptedMessages msgs;
    ui::setMessages(&msgs);
    store::Workspace& ws = store::Workspace::instance();
    ws.setDataDir(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/datos/"));
    const QString book = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("EA1XX");
    if (!store::NETUSE(QStringLiteral("Log") + book, true, 1, QStringLiteral("Log")))
        return 1;
    store::WorkArea* log = ws.area(QStringLiteral("Log"));
    for (const char* order : {"QsoDateTimeOn", "Call", ""}) {
        log->setOrder(QString::fromLatin1(order));
        QElapsedTimer t;
        t.start();
        ui::tQ7Browse grid(log);
        for (const char* f : {"QSODATE", "TIMEON", "CALL", "BAND", "MODE", "CODENT"})
            grid.addField(QString::fromLatin1(f));
        grid.resize(1000, 700);
        grid.show();
        QApplication::processEvents();
        const double open = double(t.nsecsElapsed()) / 1e6;
        t.restart();
        grid.scrollToBottom();
        grid.setCurrentIndex(grid.model()->index(grid.model()->rowCount() - 1, 0));
        QApplication::processEvents();
        const double bottom = double(t.nsecsElapsed()) / 1e6;
        t.restart();
        for (int i = 0; i < 50; ++i) {
            grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum() * i / 50);
            QApplication::processEvents();
        }
        const double pages = double(t.nsecsElapsed()) / 1e6 / 50;
        std::printf("order %-14s rows %7d  open %7.1f ms  last row %6.1f ms  jump and paint %5.1f ms\n",
                    *order ? order : "(natural)", grid.model()->rowCount(), open, bottom, pages);
    }
    return 0;
}

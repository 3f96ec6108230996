// The Cabrillo editor on a contest-sized file: how long from opening the file
// until the window is shown and idle, and how long a jump to the last line
// takes to paint.
//   cabrillo_editor_bench [qso-lines] [work-dir]
#include "interchange/cabrillo_editor.h"
#include "core/version.h"
#include "core/scripted_messages.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <cstdio>

namespace {

// A log in the exporter's CQ-WW-SSB layout: CR LF between lines, none after the last.
QByteArray contestLog(int qsos)
{
    QByteArray out = "START-OF-LOG: 2.0\r\nCREATED BY:" ORLANLOG_NAME " " ORLANLOG_VERSION "\r\nCONTEST: CQ-WW-SSB\r\n"
                     "CATEGORY: SINGLE-OP ALL HIGH\r\nCALLSIGN: EA1XX     \r\nNAME: Operador            \r\n";
    out.reserve(qsos * 82 + 512);
    static const char* const bands[] = {" 3650", " 7050", "14195", "21250", "28450"};
    for (int i = 0; i < qsos; ++i) {
        const QByteArray call = QByteArray("K") + QByteArray::number(i % 10) + QByteArray::number(100000 + i, 36).toUpper();
        out += QByteArray("QSO: ") + bands[i % 5] + " PH 2024-10-" + QByteArray::number(26 + i / 60000) + ' ' +
               QByteArray::number(1000 + i % 1400 / 60 * 100 + i % 60).right(4) + " EA1XX         59  14     " +
               call.leftJustified(13, ' ') + " 59  05    \r\n";
    }
    return out + "END-OF-LOG:";
}

// Runs the event loop until everything queued so far (and what it queued) has run.
void settle()
{
    for (int i = 0; i < 3; ++i) {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

int coloured(QPlainTextEdit* e)
{
    int n = 0;
    for (QTextBlock b = e->document()->begin(); b.isValid(); b = b.next())
        n += b.layout() && !b.layout()->formats().isEmpty();
    return n;
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::ScriptedMessages msgs;
    ui::setMessages(&msgs);
    const int qsos = argc > 1 ? QByteArray(argv[1]).toInt() : 116682;
    QTemporaryDir tmp;
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path();
    const QString path = QDir(dir).filePath(QStringLiteral("contest.cbr"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(contestLog(qsos)) < 0)
        return 1;
    f.close();

    QElapsedTimer t;
    t.start();
    interchange::CabrilloEditor* ed = interchange::EDITACABRILLO(path);
    const double opened = double(t.nsecsElapsed()) / 1e6;
    settle();
    const double idle = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    ed->goToLine(ed->editor()->blockCount());
    settle();
    const double last = double(t.nsecsElapsed()) / 1e6;
    std::printf("%d QSO lines, %.1f MB: shown %8.1f ms  shown and idle %8.1f ms  last line painted %6.1f ms  "
                "lines coloured %d of %d\n",
                qsos, double(QFileInfo(path).size()) / 1e6, opened, idle, last, coloured(ed->editor()),
                ed->editor()->blockCount());
    ed->editor()->document()->setModified(false);
    ed->close();
    return 0;
}

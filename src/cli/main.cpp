// orlanlog-cli: batch work and measurement on a program home, usable while the
// program or another orlanlog-cli works on the same home.
#include "app/tappl.h"
#include "store/access.h"
#include "store/home.h"
#include "store/reorga.h"
#include "store/workspace.h"
#include "ui/scripted_messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>

namespace {

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

void usage()
{
    out() << "orlanlog-cli " << ORLANLOG_VERSION << " - libro de guardia para radioaficionados\n"
          << "Uso: orlanlog-cli [--home DIR] ORDEN [opciones]\n"
          << "  init --call INDICATIVO   prepara una carpeta nueva con todas las tablas y un primer libro\n"
          << "  reorganize               compacta las tablas y regenera todos los índices\n"
          << "  check                    comprueba cada etiqueta de cada tabla con sus registros\n"
          << "  crypt                    repara el primer byte de las tablas de la carpeta de datos\n"
          << "  keygen                   muestra la próxima clave de QSO del libro activo\n"
          << "Sin --home se usa ORLANLOG_HOME o ~/.local/share/orlanlog/.\n";
    out().flush();
}

// Questions get "no" (nobody is there to answer); messages go to the terminal.
class BatchMessages : public ui::ScriptedMessages {
public:
    BatchMessages() { echo(true); }
};

// Prints each step of a long operation as one line.
class LineMeter : public ui::Meter {
public:
    void setTotal(qint64) override {}
    void setPosition(qint64) override {}
    void setText(const QString&) override {}
    void setTitle(const QString& title) override
    {
        if (title != m_title && !title.isEmpty()) {
            m_title = title;
            out() << title << '\n';
            out().flush();
        }
    }
    bool cancelled() override { return false; }

private:
    QString m_title;
};

QString activeBook()
{
    store::Workspace w;
    w.setDataDir(store::Workspace::instance().dataDir());
    store::WorkArea* b = nullptr;
    if (!w.use(QStringLiteral("libros"), {.alias = QStringLiteral("libros"), .readOnly = true}, &b))
        return {};
    QString first;
    for (b->goTop(); !b->eof(); b->skip()) {
        if (first.isEmpty())
            first = b->str(QStringLiteral("NOMBRE")).trimmed();
        if (b->logical(QStringLiteral("ACTIVO")))
            return b->str(QStringLiteral("NOMBRE")).trimmed();
    }
    return first;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const int h = int(args.indexOf(QStringLiteral("--home")));
    if (h >= 0) {
        if (h + 1 >= args.size()) {
            usage();
            return 2;
        }
        QString home = QDir(args[h + 1]).absolutePath();
        qputenv("ORLANLOG_HOME", home.toLocal8Bit());
        args.remove(h, 2);
    }
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        usage();
        return args.isEmpty() ? 0 : 0;
    }
    BatchMessages messages;
    ui::setMessages(&messages);
    TAppl* appl = TAppl::New();
    store::Workspace::instance().setProgramDir(appl->cDirLocal);
    const QString command = args[0];
    QElapsedTimer timer;
    timer.start();

    if (command == QLatin1String("init")) {
        const int c = int(args.indexOf(QStringLiteral("--call")));
        const QString call = c >= 0 && c + 1 < args.size() ? args[c + 1].trimmed().toUpper() : QString();
        if (call.isEmpty()) {
            out() << "Falta el indicativo: orlanlog-cli init --call INDICATIVO\n";
            return 2;
        }
        store::Status s = store::createHome(appl->cDirLocal, appl->cDirDat, call);
        if (!s) {
            out() << "ERROR " << s.text() << '\n';
            return 1;
        }
        out() << "Carpeta preparada: " << appl->cDirLocal << " (libro de guardia " << call << ")\n";
        return 0;
    }
    if (command == QLatin1String("reorganize")) {
        LineMeter meter;
        const bool done = store::REORGA(meter);
        out() << (done ? "Regeneración de indices concluida" : "Reorganización interrumpida")
              << " (" << timer.elapsed() << " ms)\n";
        return done && !messages.unexpected() ? 0 : 1;
    }
    if (command == QLatin1String("check")) {
        QStringList lines;
        int bad = store::checkTables(appl->cDirDat, &lines);
        if (QDir(appl->cDirRpt).exists())
            bad += store::checkTables(appl->cDirRpt, &lines);
        for (const QString& l : lines)
            out() << l << '\n';
        out() << (bad ? QStringLiteral("%1 tablas con errores").arg(bad) : QStringLiteral("Todas las tablas están correctas"))
              << " (" << timer.elapsed() << " ms)\n";
        return bad ? 1 : 0;
    }
    if (command == QLatin1String("crypt")) {
        const QString list = store::CRYPT();
        for (const QString& l : list.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            out() << l << '\n';
        return 0;
    }
    if (command == QLatin1String("keygen")) {
        const QString book = activeBook();
        if (book.isEmpty() || !store::NETUSE(QStringLiteral("Log") + book, true, 1, QStringLiteral("Log"))) {
            out() << "No hay libro de guardia activo\n";
            return 1;
        }
        out() << "Próxima clave del libro " << book << ": " << store::KEYGEN() << '\n';
        return 0;
    }
    out() << "Orden desconocida: " << command << '\n';
    usage();
    return 2;
}

// orlanlog-refdata SOURCE-DIR OUT-DIR
// Builds the reference tables that come with the program from the text files
// of data/refdata/ (the build runs it; see data/refdata/README.md).
#include "refdata/shipped.h"
#include "core/scripted_messages.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "Uso: orlanlog-refdata CARPETA-FUENTES CARPETA-SALIDA\n");
        return 2;
    }
    ui::ScriptedMessages messages;
    messages.echo(true);
    ui::setMessages(&messages);
    QStringList report;
    const store::Status s = refdata::buildShippedTables(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), &report);
    for (const QString& line : report)
        std::printf("%s\n", qPrintable(line));
    if (!s) {
        std::fprintf(stderr, "ERROR %s\n", qPrintable(s.text()));
        return 1;
    }
    return messages.unexpected() ? 1 : 0;
}

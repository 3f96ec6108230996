// Entering QSOs into the active log book: add-qso, one from the options or many
// from a tab-separated text on standard input, through the entry form's rules.
#include "commands.h"

#include "logbook/qso_entry.h"
#include "logbook/qso_values.h"
#include "store/aliases.h"
#include "store/workspace.h"

#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

using app::TAppl;
using cli::optionValue;
using cli::out;

const char kUsage[] = "add-qso INDICATIVO --date AAAAMMDD --time HH:MM --freq MHZ --mode MODO [--band B] [--rst-sent R] "
                      "[--rst-rcvd R] [--name N] [--grid LOC] [--comment C]   |   add-qso -";

int addFromStdin(logbook::QsoEntry& entry)
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly | QIODevice::Text)) {
        out() << "No se puede leer la entrada estándar\n";
        return 1;
    }
    QTextStream text(&in);
    QStringList columns;
    int line = 0, saved = 0, refused = 0;
    while (!text.atEnd()) {
        const QString l = text.readLine();
        ++line;
        if (l.trimmed().isEmpty())
            continue;
        const QStringList cells = l.split(QLatin1Char('\t'));
        if (columns.isEmpty()) {
            columns = cells;
            for (const QString& c : columns)
                if (!logbook::qsoValueNames().contains(c.trimmed(), Qt::CaseInsensitive)) {
                    out() << "Columna desconocida en la cabecera: \"" << c.trimmed() << "\" (columnas: "
                          << logbook::qsoValueNames().join(QStringLiteral(", ")) << ")\n";
                    return 2;
                }
            continue;
        }
        logbook::QsoValues v;
        for (int i = 0; i < columns.size() && i < cells.size(); ++i)
            logbook::setQsoValue(&v, columns[i].trimmed(), cells[i]);
        QString key, error;
        if (logbook::enterQso(entry, v, &key, &error)) {
            ++saved;
        } else {
            ++refused;
            out() << "Línea " << line << ": " << error << '\n';
        }
    }
    out() << saved << " QSOs grabados" << (refused ? QStringLiteral(", %1 rechazados").arg(refused) : QString()) << '\n';
    return refused ? 1 : 0;
}

int addQso(const QStringList& args, TAppl&)
{
    if (args.isEmpty()) {
        out() << "Uso: orlanlog-cli " << kUsage << '\n';
        return 2;
    }
    QString book;
    if (!cli::openBookSession(&book))
        return 1;
    store::WorkArea* log = store::Workspace::instance().area(store::alias::kLog);
    logbook::QsoEntry entry(log, logbook::sessionSettings(false));
    if (args.first() == QLatin1String("-"))
        return addFromStdin(entry);

    logbook::QsoValues v;
    v.call = args.first();
    for (const QString& name : logbook::qsoValueNames()) {
        const QByteArray option = "--" + name.toLatin1();
        if (name != QLatin1String("call"))
            logbook::setQsoValue(&v, name, optionValue(args, option.constData()));
    }
    QString key, error;
    if (!logbook::enterQso(entry, v, &key, &error)) {
        out() << error << '\n';
        return 1;
    }
    out() << key << '\n';
    return 0;
}

const cli::CommandRegistration r1({"add-qso", kUsage, "graba un QSO en el libro activo con las reglas del formulario de entrada",
                                   addQso});

} // namespace

#pragma once
// What the QSO import commands share: their options from the command line
// over the defaults the import dialogs propose, and their closing line.

#include "commands.h"

#include "interchange/adif_import.h"
#include "interchange/import_defaults.h"

#include <QFileInfo>

namespace cli {

// The file, "--dupcheck", "--operator" and "--locator" over the dialog's
// defaults: the book's operator (or its name) and the locator of the last QSO.
inline void readImportArgs(const QStringList& args, const QString& file, interchange::QsoImportOptions* opt)
{
    opt->path = QFileInfo(file).absoluteFilePath();
    opt->dupCheck = args.contains(QStringLiteral("--dupcheck"));
    const interchange::ImportDefaults d = interchange::importDefaults();
    opt->defaultOperator = d.oprDef;
    opt->operatorCall = d.operatorCall;
    opt->locator = d.locator;
    if (const QString o = optionValue(args, "--operator"); !o.isEmpty())
        opt->operatorCall = o.trimmed().toUpper();
    if (const QString l = optionValue(args, "--locator"); !l.isEmpty())
        opt->locator = l.trimmed().toUpper();
}

// Prints the import's closing message; the exit status (1 unless every record was read).
inline int importEnd(bool ok, const QString& message, bool complete)
{
    if (!ok)
        return 1;
    out() << QString(message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) << '\n';
    return complete ? 0 : 1;
}

} // namespace cli

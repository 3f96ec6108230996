// What the commands share: their arguments and the session they work in.
#include "commands.h"

#include "app/tappl.h"
#include "store/work_area.h"

#include "store/access.h"
#include "store/aliases.h"
#include "store/workspace.h"

namespace cli {

QString optionValue(const QStringList& args, const char* name)
{
    const int i = int(args.indexOf(QLatin1String(name)));
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
}

QString fileArgument(const QStringList& args, const QStringList& withValue)
{
    for (int i = 0; i < args.size(); ++i) {
        if (withValue.contains(args[i])) {
            ++i;
            continue;
        }
        if (!args[i].startsWith(QLatin1String("--")))
            return args[i];
    }
    return {};
}

bool referenceTablesPresent(TAppl& appl)
{
    store::Workspace& ws = store::Workspace::instance();
    if (ws.exists(QStringLiteral("ENT")) && ws.exists(QStringLiteral("PFX")))
        return true;
    out() << "No hay tablas de entidades y prefijos en " << appl.cDirDat << ": prepare la carpeta con orlanlog-cli init\n";
    return false;
}

bool openBookSession(QString* book)
{
    const bool opened = store::ABREDBF(nullptr, book);
    if (opened && store::Workspace::instance().area(store::alias::kLog))
        return true;
    // Say why: a table that would not open is no missing book.
    if (!store::lastOpenFailure().isEmpty())
        out() << "No se pudo abrir el libro de guardia: " << store::lastOpenFailure() << '\n';
    else
        out() << "No hay libro de guardia activo\n";
    return false;
}

QString tableCode(const QString& alias, const QString& field, const QString& code)
{
    store::WorkArea* a = store::Workspace::instance().area(alias);
    if (!a)
        return {};
    for (a->goTop(); !a->eof(); a->skip())
        if (a->str(field).trimmed().compare(code.trimmed(), Qt::CaseInsensitive) == 0)
            return a->str(field).trimmed();
    return {};
}

} // namespace cli

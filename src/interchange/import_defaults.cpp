#include "import_defaults.h"

#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

namespace interchange {

ImportDefaults importDefaults()
{
    ImportDefaults d;
    store::Workspace& ws = store::Workspace::instance();
    for (const char* alias : {"LibBrw", "libros"}) {
        if (store::WorkArea* b = ws.area(QString::fromLatin1(alias)); b && !b->eof()) {
            d.book = b->str(QStringLiteral("NOMBRE")).trimmed();
            d.oprDef = b->str(QStringLiteral("OPRDEF")).trimmed();
            d.operatorCall = (d.oprDef.isEmpty() ? d.book : d.oprDef).toUpper();
            break;
        }
    }
    if (store::WorkArea* log = ws.area(store::alias::kLog)) {
        const quint32 rec = log->recNo();
        const bool eof = log->eof();
        log->goBottom();
        if (!log->eof())
            d.locator = log->str(QStringLiteral("QRA")).trimmed();
        if (!eof)
            log->goTo(rec);
    }
    return d;
}

} // namespace interchange

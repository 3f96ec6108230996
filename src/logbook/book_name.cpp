#include "book_name.h"

#include "book_hooks.h"

#include "core/messages.h"
#include "store/table_file.h"
#include "store/workspace.h"

namespace logbook {

bool CHKNOM(const QString& typed)
{
    const QString name = typed.trimmed();
    if (name.isEmpty())
        return false;
    // characters that would make the name no single file name (a dot would
    // give the QSO table a second extension)
    static const QString kForbidden = QStringLiteral("?*^\\/.|");
    for (const QChar c : name)
        if (kForbidden.contains(c)) {
            ui::messages().stop(name + QStringLiteral("\r\nContiene carácteres no válidos"));
            return false;
        }
    const QString logFile = store::Workspace::instance().dataDir() + QStringLiteral("log") + name + QStringLiteral(".dbf");
    if (!store::findFileNoCase(logFile).isEmpty()) {
        ui::messages().stop(name + QStringLiteral(" ya esta en uso\r\nescriba otro nombre para el fichero"), hooks().displayName);
        return false;
    }
    return true;
}

QString bookName(const QString& typed) { return typed.trimmed().toUpper(); }

} // namespace logbook

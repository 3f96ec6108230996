// Menu entries of the ADIF import and export, and of the Radioges import
// (another logger's Access database, read into the book as the ADIF import does).
#include "command_registry.h"
#include "main_frame.h"
#include "tappl.h"
#include "windows.h"

#include "interchange/adif_export_dialog.h"
#include "interchange/adif_import.h"
#include "interchange/adif_import_dialog.h"
#include "interchange/radioges_import_dialog.h"

#include <QDir>

namespace app {

void registerAdifCommands(CommandRegistry& r)
{
    r.registerCommand(CommandId::ImportAdif, [](MainFrame* frame) {
        interchange::AdifImportOptions o;
        o.appl = oAppl->cAppl;
        if (!interchange::adifImportDialog(oAppl->cName + QLatin1Char(' ') + oAppl->cVer, QDir::currentPath(), &o, frame))
            return;
        MSGMETER([&o](ui::Meter& m) { interchange::ADIFIMP(m, o); }, QStringLiteral("Procesando..."),
                 QStringLiteral("Importando datos ... "));
        REFWND(WindowId::Log);
    });
    r.registerCommand(CommandId::ImportRadioges, [](MainFrame* frame) {
        interchange::RadiogesImportOptions o;
        if (!interchange::radiogesImportDialog(oAppl->cName + QLatin1Char(' ') + oAppl->cVer, QDir::currentPath(), &o, frame))
            return;
        MSGMETER([&o](ui::Meter& m) { interchange::RGIMP(m, o); }, QStringLiteral("Procesando..."),
                 QStringLiteral("Importando Radioges ..."));
        REFWND(WindowId::Log);
    });
    r.registerCommand(CommandId::ExportAdif, [](MainFrame* frame) {
        interchange::adifExportCommand({oAppl->cName, oAppl->cVer, oAppl->cAppl}, QDir::currentPath(), oAppl->cLibro, frame);
    });
}

} // namespace app

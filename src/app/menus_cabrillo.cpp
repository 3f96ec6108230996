// Menu entries of the Cabrillo import and export.
#include "command_registry.h"
#include "main_frame.h"
#include "tappl.h"
#include "windows.h"

#include "interchange/cabrillo_export_dialog.h"
#include "interchange/cabrillo_import.h"
#include "interchange/cabrillo_import_dialog.h"

namespace app {

void registerCabrilloCommands(CommandRegistry& r)
{
    r.registerCommand(CommandId::ImportCabrillo, [](MainFrame* frame) {
        interchange::CabrilloImportOptions o;
        if (!interchange::cabrilloImportDialog(oAppl->cName + QLatin1Char(' ') + oAppl->cVer, oAppl->cDirLocal, &o, frame))
            return;
        MSGMETER([&o](ui::Meter& m) { interchange::CBRIMP(o, m); }, QStringLiteral("Procesando..."),
                 QStringLiteral("Importando datos ... "));
        REFWND(WindowId::Log);
    });
    r.registerCommand(CommandId::ExportCabrillo,
                      [](MainFrame* frame) { interchange::EXPCABRILLO(oAppl->cName, oAppl->cVer, oAppl->cDirLocal, frame); });
}

} // namespace app

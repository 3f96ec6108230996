// Menu entry of the LoTW confirmations.
#include "command_registry.h"
#include "main_frame.h"
#include "windows.h"

#include "interchange/lotw_import.h"
#include "interchange/lotw_import_dialog.h"

namespace app {

void registerLotwCommands(CommandRegistry& r)
{
    r.registerCommand(CommandId::ImportLotw, [](MainFrame* frame) {
        QString path;
        if (!interchange::lotwImportDialog(&path, frame))
            return;
        MSGMETER([&path](ui::Meter& m) { interchange::LOTWIMP(path, m); }, QStringLiteral("Procesando..."),
                 QStringLiteral("Importando datos QSL LOTW  ..."));
        REFWND(WindowId::Log);
    });
}

} // namespace app

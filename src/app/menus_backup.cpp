// Menu entries of the backup and its restore ("Copia/restaruarción").
#include "command_registry.h"
#include "main_frame.h"

#include "upgrade/views/backup_dialog.h"

namespace app {

void registerBackupCommands(CommandRegistry& r)
{
    r.registerCommand(CommandId::Backup, [](MainFrame* frame) { upgrade::backupCommand(frame); });
    r.registerCommand(CommandId::Restore, [](MainFrame* frame) { upgrade::restoreCommand(frame); });
}

} // namespace app

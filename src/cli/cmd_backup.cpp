// orlanlog-cli backup, restore and migrate: the menu's backup and restore and
// the start-up's version migration, through the same code.
#include "commands.h"

#include "app/tappl.h"
#include "store/workspace.h"
#include "upgrade/backup.h"
#include "upgrade/migration.h"

#include <QFileInfo>

namespace {

using cli::out;
using cli::TAppl;

int backup(const QStringList& args, TAppl& appl)
{
    if (args.size() != 1) {
        out() << "Uso: orlanlog-cli backup CARPETA|FICHERO.q7z\n";
        return 2;
    }
    (void)appl;
    return upgrade::LOGBCK(args[0]) ? 0 : 1;
}

int restore(const QStringList& args, TAppl& appl)
{
    if (args.size() != 1) {
        out() << "Uso: orlanlog-cli restore FICHERO.q7z\n";
        return 2;
    }
    (void)appl;
    store::Workspace::instance().closeAll();
    // asked here by the command itself: the archive replaces the current data
    if (!upgrade::LOGRST(QFileInfo(args[0]).absoluteFilePath(), false))
        return 1;
    upgrade::storeBackupFolder(QFileInfo(args[0]).absolutePath());
    return 0;
}

int migrate(const QStringList& args, TAppl& appl)
{
    if (!args.isEmpty()) {
        out() << "Uso: orlanlog-cli migrate\n";
        return 2;
    }
    const QStringList missing = upgrade::missingSteps(appl.cDirLocal);
    if (missing.isEmpty()) {
        out() << "Los datos ya están al día\n";
        return 0;
    }
    store::Workspace::instance().closeAll();
    const upgrade::MigrationReport r = upgrade::ACTVER();
    if (!r.done.isEmpty())
        out() << "Pasos hechos: " << r.done.join(QLatin1Char(' ')) << '\n';
    if (!r.postponed.isEmpty())
        out() << "Pasos pendientes para el próximo inicio: " << r.postponed.join(QLatin1Char(' ')) << '\n';
    return 0;
}

const cli::CommandRegistration r1({"backup", "backup CARPETA|FICHERO.q7z",
                                   "copia de seguridad de libros, diplomas, ajustes y marcas de versión", backup});
const cli::CommandRegistration r2({"restore", "restore FICHERO.q7z",
                                   "recupera una copia de seguridad y actualiza sus datos a esta versión", restore});
const cli::CommandRegistration r3({"migrate", "migrate", "actualiza los datos guardados a esta versión", migrate});

} // namespace

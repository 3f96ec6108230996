#pragma once
// Backup and restore of the user's own data (LOGBCK, LOGRST) as one ZIP
// archive, deflated at level 9, of plain file names: every data file whose
// name begins with "log", "att" or "dpl", the version markers of the program
// directory, "Libros.dbf", "cfg.dbf" and the settings file. The archive is
// named after the day: folder + yyyymmdd + "OrlanLog.q7z".
//
// A backup that fails half-way (a full disk, a file that cannot be read)
// leaves no archive and says so. A restore first unpacks the whole archive
// into a folder of its own beside the data directory, checking every entry;
// only a complete archive replaces the current files, so a damaged one leaves
// them untouched. An entry whose name holds a folder or ".." is refused.

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

namespace upgrade {

// What the operations need of the program around them: close every window and
// table before (and drop the session marker "Borra.me"), and afterwards make
// the marker again and open everything (the second start-up stage). The
// command line leaves them empty.
struct MaintenanceShell {
    std::function<void()> closeAll;
    std::function<void()> reopen;
    // Runs the migration inside its wait box; empty: run it directly.
    std::function<void(const std::function<void()>&)> inWaitBox;
};
MaintenanceShell& maintenanceShell();

// folder + "/" + yyyymmdd + "OrlanLog.q7z".
QString backupFileName(const QString& folder, const QDate& day = QDate::currentDate());
// The files a backup holds, in archive order (see above); iniFile may be empty.
QStringList backupFiles(const QString& programDir, const QString& dataDir, const QString& iniFile);

// COMPRIME: the archive of files, in the progress box "Espere ejecutando La
// copia de seguridad...", then the final message. True on success.
bool COMPRIME(const QString& archive, const QStringList& files);
// DESCOMPRIME: every entry of archive into folder (plain names only), in the
// progress box "Espere ejecutando recuperación de datos...". Nothing is
// written unless the whole archive reads well. No final message: the restore
// tells the outcome once the files are in place.
bool DESCOMPRIME(const QString& archive, const QString& folder, QStringList* names = nullptr, QString* error = nullptr);

// The folder last used for a backup or restore (cfg field BCKFLD), trimmed.
QString storedBackupFolder();
void storeBackupFolder(const QString& folder);

// LOGBCK once the folder is chosen: the overwrite question, the test that the
// archive can be created, closing, compressing, reopening, BCKFLD. A target
// ending in ".q7z" is taken as the archive's own name (the command line).
// True when the archive was written whole.
bool LOGBCK(const QString& folderOrFile);

// LOGRST once the archive is chosen: the question (unless asked is false),
// closing, unpacking beside the data, putting the files, the settings file and
// the markers in place, the migration, reopening. True when the data was restored.
bool LOGRST(const QString& archive, bool ask = true);

} // namespace upgrade

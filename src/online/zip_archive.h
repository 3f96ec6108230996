#pragma once
// The program's ZIP archives (QSL format files, downloaded tables, backups):
// entries are plain file names without folders, deflated at level 9. One
// reader and one writer over minizip serve every caller.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

namespace online {

struct UnpackResult {
    bool ok = false;
    QStringList files;       // the names written, in archive order
    QString error;
};

struct UnpackOptions {
    // Refuse an entry whose name holds a folder part ("a/b", "..\\x") instead
    // of keeping only its file name. Backups are read this way.
    bool plainNamesOnly = false;
    // Called before each entry is written (0-based index, count, name).
    std::function<void(int index, int count, const QString& name)> progress;
};

// Reads every entry of archive and writes it into folder, each through a
// temporary file. An entry named "..", ".", empty or holding a NUL is
// refused, and so is one with a folder part under plainNamesOnly (otherwise
// it keeps only its file name). Nothing is written unless every entry could
// be read whole and its CRC checked (the archive is read first).
UnpackResult unpackZip(const QString& archive, const QString& folder, const UnpackOptions& options = {});

// Writes a ZIP archive of in-memory entries at path, through path + ".part"
// renamed over it only when written whole. On failure false and a Spanish reason.
bool writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& entries, QString* error = nullptr);

// The same for files on disk, each stored under its file name and read in
// pieces. progress is called before each file (0-based index, name); when it
// returns false the archive is abandoned. A file that cannot be read whole,
// or a write that fails (a full disk), gives false and leaves no archive.
bool zipFiles(const QString& path, const QStringList& files,
              const std::function<bool(int index, const QString& name)>& progress = {}, QString* error = nullptr);

} // namespace online

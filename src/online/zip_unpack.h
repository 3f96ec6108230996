#pragma once
// Unpacks a ZIP archive whose entries are plain file names (no folders), as
// the program's own archives are made.

#include <QString>
#include <QStringList>

namespace online {

struct UnpackResult {
    bool ok = false;
    QStringList files;       // the names written, in archive order
    QString error;
};

// Reads every entry of archive and writes it into folder, each through a
// temporary file. An entry with a folder part keeps only its file name; an
// entry named "..", empty or holding a NUL is refused. Nothing is written
// unless every entry could be read whole (the archive is checked first).
UnpackResult unpackZip(const QString& archive, const QString& folder);

} // namespace online

#pragma once
// Files the QSL printing writes are made beside their final name (".part")
// and take its place only when whole.

#include <QFile>
#include <QString>

namespace qsl {

// When written is true, part replaces path; otherwise part goes. False, with
// the Spanish reason in *error, when path was not replaced.
inline bool finishPart(bool written, const QString& part, const QString& path, QString* error)
{
    if (written) {
        QFile::remove(path);
        written = QFile::rename(part, path);
    }
    if (!written) {
        QFile::remove(part);
        if (error)
            *error = QStringLiteral("No se pudo escribir el fichero %1").arg(path);
    }
    return written;
}

} // namespace qsl

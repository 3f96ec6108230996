#include "zip_unpack.h"

#include "download.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

#include <unzip.h>

#include <utility>
#include <vector>

namespace online {

namespace {

constexpr qint64 kLargestEntry = 512LL * 1024 * 1024;

struct Entry {
    QString name;
    QByteArray bytes;
};

// The file name an entry is written under, empty when it must be refused.
QString safeName(const QByteArray& raw)
{
    if (raw.contains('\0'))
        return {};
    QString name = QString::fromUtf8(raw);
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.section(QLatin1Char('/'), -1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    return name;
}

} // namespace

UnpackResult unpackZip(const QString& archive, const QString& folder)
{
    UnpackResult r;
    unzFile zip = unzOpen64(QFile::encodeName(archive).constData());
    if (!zip) {
        r.error = QStringLiteral("El fichero ") + QFileInfo(archive).fileName() + QStringLiteral(" no es un archivo ZIP válido");
        return r;
    }
    std::vector<Entry> entries;
    int rc = unzGoToFirstFile(zip);
    while (rc == UNZ_OK) {
        unz_file_info64 info{};
        char name[512] = {};
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name - 1, nullptr, 0, nullptr, 0) != UNZ_OK) {
            r.error = QStringLiteral("El archivo ZIP está dañado");
            break;
        }
        const QByteArray rawName(name);
        if (rawName.endsWith('/')) {   // a folder entry: nothing to write
            rc = unzGoToNextFile(zip);
            continue;
        }
        const QString file = safeName(rawName);
        if (file.isEmpty()) {
            r.error = QStringLiteral("El archivo ZIP contiene un nombre no válido: ") + QString::fromUtf8(rawName);
            break;
        }
        if (qint64(info.uncompressed_size) > kLargestEntry) {
            r.error = QStringLiteral("El archivo ZIP contiene un fichero demasiado grande: ") + file;
            break;
        }
        if (unzOpenCurrentFile(zip) != UNZ_OK) {
            r.error = QStringLiteral("No puede leerse ") + file + QStringLiteral(" del archivo ZIP");
            break;
        }
        QByteArray bytes;
        bytes.reserve(qsizetype(info.uncompressed_size));
        char buffer[65536];
        int n = 0;
        while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0 && bytes.size() <= kLargestEntry)
            bytes.append(buffer, n);
        // the CRC is checked when the entry is closed after reading it whole
        const int closed = unzCloseCurrentFile(zip);
        if (n < 0 || closed != UNZ_OK || bytes.size() != qint64(info.uncompressed_size)) {
            r.error = QStringLiteral("El archivo ZIP está dañado (") + file + QLatin1Char(')');
            break;
        }
        entries.push_back({file, std::move(bytes)});
        rc = unzGoToNextFile(zip);
    }
    if (r.error.isEmpty() && rc != UNZ_END_OF_LIST_OF_FILE)
        r.error = QStringLiteral("El archivo ZIP está dañado");
    unzClose(zip);
    if (!r.error.isEmpty())
        return r;
    if (entries.empty()) {
        r.error = QStringLiteral("El archivo ZIP está vacío");
        return r;
    }
    QDir().mkpath(folder);
    for (const Entry& e : entries) {
        if (const QString problem = replaceFile(QDir(folder).filePath(e.name), e.bytes); !problem.isEmpty()) {
            r.error = problem;
            return r;
        }
        r.files << e.name;
    }
    r.ok = true;
    return r;
}

} // namespace online

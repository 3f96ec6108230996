#include "zip_archive.h"

#include "download.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

#include <unzip.h>
#include <zip.h>

#include <QDateTime>
#include <QFile>

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
QString safeName(const QByteArray& raw, bool plainOnly)
{
    if (raw.contains('\0'))
        return {};
    QString name = QString::fromUtf8(raw);
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (plainOnly && name.contains(QLatin1Char('/')))
        return {};
    name = name.section(QLatin1Char('/'), -1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    return name;
}

} // namespace

UnpackResult unpackZip(const QString& archive, const QString& folder, const UnpackOptions& options)
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
        if (rawName.endsWith('/') && !options.plainNamesOnly) {   // a folder entry: nothing to write
            rc = unzGoToNextFile(zip);
            continue;
        }
        const QString file = safeName(rawName, options.plainNamesOnly);
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
    int index = 0;
    for (const Entry& e : entries) {
        if (options.progress)
            options.progress(index++, int(entries.size()), e.name);
        if (const QString problem = replaceFile(QDir(folder).filePath(e.name), e.bytes); !problem.isEmpty()) {
            r.error = problem;
            return r;
        }
        r.files << e.name;
    }
    r.ok = true;
    return r;
}

namespace {

zip_fileinfo nowInfo()
{
    zip_fileinfo info{};
    const QDateTime now = QDateTime::currentDateTime();
    info.tmz_date.tm_year = uInt(now.date().year());
    info.tmz_date.tm_mon = uInt(now.date().month() - 1);
    info.tmz_date.tm_mday = uInt(now.date().day());
    info.tmz_date.tm_hour = uInt(now.time().hour());
    info.tmz_date.tm_min = uInt(now.time().minute());
    info.tmz_date.tm_sec = uInt(now.time().second());
    return info;
}

bool openEntry(zipFile z, const QString& name, bool large = false)
{
    const zip_fileinfo info = nowInfo();
    const QByteArray e = name.toUtf8();
    return zipOpenNewFileInZip3_64(z, e.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 9, 0,
                                   -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, large ? 1 : 0) == ZIP_OK;
}

// Closes the archive and puts the ".part" file in place of path when all went well.
bool finish(zipFile z, bool ok, const QString& part, const QString& path, QString* error, const QString& why)
{
    if (z && zipClose(z, nullptr) != ZIP_OK)
        ok = false;
    if (ok) {
        QFile::remove(path);
        ok = QFile::rename(part, path);
    }
    if (!ok) {
        QFile::remove(part);
        if (error)
            *error = why.isEmpty() ? QStringLiteral("No puede escribirse el fichero ") + path : why;
    }
    return ok;
}

} // namespace

bool writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& entries, QString* error)
{
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    zipFile z = zipOpen64(QFile::encodeName(part).constData(), APPEND_STATUS_CREATE);
    bool ok = z != nullptr;
    for (const auto& [entry, data] : entries) {
        if (!ok)
            break;
        ok = openEntry(z, entry) && zipWriteInFileInZip(z, data.constData(), unsigned(data.size())) == ZIP_OK
             && zipCloseFileInZip(z) == ZIP_OK;
    }
    return finish(z, ok, part, path, error, QString());
}

bool zipFiles(const QString& path, const QStringList& files,
              const std::function<bool(int index, const QString& name)>& progress, QString* error)
{
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    zipFile z = zipOpen64(QFile::encodeName(part).constData(), APPEND_STATUS_CREATE);
    bool ok = z != nullptr;
    QString why;
    for (int i = 0; ok && i < files.size(); ++i) {
        const QString name = QFileInfo(files[i]).fileName();
        if (progress && !progress(i, name)) {
            ok = false;
            why = QStringLiteral("Copia interrumpida");
            break;
        }
        QFile in(files[i]);
        if (!in.open(QIODevice::ReadOnly)) {
            ok = false;
            why = QStringLiteral("No puede leerse el fichero ") + files[i];
            break;
        }
        if (!openEntry(z, name, in.size() >= 0xFFFFFFFFLL)) {
            ok = false;
            break;
        }
        char buffer[65536];
        qint64 n = 0;
        qint64 total = 0;
        while (ok && (n = in.read(buffer, sizeof buffer)) > 0) {
            ok = zipWriteInFileInZip(z, buffer, unsigned(n)) == ZIP_OK;
            total += n;
        }
        if (n < 0 || total != in.size()) {
            ok = false;
            why = QStringLiteral("No puede leerse el fichero ") + files[i];
        }
        if (zipCloseFileInZip(z) != ZIP_OK)
            ok = false;
    }
    return finish(z, ok, part, path, error, why);
}

} // namespace online

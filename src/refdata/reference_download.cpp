#include "reference_download.h"

#include "online/download.h"
#include "online/endpoints.h"
#include "store/catalogue.h"
#include "store/dbf_header.h"
#include "store/table_file.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace refdata {

namespace {

// Records of the table file at path, 0 when it cannot be read.
quint32 recordsOf(const QString& path)
{
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = f.read(store::DbfHeader::kPrefix);
    if (prefix.size() < store::DbfHeader::kPrefix)
        return 0;
    const auto* p = reinterpret_cast<const uchar*>(prefix.constData()) + store::dbf::kRecCount;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// Moves from onto to, replacing it; POSIX rename does both at once.
bool moveOver(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Writes the checked bytes as a table of its own, builds its index with the
// program's tags, then moves table and index in place of the old ones.
QString install(const store::catalogue::TableDef& def, QByteArray bytes, const QString& dataDir)
{
    const QString staged = QDir(dataDir).filePath(def.name.toLower() + QStringLiteral("_descarga.dbf"));
    const QString stagedIndex = store::companionFile(staged, "cdx");
    // the index comes from us, whatever the file claims
    bytes[store::dbf::kFlags] = char(quint8(bytes[store::dbf::kFlags]) & ~store::DbfHeader::kFlagCdx);
    QFile::remove(stagedIndex);
    if (const QString w = online::replaceFile(staged, bytes); !w.isEmpty())
        return w;
    store::Workspace w;
    w.setDataDir(dataDir);
    store::WorkArea* a = nullptr;
    store::Status s = w.use(staged, {.alias = QStringLiteral("descarga"), .shared = false}, &a);
    if (s) {
        store::TableFile::RebuildPlan plan;
        for (const store::catalogue::TagDef& t : def.tags)
            plan.tags.push_back(t.tagSpec(true));
        s = a->table().rebuild(plan);
    }
    w.closeAll();
    if (!s) {
        QFile::remove(staged);
        QFile::remove(stagedIndex);
        return s.text();
    }
    QString table = store::findFileNoCase(QDir(dataDir).filePath(def.name + QStringLiteral(".dbf")));
    if (table.isEmpty())
        table = QDir(dataDir).filePath(def.name.toLower() + QStringLiteral(".dbf"));
    QString index = store::findFileNoCase(store::companionFile(table, "cdx"));
    if (index.isEmpty())
        index = store::companionFile(table, "cdx");
    // the index first: a table with the old index would be found wrongly
    if (!moveOver(stagedIndex, index) || !moveOver(staged, table)) {
        QFile::remove(staged);
        QFile::remove(stagedIndex);
        return QStringLiteral("No puede sustituirse ") + QFileInfo(table).fileName();
    }
    return {};
}

// Nobody else may have the table open while its files are replaced.
QString busyProblem(const QString& name, const QString& dataDir)
{
    store::Workspace w;
    w.setDataDir(dataDir);
    if (!w.exists(name))
        return {};
    const store::Status s = w.use(name, {.alias = QStringLiteral("probe"), .shared = false});
    w.closeAll();
    if (s.code() == store::StatusCode::Busy)
        return QStringLiteral("otro usuario o programa tiene abierta la tabla ") + name;
    return {};
}

} // namespace

QString referenceTableProblem(const QString& name, const QByteArray& bytes, const QString& current)
{
    store::catalogue::TableDef def;
    store::catalogue::findTable(QFileInfo(name).completeBaseName(), &def);
    store::DbfHeader h;
    if (const store::Status s = store::DbfHeader::parse(bytes, bytes.size(), name, &h); !s)
        return QStringLiteral("El fichero ") + name + QStringLiteral(" descargado no es una tabla válida: ") + s.text();
    for (const store::FieldSpec& f : def.fields) {
        const int i = h.fieldIndex(f.name.toUpper());
        if (i < 0 || h.fields[size_t(i)].type != f.type)
            return QStringLiteral("El fichero ") + name + QStringLiteral(" descargado no tiene el campo ") + QString::fromLatin1(f.name);
    }
    const qint64 needed = qint64(h.headerLen) + qint64(h.recCount) * h.recordLen;
    if (needed > bytes.size())
        return QStringLiteral("El fichero ") + name + QStringLiteral(" descargado está incompleto");
    const quint32 before = recordsOf(current);
    if (h.recCount == 0 || h.recCount < before / 2)
        return QStringLiteral("El fichero ") + name + QStringLiteral(" descargado tiene %1 registros, la tabla actual %2: no se sustituye")
                                                      .arg(h.recCount)
                                                      .arg(before);
    return {};
}

ReferenceDownload downloadReferenceTables(const QString& base, const QString& dataDir)
{
    ReferenceDownload result;
    const store::catalogue::TableDef defs[] = {store::catalogue::ent(), store::catalogue::pfx()};
    for (const store::catalogue::TableDef& def : defs) {
        const QString file = def.name.toLower() + QStringLiteral(".dbf");
        if (const QString busy = busyProblem(def.name, dataDir); !busy.isEmpty()) {
            result.problems << file + QStringLiteral(": ") + busy;
            continue;
        }
        QByteArray bytes;
        const online::DownloadResult r =
            online::downloadBytes(online::joinUrl(base, QStringLiteral("/winorlanlog/datos/") + file), &bytes);
        if (!r.ok) {
            result.problems << file + QStringLiteral(": ") + r.error;
            continue;
        }
        const QString current = store::findFileNoCase(QDir(dataDir).filePath(file));
        if (const QString problem = referenceTableProblem(file, bytes, current); !problem.isEmpty()) {
            result.problems << problem;
            continue;
        }
        if (const QString problem = install(def, bytes, dataDir); !problem.isEmpty()) {
            result.problems << file + QStringLiteral(": ") + problem;
            continue;
        }
        result.replaced << file;
    }
    return result;
}

} // namespace refdata

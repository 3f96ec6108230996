// Packing and rebuilding a table beside its files: nothing of the old table is
// touched until the new one is complete and on disk.
#include "table_file.h"

#include "record_codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace store {

namespace {

// Where the new files are written: "Name.new.dbf" beside "Name.dbf", with the
// extension in the case of the table's.
QString newDbfPath(const QString& dbfPath)
{
    const QFileInfo fi(dbfPath);
    return fi.path() + QLatin1Char('/') + fi.completeBaseName() + QStringLiteral(".new.") + fi.suffix();
}

void removeNewFiles(const QString& newDbf)
{
    QFile::remove(newDbf);
    for (const char* ext : {"fpt", "cdx"})
        QFile::remove(companionFile(newDbf, ext));
}

Status syncPath(const QString& path, bool directory = false)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), (directory ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
    if (fd < 0)
        return {StatusCode::IoError, QStringLiteral("No se pudo abrir %1").arg(path), errno};
    const int rc = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    if (rc != 0)
        return {StatusCode::IoError, QStringLiteral("No se pudo escribir en el disco %1").arg(path), err};
    return {};
}

Status renameOver(const QString& from, const QString& to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return {StatusCode::IoError, QStringLiteral("No se pudo sustituir %1").arg(to), errno};
    return {};
}

} // namespace

std::vector<TagSpec> TableFile::tagSpecs() const
{
    std::vector<TagSpec> specs;
    for (int i = 0; m_cdx && i < m_cdx->tagCount(); ++i)
        specs.push_back(m_cdx->tag(i)->definition());
    return specs;
}

Status TableFile::pack()
{
    return rebuild({{}, tagSpecs()});
}

// Records after the header's count that are there and well formed.
quint32 TableFile::wellFormedTail()
{
    const qint64 room = (m_dbf.size() - m_header.headerLen) / m_header.recordLen;
    quint32 n = 0;
    QByteArray rec(m_header.recordLen, '\0');
    for (qint64 r = qint64(m_header.recCount) + 1; r <= room && r < 0xFFFFFFFFll; ++r) {
        if (!m_dbf.readAt(m_header.headerLen + (r - 1) * m_header.recordLen, rec.data(), rec.size()))
            break;
        if (!wellFormedRecord(m_header, rec.constData()))
            break;
        ++n;
    }
    return n;
}

Status TableFile::writeKept(const RebuildPlan& plan, quint32 count, const QString& dbfOut, const QString& memoOut,
                            quint32* kept)
{
    OsFile out;
    MemoFile memo;
    if (Status s = out.open(dbfOut, true, true); !s)
        return s;
    if (!memoOut.isEmpty())
        if (Status s = memo.create(memoOut, m_memo.blockSize()); !s)
            return s;
    // the header as it is, bytes we do not understand included (foreign back-link areas)
    QByteArray head(m_header.headerLen, '\0');
    if (Status s = m_dbf.readAt(0, head.data(), head.size()); !s)
        return s;
    if (Status s = out.writeAt(0, head.constData(), head.size()); !s)
        return s;
    const int rl = m_header.recordLen;
    constexpr quint32 kChunk = 256;
    QByteArray in, buf;
    *kept = 0;
    for (quint32 first = 1; first <= count; first += kChunk) {
        const quint32 n = qMin(kChunk, count - first + 1);
        in.resize(qsizetype(n) * rl);
        if (Status s = m_dbf.readAt(qint64(m_header.headerLen) + qint64(first - 1) * rl, in.data(), in.size()); !s)
            return s;
        buf.clear();
        for (quint32 i = 0; i < n; ++i) {
            char* rec = in.data() + qsizetype(i) * rl;
            // a record that cannot be one says the header does not describe the file
            if (!wellFormedRecord(m_header, rec))
                return {StatusCode::Corrupt, QStringLiteral("el registro %1 no corresponde a la descripción de los "
                                                            "campos de la cabecera").arg(first + i)};
            const bool keep = plan.keep ? plan.keep(first + i, rec) : rec[0] != '*';
            if (!keep)
                continue;
            for (const DbfField& f : m_header.fields) {
                if (f.type != 'M' || memoBlock(f, rec) == 0)
                    continue;
                QByteArray data;
                bool binary = false;
                if (Status s = readMemo(f, rec, &data, &binary); !s)
                    return {s.code(), QStringLiteral("registro %1, memo %2: %3")
                                          .arg(first + i).arg(QString::fromLatin1(f.name), s.message())};
                quint32 block = 0;
                if (Status s = memo.write(0, data, binary, &block); !s)
                    return s;
                encodeMemoBlock(f, block, rec);
            }
            buf.append(rec, rl);
            ++*kept;
        }
        if (Status s = out.writeAt(qint64(m_header.headerLen) + qint64(*kept) * rl - buf.size(), buf.constData(), buf.size());
            !s)
            return s;
    }
    const char eof = 0x1A;
    if (Status s = out.writeAt(qint64(m_header.headerLen) + qint64(*kept) * rl, &eof, 1); !s)
        return s;
    DbfHeader h = m_header;
    h.recCount = *kept;
    h.updated = QDate::currentDate();
    h.flags = plan.tags.empty() ? h.flags & ~DbfHeader::kFlagCdx : h.flags | DbfHeader::kFlagCdx;
    char prefix[32];
    h.encodePrefix(prefix);
    if (Status s = out.writeAt(1, prefix + 1, 7); !s)
        return s;
    return out.writeAt(28, prefix + 28, 1);
}

Status TableFile::rebuild(const RebuildPlan& plan, RebuildReport* report)
{
    if (Status s = needExclusive("Compactar"); !s)
        return s;
    RebuildReport r;
    r.recovered = wellFormedTail();
    const QString newDbf = newDbfPath(m_dbf.path());
    const QString newMemo = m_memo.isOpen() ? companionFile(newDbf, "fpt") : QString();
    const QString newCdx = companionFile(newDbf, "cdx");
    removeNewFiles(newDbf);   // left by a reorganisation that did not end

    Status s = writeKept(plan, m_header.recCount + r.recovered, newDbf, newMemo, &r.kept);
    if (s && !plan.tags.empty()) {
        std::shared_ptr<TableFile> fresh;
        s = open(newDbf, false, false, &fresh);
        for (size_t i = 0; s && i < plan.tags.size(); ++i)
            s = fresh->createTag(plan.tags[i], plan.progress);
    }
    for (const QString& p : {newDbf, newMemo, plan.tags.empty() ? QString() : newCdx})
        if (s && !p.isEmpty())
            s = syncPath(p);
    if (!s) {
        removeNewFiles(newDbf);
        return s;
    }

    // The swap. The old index is marked as being written first: should the
    // process die between the renames, whoever opens the table next finds an
    // index to rebuild rather than one that answers for the old records.
    if (m_cdx)
        if (s = m_cdx->markInFlux(); !s) {
            removeNewFiles(newDbf);
            return s;
        }
    const QString cdxPath = m_cdxPath.isEmpty() ? companionFile(m_dbf.path(), "cdx") : m_cdxPath;
    if (!newMemo.isEmpty())
        s = renameOver(newMemo, m_memoPath);
    if (s)
        s = renameOver(newDbf, m_dbf.path());
    if (s && !plan.tags.empty())
        s = renameOver(newCdx, cdxPath);
    else if (s && !m_cdxPath.isEmpty())
        QFile::remove(m_cdxPath);
    if (!s) {
        removeNewFiles(newDbf);
        return s;
    }
    syncPath(QFileInfo(m_dbf.path()).path(), true);
    if (report)
        *report = r;
    return reopenAfterRewrite();
}

} // namespace store

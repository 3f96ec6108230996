#include "table_file.h"

#include "record_codec.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <map>

namespace store {

namespace {

// Tables open in this process, by canonical path. Never destroyed: work areas
// of static workspaces close their tables during exit, after other statics are gone.
std::map<QString, std::weak_ptr<TableFile>>& registry()
{
    static auto* r = new std::map<QString, std::weak_ptr<TableFile>>;
    return *r;
}

QString canonical(const QString& path)
{
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? QFileInfo(path).absoluteFilePath() : c;
}


class RecordContext : public ExprContext {
public:
    RecordContext(TableFile* t, quint32 rec, const char* record) : m_t(t), m_rec(rec), m_record(record) {}
    Value field(int i) const override { return m_t->fieldValue(i, m_rec, m_record); }
    quint32 recNo() const override { return m_rec; }
    bool deleted() const override { return m_record[0] == '*'; }
private:
    TableFile* m_t;
    quint32 m_rec;
    const char* m_record;
};

// How long an append waits for another one before it reports the table busy.
constexpr int kAppendPatienceMs = 250;

void sleepMs(int ms)
{
    struct timespec ts {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&ts, nullptr);
}
} // namespace

QString companionFile(const QString& dbfPath, const char* ext)
{
    const QFileInfo fi(dbfPath);
    QString e = QString::fromLatin1(ext);
    if (fi.suffix() == fi.suffix().toUpper() && !fi.suffix().isEmpty())
        e = e.toUpper();
    return fi.path() + QLatin1Char('/') + fi.completeBaseName() + QLatin1Char('.') + e;
}

QString findFileNoCase(const QString& path)
{
    const QFileInfo fi(path);
    if (fi.exists())
        return fi.filePath();
    const QDir dir = fi.dir();
    if (!dir.exists())
        return {};
    const QString wanted = fi.fileName();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& e : entries)
        if (e.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(e);
    return {};
}

TableFile::~TableFile()
{
    registry().erase(canonical(m_dbf.path()));
    m_cdx.reset();
    m_memo.close();
    m_dbf.close();
}

Status TableFile::open(const QString& path, bool shared, bool readOnly, std::shared_ptr<TableFile>* out)
{
    const QString key = canonical(path);
    auto it = registry().find(key);
    if (it != registry().end()) {
        if (auto existing = it->second.lock()) {
            if (!shared || !existing->m_shared)
                return {StatusCode::Busy, QStringLiteral("La tabla %1 está en uso en modo exclusivo").arg(path)};
            if (!readOnly && existing->m_readOnly)
                return {StatusCode::Busy, QStringLiteral("La tabla %1 está abierta solo para lectura").arg(path)};
            *out = existing;
            return {};
        }
    }
    std::shared_ptr<TableFile> t(new TableFile);
    if (Status s = t->openFiles(path, shared, readOnly); !s)
        return s;
    registry()[key] = t;
    *out = t;
    return {};
}

Status TableFile::openFiles(const QString& path, bool shared, bool readOnly)
{
    m_shared = shared;
    m_readOnly = readOnly;
    if (Status s = m_dbf.open(path, !readOnly); !s)
        return {s.code(), QStringLiteral("No pudo abrirse la tabla %1").arg(path), s.osError()};
    const bool writeLock = !shared && !readOnly;
    if (Status s = m_dbf.tryLock(kOpenLock, 1, writeLock ? OsFile::LockKind::Write : OsFile::LockKind::Read); !s) {
        if (s.code() == StatusCode::Busy)
            return {StatusCode::Busy, QStringLiteral("La tabla %1 está en uso por otro usuario").arg(path)};
        return s;
    }
    QByteArray prefix(DbfHeader::kPrefix, '\0');
    qint64 got = 0;
    if (Status s = m_dbf.readAt(0, prefix.data(), prefix.size(), &got); !s)
        return s;
    int hlen = got == prefix.size() ? DbfHeader::headerLenFromPrefix(prefix) : -1;
    if (hlen < DbfHeader::kPrefix + 1)
        hlen = 65535;
    QByteArray head(hlen, '\0');
    if (Status s = m_dbf.readAt(0, head.data(), hlen, &got); !s)
        return s;
    head.truncate(got);
    // The size after the header: an append elsewhere writes its record before the count.
    const qint64 size = m_dbf.size();
    if (Status s = DbfHeader::parse(head, size, path, &m_header); !s)
        return s;
    m_infos.assign(m_header.fields.begin(), m_header.fields.end());

    if (m_header.hasMemo()) {
        m_memoPath = findFileNoCase(companionFile(path, "fpt"));
        if (m_memoPath.isEmpty())
            return {StatusCode::NotFound, QStringLiteral("Falta el fichero de memos de la tabla %1").arg(path), ENOENT};
        if (Status s = m_memo.open(m_memoPath, !readOnly); !s)
            return s;
    }
    return openIndex();
}

Status TableFile::openIndex()
{
    m_cdx.reset();
    m_cdxPath = findFileNoCase(companionFile(m_dbf.path(), "cdx"));
    if (m_cdxPath.isEmpty())
        return {};
    auto cdx = std::make_unique<CdxFile>();
    if (Status s = cdx->open(m_cdxPath, !m_readOnly, m_shared, m_infos); !s)
        return s;
    if (cdx->interrupted())
        return rebuildInterruptedIndex(std::move(cdx));
    m_cdx = std::move(cdx);
    m_cdx->keepReadLocks(m_readWalks > 0);
    return {};
}

// An index whose writer died half way is rebuilt from the records before
// anyone reads it; the tags are those of its directory, which only changes
// when a tag is made or deleted. Read-only users and a table another user is
// writing to get the error instead.
Status TableFile::rebuildInterruptedIndex(std::unique_ptr<CdxFile> damaged)
{
    const Status why = damaged->interruptedError();
    if (m_readOnly)
        return why;
    std::vector<TagSpec> specs;
    {
        CdxFile probe;
        if (Status s = probe.open(m_cdxPath, false, m_shared, m_infos, true); !s || probe.interrupted())
            return why;
        for (int i = 0; i < probe.tagCount(); ++i)
            specs.push_back(probe.tag(i)->definition());
    }
    if (m_shared)
        if (Status s = m_dbf.tryLock(kAppendLock, kRecordEnd - kAppendLock, OsFile::LockKind::Write); !s)
            return why;
    Status s = refreshCount();
    quint32 counter = 0;
    if (s) {
        damaged.reset();
        uchar h[12];
        OsFile old;
        if (old.open(m_cdxPath, false) && old.readAt(0, h, 12))
            counter = quint32(h[8]) | quint32(h[9]) << 8 | quint32(h[10]) << 16 | quint32(h[11]) << 24;
        CdxFile fresh;
        s = fresh.create(m_cdxPath, counter + 1);
    }
    if (s) {
        auto cdx = std::make_unique<CdxFile>();
        s = cdx->open(m_cdxPath, true, m_shared, m_infos);
        if (s) {
            m_cdx = std::move(cdx);
            m_cdx->keepReadLocks(m_readWalks > 0);
        }
    }
    for (const TagSpec& def : specs) {
        if (!s)
            break;
        std::unique_ptr<CdxTag> probe;
        if (!CdxFile::prepareTag(def, m_infos, &probe))
            continue;   // a foreign expression: the tag is lost, the check names it
        std::vector<std::pair<QByteArray, quint32>> keys;
        s = buildKeys(probe.get(), &keys);
        if (s)
            s = m_cdx->createTag(def, m_infos, &keys, nullptr);
    }
    if (m_shared)
        m_dbf.unlock(kAppendLock, kRecordEnd - kAppendLock);
    return s;
}

Status TableFile::create(const QString& path, const std::vector<FieldSpec>& fields)
{
    DbfHeader h;
    if (Status s = DbfHeader::build(fields, &h); !s)
        return s;
    const QString key = canonical(path);
    if (auto it = registry().find(key); it != registry().end() && !it->second.expired())
        return {StatusCode::Busy, QStringLiteral("La tabla %1 está abierta y no puede crearse de nuevo").arg(path)};
    // Old companions under any spelling go first, so the new table never inherits them.
    for (const char* ext : {"cdx", "fpt"}) {
        const QString old = findFileNoCase(companionFile(path, ext));
        if (!old.isEmpty())
            QFile::remove(old);
    }
    OsFile f;
    if (Status s = f.open(path, true, true); !s)
        return {s.code(), QStringLiteral("No pudo crearse la tabla %1").arg(path), s.osError()};
    QByteArray bytes = h.encode();
    bytes.append(char(0x1A));
    if (Status s = f.writeAt(0, bytes.constData(), bytes.size()); !s)
        return s;
    if (h.hasMemo()) {
        MemoFile m;
        if (Status s = m.create(companionFile(path, "fpt")); !s)
            return s;
    }
    return {};
}

// ---------------------------------------------------------------- records

Status TableFile::refreshCount()
{
    if (m_countPending)
        return {};   // ours is ahead of the file's until the series ends
    uchar b[4];
    if (Status s = m_dbf.readAt(dbf::kRecCount, b, 4); !s)
        return s;
    const quint32 n = qFromLittleEndian<quint32>(b);
    if (n <= m_roomChecked) {
        m_header.recCount = n;
        return {};
    }
    // A count the file has no room for is not believed (a foreign writer died half way).
    const qint64 room = qMax<qint64>((m_dbf.size() - m_header.headerLen) / m_header.recordLen, 0);
    m_roomChecked = quint32(qMin<qint64>(room, 0xFFFFFFFFu));
    m_header.recCount = quint32(qMin<qint64>(n, room));
    return {};
}

Status TableFile::writeCount()
{
    char prefix[32];
    m_header.updated = QDateTime::currentDateTimeUtc().date();
    m_header.encodePrefix(prefix);
    // the date of the last update and the count, together
    return m_dbf.writeAt(dbf::kUpdated, prefix + dbf::kUpdated, dbf::kHeaderLen - dbf::kUpdated);
}

Status TableFile::readRecord(quint32 rec, char* buf)
{
    if (rec == 0)
        return {StatusCode::Invalid, QStringLiteral("Número de registro no válido")};
    if (rec > m_header.recCount && m_shared)
        if (Status s = refreshCount(); !s)
            return s;
    if (rec > m_header.recCount)
        return {StatusCode::NotFound, QStringLiteral("El registro %1 no existe").arg(rec)};
    return m_dbf.readAt(qint64(m_header.headerLen) + qint64(rec - 1) * m_header.recordLen, buf, m_header.recordLen);
}

Status TableFile::readRecords(quint32 first, quint32 count, char* buf)
{
    if (first == 0 || quint64(first) + count - 1 > m_header.recCount)
        return {StatusCode::Invalid, QStringLiteral("Número de registro no válido")};
    return m_dbf.readAt(qint64(m_header.headerLen) + qint64(first - 1) * m_header.recordLen, buf,
                        qint64(count) * m_header.recordLen);
}

Status TableFile::writeRecord(quint32 rec, const char* buf)
{
    if (m_readOnly)
        return {StatusCode::ReadOnly, QStringLiteral("La tabla %1 está abierta solo para lectura").arg(path())};
    if (rec == 0 || rec > m_header.recCount)
        return {StatusCode::Invalid, QStringLiteral("Número de registro no válido")};
    return m_dbf.writeAt(qint64(m_header.headerLen) + qint64(rec - 1) * m_header.recordLen, buf, m_header.recordLen);
}

Status TableFile::appendRecord(const void* owner, quint32* rec, const std::function<const char*(quint32)>& content,
                               const std::function<Status(quint32)>& whileLocked)
{
    if (m_readOnly)
        return {StatusCode::ReadOnly, QStringLiteral("La tabla %1 está abierta solo para lectura").arg(path())};
    if (m_tableOwner && m_tableOwner != owner)
        return {StatusCode::Busy, QStringLiteral("Tabla bloqueada")};
    if (m_appendHolder && m_appendHolder != owner)
        return {StatusCode::Busy, QStringLiteral("Tabla bloqueada")};
    const bool held = m_appendHolder == owner;
    const bool needLock = m_shared && !m_tableOwner && !held;
    if (needLock)
        if (Status s = takeAppendLock(); !s)
            return s;
    // While the lock is held for a series, nobody else can have changed the count.
    Status s = m_shared && !held ? refreshCount() : Status();
    const quint32 n = m_header.recCount + 1;
    // The new record is ours before anyone else can take it (and before it is filled).
    if (s)
        s = lockRecord(owner, n);
    if (s) {
        QByteArray bytes;
        const char* given = content ? content(n) : nullptr;
        if (given) {
            bytes.reserve(m_header.recordLen + 1);
            bytes.append(given, m_header.recordLen);
        } else {
            bytes = blankRecord(m_header);
        }
        bytes.append(char(0x1A));
        s = m_dbf.writeAt(qint64(m_header.headerLen) + qint64(n - 1) * m_header.recordLen, bytes.constData(), bytes.size());
        if (s) {
            m_header.recCount = n;
            m_roomChecked = qMax(m_roomChecked, n);
            // A series writes the count when it ends, after the index pages:
            // a series cut short leaves the table as the index knows it.
            if (held)
                m_countPending = true;
            else
                s = writeCount();
        }
        if (s)
            *rec = n;
        if (s && whileLocked) {
            s = whileLocked(n);
            if (!s)
                dropKeys(n, bytes.constData());
        }
        if (!s) {
            undoAppend(n);
            unlockRecord(owner, n);
        }
    }
    if (needLock)
        m_dbf.unlock(kAppendLock, 1);
    return s;
}

void TableFile::undoAppend(quint32 n)
{
    // Called under the append lock (or the table's), so the count is still ours.
    // Every step only shortens or overwrites what is there: it works on a full disk.
    m_header.recCount = n - 1;
    m_roomChecked = qMin(m_roomChecked, n - 1);
    writeCount();
    const qint64 end = qint64(m_header.headerLen) + qint64(n - 1) * m_header.recordLen;
    if (m_dbf.truncate(end))
        m_dbf.writeAt(end, "\x1A", 1);
}

void TableFile::dropKeys(quint32 rec, const char* record)
{
    if (!m_cdx || m_cdx->tagCount() == 0)
        return;
    CdxFile::WriteSection sec(*m_cdx);
    if (!sec)
        return;
    for (int i = 0; i < m_cdx->tagCount(); ++i) {
        CdxTag* t = m_cdx->tag(i);
        if (t->custom() || !t->usable())
            continue;
        bool in = false;
        const QByteArray key = keyFor(t, rec, record, &in);
        if (in)
            m_cdx->remove(sec, t, key.constData(), rec);   // a tag that never took the key says so; nothing to undo
    }
}

Status TableFile::takeAppendLock()
{
    // Another user's append takes a moment, and an import lets others in
    // between its batches: a short wait here saves the caller a long one.
    Status s;
    for (int tries = 0; (s = m_dbf.tryLock(kAppendLock, 1, OsFile::LockKind::Write)).code() == StatusCode::Busy
                        && tries < kAppendPatienceMs;
         ++tries)
        sleepMs(1);
    return s;
}

Status TableFile::holdAppends(const void* owner)
{
    if (m_appendHolder == owner)
        return {};
    if (m_appendHolder || (m_tableOwner && m_tableOwner != owner))
        return {StatusCode::Busy, QStringLiteral("Tabla bloqueada")};
    if (m_shared && !m_tableOwner) {
        if (Status s = takeAppendLock(); !s)
            return s;
        if (Status s = refreshCount(); !s) {
            m_dbf.unlock(kAppendLock, 1);
            return s;
        }
    }
    m_appendHolder = owner;
    return {};
}

Status TableFile::writePendingCount()
{
    if (!m_countPending)
        return {};
    m_countPending = false;
    return writeCount();
}

Status TableFile::releaseAppends(const void* owner)
{
    if (m_appendHolder != owner)
        return {};
    Status s = writePendingCount();
    m_appendHolder = nullptr;
    if (m_shared && !m_tableOwner)
        m_dbf.unlock(kAppendLock, 1);
    return s;
}

// ---------------------------------------------------------------- locks

Status TableFile::lockRecord(const void* owner, quint32 rec)
{
    if (m_readOnly)
        return {StatusCode::ReadOnly, QStringLiteral("La tabla %1 está abierta solo para lectura").arg(path())};
    if (m_tableOwner && m_tableOwner != owner)
        return {StatusCode::Busy, QStringLiteral("Tabla bloqueada")};
    auto it = m_recordOwners.find(rec);
    if (it != m_recordOwners.end())
        return it->second == owner ? Status() : Status(StatusCode::Busy, QStringLiteral("Registro bloqueado"));
    if (m_shared && !m_tableOwner)
        if (Status s = m_dbf.tryLock(kRecordBase + rec, 1, OsFile::LockKind::Write); !s)
            return s;
    m_recordOwners.emplace(rec, owner);
    return {};
}

void TableFile::unlockRecord(const void* owner, quint32 rec)
{
    auto it = m_recordOwners.find(rec);
    if (it == m_recordOwners.end() || it->second != owner)
        return;
    m_recordOwners.erase(it);
    if (m_shared && !m_tableOwner)
        m_dbf.unlock(kRecordBase + rec, 1);
}

Status TableFile::lockTable(const void* owner)
{
    if (m_readOnly)
        return {StatusCode::ReadOnly, QStringLiteral("La tabla %1 está abierta solo para lectura").arg(path())};
    if (m_tableOwner == owner)
        return {};
    if (m_tableOwner || (m_appendHolder && m_appendHolder != owner))
        return {StatusCode::Busy, QStringLiteral("Tabla bloqueada")};
    for (auto& [rec, o] : m_recordOwners)
        if (o != owner)
            return {StatusCode::Busy, QStringLiteral("Registro bloqueado")};
    if (m_shared)
        if (Status s = m_dbf.tryLock(kAppendLock, kRecordEnd - kAppendLock, OsFile::LockKind::Write); !s)
            return s;
    m_tableOwner = owner;
    if (m_shared)
        refreshCount();
    return {};
}

void TableFile::unlockAll(const void* owner)
{
    for (auto it = m_recordOwners.begin(); it != m_recordOwners.end();) {
        if (it->second == owner) {
            if (m_shared && !m_tableOwner)
                m_dbf.unlock(kRecordBase + it->first, 1);
            it = m_recordOwners.erase(it);
        } else {
            ++it;
        }
    }
    if (m_tableOwner == owner) {
        m_tableOwner = nullptr;
        if (m_shared) {
            m_dbf.unlock(kAppendLock, kRecordEnd - kAppendLock);
            // Record locks of other work areas of this process lived inside the range,
            // and so did the append lock of a series of appends.
            auto retake = [this](qint64 at) {
                for (int i = 0; i < 100 && m_dbf.tryLock(at, 1, OsFile::LockKind::Write).code() == StatusCode::Busy; ++i)
                    sleepMs(1);
            };
            for (auto& [rec, o] : m_recordOwners)
                retake(kRecordBase + rec);
            if (m_appendHolder)
                retake(kAppendLock);
        }
    }
}

bool TableFile::holdsRecord(const void* owner, quint32 rec) const
{
    if (m_tableOwner == owner)
        return true;
    auto it = m_recordOwners.find(rec);
    return it != m_recordOwners.end() && it->second == owner;
}

// ---------------------------------------------------------------- memos and values

Status TableFile::readMemo(const DbfField& f, const char* record, QByteArray* data, bool* binary)
{
    data->clear();
    const quint32 block = memoBlock(f, record);
    if (block == 0)
        return {};
    if (!m_memo.isOpen())
        return {StatusCode::NotFound, QStringLiteral("La tabla %1 no tiene fichero de memos").arg(path())};
    return m_memo.read(block, data, binary);
}

Status TableFile::writeMemo(const DbfField& f, char* record, const QByteArray& data, bool binary)
{
    if (!m_memo.isOpen())
        return {StatusCode::NotFound, QStringLiteral("La tabla %1 no tiene fichero de memos").arg(path())};
    quint32 block = 0;
    if (Status s = m_memo.write(memoBlock(f, record), data, binary, &block); !s)
        return s;
    encodeMemoBlock(f, block, record);
    return {};
}

Value TableFile::fieldValue(int index, quint32 rec, const char* record)
{
    const DbfField& f = m_header.fields[size_t(index)];
    if (f.type == 'M') {
        QByteArray data;
        readMemo(f, record, &data);
        return Value::text(data);
    }
    return decodeField(f, record);
}

// ---------------------------------------------------------------- index maintenance

Status TableFile::checkMaintainable()
{
    if (!m_cdx)
        return {};
    for (int i = 0; i < m_cdx->tagCount(); ++i) {
        CdxTag* t = m_cdx->tag(i);
        if (!t->usable() && !t->custom())
            return {StatusCode::Invalid,
                    QStringLiteral("La etiqueta %1 del índice %2 no puede mantenerse: %3")
                        .arg(QString::fromLatin1(t->name()), m_cdxPath, t->problem())};
    }
    return {};
}

QByteArray TableFile::keyFor(const CdxTag* t, quint32 rec, const char* record, bool* included)
{
    if (!t->usable()) {
        if (included)
            *included = false;
        return QByteArray(t->keyLen(), t->pad());
    }
    RecordContext ctx(this, rec, record);
    if (included)
        *included = !t->forExpression() || t->forExpression()->eval(ctx).toBool();
    return t->keyOf(t->keyExpression()->eval(ctx));
}

Status TableFile::updateKeys(quint32 rec, const char* before, const char* after)
{
    if (!m_cdx || m_cdx->tagCount() == 0)
        return {};
    CdxFile::WriteSection sec(*m_cdx);
    if (!sec)
        return sec.status();
    for (int i = 0; i < m_cdx->tagCount(); ++i) {
        CdxTag* t = m_cdx->tag(i);
        if (t->custom() || !t->usable())
            continue;
        bool wasIn = false, isIn = false;
        QByteArray oldKey;
        if (before)
            oldKey = keyFor(t, rec, before, &wasIn);
        const QByteArray newKey = keyFor(t, rec, after, &isIn);
        if (wasIn && isIn && oldKey == newKey)
            continue;
        if (wasIn)
            if (Status s = m_cdx->remove(sec, t, oldKey.constData(), rec); !s)
                return s;
        if (isIn)
            if (Status s = m_cdx->insert(sec, t, newKey.constData(), rec); !s)
                return s;
    }
    return {};
}

Status TableFile::needExclusive(const char* what) const
{
    if (m_readOnly)
        return {StatusCode::ReadOnly, QStringLiteral("La tabla %1 está abierta solo para lectura").arg(path())};
    if (m_shared)
        return {StatusCode::Invalid,
                QStringLiteral("%1 necesita la tabla %2 en uso exclusivo").arg(QString::fromUtf8(what), path())};
    return {};
}

Status TableFile::buildKeys(const CdxTag* t, std::vector<std::pair<QByteArray, quint32>>* keys, const Progress& progress)
{
    keys->clear();
    if (t->custom())
        return {};
    const quint32 n = m_header.recCount;
    keys->reserve(n);
    const quint32 chunk = recordsPerRead();
    const Status walked = forEachRecord(n, [&](quint32 rec, const char* record) {
        if (progress && (rec - 1) % chunk == 0)
            progress(rec, n);
        bool in = false;
        QByteArray k = keyFor(t, rec, record, &in);
        if (in)
            keys->emplace_back(std::move(k), rec);
    });
    if (!walked)
        return walked;
    if (progress && n > 0)
        progress(n, n);
    std::stable_sort(keys->begin(), keys->end(), [t](const auto& a, const auto& b) {
        const int c = t->compare(a.first.constData(), b.first.constData(), t->keyLen());
        return c != 0 ? c < 0 : a.second < b.second;
    });
    if (t->unique()) {
        auto last = std::unique(keys->begin(), keys->end(), [t](const auto& a, const auto& b) {
            return std::memcmp(a.first.constData(), b.first.constData(), size_t(t->keyLen())) == 0;
        });
        keys->erase(last, keys->end());
    }
    return {};
}

Status TableFile::verify(std::vector<QString>* problems)
{
    if (Status s = verifyMemos(problems); !s)
        return s;
    if (!m_cdx)
        return {};
    for (int attempt = 0;; ++attempt) {
        std::vector<QString> found;
        Status s = verifyOnce(&found);
        if (s.code() == StatusCode::Stale && attempt < 100)
            continue;
        problems->insert(problems->end(), found.begin(), found.end());
        return s;
    }
}

Status TableFile::verifyOnce(std::vector<QString>* problems)
{
    CdxFile::Section sec(*m_cdx);
    if (!sec)
        return sec.status();
    if (m_shared)
        refreshCount();
    for (int i = 0; i < m_cdx->tagCount(); ++i) {
        CdxTag* t = m_cdx->tag(i);
        const QString name = QString::fromLatin1(t->name());
        if (!t->usable()) {
            problems->push_back(QStringLiteral("%1: %2").arg(name, t->problem()));
            continue;
        }
        std::vector<QString> shape;
        if (Status s = m_cdx->verifyTree(sec, t, m_header.recCount, &shape); !s)
            return s;
        for (const QString& p : shape)
            problems->push_back(QStringLiteral("%1: %2").arg(name, p));
        if (t->custom() || !shape.empty())
            continue;
        std::vector<std::pair<QByteArray, quint32>> expected, stored;
        if (Status s = buildKeys(t, &expected); !s)
            return s;
        if (Status s = m_cdx->scan(sec, t, &stored); !s)
            return s;
        if (expected == stored)
            continue;
        size_t at = 0;
        while (at < expected.size() && at < stored.size() && expected[at] == stored[at])
            ++at;
        problems->push_back(QStringLiteral("%1: %2 claves en el índice, %3 según los registros; primera diferencia en la posición %4")
                                .arg(name).arg(stored.size()).arg(expected.size()).arg(at + 1));
    }
    return {};
}

Status TableFile::verifyMemos(std::vector<QString>* problems)
{
    std::vector<const DbfField*> memos;
    for (const DbfField& f : m_header.fields)
        if (f.type == 'M')
            memos.push_back(&f);
    if (memos.empty())
        return {};
    if (!m_memo.isOpen()) {
        problems->push_back(QStringLiteral("falta el fichero de memos %1").arg(m_memoPath));
        return {};
    }
    quint32 nextFree = 0;
    if (Status s = m_memo.nextFree(&nextFree); !s)
        return s;
    int bad = 0;
    QByteArray data;
    const Status walked = forEachRecord(m_header.recCount, [&](quint32 rec, const char* record) {
        for (const DbfField* f : memos) {
            const quint32 block = memoBlock(*f, record);
            if (block == 0)
                continue;
            QString why;
            if (block >= nextFree)
                why = QStringLiteral("apunta al bloque %1, más allá del último usado (%2)").arg(block).arg(nextFree);
            else if (Status s = m_memo.read(block, &data); !s)
                why = s.message();
            if (why.isEmpty())
                continue;
            if (++bad <= 10)
                problems->push_back(QStringLiteral("registro %1, memo %2: %3").arg(rec).arg(QString::fromLatin1(f->name), why));
        }
    });
    if (!walked)
        return walked;
    if (bad > 10)
        problems->push_back(QStringLiteral("%1 memos dañados en total").arg(bad));
    return {};
}

Status TableFile::dropIndex()
{
    if (Status s = needExclusive("Borrar el índice"); !s)
        return s;
    if (!m_cdx)
        return {};
    m_cdx.reset();
    if (!QFile::remove(m_cdxPath))
        return {StatusCode::IoError, QStringLiteral("No se pudo borrar %1").arg(m_cdxPath), errno};
    m_cdxPath.clear();
    if (m_header.flags & DbfHeader::kFlagCdx) {
        m_header.flags &= ~DbfHeader::kFlagCdx;
        const char f = char(m_header.flags);
        return m_dbf.writeAt(28, &f, 1);
    }
    return {};
}

Status TableFile::createTag(const TagSpec& def, const Progress& progress)
{
    if (m_readOnly)
        return {StatusCode::ReadOnly, QStringLiteral("La tabla %1 está abierta solo para lectura").arg(path())};
    if (m_shared && !m_tableOwner)
        return {StatusCode::NotLocked, QStringLiteral("Para crear una etiqueta en uso compartido hay que bloquear la tabla")};
    std::unique_ptr<CdxTag> probe;
    if (Status s = CdxFile::prepareTag(def, m_infos, &probe); !s)
        return s;
    if (!m_cdx) {
        const QString p = companionFile(m_dbf.path(), "cdx");
        {
            CdxFile fresh;
            if (Status s = fresh.create(p); !s)
                return s;
        }
        if (!(m_header.flags & DbfHeader::kFlagCdx)) {
            m_header.flags |= DbfHeader::kFlagCdx;
            const char f = char(m_header.flags);
            if (Status s = m_dbf.writeAt(28, &f, 1); !s)
                return s;
        }
        if (Status s = openIndex(); !s)
            return s;
    }
    if (m_shared)
        refreshCount();
    std::vector<std::pair<QByteArray, quint32>> keys;
    if (Status s = buildKeys(probe.get(), &keys, progress); !s)
        return s;
    return m_cdx->createTag(def, m_infos, &keys, nullptr);
}

Status TableFile::deleteTag(const QByteArray& name)
{
    if (!m_cdx || m_cdx->tagIndex(name) < 0)
        return {StatusCode::NotFound, QStringLiteral("No existe la etiqueta %1").arg(QString::fromLatin1(name))};
    if (m_readOnly)
        return {StatusCode::ReadOnly, QStringLiteral("La tabla %1 está abierta solo para lectura").arg(path())};
    return m_cdx->deleteTag(name);
}

Status TableFile::reindex()
{
    if (!m_cdx)
        return {};
    if (m_readOnly)
        return {StatusCode::ReadOnly, QStringLiteral("La tabla %1 está abierta solo para lectura").arg(path())};
    if (m_shared && !m_tableOwner)
        return {StatusCode::NotLocked, QStringLiteral("Para regenerar el índice en uso compartido hay que bloquear la tabla")};
    std::vector<TagSpec> specs;
    for (int i = 0; i < m_cdx->tagCount(); ++i) {
        std::unique_ptr<CdxTag> probe;
        if (Status s = CdxFile::prepareTag(m_cdx->tag(i)->definition(), m_infos, &probe); !s)
            return s;
        specs.push_back(m_cdx->tag(i)->definition());
    }
    quint32 counter = 0;
    {
        CdxFile::WriteSection sec(*m_cdx);
        if (!sec)
            return sec.status();
        uchar h[12];
        OsFile probe;
        if (probe.open(m_cdxPath, false) && probe.readAt(0, h, 12))
            counter = quint32(h[8]) | quint32(h[9]) << 8 | quint32(h[10]) << 16 | quint32(h[11]) << 24;
    }
    m_cdx.reset();
    {
        CdxFile fresh;
        if (Status s = fresh.create(m_cdxPath, counter + 1); !s)
            return s;
    }
    if (Status s = openIndex(); !s)
        return s;
    if (m_shared)
        refreshCount();
    for (const auto& def : specs) {
        std::unique_ptr<CdxTag> probe;
        if (Status s = CdxFile::prepareTag(def, m_infos, &probe); !s)
            return s;
        std::vector<std::pair<QByteArray, quint32>> keys;
        if (Status s = buildKeys(probe.get(), &keys); !s)
            return s;
        if (Status s = m_cdx->createTag(def, m_infos, &keys, nullptr); !s)
            return s;
    }
    return {};
}

Status TableFile::reopenAfterRewrite()
{
    const QString p = m_dbf.path();
    m_roomChecked = 0;
    m_cdx.reset();
    m_memo.close();
    m_dbf.close();
    return openFiles(p, m_shared, m_readOnly);
}

Status TableFile::zap()
{
    if (Status s = needExclusive("Vaciar"); !s)
        return s;
    if (Status s = m_dbf.truncate(m_header.headerLen); !s)
        return s;
    const char eof = 0x1A;
    if (Status s = m_dbf.writeAt(m_header.headerLen, &eof, 1); !s)
        return s;
    m_header.recCount = 0;
    m_roomChecked = 0;
    if (Status s = writeCount(); !s)
        return s;
    if (m_memo.isOpen())
        if (Status s = m_memo.zap(); !s)
            return s;
    if (m_cdx)
        return m_cdx->clearAll();
    return {};
}

void TableFile::walkStarted()
{
    if (++m_readWalks == 1 && m_cdx)
        m_cdx->keepReadLocks(true);
}

void TableFile::walkEnded()
{
    if (--m_readWalks == 0 && m_cdx)
        m_cdx->keepReadLocks(false);
}

} // namespace store

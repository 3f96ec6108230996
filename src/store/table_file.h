#pragma once
// One table file as open in this process: the DBF with its memo and compound
// index files. Work areas on the same file share one TableFile, so the process
// holds one descriptor per file (POSIX locks belong to the process and would be
// lost if a second descriptor of the same file were closed).
//
// Locks between processes are byte-range locks on the .dbf far beyond the data:
//   kOpenLock                 read-locked by every shared user, write-locked by an exclusive one
//   kAppendLock               held while a record is appended
//   kRecordBase + n           record n
//   [kAppendLock, kRecordEnd) the whole table: conflicts with appends and every record lock

#include "cdx_file.h"
#include "dbf_header.h"
#include "memo_file.h"
#include "os_file.h"

#include <QString>

#include <functional>
#include <memory>
#include <unordered_map>

namespace store {

class TableFile {
public:
    static constexpr qint64 kOpenLock = qint64(1) << 40;
    static constexpr qint64 kAppendLock = kOpenLock + 1;
    static constexpr qint64 kRecordBase = kOpenLock + 2;
    static constexpr qint64 kRecordEnd = kRecordBase + (qint64(1) << 32);

    ~TableFile();

    // Opens (or joins this process's already open instance of) the table at path.
    static Status open(const QString& path, bool shared, bool readOnly, std::shared_ptr<TableFile>* out);
    // Creates a new table, replacing files of the same name (its old index goes too).
    static Status create(const QString& path, const std::vector<FieldSpec>& fields);

    const QString& path() const { return m_dbf.path(); }
    const DbfHeader& header() const { return m_header; }
    const std::vector<FieldInfo>& fieldInfos() const { return m_infos; }
    bool shared() const { return m_shared; }
    bool readOnly() const { return m_readOnly; }

    // Record count as last read; refreshCount() reads it again from the file.
    quint32 recCount() const { return m_header.recCount; }
    Status refreshCount();

    Status readRecord(quint32 rec, char* buf);
    // Reads count consecutive records from first (all must exist) into buf.
    Status readRecords(quint32 first, quint32 count, char* buf);
    // Calls fn(record number, record bytes) for records 1 to count, read about
    // a megabyte at a time; stops at the first read that fails.
    template <class Fn>
    Status forEachRecord(quint32 count, Fn&& fn);
    // How many records forEachRecord reads at a time.
    quint32 recordsPerRead() const { return quint32(qMax(1, (1 << 20) / int(m_header.recordLen))); }
    Status writeRecord(quint32 rec, const char* buf);
    // Appends a record under the append lock and returns its number; the record
    // comes back locked by owner. content, when given, is asked for the record's
    // bytes once its number is known (null for a blank record); they are written
    // before the count, so no reader ever sees the record half made. whileLocked,
    // when given, runs before the append lock is released (for work no other
    // appender may interleave). When any step fails the append is undone: the
    // count and the file end as they were, and no tag keeps the record's keys.
    Status appendRecord(const void* owner, quint32* rec, const std::function<const char*(quint32)>& content,
                        const std::function<Status(quint32)>& whileLocked = {});
    Status appendBlank(const void* owner, quint32* rec, const std::function<Status(quint32)>& whileLocked = {})
    {
        return appendRecord(owner, rec, {}, whileLocked);
    }
    // Keeps the append lock for a series of appends by owner (an import): the
    // count need not be read again before each one. Other appenders wait.
    // The append lock always comes before the index lock, never after it.
    Status holdAppends(const void* owner);
    // Writes the record count a series of appends has left pending, if any.
    Status writePendingCount();
    // Ends the series: the count is written now (after the index pages).
    Status releaseAppends(const void* owner);
    // True when another process has the table open.
    bool openElsewhere() const { return m_shared && m_dbf.lockedByOthers(kOpenLock, 1); }

    Status lockRecord(const void* owner, quint32 rec);
    void unlockRecord(const void* owner, quint32 rec);
    Status lockTable(const void* owner);
    void unlockAll(const void* owner);
    bool holdsRecord(const void* owner, quint32 rec) const;
    bool holdsTable(const void* owner) const { return m_tableOwner == owner; }
    bool tableLockedByUs() const { return m_tableOwner != nullptr; }

    MemoFile* memo() { return m_memo.isOpen() ? &m_memo : nullptr; }
    Status readMemo(const DbfField& f, const char* record, QByteArray* data, bool* binary = nullptr);
    Status writeMemo(const DbfField& f, char* record, const QByteArray& data, bool binary);

    CdxFile* cdx() { return m_cdx.get(); }
    // A read-only walk over this table is under way (see ReadWalk).
    void walkStarted();
    void walkEnded();
    bool hasIndex() const { return m_cdx != nullptr; }
    int tagCount() const { return m_cdx ? m_cdx->tagCount() : 0; }
    CdxTag* tag(int i) { return m_cdx && i >= 0 && i < m_cdx->tagCount() ? m_cdx->tag(i) : nullptr; }
    CdxTag* tag(const QByteArray& name) { return m_cdx ? tag(m_cdx->tagIndex(name)) : nullptr; }

    // ---- reading for look-ups that keep their own image of a table
    // What changes whenever the table's keys change: records appended, keys
    // moved, tags made or dropped. With otherProcesses the index's counters
    // are read from the file (lock-free while the index did not change), and
    // the record count too when every tag is custom, so changes made anywhere
    // show; without, only what this process did shows, and nothing is read.
    // (A record appended elsewhere that no tag's condition takes, or a change
    // to fields outside every key, moves nothing.)
    struct ChangeStamp {
        const TableFile* table = nullptr;
        quint32 records = 0;
        std::vector<quint32> tags;   // each tag's change counter
        bool operator==(const ChangeStamp&) const = default;
    };
    Status changeStamp(ChangeStamp* out, bool otherProcesses = true);
    // Whether the stamp is still the table's (what changeStamp would give
    // equals it; false on any error).
    bool stillAt(const ChangeStamp& stamp, bool otherProcesses = true);
    // One entry of a tag with its record, as scanTag meets it.
    struct TagRecord {
        const char* key = nullptr;   // keyLen bytes
        int keyLen = 0;
        quint32 rec = 0;
        bool deleted = false;
        const char* record = nullptr;
        const DbfHeader* header = nullptr;
        QByteArray keyBytes() const { return QByteArray(key, keyLen); }
        QByteArray field(int i) const;   // the field's bytes as stored
    };
    // Walks tag t in its order, the keys read as one consistent picture (read
    // again when another process changed the index meanwhile). visit hears
    // each entry whose record the table holds, with the record read; false
    // from visit stops the walk.
    Status scanTag(CdxTag* t, const std::function<bool(const TagRecord&)>& visit);
    // Every (key, record) of tag t in its order, as one consistent picture.
    Status tagKeys(CdxTag* t, std::vector<std::pair<QByteArray, quint32>>* out);
    // Writes are refused while a tag cannot be kept in step (foreign expressions).
    Status checkMaintainable();
    // Moves the keys of record rec from the record image `before` (null for a new
    // record) to `after` in every tag that is not custom.
    Status updateKeys(quint32 rec, const char* before, const char* after);
    QByteArray keyFor(const CdxTag* t, quint32 rec, const char* record, bool* included);

    // Compares every tag that is not custom with the keys its records give,
    // walks every tag's tree, and reads every memo a record points to; each
    // thing out of place is described in problems. Corrupt pages are an error
    // result.
    Status verify(std::vector<QString>* problems);

    // Whether tag t holds one key for each record its condition accepts and
    // none for any other record (Corrupt, naming the index and the table, when
    // not). Reads the tag's keys and, when it has a condition, the records.
    Status checkTag(CdxTag* t);

    // progress, when given, hears the record number reached while keys are built.
    using Progress = std::function<void(quint32 rec, quint32 total)>;
    Status createTag(const TagSpec& def, const Progress& progress = {});
    Status deleteTag(const QByteArray& name);
    // Closes and deletes the compound index (exclusive use).
    Status dropIndex();
    Status reindex();
    // Removes deleted records and rebuilds the index with the same tags
    // (rebuild() with the default plan).
    Status pack();

    // How rebuild() makes the new table: which records stay (keep may also
    // change the record's bytes; null keeps every record not deleted) and the
    // tags of its new index (none: the table loses its index file).
    struct RebuildPlan {
        std::function<bool(quint32 rec, char* record)> keep;
        std::vector<TagSpec> tags;
        Progress progress;           // while each tag's keys are built
    };
    struct RebuildReport {
        quint32 kept = 0;
        quint32 recovered = 0;       // well-formed records found after the header's count
    };
    // Rebuilds the table beside its files (exclusive use): the kept records and
    // their memos go into new files, the new index is built from them, all is
    // written to disk, and only then are the old files replaced by renames.
    // Records beyond the header's count that are whole and well formed are kept
    // (a count written short by a writer that died). On failure the table and
    // its index are exactly as they were.
    Status rebuild(const RebuildPlan& plan, RebuildReport* report = nullptr);
    // The definitions of the tags of the open index, in creation order.
    std::vector<TagSpec> tagSpecs() const;
    Status zap();

    Value fieldValue(int index, quint32 rec, const char* record);

private:
    TableFile() = default;
    Status openFiles(const QString& path, bool shared, bool readOnly);
    Status needExclusive(const char* what) const;
    Status verifyOnce(std::vector<QString>* problems);
    Status verifyMemos(std::vector<QString>* problems);
    Status buildKeys(const CdxTag* t, std::vector<std::pair<QByteArray, quint32>>* keys, const Progress& progress = {});
    Status writeCount();
    // A failed append: the count goes back to n - 1 and the file ends after it.
    void undoAppend(quint32 n);
    // Takes the keys of record rec (image record) out of every tag that holds them.
    void dropKeys(quint32 rec, const char* record);
    Status takeAppendLock();
    Status openIndex();
    Status rebuildInterruptedIndex(std::unique_ptr<CdxFile> damaged);
    Status reopenAfterRewrite();
    quint32 wellFormedTail();
    Status writeKept(const RebuildPlan& plan, quint32 count, const QString& dbfOut, const QString& memoOut,
                     quint32* kept);

    OsFile m_dbf;
    MemoFile m_memo;
    std::unique_ptr<CdxFile> m_cdx;
    int m_readWalks = 0;
    DbfHeader m_header;
    std::vector<FieldInfo> m_infos;
    bool m_shared = true;
    bool m_readOnly = false;
    QString m_memoPath;
    QString m_cdxPath;

    std::unordered_map<quint32, const void*> m_recordOwners;
    const void* m_tableOwner = nullptr;
    const void* m_appendHolder = nullptr;
    bool m_countPending = false;     // appended in a series, count not yet written
    quint32 m_roomChecked = 0;       // records the file was last seen to have room for

    dev_t m_dev = 0;
    ino_t m_ino = 0;
};

// Finds a file whose name matches case-insensitively in its directory
// (the exact spelling first); returns the path as found, or empty.
QString findFileNoCase(const QString& path);
// Companion file (".fpt", ".cdx") of a table, the extension in the case of the table's.
QString companionFile(const QString& dbfPath, const char* ext);

template <class Fn>
Status TableFile::forEachRecord(quint32 count, Fn&& fn)
{
    const int len = m_header.recordLen;
    const quint32 chunk = recordsPerRead();
    QByteArray buf;
    for (quint32 first = 1; first <= count; first += chunk) {
        const quint32 n = qMin(chunk, count - first + 1);
        buf.resize(qsizetype(n) * len);
        if (Status s = readRecords(first, n, buf.data()); !s)
            return s;
        for (quint32 i = 0; i < n; ++i)
            fn(first + i, buf.constData() + qsizetype(i) * len);
    }
    return {};
}

} // namespace store

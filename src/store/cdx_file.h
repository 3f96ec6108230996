#pragma once
// A compound index file (.cdx): a directory of named tags, each a B-tree of
// compressed pages. This class owns the pages and the tree algorithms; it knows
// nothing about records except the (key, record number) pairs it is given.
//
// Sharing: when the file is shared, every operation runs under a byte-range lock
// on the file (shared for reading, exclusive for changes). After taking the lock
// the change counters of the directory and of the tag are compared with the ones
// this process saw last; a difference drops the cached pages, so changes made by
// other processes are always seen.

#include "cdx_page.h"
#include "expression.h"
#include "os_file.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace store {

struct TagSpec {
    QByteArray name;         // at most 10 characters
    QByteArray keyExpr;
    QByteArray forExpr;      // empty: no condition
    bool descending = false;
    bool unique = false;
    bool custom = false;     // keys only through explicit keyAdd/keyDel
};

class CdxFile;

class CdxTag {
public:
    const QByteArray& name() const { return m_name; }
    const TagSpec& definition() const { return m_spec; }
    int keyLen() const { return m_keyLen; }
    bool binaryKey() const { return m_pad == 0; }
    char pad() const { return m_pad; }
    bool descending() const { return m_spec.descending; }
    bool unique() const { return m_spec.unique; }
    bool custom() const { return m_spec.custom; }
    const Expression* keyExpression() const { return m_key.get(); }
    const Expression* forExpression() const { return m_for.get(); }
    // False when the key expression cannot be evaluated here (foreign functions);
    // the tag can still be read in its stored order.
    bool usable() const { return m_key != nullptr; }
    const QString& problem() const { return m_problem; }
    // Offset of the tag's root page, as last read (diagnostics and tests).
    quint32 root() const { return m_root; }

    // Compares two full keys in this tag's order. With len shorter than the key
    // (a seek value or scope limit), text compares by letters only, so a prefix
    // matches every key that begins with the same letters, accented or not.
    int compare(const char* a, const char* b, int len) const;

    // Key bytes of a value, padded or cut to the key length; for seeks, the
    // significant length (shorter for partial text) is returned in *sigLen.
    QByteArray keyOf(const Value& v, int* sigLen = nullptr) const;

private:
    friend class CdxFile;
    QByteArray m_name;
    TagSpec m_spec;
    quint32 m_header = 0;
    quint32 m_root = 0;
    quint32 m_counter = 0;
    int m_keyLen = 0;
    char m_pad = ' ';
    std::unique_ptr<Expression> m_key;
    std::unique_ptr<Expression> m_for;
    QString m_problem;
    std::unordered_map<quint32, cdx::Node> m_cache;
    bool m_dirty = false;          // header to be written when the section ends
};

// A position inside a tag: leaf page and entry.
struct CdxCursor {
    quint32 page = cdx::kNoPage;
    int index = -1;
    bool valid() const { return page != cdx::kNoPage; }
};

class CdxFile {
public:
    CdxFile();
    ~CdxFile();

    Status create(const QString& path, quint32 counter = 0);
    // With evenIfInterrupted the tags of a file left half written are loaded
    // too (to learn their definitions).
    Status open(const QString& path, bool writable, bool shared, const std::vector<FieldInfo>& fields,
                bool evenIfInterrupted = false);
    void close();
    const QString& path() const { return m_file.path(); }
    bool shared() const { return m_shared; }

    int tagCount() const { return int(m_tags.size()); }
    CdxTag* tag(int i) { return m_tags[size_t(i)].get(); }
    int tagIndex(const QByteArray& name) const;    // case-insensitive, -1 when absent

    // Section guard around every use of the pages. A write section takes the
    // file's exclusive lock and brings directory and caches up to date. A read
    // section first only compares the file's change counter with the one seen
    // last: when nothing changed, the cached pages are a consistent picture and
    // no lock is needed. Reading a page that is not cached takes the shared lock
    // then; if the counter moved meanwhile the read ends with StatusCode::Stale
    // and the caller runs it again. Nested sections reuse the outer one.
    //
    // The tree operations below take the section they run in: reads any
    // section, changes a WriteSection.
    class Section {
    public:
        explicit Section(CdxFile& f) : Section(f, false) {}
        ~Section();
        Section(const Section&) = delete;
        Section& operator=(const Section&) = delete;
        const Status& status() const { return m_status; }
        explicit operator bool() const { return m_status.isOk(); }
    protected:
        Section(CdxFile& f, bool write);
    private:
        friend class CdxFile;
        CdxFile& m_f;
        bool m_took = false;
        Status m_status;
    };
    class WriteSection : public Section {
    public:
        explicit WriteSection(CdxFile& f) : Section(f, true) {}
    };

    // While keeping read locks, the shared lock taken by a read section is
    // kept after the section ends, so the sections of a read-only walk that
    // follow need neither the lock nor a look at the change counter. Other
    // programs' changes wait meanwhile, never more than kReadHoldMs at a time:
    // then the lock is let go and the next section looks at the counter as
    // usual. A change made through this object lets the kept lock go first.
    void keepReadLocks(bool keep);
    static constexpr int kReadHoldMs = 50;

    Status insert(const WriteSection& s, CdxTag* t, const char* key, quint32 rec);
    Status remove(const WriteSection& s, CdxTag* t, const char* key, quint32 rec);
    bool contains(const Section& s, CdxTag* t, const char* key, int len, quint32* rec = nullptr);

    // Positions at the first entry >= (key[0..len), rec) in ascending storage order.
    // With rec 0 the record number is ignored. Returns an invalid cursor past the end.
    Status lowerBound(const Section& s, CdxTag* t, const char* key, int len, quint32 rec, CdxCursor* c);
    // First entry whose first len bytes are > key.
    Status upperBound(const Section& s, CdxTag* t, const char* key, int len, CdxCursor* c);
    // The first (or with high, the last) entry in storage order.
    Status edge(const Section& s, CdxTag* t, bool high, CdxCursor* c);
    Status first(const Section& s, CdxTag* t, CdxCursor* c) { return edge(s, t, false, c); }
    Status last(const Section& s, CdxTag* t, CdxCursor* c) { return edge(s, t, true, c); }
    Status next(const Section& s, CdxTag* t, CdxCursor* c);
    Status prev(const Section& s, CdxTag* t, CdxCursor* c);
    // Entry under a cursor (the cursor must be valid). The key points into the
    // cached page: it stays valid until the next call on this file.
    Status entry(const Section& s, CdxTag* t, const CdxCursor& c, const char** key, quint32* rec);
    quint32 counter(const CdxTag* t) const { return t->m_counter; }

    // Creates a tag and fills it with sorted (key, rec) pairs in one pass.
    // An existing tag of the same name is replaced.
    Status createTag(const TagSpec& def, const std::vector<FieldInfo>& fields,
                     std::vector<std::pair<QByteArray, quint32>>* sortedKeys, CdxTag** out);
    Status deleteTag(const QByteArray& name);
    // Prepares a tag object (compiles the expressions and decides key length
    // and kind) without writing anything.
    static Status prepareTag(const TagSpec& def, const std::vector<FieldInfo>& fields,
                             std::unique_ptr<CdxTag>* out);

    // Reads every key of a tag in stored order.
    Status scan(const Section& s, CdxTag* t, std::vector<std::pair<QByteArray, quint32>>* out);
    // Walks the whole tree of a tag and reports what is out of shape: interior
    // keys out of order or not the last key of their child, pages visited twice,
    // leaves at different depths, leaf chain links that do not follow the tree,
    // record numbers of 0 or above maxRec. Damage that stops the walk is the
    // returned status; the rest goes to problems.
    Status verifyTree(const Section& s, CdxTag* t, quint32 maxRec, std::vector<QString>* problems);

    // Empties every tag (keeps definitions).
    Status clearAll();

    // A write section that changes pages first marks the file as being
    // written (a byte of the directory's header left zero by other writers)
    // and clears the mark once every page and header is written. A process
    // killed in between leaves the mark: the file was found so when opened
    // (interrupted(), and no tags are loaded) or when a section begins (a
    // Corrupt status). markInFlux() sets the mark outside a section, for a
    // file about to be replaced.
    Status markInFlux();
    // Runs work just before the current write section clears its
    // changes-in-progress mark, once (a batch writes the table's record count
    // there: a writer killed before it leaves the mark, and the index is
    // rebuilt from the records the count holds).
    void beforeSettled(std::function<Status()> work) { m_beforeSettled = std::move(work); }

    bool interrupted() const { return m_interrupted; }
    Status interruptedError() const;

private:
    friend class Section;
    Status lock(bool write);
    void unlock();
    Status refresh();
    Status loadDirectory();
    Status readTagHeader(quint32 off, CdxTag* t, const std::vector<FieldInfo>& fields);
    void touch(CdxTag* t);                         // raise the change counter
    Status node(CdxTag* t, quint32 off, cdx::Node** out);
    Status writeNode(CdxTag* t, cdx::Node* n);
    Status allocPage(quint32* off);
    Status freePage(CdxTag* t, quint32 off);
    using Path = std::vector<std::pair<quint32, int>>;   // (page, entry) from the root down
    Status descend(CdxTag* t, const char* key, int len, quint32 rec, bool upper, Path* path, CdxCursor* at);
    Status edgeKey(CdxTag* t, bool high, CdxCursor* c);
    Status bound(CdxTag* t, const char* key, int len, quint32 rec, bool upper, CdxCursor* c);
    Status step(CdxTag* t, CdxCursor* c, bool forward);
    Status scanKeys(CdxTag* t, std::vector<std::pair<QByteArray, quint32>>* out);
    Status findEntry(CdxTag* t, const char* key, quint32 rec, cdx::Node** leaf, int* pos, bool* present);
    Status insertKey(CdxTag* t, const char* key, quint32 rec);
    Status removeKey(CdxTag* t, const char* key, quint32 rec);
    bool containsKey(CdxTag* t, const char* key, int len, quint32* rec);
    Status fixParents(CdxTag* t, Path& path, int level);
    Status splitIfNeeded(CdxTag* t, Path& path, int level);
    Status bulkLoad(CdxTag* t, const std::vector<std::pair<QByteArray, quint32>>& keys);
    Status insertDirectory(const QByteArray& name, quint32 header);
    Status removeDirectory(const QByteArray& name);
    Status freeTree(CdxTag* t);
    int cmpEntry(const CdxTag* t, const char* a, quint32 ra, const char* b, int len, quint32 rb) const;

    Status writeTagHeader(CdxTag* t, bool full);
    Status readDirectoryList(std::vector<std::pair<QByteArray, quint32>>* list);
    Status finishSection();
    std::function<Status()> m_beforeSettled;

    OsFile m_file;
    quint32 m_globalSeen = 0;      // change counter of the whole file, as last seen
    quint32 m_freeHead = cdx::kNoPage;
    qint64 m_fileEnd = 0;
    bool m_dirDirty = false;
    bool m_inFlux = false;         // the mark is set by this section
    bool m_interrupted = false;    // the mark was found set by someone who died
    bool m_markSeen = false;       // as read with the counters
    // Pages changed in the current write section, written when it ends (a page
    // changed by many appends of one batch is written once).
    std::vector<std::pair<CdxTag*, quint32>> m_dirtyPages;
    Status flushPages();
    bool m_writable = false;
    bool m_shared = false;
    int m_lockDepth = 0;
    bool m_lockWrite = false;
    bool m_lockHeld = false;       // the byte-range lock is really taken
    int m_readHolds = 0;
    bool m_lockKept = false;       // a read section's shared lock outlived it
    qint64 m_keptSince = 0;        // monotonic ms when it was first kept
    qint64 m_keepAgainAt = 0;      // after letting go, no keeping before this
    void releaseKeptLock();
    Status takeLock(bool write);
    Status readCounters(quint32* global, quint32* dirRoot, quint32* freeHead);
    std::vector<FieldInfo> m_fields;
    Path m_path;                                   // scratch of insertKey/removeKey
    std::unique_ptr<CdxTag> m_dir;                 // the directory is itself a tag
    std::vector<std::unique_ptr<CdxTag>> m_tags;
};

} // namespace store

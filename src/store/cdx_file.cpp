#include "cdx_file.h"

#include "codepage.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <deque>

namespace store {

using namespace cdx;

namespace {
// Byte locked (shared to read, exclusive to change) while pages are used;
// far beyond any real page so that plain reads are never blocked.
constexpr qint64 kIndexLockOffset = qint64(1) << 40;
constexpr int kTagHeaderSize = 1024;
// Byte of the directory's header set while a write section changes the file.
constexpr qint64 kInFluxAt = 16;
constexpr int kMaxDepth = 64;
constexpr size_t kMaxCachedPages = 20000;

// Options byte of a tag header.
constexpr quint8 kOptUnique = 0x01;
constexpr quint8 kOptCustom = 0x04;
constexpr quint8 kOptFor = 0x08;
constexpr quint8 kOptCompact = 0x20;
constexpr quint8 kOptCompound = 0x40;
constexpr quint8 kOptDirectory = 0x80;

// A blank record, for deciding the kind and length of a key.
class BlankRecord : public ExprContext {
public:
    explicit BlankRecord(const std::vector<FieldInfo>& f) : m_f(f) {}
    Value field(int i) const override
    {
        const FieldInfo& fi = m_f[size_t(i)];
        switch (fi.type) {
        case 'N': case 'F': return Value::number(0);
        case 'D': return Value::dateJd(0);
        case 'L': return Value::logical(false);
        case 'M': return Value::text(QByteArray());
        default: return Value::text(QByteArray(fi.len, ' '));
        }
    }
    quint32 recNo() const override { return 0; }
    bool deleted() const override { return false; }
private:
    const std::vector<FieldInfo>& m_f;
};

QByteArray upperName(const QByteArray& n)
{
    return n.trimmed().toUpper().left(10);
}

QByteArray dirKey(const QByteArray& name)
{
    QByteArray k = upperName(name);
    k.append(QByteArray(10 - k.size(), ' '));
    return k;
}

Status corrupt(const QString& path, const QString& why)
{
    return {StatusCode::Corrupt, QStringLiteral("El índice %1 está dañado: %2").arg(path, why)};
}
} // namespace

// ---------------------------------------------------------------- CdxTag

int CdxTag::compare(const char* a, const char* b, int len) const
{
    if (m_pad == 0)
        return std::memcmp(a, b, size_t(len));
    if (len >= m_keyLen)
        return cp1252::collate(a, b, len);
    // A partial key (a seek or a scope) compares by letters only: accents,
    // which the full order uses just to break ties, are ignored here. Otherwise
    // "ÁB   " (before "AB  Z" in the full order) would not match the prefix "AB"
    // while "AB  Z" does, and no search could find the first match.
    for (int i = 0; i < len; ++i) {
        const unsigned short wa = cp1252::weight(uchar(a[i])), wb = cp1252::weight(uchar(b[i]));
        if (wa != wb)
            return wa < wb ? -1 : 1;
    }
    return 0;
}

QByteArray CdxTag::keyOf(const Value& v, int* sigLen) const
{
    QByteArray k;
    switch (v.type()) {
    case Value::Type::Char: k = v.bytes(); break;
    case Value::Type::Number: k = numericKeyBytes(v.toNumber()); break;
    case Value::Type::Date: k = numericKeyBytes(double(v.julianDay())); break;
    case Value::Type::Logical: k = v.toBool() ? "T" : "F"; break;
    case Value::Type::Nil: break;
    }
    k.truncate(m_keyLen);
    if (sigLen)
        *sigLen = int(k.size());
    if (k.size() < m_keyLen)
        k.append(QByteArray(m_keyLen - k.size(), m_pad));
    return k;
}

// ---------------------------------------------------------------- opening

CdxFile::CdxFile() = default;
CdxFile::~CdxFile() { close(); }

void CdxFile::close()
{
    m_tags.clear();
    m_dir.reset();
    m_file.close();
    m_lockDepth = 0;
}

int CdxFile::tagIndex(const QByteArray& name) const
{
    const QByteArray u = upperName(name);
    for (size_t i = 0; i < m_tags.size(); ++i)
        if (m_tags[i]->m_name == u)
            return int(i);
    return -1;
}

Status CdxFile::writeTagHeader(CdxTag* t, bool full)
{
    uchar h[kTagHeaderSize];
    std::memset(h, 0, sizeof h);
    qToLittleEndian<quint32>(t->m_root, h);
    qToLittleEndian<quint32>(t == m_dir.get() ? m_freeHead : kNoPage, h + 4);
    qToLittleEndian<quint32>(t == m_dir.get() ? m_globalSeen : t->m_counter, h + 8);
    if (!full)
        return m_file.writeAt(t->m_header, h, 12);
    qToLittleEndian<quint16>(quint16(t->m_keyLen), h + 12);
    quint8 opt = kOptCompact | kOptCompound;
    if (t == m_dir.get())
        opt |= kOptDirectory;
    if (t->m_spec.unique)
        opt |= kOptUnique;
    if (t->m_spec.custom)
        opt |= kOptCustom;
    if (!t->m_spec.forExpr.isEmpty())
        opt |= kOptFor;
    h[14] = opt;
    h[15] = 1;
    qToLittleEndian<quint16>(t->m_spec.descending ? 1 : 0, h + 502);
    const QByteArray& k = t->m_spec.keyExpr;
    const QByteArray& f = t->m_spec.forExpr;
    const int keyLenZ = int(k.size()) + 1, forLenZ = int(f.size()) + 1;
    qToLittleEndian<quint16>(quint16(keyLenZ), h + 504);   // FOR expression starts after the key
    qToLittleEndian<quint16>(quint16(forLenZ), h + 506);
    qToLittleEndian<quint16>(0, h + 508);
    qToLittleEndian<quint16>(quint16(keyLenZ), h + 510);
    std::memcpy(h + 512, k.constData(), size_t(k.size()));
    std::memcpy(h + 512 + keyLenZ, f.constData(), size_t(f.size()));
    return m_file.writeAt(t->m_header, h, kTagHeaderSize);
}

Status CdxFile::create(const QString& path, quint32 counter)
{
    close();
    if (Status s = m_file.open(path, true, true); !s)
        return s;
    m_writable = true;
    m_shared = false;
    m_dir = std::make_unique<CdxTag>();
    m_dir->m_header = 0;
    m_dir->m_root = kTagHeaderSize;
    m_dir->m_keyLen = 10;
    m_dir->m_pad = ' ';
    m_freeHead = kNoPage;
    m_globalSeen = counter;
    if (Status s = writeTagHeader(m_dir.get(), true); !s)
        return s;
    Node root;
    root.offset = kTagHeaderSize;
    root.keyLen = 10;
    root.attr = Leaf | Root;
    uchar page[kPageSize];
    encodeLeaf(root, ' ', page);
    if (Status s = m_file.writeAt(kTagHeaderSize, page, kPageSize); !s)
        return s;
    m_fileEnd = kTagHeaderSize + kPageSize;
    return {};
}

Status CdxFile::open(const QString& path, bool writable, bool shared, const std::vector<FieldInfo>& fields,
                     bool evenIfInterrupted)
{
    close();
    if (Status s = m_file.open(path, writable); !s)
        return s;
    m_writable = writable;
    m_shared = shared;
    m_fields = fields;
    m_interrupted = false;
    Section sec(*this, false);
    if (!sec)
        return sec.status();
    char mark = 0;
    if (Status s = m_file.readAt(kInFluxAt, &mark, 1); !s)
        return s;
    if (mark != 0 && !evenIfInterrupted) {
        // a writer died half way: the pages are not to be trusted
        m_interrupted = true;
        return {};
    }
    return loadDirectory();
}

Status CdxFile::interruptedError() const
{
    return corrupt(path(), QStringLiteral("quedó a medio escribir (un programa terminó mientras lo escribía) "
                                          "y hay que regenerarlo: ábralo para escribir o reorganice"));
}

Status CdxFile::markInFlux()
{
    if (m_inFlux)
        return {};
    const char mark = 1;
    if (Status s = m_file.writeAt(kInFluxAt, &mark, 1); !s)
        return s;
    m_inFlux = true;
    return {};
}

Status CdxFile::readTagHeader(quint32 off, CdxTag* t, const std::vector<FieldInfo>& fields)
{
    uchar h[kTagHeaderSize];
    const qint64 size = m_file.size();
    if (off % kPageSize != 0 || qint64(off) + kTagHeaderSize > size)
        return corrupt(path(), QStringLiteral("cabecera de etiqueta fuera del fichero (%1)").arg(off));
    if (Status s = m_file.readAt(off, h, kTagHeaderSize); !s)
        return s;
    t->m_header = off;
    t->m_root = qFromLittleEndian<quint32>(h);
    t->m_counter = qFromLittleEndian<quint32>(h + 8);
    t->m_keyLen = qFromLittleEndian<quint16>(h + 12);
    const quint8 opt = h[14];
    if (t->m_keyLen < 1 || t->m_keyLen > kMaxKeyLen)
        return corrupt(path(), QStringLiteral("longitud de clave %1 no válida").arg(t->m_keyLen));
    if (t->m_root % kPageSize != 0 || qint64(t->m_root) + kPageSize > size)
        return corrupt(path(), QStringLiteral("página raíz fuera del fichero"));
    if (t == m_dir.get())
        return {};
    const int forPos = qFromLittleEndian<quint16>(h + 504);
    const int forLen = qFromLittleEndian<quint16>(h + 506);
    const int keyPos = qFromLittleEndian<quint16>(h + 508);
    const int keyLen = qFromLittleEndian<quint16>(h + 510);
    auto poolText = [&](int pos, int len) {
        if (pos < 0 || len <= 0 || pos + len > 512)
            return QByteArray();
        const char* p = reinterpret_cast<const char*>(h + 512 + pos);
        return QByteArray(p, int(qstrnlen(p, size_t(len))));
    };
    TagSpec def;
    def.name = t->m_name;
    def.keyExpr = poolText(keyPos, keyLen).trimmed();
    def.forExpr = poolText(forPos, forLen).trimmed();
    def.descending = qFromLittleEndian<quint16>(h + 502) != 0;
    def.unique = opt & kOptUnique;
    def.custom = opt & kOptCustom;
    t->m_spec = def;
    std::unique_ptr<CdxTag> probe;
    Status ps = prepareTag(def, fields, &probe);
    if (ps) {
        t->m_key = std::move(probe->m_key);
        t->m_for = std::move(probe->m_for);
        t->m_pad = probe->m_pad;
        if (probe->m_keyLen != t->m_keyLen) {
            t->m_problem = QStringLiteral("La etiqueta %1 tiene una longitud de clave distinta de su expresión")
                               .arg(QString::fromLatin1(t->m_name));
            t->m_key.reset();
        }
    } else {
        // Read-only use is still possible: the stored order is what it is.
        t->m_problem = ps.message();
        t->m_pad = ' ';
    }
    return {};
}

Status CdxFile::readDirectoryList(std::vector<std::pair<QByteArray, quint32>>* list)
{
    list->clear();
    std::vector<std::pair<QByteArray, quint32>> entries;
    if (Status s = scan(m_dir.get(), &entries); !s)
        return s;
    for (auto& e : entries)
        list->emplace_back(e.first.trimmed(), e.second);
    // Tags keep the order in which they were created, which is the order of their headers.
    std::sort(list->begin(), list->end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return {};
}

Status CdxFile::loadDirectory()
{
    m_tags.clear();
    m_dir = std::make_unique<CdxTag>();
    m_dir->m_name = "";
    m_dir->m_pad = ' ';
    if (Status s = readTagHeader(0, m_dir.get(), m_fields); !s)
        return s;
    {
        uchar h[12];
        if (Status s = m_file.readAt(0, h, 12); !s)
            return s;
        m_freeHead = qFromLittleEndian<quint32>(h + 4);
        m_globalSeen = qFromLittleEndian<quint32>(h + 8);
    }
    std::vector<std::pair<QByteArray, quint32>> list;
    if (Status s = readDirectoryList(&list); !s)
        return s;
    for (auto& [name, off] : list) {
        auto t = std::make_unique<CdxTag>();
        t->m_name = upperName(name);
        if (Status s = readTagHeader(off, t.get(), m_fields); !s)
            return s;
        m_tags.push_back(std::move(t));
    }
    return {};
}

// ---------------------------------------------------------------- sections and coherence

CdxFile::Section::Section(CdxFile& f, bool write) : m_f(f), m_write(write)
{
    m_status = f.lock(write);
    m_took = m_status.isOk();
}

CdxFile::Section::~Section()
{
    if (m_took)
        m_f.unlock();
}

Status CdxFile::takeLock(bool write)
{
    // Index sections are short and never wait for anything while they hold
    // the lock, so waiting for it cannot deadlock.
    Status s = m_file.lockWait(kIndexLockOffset, 1, write ? OsFile::LockKind::Write : OsFile::LockKind::Read);
    if (s)
        m_lockHeld = true;
    return s;
}

Status CdxFile::readCounters(quint32* global, quint32* dirRoot, quint32* freeHead)
{
    uchar h[kInFluxAt + 1];
    if (Status s = m_file.readAt(0, h, sizeof h); !s)
        return s;
    m_markSeen = h[kInFluxAt] != 0;
    *dirRoot = qFromLittleEndian<quint32>(h);
    *freeHead = qFromLittleEndian<quint32>(h + 4);
    *global = qFromLittleEndian<quint32>(h + 8);
    return {};
}

Status CdxFile::lock(bool write)
{
    if (write && !m_writable)
        return {StatusCode::ReadOnly, QStringLiteral("El índice %1 está abierto solo para lectura").arg(path())};
    if (m_interrupted)
        return interruptedError();
    if (m_lockDepth > 0) {
        if (write && !m_lockWrite)
            return {StatusCode::Invalid, QStringLiteral("Cambio de índice dentro de una lectura")};
        ++m_lockDepth;
        return {};
    }
    m_lockHeld = false;
    if (m_shared && m_dir && !write) {
        quint32 global = 0, dirRoot = 0, freeHead = 0;
        if (Status s = readCounters(&global, &dirRoot, &freeHead); !s)
            return s;
        if (global != m_globalSeen || dirRoot != m_dir->m_root) {
            if (Status s = takeLock(false); !s)
                return s;
        }
    } else if (m_shared) {
        if (Status s = takeLock(write); !s)
            return s;
    }
    m_lockDepth = 1;
    m_lockWrite = write;
    if (write)
        m_fileEnd = ((m_file.size() + kPageSize - 1) / kPageSize) * kPageSize;
    if (m_lockHeld && m_dir) {
        if (Status s = refresh(); !s) {
            unlock();
            return s;
        }
    }
    return {};
}

void CdxFile::unlock()
{
    if (m_lockDepth <= 0)
        return;
    if (--m_lockDepth > 0)
        return;
    if (m_lockWrite)
        finishSection();
    if (m_lockHeld)
        m_file.unlock(kIndexLockOffset, 1);
    m_lockHeld = false;
}

Status CdxFile::finishSection()
{
    // New pages are written before the headers that lead to them, and the
    // mark is cleared last. A failed write leaves the mark (and this process
    // writes no more to the file): the index is rebuilt at the next open.
    auto failed = [this](const Status& s) {
        m_interrupted = true;
        return s;
    };
    if (Status s = flushPages(); !s)
        return failed(s);
    bool any = m_dirDirty;
    for (auto& t : m_tags)
        if (t->m_dirty) {
            any = true;
            t->m_dirty = false;
            if (Status s = markInFlux(); !s)
                return failed(s);
            if (Status s = writeTagHeader(t.get(), false); !s)
                return failed(s);
        }
    if (any) {
        ++m_globalSeen;
        m_dirDirty = false;
        if (Status s = writeTagHeader(m_dir.get(), false); !s)
            return failed(s);
    }
    if (m_inFlux) {
        const char clear = 0;
        if (Status s = m_file.writeAt(kInFluxAt, &clear, 1); !s)
            return failed(s);
        m_inFlux = false;
    }
    for (auto& t : m_tags)
        if (t->m_cache.size() > kMaxCachedPages)
            t->m_cache.clear();
    return {};
}

Status CdxFile::refresh()
{
    quint32 global = 0, dirRoot = 0;
    if (Status s = readCounters(&global, &dirRoot, &m_freeHead); !s)
        return s;
    // We hold the lock, so no living writer is half way.
    if (m_markSeen) {
        m_interrupted = true;
        return interruptedError();
    }
    if (global == m_globalSeen && dirRoot == m_dir->m_root)
        return {};
    // Something changed: see whether the set of tags is the same.
    m_dir->m_cache.clear();
    m_dir->m_root = dirRoot;
    std::vector<std::pair<QByteArray, quint32>> list;
    if (Status s = readDirectoryList(&list); !s)
        return s;
    bool same = list.size() == m_tags.size();
    for (size_t i = 0; same && i < list.size(); ++i)
        same = upperName(list[i].first) == m_tags[i]->m_name && list[i].second == m_tags[i]->m_header;
    if (!same) {
        if (Status s = loadDirectory(); !s)
            return s;
        m_globalSeen = global;
        return {};
    }
    for (auto& t : m_tags) {
        uchar th[12];
        if (Status s = m_file.readAt(t->m_header, th, 12); !s)
            return s;
        const quint32 root = qFromLittleEndian<quint32>(th);
        const quint32 counter = qFromLittleEndian<quint32>(th + 8);
        if (root != t->m_root || counter != t->m_counter) {
            t->m_cache.clear();
            t->m_root = root;
            t->m_counter = counter;
        }
    }
    m_globalSeen = global;
    return {};
}

void CdxFile::touch(CdxTag* t)
{
    ++t->m_counter;
    if (t == m_dir.get())
        m_dirDirty = true;
    else
        t->m_dirty = true;
}

// ---------------------------------------------------------------- pages

Status CdxFile::node(CdxTag* t, quint32 off, Node** out)
{
    auto it = t->m_cache.find(off);
    if (it != t->m_cache.end()) {
        *out = &it->second;
        return {};
    }
    if (m_shared && !m_lockHeld && m_lockDepth > 0) {
        // Lock-free read and a page that is not cached: read it under the lock,
        // and only if nothing changed since the section began.
        const quint32 seen = m_globalSeen;
        const quint32 seenRoot = m_dir->m_root;
        if (Status s = takeLock(false); !s)
            return s;
        quint32 global = 0, dirRoot = 0, freeHead = 0;
        if (Status s = readCounters(&global, &dirRoot, &freeHead); !s)
            return s;
        if (m_markSeen) {
            m_interrupted = true;
            return interruptedError();
        }
        if (global != seen || dirRoot != seenRoot) {
            if (Status s = refresh(); !s)
                return s;
            return {StatusCode::Stale, QStringLiteral("El índice %1 ha cambiado").arg(path())};
        }
        auto again = t->m_cache.find(off);
        if (again != t->m_cache.end()) {
            *out = &again->second;
            return {};
        }
    }
    if (off % kPageSize != 0 || off < kTagHeaderSize || qint64(off) + kPageSize > m_file.size())
        return corrupt(path(), QStringLiteral("la página %1 está fuera del fichero").arg(off));
    uchar page[kPageSize];
    if (Status s = m_file.readAt(off, page, kPageSize); !s)
        return s;
    Node n;
    if (Status s = decode(page, t->m_keyLen, t->m_pad, off, &n); !s)
        return corrupt(path(), s.message());
    auto res = t->m_cache.emplace(off, std::move(n));
    *out = &res.first->second;
    return {};
}

Status CdxFile::writeNode(CdxTag* t, Node* n)
{
    touch(t);
    if (m_lockDepth > 0 && m_lockWrite) {
        // written when the section ends; the cache holds the page meanwhile
        if (n->isLeaf() && leafBytes(*n, t->m_pad) < 0)
            return {StatusCode::Invalid, QStringLiteral("Página de índice desbordada")};
        m_dirtyPages.emplace_back(t, n->offset);
        return {};
    }
    uchar page[kPageSize];
    if (n->isLeaf()) {
        if (!encodeLeaf(*n, t->m_pad, page))
            return {StatusCode::Invalid, QStringLiteral("Página de índice desbordada")};
    } else {
        encodeInterior(*n, page);
    }
    return m_file.writeAt(n->offset, page, kPageSize);
}

Status CdxFile::flushPages()
{
    std::sort(m_dirtyPages.begin(), m_dirtyPages.end());
    m_dirtyPages.erase(std::unique(m_dirtyPages.begin(), m_dirtyPages.end()), m_dirtyPages.end());
    Status result;
    if (!m_dirtyPages.empty())
        if (Status s = markInFlux(); !s) {
            m_dirtyPages.clear();
            return s;
        }
    for (auto [t, off] : m_dirtyPages) {
        auto it = t->m_cache.find(off);
        if (it == t->m_cache.end())
            continue;   // freed meanwhile
        const Node& n = it->second;
        uchar page[kPageSize];
        if (n.isLeaf()) {
            if (!encodeLeaf(n, t->m_pad, page)) {
                result = {StatusCode::Invalid, QStringLiteral("Página de índice desbordada")};
                continue;
            }
        } else {
            encodeInterior(n, page);
        }
        if (Status s = m_file.writeAt(off, page, kPageSize); !s)
            result = s;
    }
    m_dirtyPages.clear();
    return result;
}

Status CdxFile::allocPage(quint32* off)
{
    if (m_freeHead != kNoPage && m_freeHead != 0 && m_freeHead % kPageSize == 0
        && qint64(m_freeHead) + kPageSize <= m_fileEnd) {
        uchar h[8];
        if (Status s = m_file.readAt(m_freeHead, h, 8); !s)
            return s;
        *off = m_freeHead;
        m_freeHead = qFromLittleEndian<quint32>(h + 4);
        m_dirDirty = true;
        return {};
    }
    *off = quint32(m_fileEnd);
    m_fileEnd += kPageSize;
    static const uchar zero[kPageSize] = {};
    return m_file.writeAt(*off, zero, kPageSize);
}

Status CdxFile::freePage(CdxTag* t, quint32 off)
{
    if (m_lockDepth > 0 && m_lockWrite)
        if (Status s = markInFlux(); !s)
            return s;
    uchar h[8];
    qToLittleEndian<quint16>(0xFFFF, h);     // marks a page on the free list
    qToLittleEndian<quint16>(0, h + 2);
    qToLittleEndian<quint32>(m_freeHead, h + 4);
    t->m_cache.erase(off);
    m_freeHead = off;
    m_dirDirty = true;
    return m_file.writeAt(off, h, 8);
}

// ---------------------------------------------------------------- tree search

int CdxFile::cmpEntry(const CdxTag* t, const char* a, quint32 ra, const char* b, int len, quint32 rb) const
{
    const int c = t->compare(a, b, len);
    if (c != 0 || rb == 0)
        return c;
    return ra < rb ? -1 : (ra > rb ? 1 : 0);
}

Status CdxFile::descend(CdxTag* t, const char* key, int len, quint32 rec, bool upper,
                        std::vector<std::pair<quint32, int>>* path)
{
    path->clear();
    quint32 off = t->m_root;
    // Entry i "qualifies" when it is >= target (lower bound) or > target (upper bound).
    auto qualifies = [&](const Node& n, int i) {
        const int c = cmpEntry(t, n.key(i), n.recs[size_t(i)], key, len, upper ? 0 : rec);
        return upper ? c > 0 : c >= 0;
    };
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        Node* n = nullptr;
        if (Status s = node(t, off, &n); !s)
            return s;
        int lo = 0, hi = n->count();
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (qualifies(*n, mid))
                hi = mid;
            else
                lo = mid + 1;
        }
        if (n->isLeaf()) {
            path->emplace_back(off, lo);
            return {};
        }
        if (n->count() == 0)
            return corrupt(this->path(), QStringLiteral("página interior vacía"));
        const int i = qMin(lo, n->count() - 1);
        path->emplace_back(off, i);
        off = n->childs[size_t(i)];
    }
    return corrupt(this->path(), QStringLiteral("el árbol es demasiado profundo (¿ciclo?)"));
}

Status CdxFile::lowerBound(CdxTag* t, const char* key, int len, quint32 rec, CdxCursor* c)
{
    std::vector<std::pair<quint32, int>> path;
    if (Status s = descend(t, key, len, rec, false, &path); !s)
        return s;
    c->page = path.back().first;
    c->index = path.back().second;
    Node* n = nullptr;
    if (Status s = node(t, c->page, &n); !s)
        return s;
    if (c->index >= n->count()) {
        c->index = n->count() - 1;
        return next(t, c);
    }
    return {};
}

Status CdxFile::upperBound(CdxTag* t, const char* key, int len, CdxCursor* c)
{
    std::vector<std::pair<quint32, int>> path;
    if (Status s = descend(t, key, len, 0, true, &path); !s)
        return s;
    c->page = path.back().first;
    c->index = path.back().second;
    Node* n = nullptr;
    if (Status s = node(t, c->page, &n); !s)
        return s;
    if (c->index >= n->count()) {
        c->index = n->count() - 1;
        return next(t, c);
    }
    return {};
}

Status CdxFile::first(CdxTag* t, CdxCursor* c)
{
    quint32 off = t->m_root;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        Node* n = nullptr;
        if (Status s = node(t, off, &n); !s)
            return s;
        if (n->isLeaf()) {
            c->page = off;
            c->index = 0;
            if (n->count() == 0) {
                c->index = -1;
                return next(t, c);
            }
            return {};
        }
        if (n->count() == 0)
            return corrupt(path(), QStringLiteral("página interior vacía"));
        off = n->childs.front();
    }
    return corrupt(path(), QStringLiteral("el árbol es demasiado profundo (¿ciclo?)"));
}

Status CdxFile::last(CdxTag* t, CdxCursor* c)
{
    quint32 off = t->m_root;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        Node* n = nullptr;
        if (Status s = node(t, off, &n); !s)
            return s;
        if (n->isLeaf()) {
            c->page = off;
            c->index = n->count() - 1;
            if (n->count() == 0) {
                c->index = 0;
                return prev(t, c);
            }
            return {};
        }
        if (n->count() == 0)
            return corrupt(path(), QStringLiteral("página interior vacía"));
        off = n->childs.back();
    }
    return corrupt(path(), QStringLiteral("el árbol es demasiado profundo (¿ciclo?)"));
}

Status CdxFile::next(CdxTag* t, CdxCursor* c)
{
    Node* n = nullptr;
    for (int guard = 0; guard < 1000000; ++guard) {
        if (Status s = node(t, c->page, &n); !s)
            return s;
        if (c->index + 1 < n->count()) {
            ++c->index;
            return {};
        }
        if (n->right == kNoPage || n->right == 0) {
            *c = CdxCursor();
            return {};
        }
        c->page = n->right;
        c->index = -1;
    }
    return corrupt(path(), QStringLiteral("cadena de páginas circular"));
}

Status CdxFile::prev(CdxTag* t, CdxCursor* c)
{
    Node* n = nullptr;
    for (int guard = 0; guard < 1000000; ++guard) {
        if (Status s = node(t, c->page, &n); !s)
            return s;
        if (c->index - 1 >= 0 && c->index - 1 < n->count()) {
            --c->index;
            return {};
        }
        if (n->left == kNoPage || n->left == 0) {
            *c = CdxCursor();
            return {};
        }
        c->page = n->left;
        Node* l = nullptr;
        if (Status s = node(t, c->page, &l); !s)
            return s;
        c->index = l->count();
    }
    return corrupt(path(), QStringLiteral("cadena de páginas circular"));
}

Status CdxFile::entry(CdxTag* t, const CdxCursor& c, QByteArray* key, quint32* rec)
{
    Node* n = nullptr;
    if (Status s = node(t, c.page, &n); !s)
        return s;
    if (c.index < 0 || c.index >= n->count())
        return {StatusCode::Invalid, QStringLiteral("Posición de índice no válida")};
    if (key)
        *key = n->keyAt(c.index);
    if (rec)
        *rec = n->recs[size_t(c.index)];
    return {};
}

bool CdxFile::contains(CdxTag* t, const char* key, int len, quint32* rec)
{
    CdxCursor c;
    if (!lowerBound(t, key, len, 0, &c) || !c.valid())
        return false;
    QByteArray k;
    quint32 r = 0;
    if (!entry(t, c, &k, &r))
        return false;
    if (t->compare(k.constData(), key, len) != 0)
        return false;
    if (rec)
        *rec = r;
    return true;
}

Status CdxFile::scan(CdxTag* t, std::vector<std::pair<QByteArray, quint32>>* out)
{
    out->clear();
    CdxCursor c;
    if (Status s = first(t, &c); !s)
        return s;
    while (c.valid()) {
        Node* n = nullptr;
        if (Status s = node(t, c.page, &n); !s)
            return s;
        for (int i = c.index; i < n->count(); ++i)
            out->emplace_back(n->keyAt(i), n->recs[size_t(i)]);
        if (out->size() > 100000000)
            return corrupt(path(), QStringLiteral("cadena de páginas circular"));
        c.index = n->count() - 1;
        if (Status s = next(t, &c); !s)
            return s;
    }
    return {};
}

Status CdxFile::verifyTree(CdxTag* t, quint32 maxRec, std::vector<QString>* problems)
{
    const size_t before = problems->size();
    auto report = [&](const QString& p) {
        if (problems->size() - before < 20)   // the first ones say enough
            problems->push_back(p);
    };
    std::unordered_map<quint32, bool> seen;
    std::vector<quint32> leaves;
    int leafDepth = -1;
    // (page, depth, parent key and record the page's last entry must equal)
    struct Visit {
        quint32 page;
        int depth;
        QByteArray lastKey;
        quint32 lastRec;
    };
    std::vector<Visit> stack{{t->m_root, 0, QByteArray(), 0}};
    while (!stack.empty()) {
        const Visit v = std::move(stack.back());
        stack.pop_back();
        if (v.depth >= kMaxDepth)
            return corrupt(path(), QStringLiteral("árbol de la etiqueta %1 demasiado profundo").arg(QString::fromLatin1(t->m_name)));
        if (!seen.emplace(v.page, true).second) {
            report(QStringLiteral("la página %1 aparece dos veces en el árbol").arg(v.page));
            continue;
        }
        Node* n = nullptr;
        if (Status s = node(t, v.page, &n); !s)
            return s;
        if (n->count() == 0 && (v.depth > 0 || !n->isLeaf()))
            report(QStringLiteral("página %1 vacía").arg(v.page));
        for (int i = 1; i < n->count(); ++i)
            if (cmpEntry(t, n->key(i - 1), n->recs[size_t(i - 1)], n->key(i), t->m_keyLen, n->recs[size_t(i)]) > 0) {
                report(QStringLiteral("claves fuera de orden en la página %1, entrada %2").arg(v.page).arg(i + 1));
                break;
            }
        if (v.depth > 0 && n->count() > 0) {
            const int last = n->count() - 1;
            if (std::memcmp(n->key(last), v.lastKey.constData(), size_t(t->m_keyLen)) != 0 || n->recs[size_t(last)] != v.lastRec)
                report(QStringLiteral("la clave de la página interior no es la última de su página %1").arg(v.page));
        }
        if (n->isLeaf()) {
            if (leafDepth < 0)
                leafDepth = v.depth;
            else if (leafDepth != v.depth)
                report(QStringLiteral("la hoja %1 está a otra profundidad").arg(v.page));
            for (int i = 0; i < n->count(); ++i)
                if (n->recs[size_t(i)] == 0 || n->recs[size_t(i)] > maxRec) {
                    report(QStringLiteral("la hoja %1 apunta al registro %2, que no existe").arg(v.page).arg(n->recs[size_t(i)]));
                    break;
                }
            leaves.push_back(v.page);
            continue;
        }
        // children in reverse, so the leftmost is walked first
        for (int i = n->count() - 1; i >= 0; --i)
            stack.push_back({n->childs[size_t(i)], v.depth + 1, QByteArray(n->key(i), t->m_keyLen), n->recs[size_t(i)]});
    }
    for (size_t i = 0; i < leaves.size(); ++i) {
        Node* n = nullptr;
        if (Status s = node(t, leaves[i], &n); !s)
            return s;
        const quint32 left = i ? leaves[i - 1] : kNoPage;
        const quint32 right = i + 1 < leaves.size() ? leaves[i + 1] : kNoPage;
        if (n->left != left || n->right != right) {
            report(QStringLiteral("la cadena de hojas no sigue el árbol en la página %1").arg(leaves[i]));
            break;
        }
    }
    return {};
}

// ---------------------------------------------------------------- tree changes

Status CdxFile::fixParents(CdxTag* t, std::vector<std::pair<quint32, int>>& path, int level)
{
    for (int l = level; l > 0; --l) {
        Node* child = nullptr;
        Node* parent = nullptr;
        if (Status s = node(t, path[size_t(l)].first, &child); !s)
            return s;
        if (child->count() == 0)
            return {};
        if (Status s = node(t, path[size_t(l - 1)].first, &parent); !s)
            return s;
        const int idx = path[size_t(l - 1)].second;
        const int last = child->count() - 1;
        if (std::memcmp(parent->key(idx), child->key(last), size_t(t->m_keyLen)) == 0
            && parent->recs[size_t(idx)] == child->recs[size_t(last)])
            return {};
        parent->setKey(idx, child->key(last), child->recs[size_t(last)]);
        if (Status s = writeNode(t, parent); !s)
            return s;
        if (idx != parent->count() - 1)
            return {};
    }
    return {};
}

Status CdxFile::splitIfNeeded(CdxTag* t, std::vector<std::pair<quint32, int>>& path, int level)
{
    Node* n = nullptr;
    if (Status s = node(t, path[size_t(level)].first, &n); !s)
        return s;
    const bool fits = n->isLeaf() ? leafBytes(*n, t->m_pad) >= 0 : n->count() <= interiorCapacity(t->m_keyLen);
    if (fits) {
        if (Status s = writeNode(t, n); !s)
            return s;
        return fixParents(t, path, level);
    }
    quint32 newOff = 0;
    if (Status s = allocPage(&newOff); !s)
        return s;
    Node fresh;
    fresh.offset = newOff;
    fresh.keyLen = t->m_keyLen;
    fresh.attr = quint16(n->attr & ~Root);
    auto ins = t->m_cache.emplace(newOff, std::move(fresh));
    Node* m = &ins.first->second;
    if (Status s = node(t, path[size_t(level)].first, &n); !s)
        return s;
    n->moveTail(n->count() / 2, m);
    m->left = n->offset;
    m->right = n->right;
    if (n->right != kNoPage && n->right != 0) {
        Node* r = nullptr;
        if (Status s = node(t, n->right, &r); !s)
            return s;
        r->left = newOff;
        if (Status s = writeNode(t, r); !s)
            return s;
    }
    n->right = newOff;

    if (n->isRoot()) {
        quint32 rootOff = 0;
        if (Status s = allocPage(&rootOff); !s)
            return s;
        n->attr = quint16(n->attr & ~Root);
        Node root;
        root.offset = rootOff;
        root.keyLen = t->m_keyLen;
        root.attr = Interior | Root;
        root.insert(0, n->key(n->count() - 1), n->recs.back(), n->offset);
        root.insert(1, m->key(m->count() - 1), m->recs.back(), m->offset);
        auto rins = t->m_cache.emplace(rootOff, std::move(root));
        if (Status s = writeNode(t, n); !s)
            return s;
        if (Status s = writeNode(t, m); !s)
            return s;
        if (Status s = writeNode(t, &rins.first->second); !s)
            return s;
        t->m_root = rootOff;
        touch(t);
        return {};
    }
    if (Status s = writeNode(t, n); !s)
        return s;
    if (Status s = writeNode(t, m); !s)
        return s;
    Node* parent = nullptr;
    if (Status s = node(t, path[size_t(level - 1)].first, &parent); !s)
        return s;
    const int idx = path[size_t(level - 1)].second;
    parent->setKey(idx, n->key(n->count() - 1), n->recs.back());
    parent->insert(idx + 1, m->key(m->count() - 1), m->recs.back(), newOff);
    return splitIfNeeded(t, path, level - 1);
}

Status CdxFile::insert(CdxTag* t, const char* key, quint32 rec)
{
    if (t->m_spec.unique && contains(t, key, t->m_keyLen))
        return {};
    std::vector<std::pair<quint32, int>> path;
    if (Status s = descend(t, key, t->m_keyLen, rec, false, &path); !s)
        return s;
    Node* leaf = nullptr;
    if (Status s = node(t, path.back().first, &leaf); !s)
        return s;
    const int pos = path.back().second;
    if (pos < leaf->count() && leaf->recs[size_t(pos)] == rec
        && std::memcmp(leaf->key(pos), key, size_t(t->m_keyLen)) == 0)
        return {};   // already there
    leaf->insert(pos, key, rec);
    return splitIfNeeded(t, path, int(path.size()) - 1);
}

Status CdxFile::remove(CdxTag* t, const char* key, quint32 rec)
{
    std::vector<std::pair<quint32, int>> path;
    if (Status s = descend(t, key, t->m_keyLen, rec, false, &path); !s)
        return s;
    Node* leaf = nullptr;
    if (Status s = node(t, path.back().first, &leaf); !s)
        return s;
    const int pos = path.back().second;
    if (pos >= leaf->count() || leaf->recs[size_t(pos)] != rec
        || std::memcmp(leaf->key(pos), key, size_t(t->m_keyLen)) != 0)
        return {};   // not in the tag (FOR condition, unique duplicate, or already gone)
    leaf->erase(pos);

    int level = int(path.size()) - 1;
    Node* n = leaf;
    while (n->count() == 0 && !n->isRoot()) {
        // Unlink the empty page from its siblings and from its parent.
        if (n->left != kNoPage && n->left != 0) {
            Node* l = nullptr;
            if (Status s = node(t, n->left, &l); !s)
                return s;
            l->right = n->right;
            if (Status s = writeNode(t, l); !s)
                return s;
        }
        if (n->right != kNoPage && n->right != 0) {
            Node* r = nullptr;
            if (Status s = node(t, n->right, &r); !s)
                return s;
            r->left = n->left;
            if (Status s = writeNode(t, r); !s)
                return s;
        }
        if (Status s = freePage(t, n->offset); !s)
            return s;
        --level;
        Node* parent = nullptr;
        if (Status s = node(t, path[size_t(level)].first, &parent); !s)
            return s;
        parent->erase(path[size_t(level)].second);
        if (path[size_t(level)].second > 0 && path[size_t(level)].second >= parent->count())
            path[size_t(level)].second = parent->count() - 1;
        n = parent;
    }
    if (n->count() == 0 && n->isRoot()) {
        n->attr = Leaf | Root;
        n->childs.clear();
        n->left = n->right = kNoPage;
        return writeNode(t, n);
    }
    if (Status s = writeNode(t, n); !s)
        return s;
    return fixParents(t, path, level);
}

// ---------------------------------------------------------------- tags

Status CdxFile::prepareTag(const TagSpec& def, const std::vector<FieldInfo>& fields, std::unique_ptr<CdxTag>* out)
{
    auto t = std::make_unique<CdxTag>();
    t->m_spec = def;
    t->m_name = upperName(def.name);
    t->m_spec.name = t->m_name;
    if (t->m_name.isEmpty())
        return {StatusCode::Invalid, QStringLiteral("La etiqueta necesita un nombre")};
    QString err;
    t->m_key = Expression::compile(def.keyExpr, fields, &err);
    if (!t->m_key)
        return {StatusCode::BadExpression,
                QStringLiteral("Expresión de clave no válida en la etiqueta %1: %2").arg(QString::fromLatin1(t->m_name), err)};
    if (!def.forExpr.trimmed().isEmpty()) {
        t->m_for = Expression::compile(def.forExpr, fields, &err);
        if (!t->m_for)
            return {StatusCode::BadExpression,
                    QStringLiteral("Condición FOR no válida en la etiqueta %1: %2").arg(QString::fromLatin1(t->m_name), err)};
        if (t->m_for->resultType() != Value::Type::Logical)
            return {StatusCode::BadExpression,
                    QStringLiteral("La condición FOR de la etiqueta %1 no es lógica").arg(QString::fromLatin1(t->m_name))};
    }
    BlankRecord blank(fields);
    const Value v = t->m_key->eval(blank);
    switch (v.type()) {
    case Value::Type::Char:
        t->m_keyLen = int(v.bytes().size());
        t->m_pad = v.isBinaryKey() ? '\0' : ' ';
        break;
    case Value::Type::Number:
    case Value::Type::Date:
        t->m_keyLen = 8;
        t->m_pad = '\0';
        break;
    case Value::Type::Logical:
        t->m_keyLen = 1;
        t->m_pad = ' ';
        break;
    case Value::Type::Nil:
        return {StatusCode::BadExpression,
                QStringLiteral("La expresión de clave de la etiqueta %1 no da un valor").arg(QString::fromLatin1(t->m_name))};
    }
    if (t->m_keyLen < 1 || t->m_keyLen > kMaxKeyLen)
        return {StatusCode::BadExpression,
                QStringLiteral("La clave de la etiqueta %1 mide %2 caracteres (de 1 a %3)")
                    .arg(QString::fromLatin1(t->m_name)).arg(t->m_keyLen).arg(kMaxKeyLen)};
    *out = std::move(t);
    return {};
}

Status CdxFile::bulkLoad(CdxTag* t, const std::vector<std::pair<QByteArray, quint32>>& keys)
{
    struct Ref { QByteArray key; quint32 rec; quint32 page; };
    quint32 maxRec = 0;
    for (auto& k : keys)
        maxRec = qMax(maxRec, k.second);

    // Leaves, filled as far as they go. The size is counted with the entry
    // width of the largest record number, which no page can exceed.
    constexpr int kLeafSpace = kPageSize - 24;
    int bitsRec = 8;
    while (bitsRec < 32 && (quint64(1) << bitsRec) <= maxRec)
        ++bitsRec;
    int bitsLen = 1;
    while ((1 << bitsLen) <= t->m_keyLen)
        ++bitsLen;
    const int entryBytes = (bitsRec + 2 * bitsLen + 7) / 8;
    const int keyLen = t->m_keyLen;
    const char pad = t->m_pad;
    auto trailingPad = [&](const char* k) {
        int n = 0;
        while (n < keyLen && k[keyLen - 1 - n] == pad)
            ++n;
        return n;
    };

    std::vector<Node> leaves;
    Node cur;
    int used = 0;
    auto startLeaf = [&]() {
        cur = Node();
        cur.keyLen = keyLen;
        cur.attr = Leaf;
        used = 0;
    };
    startLeaf();
    for (const auto& [key, rec] : keys) {
        const char* k = key.constData();
        const int trail = trailingPad(k);
        int dup = 0;
        if (cur.count() > 0) {
            const char* p = cur.key(cur.count() - 1);
            while (dup < keyLen && p[dup] == k[dup])
                ++dup;
            if (dup + trail > keyLen)
                dup = keyLen - trail;
        }
        int need = entryBytes + keyLen - dup - trail;
        if (cur.count() > 0 && used + need > kLeafSpace) {
            leaves.push_back(std::move(cur));
            startLeaf();
            need = entryBytes + keyLen - trail;
        }
        cur.insert(cur.count(), k, rec);
        used += need;
    }
    leaves.push_back(std::move(cur));

    std::vector<Ref> level;
    for (auto& leaf : leaves)
        if (Status s = allocPage(&leaf.offset); !s)
            return s;
    for (size_t j = 0; j < leaves.size(); ++j) {
        Node& leaf = leaves[j];
        leaf.left = j ? leaves[j - 1].offset : kNoPage;
        leaf.right = j + 1 < leaves.size() ? leaves[j + 1].offset : kNoPage;
        if (leaves.size() == 1)
            leaf.attr = Leaf | Root;
        uchar page[kPageSize];
        if (!encodeLeaf(leaf, pad, page))
            return {StatusCode::Invalid, QStringLiteral("Página de índice desbordada")};
        if (Status s = m_file.writeAt(leaf.offset, page, kPageSize); !s)
            return s;
        if (leaf.count() > 0)
            level.push_back({leaf.keyAt(leaf.count() - 1), leaf.recs.back(), leaf.offset});
        else
            level.push_back({QByteArray(keyLen, pad), 0, leaf.offset});
    }

    // Interior levels until one page remains.
    const int cap = interiorCapacity(t->m_keyLen);
    while (level.size() > 1) {
        std::vector<Ref> up;
        const bool top = int(level.size()) <= cap;
        quint32 prev = kNoPage;
        std::vector<Node> nodes;
        for (size_t j = 0; j < level.size(); j += size_t(cap)) {
            Node in;
            in.keyLen = t->m_keyLen;
            in.attr = top ? (Interior | Root) : Interior;
            if (Status s = allocPage(&in.offset); !s)
                return s;
            in.left = prev;
            for (size_t k = j; k < qMin(level.size(), j + size_t(cap)); ++k)
                in.insert(in.count(), level[k].key.constData(), level[k].rec, level[k].page);
            if (!nodes.empty())
                nodes.back().right = in.offset;
            prev = in.offset;
            up.push_back({in.keyAt(in.count() - 1), in.recs.back(), in.offset});
            nodes.push_back(std::move(in));
        }
        for (auto& in : nodes) {
            uchar page[kPageSize];
            encodeInterior(in, page);
            if (Status s = m_file.writeAt(in.offset, page, kPageSize); !s)
                return s;
        }
        level.swap(up);
    }
    t->m_root = level.front().page;
    t->m_cache.clear();
    touch(t);
    return {};
}

Status CdxFile::insertDirectory(const QByteArray& name, quint32 header)
{
    const QByteArray k = dirKey(name);
    return insert(m_dir.get(), k.constData(), header);
}

Status CdxFile::removeDirectory(const QByteArray& name)
{
    const QByteArray k = dirKey(name);
    for (auto& t : m_tags)
        if (t->m_name == upperName(name))
            return remove(m_dir.get(), k.constData(), t->m_header);
    return {};
}

Status CdxFile::freeTree(CdxTag* t)
{
    std::deque<quint32> todo{t->m_root};
    std::vector<quint32> pages;
    while (!todo.empty()) {
        const quint32 off = todo.front();
        todo.pop_front();
        Node* n = nullptr;
        if (!node(t, off, &n))
            continue;   // a damaged tree: what cannot be read is not reused
        pages.push_back(off);
        if (!n->isLeaf())
            for (quint32 c : n->childs)
                todo.push_back(c);
        if (pages.size() > 10000000)
            break;
    }
    for (quint32 off : pages)
        if (Status s = freePage(t, off); !s)
            return s;
    t->m_cache.clear();
    return {};
}

Status CdxFile::createTag(const TagSpec& def, const std::vector<FieldInfo>& fields,
                          std::vector<std::pair<QByteArray, quint32>>* sortedKeys, CdxTag** out)
{
    std::unique_ptr<CdxTag> t;
    if (Status s = prepareTag(def, fields, &t); !s)
        return s;
    Section sec(*this, true);
    if (!sec)
        return sec.status();
    if (tagIndex(t->m_name) >= 0)
        if (Status s = deleteTag(t->m_name); !s)
            return s;
    // Headers always go at the end, so header order stays creation order.
    t->m_header = quint32(m_fileEnd);
    m_fileEnd += kTagHeaderSize;
    static const uchar zero[kTagHeaderSize] = {};
    if (Status s = m_file.writeAt(t->m_header, zero, kTagHeaderSize); !s)
        return s;
    if (Status s = bulkLoad(t.get(), *sortedKeys); !s)
        return s;
    if (Status s = writeTagHeader(t.get(), true); !s)
        return s;
    if (Status s = insertDirectory(t->m_name, t->m_header); !s)
        return s;
    m_fields = fields;
    CdxTag* raw = t.get();
    m_tags.push_back(std::move(t));
    if (out)
        *out = raw;
    return {};
}

Status CdxFile::deleteTag(const QByteArray& name)
{
    Section sec(*this, true);
    if (!sec)
        return sec.status();
    const int i = tagIndex(name);
    if (i < 0)
        return {StatusCode::NotFound, QStringLiteral("No existe la etiqueta %1").arg(QString::fromLatin1(name))};
    CdxTag* t = m_tags[size_t(i)].get();
    if (Status s = removeDirectory(t->m_name); !s)
        return s;
    if (Status s = freeTree(t); !s)
        return s;
    m_tags.erase(m_tags.begin() + i);
    m_dirDirty = true;
    return {};
}

Status CdxFile::clearAll()
{
    Section sec(*this, true);
    if (!sec)
        return sec.status();
    for (auto& t : m_tags) {
        if (Status s = freeTree(t.get()); !s)
            return s;
        std::vector<std::pair<QByteArray, quint32>> none;
        if (Status s = bulkLoad(t.get(), none); !s)
            return s;
    }
    return {};
}

} // namespace store

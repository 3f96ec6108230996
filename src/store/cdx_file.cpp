// The compound index file: opening and creating it, its directory of tags,
// the sections that keep it coherent between processes, and its page cache.
#include "cdx_file.h"
#include "cdx_internal.h"

#include "codepage.h"

#include <QtEndian>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace store {

namespace {

qint64 monotonicMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

using namespace cdx;

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
    m_lockKept = false;   // closing the file lets every lock go
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
    qToLittleEndian<quint32>(t->m_root, h + kHdrRoot);
    qToLittleEndian<quint32>(t == m_dir.get() ? m_freeHead : kNoPage, h + kHdrFree);
    qToLittleEndian<quint32>(t == m_dir.get() ? m_globalSeen : t->m_counter, h + kHdrCounter);
    if (!full)
        return m_file.writeAt(t->m_header, h, 12);
    qToLittleEndian<quint16>(quint16(t->m_keyLen), h + kHdrKeyLen);
    quint8 opt = kOptCompact | kOptCompound;
    if (t == m_dir.get())
        opt |= kOptDirectory;
    if (t->m_spec.unique)
        opt |= kOptUnique;
    if (t->m_spec.custom)
        opt |= kOptCustom;
    if (!t->m_spec.forExpr.isEmpty())
        opt |= kOptFor;
    h[kHdrOptions] = opt;
    h[kHdrSignature] = 1;
    qToLittleEndian<quint16>(t->m_spec.descending ? 1 : 0, h + kHdrDescending);
    const QByteArray& k = t->m_spec.keyExpr;
    const QByteArray& f = t->m_spec.forExpr;
    const int keyLenZ = int(k.size()) + 1, forLenZ = int(f.size()) + 1;
    qToLittleEndian<quint16>(quint16(keyLenZ), h + kHdrForPos);   // FOR expression starts after the key
    qToLittleEndian<quint16>(quint16(forLenZ), h + kHdrForLen);
    qToLittleEndian<quint16>(0, h + kHdrKeyPos);
    qToLittleEndian<quint16>(quint16(keyLenZ), h + kHdrKeyExprLen);
    std::memcpy(h + kHdrPool, k.constData(), size_t(k.size()));
    std::memcpy(h + kHdrPool + keyLenZ, f.constData(), size_t(f.size()));
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
    Section sec(*this);
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
    t->m_counter = qFromLittleEndian<quint32>(h + kHdrCounter);
    t->m_keyLen = qFromLittleEndian<quint16>(h + kHdrKeyLen);
    const quint8 opt = h[kHdrOptions];
    if (t->m_keyLen < 1 || t->m_keyLen > kMaxKeyLen)
        return corrupt(path(), QStringLiteral("longitud de clave %1 no válida").arg(t->m_keyLen));
    if (t->m_root % kPageSize != 0 || qint64(t->m_root) + kPageSize > size)
        return corrupt(path(), QStringLiteral("página raíz fuera del fichero"));
    if (t == m_dir.get())
        return {};
    const int forPos = qFromLittleEndian<quint16>(h + kHdrForPos);
    const int forLen = qFromLittleEndian<quint16>(h + kHdrForLen);
    const int keyPos = qFromLittleEndian<quint16>(h + kHdrKeyPos);
    const int keyLen = qFromLittleEndian<quint16>(h + kHdrKeyExprLen);
    auto poolText = [&](int pos, int len) {
        if (pos < 0 || len <= 0 || pos + len > 512)
            return QByteArray();
        const char* p = reinterpret_cast<const char*>(h + kHdrPool + pos);
        return QByteArray(p, int(qstrnlen(p, size_t(len))));
    };
    TagSpec def;
    def.name = t->m_name;
    def.keyExpr = poolText(keyPos, keyLen).trimmed();
    def.forExpr = poolText(forPos, forLen).trimmed();
    def.descending = qFromLittleEndian<quint16>(h + kHdrDescending) != 0;
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
    if (Status s = scanKeys(m_dir.get(), &entries); !s)
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
        m_freeHead = qFromLittleEndian<quint32>(h + kHdrFree);
        m_globalSeen = qFromLittleEndian<quint32>(h + kHdrCounter);
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

CdxFile::Section::Section(CdxFile& f, bool write) : m_f(f)
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
    *dirRoot = qFromLittleEndian<quint32>(h + kHdrRoot);
    *freeHead = qFromLittleEndian<quint32>(h + kHdrFree);
    *global = qFromLittleEndian<quint32>(h + kHdrCounter);
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
    if (m_lockKept) {
        if (!write && m_readHolds > 0 && monotonicMs() - m_keptSince < kReadHoldMs) {
            // nobody could change the file since the kept lock was taken
            m_lockHeld = true;
            m_lockDepth = 1;
            m_lockWrite = false;
            return {};
        }
        releaseKeptLock();
    }
    if (m_shared && m_dir && !write && m_readHolds > 0 && monotonicMs() >= m_keepAgainAt) {
        if (Status s = takeLock(false); !s)
            return s;
    } else if (m_shared && m_dir && !write) {
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
    if (m_lockHeld && !m_lockWrite && m_readHolds > 0 && !m_interrupted) {
        if (!m_lockKept)
            m_keptSince = monotonicMs();
        m_lockKept = true;
    } else if (m_lockHeld) {
        m_file.unlock(kIndexLockOffset, 1);
    }
    m_lockHeld = false;
}

void CdxFile::releaseKeptLock()
{
    if (!m_lockKept)
        return;
    m_file.unlock(kIndexLockOffset, 1);
    m_lockKept = false;
    // Let a writer that waited for the lock in before keeping it again.
    m_keepAgainAt = monotonicMs() + 2;
}

void CdxFile::keepReadLocks(bool keep)
{
    m_readHolds = keep ? 1 : 0;
    if (!keep && m_lockDepth == 0)
        releaseKeptLock();
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
    const std::function<Status()> beforeSettled = std::move(m_beforeSettled);
    m_beforeSettled = {};
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
    if (beforeSettled)
        if (Status s = beforeSettled(); !s)
            return failed(s);
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
        const quint32 root = qFromLittleEndian<quint32>(th + kHdrRoot);
        const quint32 counter = qFromLittleEndian<quint32>(th + kHdrCounter);
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

} // namespace store

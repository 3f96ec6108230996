#include "cdx_page.h"

#include <QtEndian>

#include <cstring>

namespace store::cdx {

namespace {
constexpr int kInteriorHeader = 12;

int bitsFor(quint32 v)
{
    int b = 0;
    while (v) {
        ++b;
        v >>= 1;
    }
    return b;
}
} // namespace

LeafLayout leafLayout(int keyLen, quint32 maxRec)
{
    LeafLayout l;
    l.dupBits = l.trailBits = qMax(1, bitsFor(quint32(keyLen)));
    int rb = qMax(8, bitsFor(maxRec));
    l.bytes = (rb + l.dupBits + l.trailBits + 7) / 8;
    if (l.bytes > 6)
        l.bytes = 6;
    l.recBits = l.bytes * 8 - l.dupBits - l.trailBits;
    if (l.recBits > 32)
        l.recBits = 32;
    return l;
}

bool LeafLayout::holds(quint32 maxRec) const { return recBits >= bitsFor(maxRec); }

PackedKey packKey(const char* prev, const char* k, int len, char pad)
{
    PackedKey p{0, 0, 0};
    while (p.trail < len && k[len - 1 - p.trail] == pad)
        ++p.trail;
    if (prev) {
        while (p.dup < len && prev[p.dup] == k[p.dup])
            ++p.dup;
        if (p.dup + p.trail > len)
            p.dup = len - p.trail;
    }
    p.stored = len - p.dup - p.trail;
    return p;
}

bool LeafFill::add(const char* prev, const char* key)
{
    const int need = m_entryBytes + packKey(prev, key, m_keyLen, m_pad).stored;
    if (prev && m_used + need > kLeafSpace)
        return false;
    m_used += need;
    return true;
}

int Node::stored(int i) const
{
    return packKey(i ? key(i - 1) : nullptr, key(i), keyLen, measuredPad).stored;
}

void Node::insert(int pos, const char* k, quint32 rec, quint32 child)
{
    const bool track = isLeaf() && storedBytes >= 0;
    if (track && pos < count())
        storedBytes -= stored(pos);
    keys.insert(qsizetype(pos) * keyLen, k, keyLen);
    recs.insert(recs.begin() + pos, rec);
    if (!isLeaf())
        childs.insert(childs.begin() + pos, child);
    if (track) {
        storedBytes += stored(pos);
        if (pos + 1 < count())
            storedBytes += stored(pos + 1);
        maxRec = qMax(maxRec, rec);
    }
}

void Node::erase(int pos)
{
    const bool track = isLeaf() && storedBytes >= 0 && recs[size_t(pos)] != maxRec;
    if (track) {
        storedBytes -= stored(pos);
        if (pos + 1 < count())
            storedBytes -= stored(pos + 1);
    } else {
        storedBytes = -1;
    }
    keys.remove(qsizetype(pos) * keyLen, keyLen);
    recs.erase(recs.begin() + pos);
    if (!isLeaf())
        childs.erase(childs.begin() + pos);
    if (track && pos < count())
        storedBytes += stored(pos);
}

void Node::setKey(int pos, const char* k, quint32 rec)
{
    storedBytes = -1;
    std::memcpy(keys.data() + qsizetype(pos) * keyLen, k, size_t(keyLen));
    recs[size_t(pos)] = rec;
}

void Node::moveTail(int from, Node* other)
{
    storedBytes = other->storedBytes = -1;
    other->keys.append(keys.constData() + qsizetype(from) * keyLen, (count() - from) * keyLen);
    other->recs.insert(other->recs.end(), recs.begin() + from, recs.end());
    if (!isLeaf())
        other->childs.insert(other->childs.end(), childs.begin() + from, childs.end());
    keys.truncate(qsizetype(from) * keyLen);
    recs.resize(size_t(from));
    if (!isLeaf())
        childs.resize(size_t(from));
}

Status decode(const uchar* p, int keyLen, char pad, quint32 offset, Node* out)
{
    auto bad = [&](const char* why) {
        return Status(StatusCode::Corrupt,
                      QStringLiteral("Página de índice %1 dañada: %2").arg(offset).arg(QLatin1String(why)));
    };
    Node n;
    n.offset = offset;
    n.keyLen = keyLen;
    n.attr = qFromLittleEndian<quint16>(p);
    const int count = qFromLittleEndian<quint16>(p + 2);
    n.left = qFromLittleEndian<quint32>(p + 4);
    n.right = qFromLittleEndian<quint32>(p + 8);
    if (n.attr > 3)
        return bad("atributo desconocido");
    if (!n.isLeaf() && count > interiorCapacity(keyLen))
        return bad("demasiadas claves");
    if (n.isLeaf() && count > kLeafSpace)
        return bad("demasiadas claves");
    n.recs.reserve(size_t(count));
    n.keys.resize(qsizetype(count) * keyLen);
    if (!n.isLeaf()) {
        n.childs.reserve(size_t(count));
        const uchar* e = p + kInteriorHeader;
        for (int i = 0; i < count; ++i) {
            std::memcpy(n.keys.data() + qsizetype(i) * keyLen, e, size_t(keyLen));
            n.recs.push_back(qFromBigEndian<quint32>(e + keyLen));
            n.childs.push_back(qFromBigEndian<quint32>(e + keyLen + 4));
            e += keyLen + 8;
        }
        *out = std::move(n);
        return {};
    }
    const quint32 recMask = qFromLittleEndian<quint32>(p + 14);
    const int dupMask = p[18], trailMask = p[19];
    const int recBits = p[20], dupBits = p[21], trailBits = p[22], bytes = p[23];
    // The bit widths must describe an entry that fits its bytes, and the masks
    // must be the widths' own: anything else would shift values past their size.
    auto maskOf = [](int bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1; };
    if (bytes < 1 || bytes > 8 || recBits < 1 || recBits > 32 || dupBits > 8 || trailBits > 8
        || recBits + dupBits + trailBits > bytes * 8 || recMask != maskOf(recBits) || quint32(dupMask) != maskOf(dupBits)
        || quint32(trailMask) != maskOf(trailBits))
        return bad("formato de entradas no válido");
    if (count * bytes > kLeafSpace)
        return bad("demasiadas claves");
    int keyPos = kPageSize;          // key bytes are taken from the end backwards
    const int entriesEnd = kLeafHeader + count * bytes;
    const char* prev = nullptr;
    for (int i = 0; i < count; ++i) {
        quint64 v = 0;
        const uchar* e = p + kLeafHeader + i * bytes;
        for (int b = bytes - 1; b >= 0; --b)
            v = (v << 8) | e[b];
        const quint32 rec = quint32(v & recMask);
        const int dup = int((v >> recBits) & quint64(dupMask));
        const int trail = int((v >> (recBits + dupBits)) & quint64(trailMask));
        if (dup + trail > keyLen || (i == 0 && dup != 0))
            return bad("clave comprimida no válida");
        const int stored = keyLen - dup - trail;
        keyPos -= stored;
        if (keyPos < entriesEnd)
            return bad("las claves se solapan con las entradas");
        char* k = n.keys.data() + qsizetype(i) * keyLen;
        if (dup)
            std::memcpy(k, prev, size_t(dup));
        std::memcpy(k + dup, p + keyPos, size_t(stored));
        std::memset(k + dup + stored, pad, size_t(trail));
        n.recs.push_back(rec);
        prev = k;
    }
    *out = std::move(n);
    return {};
}

int leafBytes(const Node& n, char pad)
{
    if (n.storedBytes < 0 || n.measuredPad != pad) {
        n.measuredPad = pad;
        n.maxRec = 0;
        for (quint32 r : n.recs)
            n.maxRec = qMax(n.maxRec, r);
        int total = 0;
        for (int i = 0; i < n.count(); ++i)
            total += n.stored(i);
        n.storedBytes = total;
    }
    const LeafLayout l = leafLayout(n.keyLen, n.maxRec);
    if (!l.holds(n.maxRec))
        return -1;
    const int total = n.count() * l.bytes + n.storedBytes;
    return total <= kLeafSpace ? total : -1;
}

bool encodeLeaf(const Node& n, char pad, uchar* p)
{
    quint32 maxRec = 0;
    for (quint32 r : n.recs)
        maxRec = qMax(maxRec, r);
    const LeafLayout l = leafLayout(n.keyLen, maxRec);
    if (!l.holds(maxRec))
        return false;
    std::memset(p, 0, kPageSize);
    qToLittleEndian<quint16>(n.attr, p);
    qToLittleEndian<quint16>(quint16(n.count()), p + 2);
    qToLittleEndian<quint32>(n.left, p + 4);
    qToLittleEndian<quint32>(n.right, p + 8);
    qToLittleEndian<quint32>(l.recBits >= 32 ? 0xFFFFFFFFu : ((1u << l.recBits) - 1), p + 14);
    p[18] = uchar((1 << l.dupBits) - 1);
    p[19] = uchar((1 << l.trailBits) - 1);
    p[20] = uchar(l.recBits);
    p[21] = uchar(l.dupBits);
    p[22] = uchar(l.trailBits);
    p[23] = uchar(l.bytes);
    int keyPos = kPageSize;
    const int entriesEnd = kLeafHeader + n.count() * l.bytes;
    for (int i = 0; i < n.count(); ++i) {
        const char* k = n.key(i);
        const PackedKey pk = packKey(i ? n.key(i - 1) : nullptr, k, n.keyLen, pad);
        keyPos -= pk.stored;
        if (keyPos < entriesEnd)
            return false;
        std::memcpy(p + keyPos, k + pk.dup, size_t(pk.stored));
        quint64 v = quint64(n.recs[size_t(i)]) | (quint64(pk.dup) << l.recBits)
                    | (quint64(pk.trail) << (l.recBits + l.dupBits));
        uchar* e = p + kLeafHeader + i * l.bytes;
        for (int b = 0; b < l.bytes; ++b) {
            e[b] = uchar(v & 0xFF);
            v >>= 8;
        }
    }
    qToLittleEndian<quint16>(quint16(keyPos - entriesEnd), p + 12);
    return true;
}

int interiorCapacity(int keyLen)
{
    return (kPageSize - kInteriorHeader) / (keyLen + 8);
}

void encodeInterior(const Node& n, uchar* p)
{
    std::memset(p, 0, kPageSize);
    qToLittleEndian<quint16>(n.attr, p);
    qToLittleEndian<quint16>(quint16(n.count()), p + 2);
    qToLittleEndian<quint32>(n.left, p + 4);
    qToLittleEndian<quint32>(n.right, p + 8);
    uchar* e = p + kInteriorHeader;
    for (int i = 0; i < n.count(); ++i) {
        std::memcpy(e, n.key(i), size_t(n.keyLen));
        qToBigEndian<quint32>(n.recs[size_t(i)], e + n.keyLen);
        qToBigEndian<quint32>(n.childs[size_t(i)], e + n.keyLen + 4);
        e += n.keyLen + 8;
    }
}

} // namespace store::cdx

#pragma once
// One 512-byte page of a compound index, decoded into plain arrays.
//
// Leaf pages store their keys compressed: each entry packs the record number,
// the count of leading bytes shared with the previous key and the count of
// trailing pad bytes dropped; the remaining key bytes are packed from the end
// of the page towards the front. Interior pages hold full keys with the record
// number and the child page, both big-endian.

#include "status.h"

#include <QByteArray>

#include <vector>

namespace store::cdx {

constexpr int kPageSize = 512;
constexpr quint32 kNoPage = 0xFFFFFFFFu;
constexpr int kMaxKeyLen = 240;
constexpr int kLeafHeader = 24;
constexpr int kLeafSpace = kPageSize - kLeafHeader;   // entries and key bytes of a leaf

// How a leaf packs its entries: each holds the record number and the counts of
// leading bytes shared with the previous key (dup) and of trailing pad bytes
// dropped (trail) in `bytes` bytes, sized for the largest record number.
struct LeafLayout {
    int recBits, dupBits, trailBits, bytes;
    bool holds(quint32 maxRec) const;
};
LeafLayout leafLayout(int keyLen, quint32 maxRec);

// One key packed after its predecessor (null for a page's first key).
struct PackedKey {
    int dup, trail, stored;          // stored: key bytes the page keeps
};
PackedKey packKey(const char* prev, const char* key, int keyLen, char pad);

// Fills leaves with keys in order, as many as a page takes (the bulk load).
class LeafFill {
public:
    LeafFill(int keyLen, char pad, quint32 maxRec)
        : m_keyLen(keyLen), m_pad(pad), m_entryBytes(leafLayout(keyLen, maxRec).bytes) {}
    // Counts key (after prev, null on an empty page) on the page; false, with
    // nothing counted, when it no longer fits. A first key always fits.
    bool add(const char* prev, const char* key);
    void restart() { m_used = 0; }
private:
    int m_keyLen;
    char m_pad;
    int m_entryBytes;
    int m_used = 0;
};

enum PageAttr : quint16 { Interior = 0, Root = 1, Leaf = 2 };

struct Node {
    quint32 offset = 0;
    quint16 attr = Leaf | Root;
    quint32 left = kNoPage;
    quint32 right = kNoPage;
    int keyLen = 0;
    QByteArray keys;                 // count() * keyLen bytes, full keys
    std::vector<quint32> recs;
    std::vector<quint32> childs;     // interior pages only

    // What leafBytes() last measured, kept up to date by the edits below so a
    // leaf that gains one key is not measured again from its first entry.
    mutable int storedBytes = -1;    // key bytes after compression; -1 unknown
    mutable quint32 maxRec = 0;
    mutable char measuredPad = 0;

    bool isLeaf() const { return attr & Leaf; }
    bool isRoot() const { return attr & Root; }
    int count() const { return int(recs.size()); }
    const char* key(int i) const { return keys.constData() + qsizetype(i) * keyLen; }
    QByteArray keyAt(int i) const { return QByteArray(key(i), keyLen); }

    void insert(int pos, const char* key, quint32 rec, quint32 child = 0);
    void erase(int pos);
    void setKey(int pos, const char* key, quint32 rec);
    // Moves entries [from, count) into `other` (appended at its end).
    void moveTail(int from, Node* other);
    // Key bytes entry i needs after its predecessor, pad bytes dropped.
    int stored(int i) const;

};

// Decodes a page; pad is the byte dropped from key ends (blank or NUL).
Status decode(const uchar* page, int keyLen, char pad, quint32 offset, Node* out);

// Bytes a leaf with these entries needs, or -1 when it cannot be encoded in one page.
int leafBytes(const Node& n, char pad);
// Encodes; false when the entries do not fit in one page.
bool encodeLeaf(const Node& n, char pad, uchar* page);
void encodeInterior(const Node& n, uchar* page);
int interiorCapacity(int keyLen);

} // namespace store::cdx

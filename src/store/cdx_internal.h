#pragma once
// What the parts of the compound index (file and sections, tree, tag building)
// share and nobody else needs: header sizes, limits and small helpers.

#include "status.h"

#include <QByteArray>
#include <QString>

namespace store::cdx {

// Byte locked (shared to read, exclusive to change) while pages are used;
// far beyond any real page so that plain reads are never blocked.
constexpr qint64 kIndexLockOffset = qint64(1) << 40;
constexpr int kTagHeaderSize = 1024;

// Where things stand in a tag header (the directory is a tag too, its header
// at offset 0). Little-endian integers.
//   0    root page (4)                 502  1 descending, 0 ascending (2)
//   4    first free page, -1 none (4)  504  FOR expression's place in the pool (2)
//   8    change counter (4)            506  its length with the NUL (2)
//   12   key length (2)                508  key expression's place in the pool (2)
//   14   options                       510  its length with the NUL (2)
//   15   signature, 1                  512  the expression pool
//   16   (directory only) this program's changes-in-progress mark
constexpr int kHdrRoot = 0;
constexpr int kHdrFree = 4;
constexpr int kHdrCounter = 8;
constexpr int kHdrKeyLen = 12;
constexpr int kHdrOptions = 14;
constexpr int kHdrSignature = 15;
constexpr qint64 kInFluxAt = 16;
constexpr int kHdrDescending = 502;
constexpr int kHdrForPos = 504;
constexpr int kHdrForLen = 506;
constexpr int kHdrKeyPos = 508;
constexpr int kHdrKeyExprLen = 510;
constexpr int kHdrPool = 512;
constexpr int kMaxDepth = 64;
constexpr size_t kMaxCachedPages = 20000;

// Options byte of a tag header.
constexpr quint8 kOptUnique = 0x01;
constexpr quint8 kOptCustom = 0x04;
constexpr quint8 kOptFor = 0x08;
constexpr quint8 kOptCompact = 0x20;
constexpr quint8 kOptCompound = 0x40;
constexpr quint8 kOptDirectory = 0x80;

inline QByteArray upperName(const QByteArray& n)
{
    return n.trimmed().toUpper().left(10);
}

// A tag's name as the directory stores it as key.
inline QByteArray dirKey(const QByteArray& name)
{
    QByteArray k = upperName(name);
    k.append(QByteArray(10 - k.size(), ' '));
    return k;
}

inline Status corrupt(const QString& path, const QString& why)
{
    return {StatusCode::Corrupt, QStringLiteral("El índice %1 está dañado: %2").arg(path, why)};
}

} // namespace store::cdx

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

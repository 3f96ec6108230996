#include "memo_file.h"

#include <QtEndian>

namespace store {

namespace {
// Lock byte for block allocation, far beyond any real memo data.
constexpr qint64 kAllocLockOffset = qint64(1) << 40;

Status corruptMemo(const QString& path, const QString& why)
{
    return {StatusCode::Corrupt, QStringLiteral("El fichero de memos %1 está dañado: %2").arg(path, why)};
}
} // namespace

Status MemoFile::create(const QString& path, int blockSize)
{
    if (Status s = m_file.open(path, true, true); !s)
        return s;
    m_blockSize = blockSize;
    QByteArray h(kHeaderSize, '\0');
    qToBigEndian<quint32>(quint32((kHeaderSize + blockSize - 1) / blockSize), h.data() + fpt::kNextFree);
    qToBigEndian<quint16>(quint16(blockSize), h.data() + fpt::kBlockSize);
    return m_file.writeAt(0, h.constData(), h.size());
}

Status MemoFile::open(const QString& path, bool writable)
{
    if (Status s = m_file.open(path, writable); !s)
        return s;
    uchar h[8];
    qint64 got = 0;
    if (Status s = m_file.readAt(0, h, 8, &got); !s)
        return s;
    if (got < 8)
        return corruptMemo(path, QStringLiteral("cabecera incompleta"));
    int bs = qFromBigEndian<quint16>(h + fpt::kBlockSize);
    if (bs == 0)
        bs = kDefaultBlockSize;   // some writers leave it zero and mean the default
    if (bs < 1 || bs > 32768)
        return corruptMemo(path, QStringLiteral("tamaño de bloque %1 no válido").arg(bs));
    m_blockSize = bs;
    return {};
}

Status MemoFile::nextFree(quint32* next) const
{
    uchar h[4];
    if (Status s = m_file.readAt(fpt::kNextFree, h, 4); !s)
        return s;
    *next = qFromBigEndian<quint32>(h);
    return {};
}

Status MemoFile::read(quint32 block, QByteArray* data, bool* binary) const
{
    data->clear();
    if (binary)
        *binary = false;
    if (block == 0)
        return {};
    const qint64 size = m_file.size();
    const qint64 pos = qint64(block) * m_blockSize;
    if (pos < kHeaderSize || pos + fpt::kMemoData > size)
        return corruptMemo(path(), QStringLiteral("el bloque %1 está fuera del fichero").arg(block));
    uchar h[8];
    if (Status s = m_file.readAt(pos, h, fpt::kMemoData); !s)
        return s;
    const quint32 type = qFromBigEndian<quint32>(h + fpt::kMemoType);
    const quint32 len = qFromBigEndian<quint32>(h + fpt::kMemoLength);
    if (qint64(len) > size - pos - 8)
        return corruptMemo(path(), QStringLiteral("el memo del bloque %1 se sale del fichero").arg(block));
    data->resize(qsizetype(len));
    if (Status s = m_file.readAt(pos + fpt::kMemoData, data->data(), len); !s)
        return s;
    if (binary)
        *binary = (type == 0);
    return {};
}

Status MemoFile::blocksOf(quint32 block, quint32* count) const
{
    *count = 0;
    if (block == 0)
        return {};
    const qint64 pos = qint64(block) * m_blockSize;
    uchar h[8];
    qint64 got = 0;
    if (Status s = m_file.readAt(pos, h, fpt::kMemoData, &got); !s)
        return s;
    if (got < fpt::kMemoData)
        return {};
    const quint32 len = qFromBigEndian<quint32>(h + fpt::kMemoLength);
    *count = quint32((qint64(len) + fpt::kMemoData + m_blockSize - 1) / m_blockSize);
    return {};
}

Status MemoFile::write(quint32 oldBlock, const QByteArray& data, bool binary, quint32* block)
{
    *block = 0;
    if (data.isEmpty())
        return {};
    const quint32 needed = quint32((qint64(data.size()) + fpt::kMemoData + m_blockSize - 1) / m_blockSize);
    QByteArray buf(qsizetype(needed) * m_blockSize, '\0');
    qToBigEndian<quint32>(binary ? 0u : 1u, buf.data() + fpt::kMemoType);
    qToBigEndian<quint32>(quint32(data.size()), buf.data() + fpt::kMemoLength);
    std::memcpy(buf.data() + fpt::kMemoData, data.constData(), size_t(data.size()));

    quint32 oldCount = 0;
    if (oldBlock != 0) {
        if (Status s = blocksOf(oldBlock, &oldCount); !s)
            return s;
    }
    if (oldBlock != 0 && oldCount >= needed) {
        if (Status s = m_file.writeAt(qint64(oldBlock) * m_blockSize, buf.constData(), buf.size()); !s)
            return s;
        *block = oldBlock;
        return {};
    }

    // New blocks at the end, taken under the allocation lock.
    Status lock = m_file.lockWait(kAllocLockOffset, 1, OsFile::LockKind::Write);
    if (!lock)
        return lock;
    quint32 next = 0;
    Status s = nextFree(&next);
    if (s) {
        const quint32 minBlock = quint32((kHeaderSize + m_blockSize - 1) / m_blockSize);
        if (next < minBlock)
            next = minBlock;
        s = m_file.writeAt(qint64(next) * m_blockSize, buf.constData(), buf.size());
        if (s) {
            uchar nf[4];
            qToBigEndian<quint32>(next + needed, nf);
            s = m_file.writeAt(fpt::kNextFree, nf, 4);
        }
    }
    m_file.unlock(kAllocLockOffset, 1);
    if (s)
        *block = next;
    return s;
}

Status MemoFile::zap()
{
    if (Status s = m_file.truncate(kHeaderSize); !s)
        return s;
    uchar nf[4];
    qToBigEndian<quint32>(quint32((kHeaderSize + m_blockSize - 1) / m_blockSize), nf);
    return m_file.writeAt(fpt::kNextFree, nf, 4);
}

} // namespace store

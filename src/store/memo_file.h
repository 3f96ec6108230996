#pragma once
// The FPT memo file: blocks of text or binary data referenced from memo fields.

#include "os_file.h"

#include <QByteArray>

namespace store {

// Where things stand in an FPT file. All integers are big-endian.
//   header (block 0 and on, 512 bytes): 0 next free block (4), 6 block size (2)
//   each memo, from a block boundary:   0 type (4: 1 text, 0 binary), 4 length (4), 8 the data
namespace fpt {
constexpr int kNextFree = 0;
constexpr int kBlockSize = 6;
constexpr int kMemoType = 0;
constexpr int kMemoLength = 4;
constexpr int kMemoData = 8;
} // namespace fpt

class MemoFile {
public:
    static constexpr int kHeaderSize = 512;
    static constexpr int kDefaultBlockSize = 64;

    Status create(const QString& path, int blockSize = kDefaultBlockSize);
    Status open(const QString& path, bool writable);
    void close() { m_file.close(); }
    bool isOpen() const { return m_file.isOpen(); }
    const QString& path() const { return m_file.path(); }
    int blockSize() const { return m_blockSize; }

    // Block 0 is "no memo" and reads as empty text.
    Status read(quint32 block, QByteArray* data, bool* binary = nullptr) const;

    // Writes data and returns its first block. When the old memo had room for
    // the new data, its blocks are reused; otherwise new blocks are taken at the
    // end (under the memo file's lock, so two processes never take the same ones).
    // Empty data gives block 0.
    Status write(quint32 oldBlock, const QByteArray& data, bool binary, quint32* block);

    // Number of the next free block, as stored in the header.
    Status nextFree(quint32* next) const;
    // Empties the file (keeps the block size).
    Status zap();

    OsFile& file() { return m_file; }

private:
    Status blocksOf(quint32 block, quint32* count) const;
    OsFile m_file;
    int m_blockSize = kDefaultBlockSize;
};

} // namespace store

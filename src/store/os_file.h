#pragma once
// A plain POSIX file descriptor with whole reads and writes at an offset and
// non-blocking byte-range locks. Record-level coordination between processes
// is built on these locks (see table_file.cpp for the offsets used).

#include "status.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace store {

class OsFile {
public:
    OsFile() = default;
    ~OsFile();
    OsFile(const OsFile&) = delete;
    OsFile& operator=(const OsFile&) = delete;

    Status open(const QString& path, bool writable, bool create = false);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    const QString& path() const { return m_path; }

    // Reads exactly len bytes; a short read is Corrupt ("past the end"), unless
    // allowShort, in which case the number read is returned in *got.
    Status readAt(qint64 off, void* buf, qint64 len, qint64* got = nullptr) const;
    Status writeAt(qint64 off, const void* buf, qint64 len);
    Status truncate(qint64 size);
    qint64 size() const;                  // -1 on error
    Status sync();

    enum class LockKind { Read, Write };
    // Tries once; Busy when another process holds a conflicting lock.
    Status tryLock(qint64 off, qint64 len, LockKind kind);
    // Waits until granted (for short sections that are never held while waiting for another lock).
    Status lockWait(qint64 off, qint64 len, LockKind kind);
    void unlock(qint64 off, qint64 len);
    // True when another process holds a lock over any byte of the range.
    bool lockedByOthers(qint64 off, qint64 len) const;

    // Device and inode, to recognise the same file opened under two names.
    bool identity(dev_t* dev, ino_t* ino) const;

private:
    Status setLock(qint64 off, qint64 len, LockKind kind, bool wait);
    int m_fd = -1;
    QString m_path;
};

} // namespace store

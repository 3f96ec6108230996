#include "os_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store {

OsFile::~OsFile() { close(); }

Status OsFile::open(const QString& path, bool writable, bool create)
{
    close();
    int flags = writable ? O_RDWR : O_RDONLY;
    if (create)
        flags |= O_CREAT | O_TRUNC;
    flags |= O_CLOEXEC;
    const QByteArray native = path.toLocal8Bit();
    int fd = ::open(native.constData(), flags, 0666);
    if (fd < 0) {
        int err = errno;
        StatusCode code = (err == ENOENT) ? StatusCode::NotFound : StatusCode::IoError;
        return {code, QStringLiteral("No se pudo abrir el fichero %1").arg(path), err};
    }
    m_fd = fd;
    m_path = path;
    return {};
}

void OsFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

Status OsFile::readAt(qint64 off, void* buf, qint64 len, qint64* got) const
{
    char* p = static_cast<char*>(buf);
    qint64 done = 0;
    while (done < len) {
        ssize_t n = ::pread(m_fd, p + done, size_t(len - done), off_t(off + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return {StatusCode::IoError, QStringLiteral("Error de lectura en %1").arg(m_path), errno};
        }
        if (n == 0)
            break;
        done += n;
    }
    if (got)
        *got = done;
    else if (done < len)
        return {StatusCode::Corrupt,
                QStringLiteral("El fichero %1 termina antes de lo esperado (posición %2)").arg(m_path).arg(off + done)};
    return {};
}

Status OsFile::writeAt(qint64 off, const void* buf, qint64 len)
{
    const char* p = static_cast<const char*>(buf);
    qint64 done = 0;
    while (done < len) {
        ssize_t n = ::pwrite(m_fd, p + done, size_t(len - done), off_t(off + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return {StatusCode::IoError, QStringLiteral("Error de escritura en %1").arg(m_path), errno};
        }
        done += n;
    }
    return {};
}

Status OsFile::truncate(qint64 size)
{
    if (::ftruncate(m_fd, off_t(size)) != 0)
        return {StatusCode::IoError, QStringLiteral("No se pudo recortar %1").arg(m_path), errno};
    return {};
}

qint64 OsFile::size() const
{
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        return -1;
    return qint64(st.st_size);
}

Status OsFile::sync()
{
    if (::fdatasync(m_fd) != 0)
        return {StatusCode::IoError, QStringLiteral("No se pudo volcar %1 al disco").arg(m_path), errno};
    return {};
}

Status OsFile::setLock(qint64 off, qint64 len, LockKind kind, bool wait)
{
    struct flock fl {};
    fl.l_type = kind == LockKind::Read ? F_RDLCK : F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = off_t(off);
    fl.l_len = off_t(len);
    for (;;) {
        if (::fcntl(m_fd, wait ? F_SETLKW : F_SETLK, &fl) == 0)
            return {};
        if (errno == EINTR)
            continue;
        if (!wait && (errno == EACCES || errno == EAGAIN))
            return {StatusCode::Busy, QStringLiteral("Bloqueado por otro usuario")};
        return {StatusCode::IoError, QStringLiteral("No se pudo bloquear %1").arg(m_path), errno};
    }
}

Status OsFile::tryLock(qint64 off, qint64 len, LockKind kind) { return setLock(off, len, kind, false); }
Status OsFile::lockWait(qint64 off, qint64 len, LockKind kind) { return setLock(off, len, kind, true); }

void OsFile::unlock(qint64 off, qint64 len)
{
    struct flock fl {};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = off_t(off);
    fl.l_len = off_t(len);
    while (::fcntl(m_fd, F_SETLK, &fl) != 0 && errno == EINTR) {
    }
}

bool OsFile::lockedByOthers(qint64 off, qint64 len) const
{
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = off_t(off);
    fl.l_len = off_t(len);
    return ::fcntl(m_fd, F_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
}

bool OsFile::identity(dev_t* dev, ino_t* ino) const
{
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        return false;
    *dev = st.st_dev;
    *ino = st.st_ino;
    return true;
}

} // namespace store

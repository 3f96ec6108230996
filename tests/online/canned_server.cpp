#include "canned_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace {

int listenOn(quint16* port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(fd, 8);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    *port = ntohs(a.sin_port);
    return fd;
}

// Waits up to ms for fd to become readable.
bool readable(int fd, int ms)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
}

} // namespace

CannedServer::CannedServer(std::vector<Reply> replies)
    : m_replies(std::move(replies))
{
    m_listen = listenOn(&m_port);
    m_thread = std::thread([this] { run(); });
}

CannedServer::~CannedServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listen);
}

QList<QByteArray> CannedServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void CannedServer::run()
{
    while (!m_stop) {
        if (!readable(m_listen, 20))
            continue;
        const int fd = ::accept(m_listen, nullptr, nullptr);
        if (fd < 0)
            continue;
        serve(fd);
        ::close(fd);
    }
}

// Reads one request: the header block, then whatever follows it shortly
// (a POST body). False when the client went away or the server stops.
bool CannedServer::readRequest(int fd)
{
    QByteArray got;
    char buf[4096];
    for (;;) {
        if (m_stop)
            return false;
        if (!readable(fd, 20))
            continue;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            return false;
        got.append(buf, n);
        if (got.contains("\r\n\r\n"))
            break;
    }
    while (readable(fd, 50)) {
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        got.append(buf, n);
    }
    std::lock_guard lock(m_mutex);
    m_requests << got;
    return true;
}

void CannedServer::serve(int fd)
{
    while (!m_stop && m_next < m_replies.size()) {
        if (!readRequest(fd))
            return;
        const Reply& reply = m_replies[m_next++];
        bool first = true;
        for (const QByteArray& piece : reply.pieces) {
            if (!first && reply.gapMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(reply.gapMs));
            first = false;
            ::send(fd, piece.constData(), size_t(piece.size()), MSG_NOSIGNAL);
        }
        if (reply.then == Reply::Then::Close)
            return;
        if (reply.then == Reply::Then::Silent) {
            char buf[256];
            while (!m_stop) {
                if (readable(fd, 20) && ::recv(fd, buf, sizeof buf, 0) <= 0)
                    return;
            }
            return;
        }
    }
    // No reply left: hold the connection until the client leaves.
    char buf[256];
    while (!m_stop) {
        if (readable(fd, 20) && ::recv(fd, buf, sizeof buf, 0) <= 0)
            return;
    }
}

quint16 closedPort()
{
    quint16 port = 0;
    const int fd = listenOn(&port);
    ::close(fd);
    return port;
}

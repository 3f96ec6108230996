#include "test_cluster_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

TestClusterServer::TestClusterServer(QList<QByteArray> chunks, bool closeAfter, int pauseMs)
    : m_chunks(std::move(chunks)), m_closeAfter(closeAfter), m_pauseMs(pauseMs)
{
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(m_listen, 8);
    socklen_t len = sizeof a;
    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len);
    m_port = ntohs(a.sin_port);
    m_thread = std::thread([this] { run(); });
}

TestClusterServer::~TestClusterServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listen);
}

QByteArray TestClusterServer::login() const
{
    std::lock_guard<std::mutex> l(m_mutex);
    return m_login;
}

QByteArray TestClusterServer::received() const
{
    std::lock_guard<std::mutex> l(m_mutex);
    return m_received;
}

void TestClusterServer::run()
{
    while (!m_stop) {
        pollfd p{m_listen, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const int fd = ::accept(m_listen, nullptr, nullptr);
        if (fd >= 0)
            serve(fd);
    }
}

// Reads what is there within ms; false when the peer closed.
static bool readSome(int fd, QByteArray* into, int ms)
{
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, ms) <= 0)
        return true;
    char buf[4096];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0)
        return false;
    into->append(buf, int(n));
    return true;
}

void TestClusterServer::serve(int fd)
{
    const char prompt[] = "\xff\xfb\x01Welcome to the test cluster\r\nlogin: ";
    ::send(fd, prompt, sizeof prompt - 1, MSG_NOSIGNAL);
    QByteArray got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!got.contains('\n') && !m_stop && std::chrono::steady_clock::now() < until)
        if (!readSome(fd, &got, 50))
            break;
    if (!got.contains('\n')) {      // a probe, or a station that never logged in
        ::close(fd);
        return;
    }
    {
        std::lock_guard<std::mutex> l(m_mutex);
        m_login = got.left(got.indexOf('\n') + 1);
        m_received = got;
    }
    const QByteArray hello = "Hello " + m_login.trimmed() + ", this is the test cluster\r\n" + m_login.trimmed() + " de TEST>\r\n";
    ::send(fd, hello.constData(), size_t(hello.size()), MSG_NOSIGNAL);
    for (const QByteArray& c : m_chunks) {
        std::this_thread::sleep_for(std::chrono::milliseconds(m_pauseMs));
        ::send(fd, c.constData(), size_t(c.size()), MSG_NOSIGNAL);
    }
    m_played = true;
    if (!m_closeAfter) {
        while (!m_stop) {
            QByteArray more;
            if (!readSome(fd, &more, 50))
                break;
            if (!more.isEmpty()) {
                std::lock_guard<std::mutex> l(m_mutex);
                m_received += more;
            }
        }
    }
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
}

#pragma once
// Rigs for the tests: Hamlib's dummy rig behind a rigctld of the test's own on
// a free local port (paused and resumed with SIGSTOP and SIGCONT), and a TCP
// server that takes the connection and never says a word.

#include "station/rig_config.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace station::testing {

inline int freeLocalPort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

class DummyRigctld {
public:
    static bool available() { return !QStandardPaths::findExecutable(QStringLiteral("rigctld")).isEmpty(); }

    // Starts "rigctld -m 1" and waits until it takes connections.
    bool start()
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            m_port = freeLocalPort();
            m_process.start(QStringLiteral("rigctld"),
                            {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"), QStringLiteral("127.0.0.1"),
                             QStringLiteral("-t"), QString::number(m_port)});
            if (!m_process.waitForStarted(5000))
                return false;
            QDeadlineTimer deadline(5000);
            while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, quint16(m_port));
                if (probe.waitForConnected(200))
                    return true;
                QThread::msleep(50);
            }
            stop();
        }
        return false;
    }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(m_process.processId()), SIGCONT);
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }
    ~DummyRigctld() { stop(); }

    void pause() { ::kill(pid_t(m_process.processId()), SIGSTOP); }
    void resume() { ::kill(pid_t(m_process.processId()), SIGCONT); }

    int port() const { return m_port; }
    RigConfig config() const
    {
        RigConfig c;
        c.network = true;
        c.host = QStringLiteral("127.0.0.1");
        c.tcpPort = m_port;
        return c;
    }

private:
    QProcess m_process;
    int m_port = 0;
};

// Listens on a local port; the system completes each connection, and nothing
// is ever read or written on it.
class SilentServer {
public:
    SilentServer()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(m_fd, 16) == 0) {
            socklen_t len = sizeof a;
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
            m_port = ntohs(a.sin_port);
        }
    }
    ~SilentServer() { ::close(m_fd); }
    RigConfig config() const
    {
        RigConfig c;
        c.network = true;
        c.host = QStringLiteral("127.0.0.1");
        c.tcpPort = m_port;
        return c;
    }

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace station::testing

#define SKIP_WITHOUT_RIGCTLD()                                                                         \
    if (!station::testing::DummyRigctld::available())                                                  \
    GTEST_SKIP() << "rigctld is not installed (Debian package libhamlib-utils); rig tests need it"

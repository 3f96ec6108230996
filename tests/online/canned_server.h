#pragma once
// A TCP server on 127.0.0.1 that answers each request it reads with the next
// canned reply: byte pieces sent with a pause between them, then the
// connection closed, kept for the next request, or held open in silence.
// Plain POSIX sockets on its own thread; every wait polls a stop flag, so the
// destructor always returns.

#include <QByteArray>
#include <QList>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

struct Reply {
    QList<QByteArray> pieces;
    int gapMs = 0;          // pause before each piece after the first
    enum class Then { Close, KeepOpen, Silent } then = Then::Close;
};

class CannedServer {
public:
    explicit CannedServer(std::vector<Reply> replies);
    ~CannedServer();
    quint16 port() const { return m_port; }
    QList<QByteArray> requests() const;   // what each request brought, in order

private:
    void run();
    void serve(int fd);
    bool readRequest(int fd);

    std::vector<Reply> m_replies;
    size_t m_next = 0;
    int m_listen = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    QList<QByteArray> m_requests;
    std::thread m_thread;
};

// A port on 127.0.0.1 where nobody listens.
quint16 closedPort();

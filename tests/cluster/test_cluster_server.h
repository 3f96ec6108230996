#pragma once
// A DX-cluster server on 127.0.0.1 for the tests, on a thread of its own: it
// asks for the login, reads the call, then sends its recorded chunks one by
// one with a pause between them (so they arrive as separate reads), and then
// either closes the connection or keeps it open, recording what the station
// sends. Connections that close without a word (reachability probes) are
// not counted.

#include <QByteArray>
#include <QList>

#include <atomic>
#include <mutex>
#include <thread>

class TestClusterServer {
public:
    explicit TestClusterServer(QList<QByteArray> chunks, bool closeAfter = false, int pauseMs = 30);
    ~TestClusterServer();
    TestClusterServer(const TestClusterServer&) = delete;
    TestClusterServer& operator=(const TestClusterServer&) = delete;

    int port() const { return m_port; }
    QByteArray login() const;          // the first line the station sent
    QByteArray received() const;       // everything the station sent
    bool played() const { return m_played; }   // every chunk was sent

private:
    void run();
    void serve(int fd);

    QList<QByteArray> m_chunks;
    bool m_closeAfter;
    int m_pauseMs;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_played{false};
    mutable std::mutex m_mutex;
    QByteArray m_login, m_received;
    std::thread m_thread;
};

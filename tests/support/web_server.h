#pragma once
// An HTTP server on 127.0.0.1 for the tests of everything the program
// downloads: plain, or TLS with the self-signed certificate of this folder
// (trustTestCertificate() makes this process accept it). It runs on its own
// thread, so the code under test may block or run a local event loop.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

struct WebReply {
    int status = 200;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    qint64 cutAfter = -1;     // send only this many body bytes (the whole length announced), then close
    bool silent = false;      // read the request and never answer
};

class WebServer {
public:
    explicit WebServer(bool tls = false);
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // What a path answers; any other path answers 404. A path ending in "*"
    // answers every path that begins with what precedes it.
    void route(const QString& path, const WebReply& reply);
    void route(const QString& path, const QByteArray& body) { route(path, WebReply{200, body, {}, -1, false}); }
    // What a path answers, chosen by the request's body (runs on the server's thread).
    void handle(const QString& path, std::function<WebReply(const QByteArray& body)> handler);
    // "http://127.0.0.1:port" or "https://127.0.0.1:port".
    QString base() const;
    // "METHOD /path" of every request, in order.
    QStringList requests() const;
    // The last request whole (headers and body).
    QByteArray lastRequest() const;

    // The certificate of the TLS server becomes trusted by this process.
    static void trustTestCertificate();

    class Impl;

private:
    std::unique_ptr<Impl> d;
};

#include "web_server.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSemaphore>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QThread>

namespace {

QSslCertificate testCertificate()
{
    QFile f(QStringLiteral(TEST_SUPPORT_DIR "/localhost.crt"));
    f.open(QIODevice::ReadOnly);
    return QSslCertificate(f.readAll(), QSsl::Pem);
}

QSslKey testKey()
{
    QFile f(QStringLiteral(TEST_SUPPORT_DIR "/localhost.key"));
    f.open(QIODevice::ReadOnly);
    return QSslKey(f.readAll(), QSsl::Rsa, QSsl::Pem);
}

QByteArray reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

class WebServer::Impl : public QObject {
public:
    explicit Impl(bool tls) : m_tls(tls) {}

    void start()
    {
        if (m_tls) {
            auto* s = new QSslServer(this);
            QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
            conf.setLocalCertificate(testCertificate());
            conf.setPrivateKey(testKey());
            conf.setPeerVerifyMode(QSslSocket::VerifyNone);
            s->setSslConfiguration(conf);
            m_server = s;
        } else {
            m_server = new QTcpServer(this);
        }
        QObject::connect(m_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* c = m_server->nextPendingConnection())
                serve(c);
        });
        m_server->listen(QHostAddress::LocalHost, 0);
        m_port = m_server->serverPort();
    }

    void serve(QTcpSocket* c)
    {
        auto* buffer = new QByteArray;
        QObject::connect(c, &QObject::destroyed, [buffer] { delete buffer; });
        QObject::connect(c, &QTcpSocket::disconnected, c, &QObject::deleteLater);
        QObject::connect(c, &QTcpSocket::readyRead, c, [this, c, buffer] {
            buffer->append(c->readAll());
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            qint64 length = 0;
            for (const QByteArray& line : buffer->left(end).split('\n'))
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            if (buffer->size() < end + 4 + length)
                return;
            const QByteArray request = buffer->left(end + 4 + length);
            buffer->clear();
            answer(c, request);
        });
    }

    void answer(QTcpSocket* c, const QByteArray& request)
    {
        const QList<QByteArray> first = request.left(request.indexOf("\r\n")).split(' ');
        const QString path = first.size() > 1 ? QString::fromLatin1(first[1]) : QString();
        WebReply r;
        std::function<WebReply(const QByteArray&)> handler;
        {
            QMutexLocker lock(&m_mutex);
            m_requests << QString::fromLatin1(first.value(0)) + QLatin1Char(' ') + path;
            m_last = request;
            r = m_routes.value(path, WebReply{404, "no existe", {}, -1, false});
            handler = m_handlers.value(path);
            // a route ending in "*" answers every path that begins with the rest
            if (!m_routes.contains(path) && !handler)
                for (auto it = m_routes.cbegin(); it != m_routes.cend(); ++it)
                    if (it.key().endsWith(QLatin1Char('*')) && path.startsWith(it.key().chopped(1)))
                        r = it.value();
        }
        if (handler)
            r = handler(request.mid(request.indexOf("\r\n\r\n") + 4));
        if (r.silent)
            return;
        const bool head = first.value(0) == "HEAD";
        QByteArray out = "HTTP/1.1 " + QByteArray::number(r.status) + ' ' + reason(r.status) + "\r\n";
        bool hasLength = false;
        for (const auto& [n, v] : r.headers) {
            out += n + ": " + v + "\r\n";
            hasLength = hasLength || n.toLower() == "content-length";
        }
        if (!hasLength)
            out += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
        out += "Connection: close\r\n\r\n";
        if (!head)
            out += r.cutAfter >= 0 ? r.body.left(r.cutAfter) : r.body;
        c->write(out);
        c->flush();
        c->disconnectFromHost();
    }

    bool m_tls;
    QTcpServer* m_server = nullptr;
    quint16 m_port = 0;
    mutable QMutex m_mutex;
    QHash<QString, WebReply> m_routes;
    QHash<QString, std::function<WebReply(const QByteArray&)>> m_handlers;
    QStringList m_requests;
    QByteArray m_last;
    QThread m_thread;
};

WebServer::WebServer(bool tls) : d(std::make_unique<Impl>(tls))
{
    d->moveToThread(&d->m_thread);
    QSemaphore ready;
    QObject::connect(&d->m_thread, &QThread::started, d.get(), [this, &ready] {
        d->start();
        ready.release();
    });
    d->m_thread.start();
    ready.acquire();
}

WebServer::~WebServer()
{
    QMetaObject::invokeMethod(d.get(), [this] {
        delete d->m_server;
        d->m_server = nullptr;
        d->moveToThread(QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr);
    }, Qt::BlockingQueuedConnection);
    d->m_thread.quit();
    d->m_thread.wait();
}

void WebServer::route(const QString& path, const WebReply& reply)
{
    QMutexLocker lock(&d->m_mutex);
    d->m_routes.insert(path, reply);
}

void WebServer::handle(const QString& path, std::function<WebReply(const QByteArray& body)> handler)
{
    QMutexLocker lock(&d->m_mutex);
    d->m_handlers.insert(path, std::move(handler));
}

QString WebServer::base() const
{
    return QStringLiteral("%1://127.0.0.1:%2").arg(d->m_tls ? QStringLiteral("https") : QStringLiteral("http")).arg(d->m_port);
}

QStringList WebServer::requests() const
{
    QMutexLocker lock(&d->m_mutex);
    return d->m_requests;
}

QByteArray WebServer::lastRequest() const
{
    QMutexLocker lock(&d->m_mutex);
    return d->m_last;
}

void WebServer::trustTestCertificate()
{
    QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
    conf.addCaCertificate(testCertificate());
    QSslConfiguration::setDefaultConfiguration(conf);
}

// The request object, the downloads that replace files, and reachability,
// against servers on 127.0.0.1.
#include "canned_server.h"
#include "web_server.h"

#include "online/download.h"
#include "online/reachability.h"
#include "online/web_request.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <vector>

using namespace online;

namespace {

struct Offline {
    explicit Offline(bool on) { on ? qputenv("ORLANLOG_OFFLINE", "1") : qunsetenv("ORLANLOG_OFFLINE"); }
    ~Offline() { qunsetenv("ORLANLOG_OFFLINE"); }
};

QByteArray readFile(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

TEST(WebRequest, AnswersOverHttpAndOverTlsWithTheStatusBodyAndHeaders)
{
    WebServer::trustTestCertificate();
    for (const bool tls : {false, true}) {
        SCOPED_TRACE(tls ? "https" : "http");
        WebServer server(tls);
        server.route(QStringLiteral("/v.txt"), WebReply{200, "1.93\r\n", {{"X-Uno", "a"}}, -1, false});
        server.route(QStringLiteral("/bytes"), QByteArray("\x00\xff\x01", 3));
        auto r = CRTWINHTTP();
        r->Open(QStringLiteral("GET"), server.base() + QStringLiteral("/v.txt"));
        ASSERT_TRUE(r->Send()) << r->errorText().toStdString();
        EXPECT_EQ(r->Status(), 200);
        EXPECT_EQ(r->ResponseText(), QStringLiteral("1.93\r\n"));
        EXPECT_EQ(r->GetResponseHeader(QStringLiteral("x-uno")), QStringLiteral("a"));
        EXPECT_TRUE(r->GetAllResponseHeaders().contains(QStringLiteral("X-Uno: a\r\n")));
        r->Open(QStringLiteral("GET"), server.base() + QStringLiteral("/bytes"));
        ASSERT_TRUE(r->Send());
        EXPECT_EQ(r->ResponseBody(), QByteArray("\x00\xff\x01", 3));

        // another status is an answer, reported as the callers report it
        r->Open(QStringLiteral("GET"), server.base() + QStringLiteral("/nada"));
        EXPECT_TRUE(r->Send());
        EXPECT_EQ(r->Status(), 404);
        EXPECT_EQ(requestFailure(*r), QStringLiteral("Error en el objeto httprequest 404"));

        // a POST carries its body and the caller's headers
        server.route(QStringLiteral("/p"), QByteArray("ok"));
        r->Open(QStringLiteral("POST"), server.base() + QStringLiteral("/p"));
        r->SetRequestHeader(QStringLiteral("Content-Type"), QStringLiteral("application/x-www-form-urlencoded"));
        ASSERT_TRUE(r->Send("a=1&b=2"));
        EXPECT_TRUE(server.lastRequest().startsWith("POST /p HTTP/1.1\r\n"));
        EXPECT_TRUE(server.lastRequest().endsWith("\r\n\r\na=1&b=2"));
        EXPECT_TRUE(server.lastRequest().contains("User-Agent: Corvix ORLAN\r\n"));
    }
}

TEST(WebRequest, FailuresGiveNoStatusAndSayWhy)
{
    WebServer::trustTestCertificate();
    WebServer server;
    // a 302 is followed to where it points
    server.route(QStringLiteral("/old"), WebReply{302, "movido", {{"Location", "/new"}}, -1, false});
    server.route(QStringLiteral("/new"), QByteArray("nuevo"));
    server.route(QStringLiteral("/cut"), WebReply{200, QByteArray(5000, 'x'), {}, 100, false});
    server.route(QStringLiteral("/silent"), WebReply{200, {}, {}, -1, true});
    auto r = CRTWINHTTP();
    r->Open(QStringLiteral("GET"), server.base() + QStringLiteral("/old"));
    ASSERT_TRUE(r->Send());
    EXPECT_EQ(r->Status(), 200);
    EXPECT_EQ(r->ResponseBody(), QByteArray("nuevo"));

    // an answer cut short is no answer
    r->Open(QStringLiteral("GET"), server.base() + QStringLiteral("/cut"));
    EXPECT_FALSE(r->Send());
    EXPECT_EQ(r->Status(), 0);
    EXPECT_TRUE(r->ResponseBody().isEmpty());
    EXPECT_FALSE(r->errorText().isEmpty());

    // a silent server ends at the time-out, and while it waits the thread's
    // events go on (a window keeps painting)
    r->setTimeOut(1, 1);
    QElapsedTimer t;
    t.start();
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(50);
    r->Open(QStringLiteral("GET"), server.base() + QStringLiteral("/silent"));
    EXPECT_FALSE(r->Send());
    tick.stop();
    EXPECT_GE(ticks, 10);
    EXPECT_TRUE(r->timedOut());
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_TRUE(requestFailure(*r).contains(QStringLiteral("no respondió a tiempo")));

    // a certificate nobody vouches for: plain TLS to the plain server fails,
    // and so does an address that is no URL
    r->Open(QStringLiteral("GET"), QStringLiteral("https://127.0.0.1:%1/new").arg(closedPort()));
    EXPECT_FALSE(r->Send());
    r->Open(QStringLiteral("GET"), QStringLiteral("ftp://127.0.0.1/x"));
    EXPECT_FALSE(r->Send());
    EXPECT_TRUE(r->errorText().startsWith(QStringLiteral("Dirección no válida")));
}

TEST(WebRequest, AProgressFunctionCanCancelAndBigAnswersAreRefused)
{
    WebServer server;
    server.route(QStringLiteral("/big"), QByteArray(3 * 1024 * 1024, 'b'));
    auto r = CRTWINHTTP();
    qint64 seen = 0;
    r->setProgress([&](qint64 received, qint64) {
        seen = received;
        return received < 100000;
    });
    r->Open(QStringLiteral("GET"), server.base() + QStringLiteral("/big"));
    EXPECT_FALSE(r->Send());
    EXPECT_TRUE(r->cancelled());
    EXPECT_GT(seen, 0);

    r->setProgress({});
    r->setMaxBytes(1024 * 1024);
    r->Open(QStringLiteral("GET"), server.base() + QStringLiteral("/big"));
    EXPECT_FALSE(r->Send());
    EXPECT_TRUE(r->errorText().contains(QStringLiteral("demasiado grande")));
}

TEST(Download, AFailedOrRefusedDownloadLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("cty.dat"));
    {
        QFile f(target);
        f.open(QIODevice::WriteOnly);
        f.write("viejo");
    }
    WebServer server;
    server.route(QStringLiteral("/good"), QByteArray("nuevo;"));
    server.route(QStringLiteral("/cut"), WebReply{200, QByteArray(4000, 'c'), {}, 10, false});
    const auto endsWell = [](const QByteArray& body) {
        return body.endsWith(';') ? QString() : QStringLiteral("incompleto");
    };

    DownloadResult r = downloadToFile(server.base() + QStringLiteral("/missing"), target, endsWell);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status, 404);
    r = downloadToFile(server.base() + QStringLiteral("/cut"), target, endsWell);
    EXPECT_FALSE(r.ok);
    server.route(QStringLiteral("/bad"), QByteArray("sin final"));
    r = downloadToFile(server.base() + QStringLiteral("/bad"), target, endsWell);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("incompleto"));
    EXPECT_EQ(readFile(target), QByteArray("viejo"));

    {
        const Offline offline(true);
        r = downloadToFile(server.base() + QStringLiteral("/good"), target, endsWell);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(QStringLiteral("ORLANLOG_OFFLINE")));
    }
    EXPECT_EQ(readFile(target), QByteArray("viejo"));

    r = downloadToFile(server.base() + QStringLiteral("/good"), target, endsWell);
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(readFile(target), QByteArray("nuevo;"));
    // nothing left beside it
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("cty.dat")});
}

TEST(Reachability, PingAnswersWithinASecondAndTheOfflineSwitchWins)
{
    QTcpServer listening;
    ASSERT_TRUE(listening.listen(QHostAddress::LocalHost));
    EXPECT_TRUE(PING(QStringLiteral("127.0.0.1"), listening.serverPort()));
    // a refusal is an answer too
    EXPECT_TRUE(PING(QStringLiteral("127.0.0.1"), closedPort()));

    // a host that does not answer: a listening socket whose queue is full
    // drops every further connection attempt in silence
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(fd, 0), 0);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    std::vector<std::unique_ptr<QTcpSocket>> fillers;
    for (int i = 0; i < 3; ++i) {
        fillers.push_back(std::make_unique<QTcpSocket>());
        fillers.back()->connectToHost(QHostAddress::LocalHost, ntohs(a.sin_port));
        fillers.back()->waitForConnected(200);
    }
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(PING(QStringLiteral("127.0.0.1 "), ntohs(a.sin_port), 1000));
    EXPECT_GE(t.elapsed(), 900);
    EXPECT_LT(t.elapsed(), 1600);
    ::close(fd);
    EXPECT_FALSE(PING(QString()));

    const Offline offline(true);
    EXPECT_TRUE(offlineForced());
    EXPECT_FALSE(internetConnected());
    EXPECT_FALSE(PING(QStringLiteral("127.0.0.1"), listening.serverPort()));
}

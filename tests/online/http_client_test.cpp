// The two clients against a local server answering with canned bytes.
#include "online/http_client.h"

#include "canned_server.h"

#include "core/scripted_messages.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QStringList>

#include <thread>

using namespace online;

namespace {

const QString kLocal = QStringLiteral("127.0.0.1");

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override { ui::setMessages(&msgs); }
    void TearDown() override { ui::setMessages(nullptr); }
    ui::ScriptedMessages msgs;
};

const QByteArray kCookies =
    "HTTP/1.1 200 OK\r\n"
    "Server: canned\r\n"
    "Set-Cookie: a=1\r\n"
    "set-cookie: b=2\r\n"
    "Content-Type: text/xml\r\n"
    "\r\n"
    "<xml>ok</xml>";

} // namespace

TEST_F(HttpClientTest, GetAndPostSendTheListedLines)
{
    CannedServer server({{{"HTTP/1.1 200 OK\r\n\r\nA"}}, {{"HTTP/1.1 200 OK\r\n\r\nB"}}});
    {
        THTTP http(QStringLiteral("http://127.0.0.1/xml.php"), server.port());
        EXPECT_EQ(http.cHost, kLocal);
        ASSERT_TRUE(http.lConnect);
        http.get(QStringLiteral("/xml.php?id=1"));
        EXPECT_EQ(http.getData(), "A");
    }
    {
        THTTP http(kLocal, server.port());
        http.post(QStringLiteral("/q"), "u=EA1ABC&p=x", true);
        EXPECT_EQ(http.getData(), "B");
    }
    const QList<QByteArray> got = server.requests();
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0],
              "GET /xml.php?id=1 HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: Corvix ORLAN\r\nAccept: */*\r\n"
              "Accept-Language: es\r\nConnection: Close\r\n\r\n");
    EXPECT_EQ(got[1],
              "POST /q HTTP/1.1\r\nHost: 127.0.0.1\r\nReferer: http://127.0.0.1/q\r\nAccept: */*\r\n"
              "Accept-Language: es\r\nContent-Type: application/x-www-form-urlencoded\r\n"
              "Content-Length: 12\r\nConnection: Keep-Alive\r\nCache-Control: no-cache\r\n"
              "User-Agent: Corvix ORLAN\r\n\r\nu=EA1ABC&p=x\r\n");
}

TEST_F(HttpClientTest, THTTPKeepsRepeatedHeadersAsAListAndReadsPiecesUntilClose)
{
    // The answer arrives in small pieces with pauses between them.
    Reply reply;
    for (qsizetype i = 0; i < kCookies.size(); i += 7)
        reply.pieces << kCookies.mid(i, 7);
    reply.gapMs = 5;
    CannedServer server({reply});
    THTTP http(kLocal, server.port());
    http.get(QStringLiteral("/"));
    EXPECT_EQ(http.status(), 200);
    EXPECT_EQ(http.getData(), "<xml>ok</xml>");
    EXPECT_EQ(http.getHeader(), kCookies.left(kCookies.indexOf("\r\n\r\n")));
    EXPECT_EQ(http.hHeader.value("SET-COOKIE").toStringList(), (QStringList{"a=1", "b=2"}));
    EXPECT_EQ(http.hHeader.value("SERVER").toString(), "canned");
    EXPECT_EQ(http.hHeader.value("CONTENT-TYPE").toString(), "text/xml");
    EXPECT_TRUE(msgs.log().isEmpty());
}

TEST_F(HttpClientTest, THTTPWithoutEmptyLineLeavesEverythingEmpty)
{
    CannedServer server({{{"HTTP/1.1 200 OK\r\nServer: x\r\n<xml>never split</xml>"}}});
    THTTP http(kLocal, server.port());
    http.get(QStringLiteral("/"));
    EXPECT_EQ(http.status(), 0);
    EXPECT_TRUE(http.getHeader().isEmpty());
    EXPECT_TRUE(http.getData().isEmpty());
    EXPECT_TRUE(msgs.log().isEmpty());
}

TEST_F(HttpClientTest, THTTPTakes302AsSuccessAndReportsOtherStatuses)
{
    CannedServer server({{{"HTTP/1.1 302 Found\r\nLocation: http://x/y\r\n\r\n<a>moved</a>"}},
                         {{"HTTP/1.1 404 Not Found\r\nServer: x\r\n\r\ngone"}}});
    THTTP moved(kLocal, server.port());
    moved.get(QStringLiteral("/a"));
    EXPECT_EQ(moved.status(), 302);
    EXPECT_EQ(moved.getData(), "<a>moved</a>");
    EXPECT_EQ(moved.hHeader.value("LOCATION").toString(), "http://x/y");
    EXPECT_TRUE(msgs.log().isEmpty());

    THTTP missing(kLocal, server.port());
    missing.get(QStringLiteral("/b"));
    EXPECT_EQ(missing.status(), 404);
    EXPECT_FALSE(missing.hHeader.contains("SERVER"));   // parsing stopped at the status
    EXPECT_EQ(missing.getData(), "gone");
    ASSERT_EQ(msgs.log().size(), 1);
    EXPECT_TRUE(msgs.log()[0].contains("Error en comando GET /b HTTP/1.1\r\n"));
    EXPECT_TRUE(msgs.log()[0].endsWith("HTTP/1.1 404 Not Found\r\nServer: x"));

    // Off the GUI thread the report only goes to cError.
    msgs.take();
    CannedServer again({{{"HTTP/1.1 500 Bad\r\n\r\n"}}});
    THTTP quiet(kLocal, again.port());
    quiet.lMensajes = false;
    quiet.get(QStringLiteral("/c"));
    EXPECT_EQ(quiet.status(), 500);
    EXPECT_TRUE(quiet.cError.startsWith("Error en comando GET /c"));
    EXPECT_TRUE(msgs.log().isEmpty());
}

TEST_F(HttpClientTest, THTTPClosedPortAndSilentServerReturnInTime)
{
    QElapsedTimer clock;
    clock.start();
    THTTP refused(kLocal, closedPort(), 2);
    EXPECT_FALSE(refused.lConnect);
    refused.get(QStringLiteral("/"));
    EXPECT_EQ(refused.status(), 0);
    EXPECT_LT(clock.elapsed(), 1500);

    CannedServer server({{{}, 0, Reply::Then::Silent}});
    THTTP http(kLocal, server.port(), 0.3);
    ASSERT_TRUE(http.lConnect);
    clock.restart();
    http.get(QStringLiteral("/"));
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(http.lTimeOut);
    EXPECT_EQ(http.status(), 0);
}

TEST_F(HttpClientTest, THTTPoldJoinsChunks)
{
    const QByteArray head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    CannedServer server({
        {{head + "1a\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\n\r\n"}, 0, Reply::Then::KeepOpen},
        // Split inside a size line and a chunk; an extension and a trailer.
        {{head + "5;name=v", "\r\nhel", "lo\r\n6\r\n wor", "ld\r\n0\r\nExpires: never\r\n\r\n"}, 20,
         Reply::Then::KeepOpen},
    });
    THTTPold http(kLocal, 1234, server.port());
    ASSERT_TRUE(http.lSocket);
    EXPECT_EQ(http.get(kLocal, QStringLiteral("/one"), true), "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(http.status(), 200);
    EXPECT_TRUE(http.lTrozos);
    EXPECT_FALSE(http.isTimeOut());
    EXPECT_EQ(http.nLargo, 26);
    EXPECT_EQ(http.get(kLocal, QStringLiteral("/two"), true), "hello world");
    EXPECT_EQ(http.getData(QByteArray()), "hello world");
    EXPECT_FALSE(http.isTimeOut());
    EXPECT_EQ(server.requests().size(), 2);
}

TEST_F(HttpClientTest, THTTPoldKeepAliveThenSilenceGives298)
{
    CannedServer server({
        {{"HTTP/1.1 200 OK\r\nContent-Length: 10\r\nLocation: /elsewhere\r\nDate: Tue\r\n\r\n01234", "56789"}, 30,
         Reply::Then::KeepOpen},
        {{}, 0, Reply::Then::Silent},
    });
    THTTPold http(kLocal, 1234, server.port());
    http.setTimeOut(0.2);
    EXPECT_EQ(http.get(kLocal, QStringLiteral("/a"), true), "0123456789");
    EXPECT_EQ(http.status(), 200);
    EXPECT_TRUE(http.lLargo);
    EXPECT_EQ(http.h_LOCATION, "/elsewhere");
    EXPECT_EQ(http.h_DATE, "Date: Tue");
    EXPECT_EQ(http.h_RESC, "OK");

    QElapsedTimer clock;
    clock.start();
    http.get(kLocal, QStringLiteral("/b"), true);
    EXPECT_TRUE(http.isTimeOut());
    EXPECT_EQ(http.status(), 298);
    // Silence of nTiempoMax plus the two seconds of grace, not more.
    EXPECT_GE(clock.elapsed(), 2100);
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_TRUE(msgs.log().isEmpty());
}

TEST_F(HttpClientTest, THTTPoldBodyCutShort)
{
    // The server closes in the middle of the body: no waiting, a time-out
    // as far as the caller sees, with what did arrive.
    CannedServer server({{{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort"}}});
    THTTPold http(kLocal, 1234, server.port());
    http.setTimeOut(5);
    http.lAvisa = true;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(http.get(kLocal, QStringLiteral("/")), "short");
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(http.status(), 298);
    ASSERT_EQ(msgs.log().size(), 2);
    EXPECT_TRUE(msgs.log()[0].contains("Exceso de tiempo (5 seg.) en la respuesta a un comando\r\n\r\nGET / HTTP/1.1"));
    EXPECT_EQ(http.cError, "THTTP:298");
}

TEST_F(HttpClientTest, THTTPoldStatusesAndHeaderOnlyAnswers)
{
    CannedServer server({
        {{"HTTP/1.1 302 Found\r\nLocation: http://x/\r\n\r\n<p>moved</p>"}, 0, Reply::Then::KeepOpen},
        {{"HTTP/1.1 500 Internal\r\nContent-Length: 4\r\n\r\noops"}, 0, Reply::Then::KeepOpen},
        {{"HTTP/1.1 200 OK\r\nServer: x"}, 0, Reply::Then::KeepOpen},
    });
    THTTPold http(kLocal, 1234, server.port());
    EXPECT_EQ(http.get(kLocal, QStringLiteral("/r")), "<p>moved</p>");
    EXPECT_EQ(http.status(), 302);
    EXPECT_EQ(http.h_LOCATION, "http://x/");
    EXPECT_TRUE(msgs.log().isEmpty());

    EXPECT_EQ(http.post(kLocal, QStringLiteral("/p"), "a=1"), "oops");
    EXPECT_EQ(http.status(), 500);
    ASSERT_EQ(msgs.log().size(), 1);
    EXPECT_TRUE(msgs.log()[0].contains("Error 500"));
    EXPECT_EQ(msgs.log()[0], "info: Error 500");
    EXPECT_TRUE(http.cError.startsWith("Error en comando POST /p HTTP/1.1"));
    EXPECT_TRUE(server.requests().value(1).contains("Referer: http://127.0.0.1/p\r\n"));

    // No empty line: the whole answer is the header, nothing else, no time-out.
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(http.get(kLocal, QStringLiteral("/h"), true).isEmpty());
    EXPECT_EQ(http.getHeader(), "HTTP/1.1 200 OK\r\nServer: x");
    EXPECT_FALSE(http.isTimeOut());
    EXPECT_LT(clock.elapsed(), 1500);
}

TEST_F(HttpClientTest, THTTPoldClosedPortIsASocketError)
{
    THTTPold http(kLocal, 1234, closedPort());
    EXPECT_FALSE(http.lSocket);
    EXPECT_TRUE(http.get(kLocal, QStringLiteral("/")).isEmpty());
    EXPECT_EQ(http.status(), -1);
    EXPECT_EQ(msgs.log(), QStringList{"info: Error de socket"});
}

TEST_F(HttpClientTest, BothClientsWorkOnAWorkerThread)
{
    CannedServer server({{{kCookies}}, {{"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"}}});
    int status = 0;
    QByteArray data, resource;
    std::thread worker([&] {
        THTTP http(kLocal, server.port(), 2);
        http.lMensajes = false;
        http.get(QStringLiteral("/"));
        status = http.status();
        data = http.getData();
        THTTPold old(kLocal, 1234, server.port());
        old.lMensajes = false;
        resource = old.get(kLocal, QStringLiteral("/"));
    });
    worker.join();
    EXPECT_EQ(status, 200);
    EXPECT_EQ(data, "<xml>ok</xml>");
    EXPECT_EQ(resource, "ok");
}

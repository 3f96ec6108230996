// The connection to a cluster: rows made of the bytes received, the terminal's
// length, the login, what is sent, a server that closes, and the traffic of
// two servers filed once.
#include "cluster_home.h"
#include "test_cluster_server.h"

#include "cluster/spot_post.h"
#include "cluster/telnet.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpSocket>

namespace cluster::testing {
namespace {

// Runs the event loop until done or ms pass.
bool waitFor(const std::function<bool()>& done, int ms = 15000)
{
    QDeadlineTimer until(ms);
    while (!done() && !until.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(TelnetRows, BytesBecomeRows)
{
    ui::ScriptedMessages msgs;
    ui::setMessages(&msgs);
    TTelnet t;
    QSignalSpy bells(&t, &TTelnet::bell);
    t.feed("abc");
    t.feed("def\r\n");
    EXPECT_EQ(t.rows(), (QStringList{"abc", "def"}));
    t.feed("\r\n");                                  // CR makes the empty row, the LF adds nothing
    EXPECT_EQ(t.rows().size(), 3);
    EXPECT_EQ(t.rows().last(), "");
    t.feed("\xff\xfb\x01login: ");                   // IAC WILL ECHO: no negotiation, the option bytes stay
    EXPECT_EQ(t.rows().last(), QString(QChar(251)) + QChar(1) + "login: ");
    t.feed("\x1b[1mbold\x1b[0m\a\ttab\b\r");          // ESC is dropped without a word
    EXPECT_EQ(t.rows().last(), "[1mbold[0mtab");
    EXPECT_TRUE(msgs.log().isEmpty()) << msgs.log().join('\n').toStdString();
    EXPECT_EQ(bells.size(), 1);
    t.lBell = false;
    t.feed("\a\r");
    EXPECT_EQ(bells.size(), 1);
    t.feed("one\ntwo\nthree\n");                     // servers that end their lines with LF alone
    EXPECT_EQ(t.rows().mid(t.rows().size() - 3), (QStringList{"one", "two", "three"}));
    EXPECT_EQ(t.ProcChar(255), 6);
    ui::setMessages(nullptr);
}

TEST(TelnetRows, TerminalKeepsTheLast71RowsAndCutsEndlessLines)
{
    TTelnet t;
    QByteArray many;
    for (int i = 1; i <= 200; ++i)
        many += "line " + QByteArray::number(i) + "\r\n";
    t.feed(many);
    EXPECT_EQ(t.nLin, 200);
    ASSERT_EQ(t.rows().size(), 71);
    EXPECT_EQ(t.rows().first(), "line 130");
    EXPECT_EQ(t.rows().last(), "line 200");

    // a megabyte without a line end: the row is cut at its limit and memory stays bounded
    const QByteArray noise(1 << 20, 'x');
    for (int i = 0; i < 128; ++i)
        t.feed(noise.mid(i * 8192, 8192));
    EXPECT_LT(t.cText.size(), TTelnet::kMaxRow);
    EXPECT_EQ(t.rows().size(), 71);
    for (const QString& row : t.rows())
        EXPECT_LE(row.size(), TTelnet::kMaxRow);
}

class TelnetConnection : public ClusterHome {};

TEST_F(TelnetConnection, LogsInSendsTrimmedLinesAndRefusesASecondConnect)
{
    TestClusterServer server({"DX de EA1XX:    14025.0  K1ABC        CW 599                         1234Z\r\n"});
    TTelnet t(server.port());
    int hooked = 0;
    t.bConnect = [&](TTelnet&) { ++hooked; };
    t.Connect(QStringLiteral("127.0.0.1"), QStringLiteral("EA4ZZ"));
    ASSERT_TRUE(t.lConnect);
    EXPECT_EQ(hooked, 1);
    EXPECT_EQ(t.cIp, "127.0.0.1");
    EXPECT_EQ(currentCluster(), &t);
    ASSERT_TRUE(waitFor([&] { return server.login() == "EA4ZZ\r\n"; })) << server.login().toStdString();
    ASSERT_TRUE(waitFor([&] { return t.rows().join('\n').contains("K1ABC"); }));

    t.SendData(QStringLiteral(" \t\r\nsh/dx 5   "));
    ASSERT_TRUE(waitFor([&] { return server.received().endsWith("sh/dx 5\r\n"); })) << server.received().toStdString();

    t.Connect(QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(msgs.log().join('\n').contains("Ya existe una conexián activa")) << msgs.log().join('\n').toStdString();
    EXPECT_TRUE(t.lConnect);

    // closing says bye through the hook while still connected, then nothing more goes out
    t.bClose = [](TTelnet& c) { c.SendData(QStringLiteral("b\r\n")); };
    QSignalSpy closed(&t, &TTelnet::closed);
    t.Close();
    EXPECT_FALSE(t.lConnect);
    EXPECT_EQ(closed.size(), 1);
    ASSERT_TRUE(waitFor([&] { return server.received().endsWith("b\r\n\r\n"); })) << server.received().toStdString();
    t.SendData(QStringLiteral("sh/dx"));
    EXPECT_FALSE(server.received().endsWith("sh/dx\r\n"));
}

TEST_F(TelnetConnection, PostingASpotGoesThroughTheCurrentCluster)
{
    SpotPost p{"EA4ZZ", "IN80", "K1ABC", "FN42", 14025.0, "ES", "loud"};
    EXPECT_EQ(spotCommand(p), "DX 14025.0 K1ABC IN80<ES>FN42 loud");
    p.propagation.clear();
    EXPECT_EQ(spotCommand(p), "DX 14025.0 K1ABC loud");

    setCurrentCluster(nullptr);
    EXPECT_FALSE(postSpot(p));
    EXPECT_EQ(msgs.take().join('\n').toStdString(), "info: Quizas no este conectado al cluster.\nNo pudo enviarse el anuncio");
    EXPECT_FALSE(postSpot({"EA4ZZ", "", "", "", 14025.0, "", ""}));
    EXPECT_EQ(msgs.take().join('\n').toStdString(), "stop: Faltan datos, no puede enviarse el anuncio al Dx-Cluster");

    TestClusterServer server({});
    TTelnet t(server.port());
    t.Connect(QStringLiteral("127.0.0.1"), QStringLiteral("EA4ZZ"));
    ASSERT_EQ(currentCluster(), &t);
    EXPECT_TRUE(postSpot(p));
    ASSERT_TRUE(waitFor([&] { return server.received().endsWith("DX 14025.0 K1ABC loud\r\n"); }))
        << server.received().toStdString();
    t.Close();
    EXPECT_FALSE(postSpot(p));       // a closed cluster: nothing sent, nothing said
    EXPECT_TRUE(msgs.take().isEmpty());
}

TEST_F(TelnetConnection, ServerThatClosesLeavesTheConnectionClosed)
{
    TestClusterServer server({"To ALL de EA1XX: QRT\r\n"}, true);
    TTelnet t(server.port());
    QSignalSpy closed(&t, &TTelnet::closed);
    t.Connect(QStringLiteral("127.0.0.1"), QStringLiteral("EA4ZZ"));
    ASSERT_TRUE(t.lConnect);
    ASSERT_TRUE(waitFor([&] { return !t.lConnect; }));
    EXPECT_EQ(closed.size(), 1);
    EXPECT_TRUE(t.rows().join('\n').contains("To ALL de EA1XX: QRT"));   // the last lines stay
    t.SendData(QStringLiteral("sh/dx"));                                 // sends nothing, says nothing
    EXPECT_TRUE(msgs.log().isEmpty());
}

TEST_F(TelnetConnection, NobodyListeningIsNoConnection)
{
    int port = 0;
    {
        TestClusterServer gone({});
        port = gone.port();
    }
    TTelnet t(port);
    QElapsedTimer clock;
    clock.start();
    t.Connect(QStringLiteral("127.0.0.1"), QStringLiteral("EA4ZZ"));
    EXPECT_FALSE(t.lConnect);
    EXPECT_LT(clock.elapsed(), 5000);

    // a host that does not answer at all: the user is told and no connection is tried
    TTelnet nowhere;
    nowhere.Connect(QStringLiteral("no-such-cluster.invalid"), QStringLiteral("EA4ZZ"));
    EXPECT_FALSE(nowhere.lConnect);
    EXPECT_EQ(msgs.log().join('\n').toStdString(), "info: Host inaccesible no-such-cluster.invalid");
    EXPECT_EQ(nowhere.oSocket->state(), QAbstractSocket::UnconnectedState);
}

// Recorded traffic in the manner of the common cluster programs: the login
// dialogue with negotiation bytes, spots split across reads, CR LF and LF
// endings, an announcement, WWV and WCY bulletins.
QList<QByteArray> recordedTraffic()
{
    return {
        spotLine("DL1ABC", "14025.0", "VP8LP", "CW up 2", "1200", "GD18") + "\r\n" +
            spotLine("W3LPL", "21074.0", "ZL2AB", "FT8 -12dB", "1201"),
        "\r\n" + spotLine("JA1XYZ", "7010.5", "3Y0J", "", "1202") + "\r\n",
        spotLine("EA7URC", "28495.0", "PY2AA", "SSB 59", "1203").left(30),   // a line cut between two reads
        spotLine("EA7URC", "28495.0", "PY2AA", "SSB 59", "1203").mid(30) + "\n",
        "To ALL de EA7URC: contest this weekend\r\n",
        "WWV de W0MU <18>:   SFI=70, A=4, K=1, No Storms -> No Storms\a\a\r\n",
        "WCY de DK0WCY-1 <18> : K=1 expK=2 A=5 R=40 SFI=70 SA=qui GMF=qui Au=no\a\a\r\n",
        spotLine("DL1ABC", "14025.0", "VP8LP", "CW up 2", "1200", "GD18") + "\r\n",   // a repeat
    };
}

TEST_F(TelnetConnection, TwoServersFileEachSpotOnce)
{
    TestClusterServer first(recordedTraffic(), false, 20), second(recordedTraffic(), false, 35);
    SpotFeed feed;
    QStringList filed;
    QObject::connect(&feed, &SpotFeed::spotFiled, [&](const FiledSpot& s) { filed << s.call; });
    TTelnet a(first.port()), b(second.port());
    feed.attach(&a);
    feed.attach(&b);
    a.Connect(QStringLiteral("127.0.0.1"), QStringLiteral("EA4ZZ"));
    b.Connect(QStringLiteral("127.0.0.1"), QStringLiteral("EA4ZZ"));
    ASSERT_TRUE(a.lConnect && b.lConnect);
    EXPECT_EQ(currentCluster(), &a);               // the first one up stays the current cluster
    ASSERT_TRUE(waitFor([&] { return first.played() && second.played() && column(store::alias::kWcy, "CALL").size() == 2; }));
    waitFor([] { return false; }, 200);
    filed.sort();
    EXPECT_EQ(filed, (QStringList{"3Y0J", "PY2AA", "VP8LP", "ZL2AB"}));
    EXPECT_EQ(column(store::alias::kSpots, "CALL").size(), 4);
    EXPECT_EQ(column(store::alias::kAnn, "CALL"), (QStringList{"EA7URC", "EA7URC"}));
    EXPECT_EQ(column(store::alias::kWwv, "SFI"), (QStringList{"70", "70"}));
    a.End();
    b.End();
}

} // namespace
} // namespace cluster::testing

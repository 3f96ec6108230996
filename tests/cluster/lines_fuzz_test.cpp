// The cutting of cluster lines against what a server may really send:
// well-formed lines of every kind, and random and mutated bytes, which must
// never crash, hang or file a spot from a line that is not one.
#include "cluster_home.h"

#include "cluster/cluster_lines.h"
#include "cluster/telnet.h"

#include <QRandomGenerator>

namespace cluster::testing {
namespace {

TEST(ClusterLines, SpotColumnsAndWhatIsNoSpot)
{
    SpotLine s;
    ASSERT_TRUE(parseSpotLine(spotLine("N0XYZ", "14025.0", "K1ABC", "CW 599", "1234", "JN19"), &s));
    EXPECT_EQ(s.spotter, "N0XYZ");
    EXPECT_DOUBLE_EQ(s.kHz, 14025.0);
    EXPECT_EQ(s.call, "K1ABC");
    EXPECT_EQ(s.comment, "CW 599");
    EXPECT_EQ(s.time, "12:34");
    EXPECT_EQ(s.locator, "JN19");
    // a BEL in column 77 is no locator (DX Spider ends some lines so)
    ASSERT_TRUE(parseSpotLine(spotLine("N0XYZ", "14025.0", "K1ABC", "", "1234", "\a\a"), &s));
    EXPECT_EQ(s.locator, "");
    // spotter names with the node's suffix and the colon inside the field
    ASSERT_TRUE(parseSpotLine(spotLine("EA4ZZ-#", "3525.1", "EA8/ON4X", "", "0000"), &s));
    EXPECT_EQ(s.spotter, "EA4ZZ-#");
    EXPECT_EQ(s.call, "EA8/ON4X");

    EXPECT_FALSE(parseSpotLine(spotLine("N0XYZ", "14O25.0", "K1ABC", "", "1234"), &s));   // letter O
    EXPECT_FALSE(parseSpotLine(spotLine("N0XYZ", "-14025", "K1ABC", "", "1234"), &s));
    EXPECT_FALSE(parseSpotLine(spotLine("N0XYZ", "0.0", "K1ABC", "", "1234"), &s));
    EXPECT_FALSE(parseSpotLine(spotLine("N0XYZ", "999999.99", "K1ABC", "", "1234"), &s));
    EXPECT_FALSE(parseSpotLine(spotLine("N0XYZ", "14025.0", "", "", "1234"), &s));
    EXPECT_FALSE(parseSpotLine(spotLine("N0XYZ", "14025.0", "K1<B>C", "", "1234"), &s));
    EXPECT_FALSE(parseSpotLine(spotLine("N0XYZ", "14025.0", "K1ABC", "", "12:4"), &s));
    EXPECT_FALSE(parseSpotLine(spotLine("N0XYZ", "14025.0", "K1ABC", "", "2460"), &s));
    EXPECT_FALSE(parseSpotLine(spotLine("", "14025.0", "K1ABC", "", "1234"), &s));
    EXPECT_FALSE(parseSpotLine(spotLine("N0XYZ", "14025.0", "K1ABC", "CW", "1234").left(60), &s));
    EXPECT_FALSE(parseSpotLine("DX de", &s));
}

TEST(ClusterLines, TalksAnnouncementsAndBulletins)
{
    Announcement a;
    ASSERT_TRUE(parseTalk("EA4ZZ de EA1XX: hola\a\a\r\n", "EA4ZZ", &a));
    EXPECT_EQ(a.call, "EA1XX");
    EXPECT_EQ(a.text, "hola");
    EXPECT_FALSE(parseTalk("EA4ZZ de EA1XX: hola\r\n", "", &a));
    EXPECT_FALSE(parseTalk("EA4ZZ de : hola\r\n", "EA4ZZ", &a));
    ASSERT_TRUE(parseAnnouncement("To ALL de SV1XX: QSL via bureau\r\n", &a));
    EXPECT_EQ(a.call, "SV1XX");
    EXPECT_EQ(a.text, "QSL via bureau");
    EXPECT_FALSE(parseAnnouncement("To ALL de   no colon here\r\n", &a));

    WwvBulletin w;
    ASSERT_TRUE(parseWwv("WWV de VE7CC <00>:   SFI=150, A=12, K=3, minor storm\a\a\r\n", &w));
    EXPECT_EQ(w.call, "VE7CC");
    EXPECT_EQ(w.sfi, 150);
    EXPECT_EQ(w.a, 12);
    EXPECT_EQ(w.k, 3);
    EXPECT_EQ(w.forecast, " minor storm");
    EXPECT_FALSE(parseWwv("WWV de VE7CC <00> nothing\r\n", &w));
    WcyBulletin c;
    ASSERT_TRUE(parseWcy("WCY de DK0WCY-1 <12> : K=4 expK=5 A=20 R=99 SFI=180 SA=eru GMF=maj Au=yes\a\a\r\n", &c));
    EXPECT_EQ(c.k, 4);
    EXPECT_EQ(c.ek, 5);
    EXPECT_EQ(c.aurora, "yes");
    EXPECT_EQ(leadingNumber(" 68abc"), 68);
    EXPECT_EQ(leadingNumber("x"), 0);
}

// Random bytes, weighted towards the characters that steer the parser.
QByteArray noise(QRandomGenerator& g, int maxLen)
{
    static const QByteArray steer = "DX de:<>=, \r\n\a\xff\x1b" "0123456789.-/ToALLWWVWCYEA4ZZ";
    QByteArray b(int(g.bounded(maxLen + 1)), '\0');
    for (char& c : b)
        c = g.bounded(3) ? steer[int(g.bounded(steer.size()))] : char(g.bounded(256));
    return b;
}

class ClusterFuzz : public ClusterHome {};

TEST_F(ClusterFuzz, RandomTrafficNeverCrashesAndFilesOnlyWholeSpots)
{
    QRandomGenerator g(20261208);
    SpotFeed feed;
    TTelnet t;
    feed.attach(&t);
    int filed = 0;
    QObject::connect(&feed, &SpotFeed::spotFiled, [&](const FiledSpot& s) {
        ++filed;
        // whatever was filed came from a line that reads as a spot
        EXPECT_FALSE(s.call.isEmpty());
        EXPECT_GT(s.kHz, 0);
        EXPECT_TRUE(s.time.size() == 5 && s.time[2] == u':') << s.time.toStdString();
    });
    for (int i = 0; i < 3000; ++i) {
        QByteArray chunk = noise(g, 300);
        if (i % 3 == 0)   // a spot with some of its bytes overwritten
        {
            chunk = spotLine("EA1XX", "14025.0", "K1ABC", "CW", "1234") + "\r\n";
            for (int n = int(g.bounded(4)) + 1; n > 0; --n)
                chunk[int(g.bounded(chunk.size()))] = char(g.bounded(256));
        }
        t.feed(chunk);
        SpotLine s;
        ASSERT_LE(t.rows().size(), 71);
        (void)parseSpotLine(chunk, &s);
        Announcement a;
        (void)parseTalk(chunk, "EA4ZZ", &a);
        WwvBulletin w;
        (void)parseWwv(chunk, &w);
        WcyBulletin c;
        (void)parseWcy(chunk, &c);
    }
    // a record was filed only for chunks that held a spot
    EXPECT_EQ(column(store::alias::kSpots, "CALL").size(), filed);
}

TEST_F(ClusterFuzz, BrokenFrequencyTimeOrCallFilesNothing)
{
    QRandomGenerator g(7);
    SpotFeed feed;
    const QByteArray good = spotLine("EA1XX", "14025.0", "K1ABC", "CW", "1234") + "\r\n";
    const char* junk = ",;*<>?!\"#%";   // no call, figure or time has them
    for (int i = 0; i < 500; ++i) {
        QByteArray bad = good;
        // one character of the frequency (columns 18-24), the time (71-74) or the call (27-31)
        const int ranges[3][2] = {{17, 24}, {70, 74}, {26, 31}};
        const auto& r = ranges[g.bounded(3)];
        bad[r[0] + int(g.bounded(r[1] - r[0]))] = junk[g.bounded(10)];
        EXPECT_TRUE(feed.CRTSPOT(bad, QStringLiteral("EA4ZZ")).spots.isEmpty()) << bad.toStdString();
    }
    EXPECT_TRUE(column(store::alias::kSpots, "CALL").isEmpty());
}

} // namespace
} // namespace cluster::testing

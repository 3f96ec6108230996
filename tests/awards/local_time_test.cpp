// The local time at a far station: the service's answer, the day mark, and
// the entity's stored difference when no service answers.
#include "awards/local_time.h"

#include "geo/locator.h"
#include "web_server.h"

#include <QElapsedTimer>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace awards {
namespace {

const QDateTime kAt(QDate(2024, 3, 10), QTime(22, 40), QTimeZone::utc());

TEST(LocalTime, TheHourGoesRoundTheClockWithADayMark)
{
    EXPECT_EQ(localTimeText(kAt, 3), QStringLiteral("01:40+1"));
    EXPECT_EQ(localTimeText(kAt, 1), QStringLiteral("23:40  "));
    EXPECT_EQ(localTimeText(kAt, 5.5), QStringLiteral("03:40+1"));     // half hours truncated
    const QDateTime early(QDate(2024, 3, 10), QTime(2, 5), QTimeZone::utc());
    EXPECT_EQ(localTimeText(early, -5), QStringLiteral("21:05-1"));
    EXPECT_EQ(localTimeText(early, -4.5), QStringLiteral("22:05-1"));
}

TEST(LocalTime, TheServiceAnswerGivesBothOffsets)
{
    double h = 0;
    ASSERT_TRUE(parseTimeZoneAnswer(R"({ "dstOffset" : 3600, "rawOffset" : 7200, "status" : "OK" })", &h));
    EXPECT_DOUBLE_EQ(h, 3);
    ASSERT_TRUE(parseTimeZoneAnswer("{\"dstOffset\":0,\"rawOffset\":-18000,\"status\":\"OK\"}", &h));
    EXPECT_DOUBLE_EQ(h, -5);
    EXPECT_FALSE(parseTimeZoneAnswer(R"({ "status" : "INVALID_REQUEST" })", &h));
    EXPECT_FALSE(parseTimeZoneAnswer("<html>no</html>,x,y", &h));
    EXPECT_FALSE(parseTimeZoneAnswer("{\"a\":900000,\"b\":2,\"c\":3}", &h));   // no offset of the Earth
    EXPECT_TRUE(parseUtcDifference(QStringLiteral("+4.5"), &h));
    EXPECT_DOUBLE_EQ(h, 4.5);
    EXPECT_FALSE(parseUtcDifference(QStringLiteral("  "), &h));
    EXPECT_FALSE(parseUtcDifference(QStringLiteral("x"), &h));
}

TEST(LocalTime, AskedOfTheServiceWithTheStoredDifferenceAsFallBack)
{
    qunsetenv("ORLANLOG_OFFLINE");
    // the request as the service expects it: the locator's point, the time, no sensor
    const QString path = QStringLiteral("/maps/api/timezone/json?location=%1,%2&timestamp=%3&sensor=false")
                             .arg(geo::QRA2LAT("KO85"), 0, 'f', 6)
                             .arg(geo::QRA2LON("KO85"), 0, 'f', 6)
                             .arg(kAt.toSecsSinceEpoch());
    WebServer server;
    server.route(path, QByteArray(R"({ "dstOffset" : 0, "rawOffset" : 10800, "status" : "OK" })"));
    LocalTime t = LOCALTIME(QStringLiteral("KO85"), QStringLiteral("+1"), server.base(), kAt);
    EXPECT_EQ(t.text, QStringLiteral("01:40+1"));
    EXPECT_EQ(t.source, LocalTime::Source::Service);
    ASSERT_EQ(server.requests().size(), 1);
    const QByteArray request = server.lastRequest();
    EXPECT_TRUE(request.contains("timestamp=" + QByteArray::number(kAt.toSecsSinceEpoch())));
    EXPECT_TRUE(request.contains("sensor=false"));
    EXPECT_TRUE(request.contains("location=55."));

    // a server that never answers: the entity's difference, said so
    WebServer silent;
    silent.route(path, WebReply{200, {}, {}, -1, true});
    QElapsedTimer took;
    took.start();
    t = LOCALTIME(QStringLiteral("KO85"), QStringLiteral("+1"), silent.base(), kAt, 1);
    EXPECT_LT(took.elapsed(), 5000);
    EXPECT_EQ(t.text, QStringLiteral("23:40  "));
    EXPECT_EQ(t.source, LocalTime::Source::Stored);
    EXPECT_EQ(t.sourceText(), QStringLiteral("(entidad)"));

    // an error answer, no difference stored either
    WebServer failing;
    t = LOCALTIME(QStringLiteral("KO85"), QString(), failing.base(), kAt);
    EXPECT_EQ(t.text, QStringLiteral("  :  "));
    EXPECT_EQ(t.source, LocalTime::Source::None);
}

} // namespace
} // namespace awards

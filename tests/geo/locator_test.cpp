// Locator to coordinates and back, and the check of a locator field.
#include "geo/dms.h"
#include "geo/locator.h"

#include "core/scripted_messages.h"

#include <gtest/gtest.h>

using namespace geo;

namespace {

QString locator(int lonField, int latField, int lonSquare, int latSquare, int lonSub, int latSub)
{
    return QString(QChar(u'A' + lonField)) + QChar(u'A' + latField) + QChar(u'0' + lonSquare) + QChar(u'0' + latSquare)
        + QChar(u'A' + lonSub) + QChar(u'A' + latSub);
}

class CheckLocator : public ::testing::Test {
protected:
    void SetUp() override { ui::setMessages(&msgs); }
    void TearDown() override { ui::setMessages(nullptr); }
    ui::ScriptedMessages msgs;
};

} // namespace

TEST(Locator, OriginIsJJ00AAAndItsCentre)
{
    EXPECT_EQ(CALLOC(0, 0), "JJ00AA");
    EXPECT_NEAR(QRA2LAT("JJ00AA"), 1 / 48.0, 1e-12);
    EXPECT_NEAR(QRA2LON("JJ00AA"), 1 / 24.0, 1e-12);
}

TEST(Locator, KnownPlaces)
{
    EXPECT_EQ(CALLOC(40.4168, -3.7038), "IN80DK");     // Madrid
    EXPECT_EQ(CALLOC(-33.8688, 151.2093), "QF56OD");   // Sydney
    EXPECT_EQ(CALLOC(40.7128, -74.0060), "FN20XR");    // New York
    EXPECT_NEAR(QRA2LAT("IN80DK"), 40.4375, 1e-9);
    EXPECT_NEAR(QRA2LON("IN80DK"), -3.708333333, 1e-9);
}

TEST(Locator, EverySubsquareCentreGivesItsOwnLocatorBack)
{
    for (int f1 = 0; f1 < 18; f1 += 1)
        for (int f2 = 0; f2 < 18; f2 += 1)
            for (int s = 0; s < 10; s += 3)
                for (int sub = 0; sub < 24; sub += 5) {
                    const QString loc = locator(f1, f2, s, 9 - s, sub, 23 - sub);
                    ASSERT_EQ(CALLOC(QRA2LAT(loc), QRA2LON(loc)), loc);
                }
}

TEST(Locator, FourCharactersStandForTheNorthEastSubsquare)
{
    EXPECT_DOUBLE_EQ(QRA2LAT("JN11"), QRA2LAT("JN11XX"));
    EXPECT_DOUBLE_EQ(QRA2LON("JN11"), QRA2LON("JN11XX"));
    EXPECT_DOUBLE_EQ(QRA2LAT(" jn11ax "), QRA2LAT("JN11AX"));
    EXPECT_DOUBLE_EQ(QRA2LON(" jn11ax "), QRA2LON("JN11AX"));
}

TEST(Locator, PointsOffTheGridStillGiveALocatorOnIt)
{
    EXPECT_EQ(CALLOC(-90, -180), "AA00AA");
    EXPECT_EQ(CALLOC(90, 0), "JR09AX");        // the pole is in the last row
    EXPECT_EQ(CALLOC(95, 0), "JR09AX");
    EXPECT_EQ(CALLOC(0, 180), "AJ00AA");       // 180 east is 180 west
    EXPECT_EQ(CALLOC(0, 360), "JJ00AA");
    EXPECT_EQ(CALLOC(0, -540), "AJ00AA");
    EXPECT_EQ(CALLOC(0, std::nan("")), "");
}

TEST_F(CheckLocator, EmptyAndCompletedLocators)
{
    QString loc;
    EXPECT_TRUE(CHKLOC(&loc));
    EXPECT_EQ(loc, "");
    loc = "  ";
    EXPECT_TRUE(CHKLOC(&loc));
    loc = "jn";
    EXPECT_TRUE(CHKLOC(&loc));
    EXPECT_EQ(loc, "JN55LL");
    loc = " in80 ";
    EXPECT_TRUE(CHKLOC(&loc));
    EXPECT_EQ(loc, "IN80LL");
    loc = "in80dk";
    EXPECT_TRUE(CHKLOC(&loc));
    EXPECT_EQ(loc, "IN80DK");
    EXPECT_TRUE(CHKLOC("RR99XX"));
    EXPECT_TRUE(msgs.log().isEmpty()) << msgs.log().join('\n').toStdString();
}

TEST_F(CheckLocator, InvalidLocatorsAreReported)
{
    for (const char* bad : {"JN1", "SA00AA", "AS00AA", "JN11AY", "JN1AAA", "J011AA", "JNA1AA", "JN11AAA", "J", "JN11A"}) {
        QString loc = bad;
        EXPECT_FALSE(CHKLOC(&loc)) << bad;
        EXPECT_EQ(msgs.take(), QStringList{"alert: Locator erroneo"}) << bad;
    }
    QString lower = " jn1 ";
    CHKLOC(&lower);
    EXPECT_EQ(lower, "JN1");   // the field shows what was typed, trimmed and upper case
}

TEST(Dms, ConversionBothWays)
{
    EXPECT_DOUBLE_EQ(dmsToDecimal(0, 30, 0), 0.5);
    EXPECT_DOUBLE_EQ(dmsToDecimal(39, 26, 15), 39.4375);
    EXPECT_NEAR(dmsToDecimal(-2, 47, 30), -2.7916666666666665, 1e-12);

    Dms d = decimalToDms(-0.5);
    EXPECT_EQ(d.degrees, 0);
    EXPECT_EQ(d.minutes, 30);
    EXPECT_DOUBLE_EQ(d.seconds, 0);
    EXPECT_TRUE(d.negative);
    EXPECT_DOUBLE_EQ(dmsToDecimal(d), -0.5);    // 0° 30' south stays south

    d = decimalToDms(-2.7916666666666665);
    EXPECT_EQ(d.degrees, -2);
    EXPECT_EQ(d.minutes, 47);
    EXPECT_DOUBLE_EQ(d.seconds, 30);
}

TEST(Dms, SecondsThatRoundToSixtyAreCarried)
{
    Dms d = decimalToDms(10.999999);            // 10° 59' 59.9964''
    EXPECT_EQ(d.degrees, 11);
    EXPECT_EQ(d.minutes, 0);
    EXPECT_DOUBLE_EQ(d.seconds, 0);
    d = decimalToDms(-3.4499999);               // 3° 26' 59.99964'' south
    EXPECT_EQ(d.degrees, -3);
    EXPECT_EQ(d.minutes, 27);
    EXPECT_DOUBLE_EQ(d.seconds, 0);
}

// Sunrise and sunset: the sun's position over the year, times of the UTC day,
// polar day and night.
#include "geo/constants.h"
#include "geo/sun.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace geo;

namespace {

// Minutes of an "hh:mm" text.
int minutes(const QString& t) { return t.left(2).toInt() * 60 + t.mid(3, 2).toInt(); }

} // namespace

TEST(SunPosition, DayOfTheYearCountsLeapYears)
{
    EXPECT_DOUBLE_EQ(ANGLEOFDAY(2024, 1, 1), 0);
    EXPECT_DOUBLE_EQ(ANGLEOFDAY(2023, 3, 1), 2 * kPi * 59 / 365);
    EXPECT_DOUBLE_EQ(ANGLEOFDAY(2024, 3, 1), 2 * kPi * 60 / 366);
    EXPECT_DOUBLE_EQ(ANGLEOFDAY(2000, 3, 1), 2 * kPi * 60 / 366);
    EXPECT_DOUBLE_EQ(ANGLEOFDAY(1900, 3, 1), 2 * kPi * 59 / 365);
    EXPECT_DOUBLE_EQ(ANGLEOFDAY(2023, 12, 31), 2 * kPi * 364 / 365);
    EXPECT_DOUBLE_EQ(ANGLEOFDAY(2024, 12, 31), 2 * kPi * 365 / 366);
}

TEST(SunPosition, DeclinationAndEquationOfTimeOverTheYear)
{
    const auto g = [](int m, int d) { return ANGLEOFDAY(2023, m, d); };
    EXPECT_NEAR(DECLINATION(g(6, 21)) * 180 / M_PI, 23.44, 0.1);
    EXPECT_NEAR(DECLINATION(g(12, 21)) * 180 / M_PI, -23.44, 0.1);
    EXPECT_NEAR(DECLINATION(g(3, 20)) * 180 / M_PI, 0, 0.5);
    // the sun is about 16 minutes fast early in November, 14 slow in mid-February
    EXPECT_NEAR(EQOFTIME(g(11, 3)) * 60, 16.4, 0.5);
    EXPECT_NEAR(EQOFTIME(g(2, 11)) * 60, -14.2, 0.5);
    EXPECT_NEAR(TSV_TU(toRadians(-15), 0), -1, 1e-9);
    EXPECT_NEAR(DAYDURATINHOURS(0, toRadians(40)), 12, 1e-6);
    EXPECT_NEAR(DAYDURATINHOURS(toRadians(23.44), 0), 12, 1e-6);
}

TEST(SunTimes, MadridAtMidsummer)
{
    QString rise, set;
    ORTOOCASO("IN80DK", &rise, &set, QDate(2024, 6, 21));
    // 04:44 and 19:48 UTC with refraction; the program's sun is a point without it
    EXPECT_NEAR(minutes(rise), 4 * 60 + 44, 8) << rise.toStdString();
    EXPECT_NEAR(minutes(set), 19 * 60 + 48, 8) << set.toStdString();
    EXPECT_EQ(rise, "04:49");
    EXPECT_EQ(set, "19:43");
}

TEST(SunTimes, FarEastRisesTheEveningBeforeAndFarWestSetsAfterMidnight)
{
    QString rise, set;
    ORTOOCASO("PM95UQ", &rise, &set, QDate(2024, 6, 21));   // Tokyo: 04:25 and 19:00 local (UTC+9)
    EXPECT_NEAR(minutes(rise), 19 * 60 + 25, 8) << rise.toStdString();
    EXPECT_NEAR(minutes(set), 10 * 60, 8) << set.toStdString();
    ORTOOCASO("BL11BH", &rise, &set, QDate(2024, 6, 21));   // Honolulu: 05:51 and 19:16 local (UTC-10)
    EXPECT_NEAR(minutes(rise), 15 * 60 + 51, 8) << rise.toStdString();
    EXPECT_NEAR(minutes(set), 5 * 60 + 16, 8) << set.toStdString();
}

TEST(SunTimes, PolarDayAndNightHaveNoTimes)
{
    for (const QDate& d : {QDate(2024, 6, 21), QDate(2024, 12, 21)}) {
        for (const char* loc : {"JQ79LL", "JB55LL"}) {   // Svalbard, Antarctica
            QString rise = "x", set = "x";
            ORTOOCASO(loc, &rise, &set, d);
            EXPECT_EQ(rise, "  :  ") << loc;
            EXPECT_EQ(set, "  :  ") << loc;
        }
    }
    QString rise, set;
    ORTOOCASO("", &rise, &set, QDate(2024, 6, 21));
    EXPECT_EQ(rise, "  :  ");
    EXPECT_EQ(set, "  :  ");
    double r = 0, s = 0;
    EXPECT_FALSE(sunTimes("JQ79LL", QDate(2024, 6, 21), &r, &s));
}

TEST(SunTimes, MinutesThatRoundToSixtyCarryIntoTheHour)
{
    EXPECT_EQ(timeText(6.9995), "07:00");
    EXPECT_EQ(timeText(23.9999), "00:00");
    EXPECT_EQ(timeText(24), "00:00");
    EXPECT_EQ(timeText(9.5), "09:30");
    EXPECT_EQ(timeText(-0.5), "23:30");
    EXPECT_EQ(timeText(std::nan("")), "  :  ");

    QString rise, set;
    ORTOOCASO("IM00LL", &rise, &set, QDate(2024, 4, 9));    // sunrise at 06:59.96
    EXPECT_EQ(rise, "07:00");
    ORTOOCASO("AB88LL", &rise, &set, QDate(2024, 8, 2));    // sunset at 23:59.78
    EXPECT_EQ(set, "00:00");
}

TEST(SunTimes, ShortDaysNearTheDateLineStayWithinTheDay)
{
    // Far west with a day of minutes: the sunrise works out past 24:00.
    double r = 0, s = 0;
    ASSERT_TRUE(sunTimes("AP09LL", QDate(2024, 1, 19), &r, &s));
    EXPECT_GE(r, 0);
    EXPECT_LT(r, 24);
    EXPECT_GE(s, 0);
    EXPECT_LT(s, 24);
    QString rise, set;
    ORTOOCASO("AP09LL", &rise, &set, QDate(2024, 1, 19));
    EXPECT_EQ(rise, "00:02");
    EXPECT_EQ(set, "00:10");
}

TEST(SunTimes, EveryTextIsAClockTime)
{
    for (int lat = 0; lat < 18; ++lat)
        for (int lon = 0; lon < 18; ++lon)
            for (int month = 1; month <= 12; ++month) {
                const QString loc = QString(QChar(u'A' + lon)) + QChar(u'A' + lat) + QStringLiteral("55LL");
                QString rise, set;
                ORTOOCASO(loc, &rise, &set, QDate(2023, month, 15));
                for (const QString& t : {rise, set}) {
                    if (t == "  :  ")
                        continue;
                    ASSERT_EQ(t.size(), 5) << loc.toStdString();
                    ASSERT_EQ(t[2], u':');
                    ASSERT_LT(t.left(2).toInt(), 24) << t.toStdString();
                    ASSERT_LT(t.mid(3).toInt(), 60) << t.toStdString();
                }
            }
}

// The sun's place, the night side and great circles, against moments and
// points whose answers are known.
#include "maps/sky.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>

using namespace maps;

namespace {

QDateTime utc(int y, int m, int d, int h, int min)
{
    return QDateTime(QDate(y, m, d), QTime(h, min), QTimeZone::utc());
}

// Whether a point lies inside a polygon drawn on a flat map (ray casting).
bool inside(const QList<LatLon>& ring, LatLon p)
{
    bool in = false;
    for (qsizetype i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const LatLon a = ring[i], b = ring[j];
        if ((a.y() > p.y()) != (b.y() > p.y()) && p.x() < (b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y()) + a.x())
            in = !in;
    }
    return in;
}

} // namespace

TEST(Sky, SubsolarPointAtSolsticesAndEquinox)
{
    // June solstice at noon UTC: over the Tropic of Cancer, near Greenwich
    // (the equation of time moves it by less than a degree).
    LatLon s = subsolarPoint(utc(2026, 6, 21, 12, 0));
    EXPECT_NEAR(s.x(), 23.44, 0.1);
    EXPECT_NEAR(s.y(), 0.0, 1.5);
    // December, 21:46 UTC: over the Pacific, Tropic of Capricorn.
    s = subsolarPoint(utc(2026, 12, 21, 21, 46));
    EXPECT_NEAR(s.x(), -23.44, 0.1);
    EXPECT_NEAR(s.y(), -146.5, 1.5);
    // March equinox 2026 (20 March, 14:46 UTC): on the equator.
    EXPECT_NEAR(subsolarPoint(utc(2026, 3, 20, 14, 46)).x(), 0.0, 0.05);
}

TEST(Sky, NightSideHoldsTheAntipodeOfTheSun)
{
    for (const QDateTime& t : {utc(2026, 6, 21, 12, 0), utc(2026, 12, 8, 21, 46), utc(2026, 3, 20, 14, 46)}) {
        SCOPED_TRACE(t.toString(Qt::ISODate).toStdString());
        const LatLon sun = subsolarPoint(t);
        const LatLon anti(-sun.x(), sun.y() > 0 ? sun.y() - 180 : sun.y() + 180);
        const QList<LatLon> night = nightPolygon(t);
        EXPECT_FALSE(inside(night, sun));
        EXPECT_TRUE(inside(night, anti));
        for (const LatLon& p : night)
            EXPECT_LE(std::abs(p.x()), 85.0);
    }
    // In the northern winter the north pole is dark.
    EXPECT_TRUE(inside(nightPolygon(utc(2026, 12, 21, 12, 0)), LatLon(84, 0)));
    EXPECT_FALSE(inside(nightPolygon(utc(2026, 12, 21, 12, 0)), LatLon(-84, 0)));
}

TEST(Sky, GreatCircleShortAndLongPaths)
{
    const LatLon madrid(40.4, -3.7), tokyo(35.7, 139.7);
    const QList<LatLon> shortPath = greatCircle(madrid, tokyo);
    ASSERT_EQ(shortPath.size(), 128);
    EXPECT_NEAR(shortPath.first().x(), madrid.x(), 1e-6);
    EXPECT_NEAR(shortPath.last().x(), tokyo.x(), 1e-6);
    EXPECT_NEAR(std::fmod(shortPath.last().y() + 720, 360), tokyo.y(), 1e-6);
    // The short path goes north over Russia; the long one crosses the southern hemisphere westwards.
    double north = -90, south = 90;
    for (const LatLon& p : shortPath)
        north = std::max(north, p.x());
    const QList<LatLon> longPath = greatCircle(madrid, tokyo, true, 256);
    for (const LatLon& p : longPath)
        south = std::min(south, p.x());
    EXPECT_GT(north, 55);
    EXPECT_LT(south, -55);
    EXPECT_LT(longPath[1].y(), madrid.y());   // westwards
    EXPECT_NEAR(std::fmod(longPath.last().y() + 720, 360), tokyo.y(), 1e-6);
    // No jump of more than a few degrees between neighbours: the line is drawn whole.
    for (qsizetype i = 1; i < longPath.size(); ++i)
        EXPECT_LT(std::abs(longPath[i].y() - longPath[i - 1].y()), 10.0);
    // Same point: no circle, no crash.
    EXPECT_EQ(greatCircle(madrid, madrid).size(), 2);
}

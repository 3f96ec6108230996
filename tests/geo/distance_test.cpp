// Great-circle distance and bearing between locators, short and long path.
#include "geo/distance.h"
#include "geo/locator.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace geo;

namespace {

// The same figures by an independent formula (haversine and atan2, full pi).
struct Reference {
    double km, bearing;
};
Reference reference(const QString& a, const QString& b)
{
    const double r = M_PI / 180;
    const double la1 = QRA2LAT(a) * r, lo1 = QRA2LON(a) * r, la2 = QRA2LAT(b) * r, lo2 = QRA2LON(b) * r;
    const double h = std::pow(std::sin((la2 - la1) / 2), 2) + std::cos(la1) * std::cos(la2) * std::pow(std::sin((lo2 - lo1) / 2), 2);
    const double d = 2 * std::asin(std::sqrt(h));
    double brg = std::atan2(std::sin(lo2 - lo1) * std::cos(la2),
                            std::cos(la1) * std::sin(la2) - std::sin(la1) * std::cos(la2) * std::cos(lo2 - lo1)) / r;
    if (brg < 0)
        brg += 360;
    return {d / r * 60 * 1.852, brg};
}

} // namespace

TEST(Distance, AgreesWithAnIndependentFormula)
{
    const char* pairs[][2] = {{"IN80DK", "IO91WM"}, {"IN80DK", "FN20XR"}, {"IN80DK", "QF56OD"}, {"FN20XR", "PM95UQ"},
                              {"QF56OD", "GG66QO"}, {"JJ00AA", "KJ00AA"}, {"KP20LE", "RE78IR"}};
    for (const auto& p : pairs) {
        const Reference ref = reference(p[0], p[1]);
        EXPECT_NEAR(DIST(p[0], p[1]), ref.km, 1.0) << p[0] << " " << p[1];
        EXPECT_NEAR(RUMBO(p[0], p[1]), ref.bearing, 1.0) << p[0] << " " << p[1];
    }
    EXPECT_EQ(DIST("IN80DK", "IO91WM"), 1262);
    EXPECT_EQ(RUMBO("IN80DK", "IO91WM"), 11);
    EXPECT_EQ(RUMBO("IO91WM", "IN80DK"), 194);
    EXPECT_EQ(RUMBO("JJ00LL", "KJ00LL"), 90);      // east along the equator
    EXPECT_EQ(RUMBO("KJ00LL", "JJ00LL"), 270);
}

TEST(Distance, ALocatorToItselfIsZeroEverywhere)
{
    // arccos of a sum that rounds to just above 1 must not turn into "not a number"
    for (int f1 = 0; f1 < 18; ++f1)
        for (int f2 = 0; f2 < 18; ++f2)
            for (int s1 = 0; s1 < 10; ++s1)
                for (int s2 = 0; s2 < 10; ++s2) {
                    const QString loc = QString(QChar(u'A' + f1)) + QChar(u'A' + f2) + QChar(u'0' + s1) + QChar(u'0' + s2);
                    ASSERT_EQ(DIST(loc, loc), 0) << loc.toStdString();
                    ASSERT_EQ(RUMBO(loc, loc), 0) << loc.toStdString();
                }
}

TEST(Distance, EmptyLocatorsGiveZero)
{
    EXPECT_EQ(DIST("", "IN80DK"), 0);
    EXPECT_EQ(DIST("IN80DK", "  "), 0);
    EXPECT_EQ(RUMBO("", "IN80DK"), 0);
    EXPECT_EQ(RUMBO("IN80DK", ""), 0);
}

TEST(Distance, ShortLocatorsMeanTheCentreOfTheSquare)
{
    EXPECT_EQ(DIST("JN", "JN55LL"), 0);
    EXPECT_EQ(DIST("jn11", "JN11LL"), 0);
    EXPECT_EQ(DIST("JN11", "JN11AA"), DIST("JN11LL", "JN11AA"));
    EXPECT_NE(DIST("JN11", "JN11AA"), DIST("JN11XX", "JN11AA"));
}

TEST(Bearing, DueNorthAndSouth)
{
    EXPECT_EQ(RUMBO("JN11LL", "JN10LL"), 180);
    EXPECT_EQ(RUMBO("JN10LL", "JN11LL"), 0);
    EXPECT_EQ(RUMBO("JN11LL", "JC11LL"), 180);
}

TEST(Bearing, JustUnderNorthIsReportedAs360)
{
    EXPECT_EQ(RUMBO("JN11AA", "JO09VM"), 360);     // 359.60°
    EXPECT_EQ(RUMBO("JN11AA", "JO07VM"), 360);     // 359.53°
}

TEST(Bearing, AntipodesGiveAnAnswer)
{
    EXPECT_EQ(DIST("JJ00AA", "AI09AX"), 20002);
    const int b = RUMBO("JJ00AA", "AI09AX");
    EXPECT_GE(b, 0);
    EXPECT_LE(b, 360);
}

TEST(LongPath, FromTheShortPath)
{
    EXPECT_EQ(longPathBearing(200), 20);
    EXPECT_EQ(longPathBearing(0), 180);
    EXPECT_EQ(longPathBearing(180), 0);
    EXPECT_EQ(longPathBearing(360), 180);
    EXPECT_EQ(longPathDistance(1234), 38766);
    EXPECT_EQ(longPathDistance(DIST("IN80DK", "IO91WM")), 38738);
}

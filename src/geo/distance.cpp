#include "distance.h"

#include "constants.h"
#include "locator.h"

#include <algorithm>
#include <cmath>

namespace geo {

namespace {

// Rounded half away from zero, as the figures are shown.
double round1(double x) { return std::round(x * 10) / 10; }

// arccos that tolerates the rounding of its argument just beyond +-1 (the
// same point, antipodes); a division by zero counts as 0.
double safeAcos(double num, double den = 1)
{
    const double x = den == 0 ? 0 : num / den;
    if (std::isnan(x))
        return std::acos(0.0);
    return std::acos(std::clamp(x, -1.0, 1.0));
}

struct Ends {
    double lat1, lon1, lat2, lon2;   // radians, longitudes west positive
    double d;                        // arc between them, radians
};

bool ends(const QString& from, const QString& to, Ends* e)
{
    if (from.trimmed().isEmpty() || to.trimmed().isEmpty())
        return false;
    const QString a = completeLocator(from);
    const QString b = completeLocator(to);
    e->lat1 = toRadians(QRA2LAT(a));
    e->lat2 = toRadians(QRA2LAT(b));
    e->lon1 = -toRadians(QRA2LON(a));
    e->lon2 = -toRadians(QRA2LON(b));
    e->d = safeAcos(std::sin(e->lat1) * std::sin(e->lat2)
                    + std::cos(e->lat1) * std::cos(e->lat2) * std::cos(e->lon1 - e->lon2));
    return true;
}

} // namespace

int DIST(const QString& from, const QString& to)
{
    Ends e;
    if (!ends(from, to, &e))
        return 0;
    const double nm = round1(kDegreesPerRadian * e.d * 60);
    const double km = round1(kKmPerNauticalMile * nm);
    return int(std::round(km));
}

int RUMBO(const QString& from, const QString& to)
{
    Ends e;
    if (!ends(from, to, &e))
        return 0;
    const double num = std::sin(e.lat2) - std::sin(e.lat1) * std::cos(e.d);
    const double den = std::sin(e.d) * std::cos(e.lat1);
    double tc;
    if (std::sin(e.lon2 - e.lon1) < 0)
        tc = safeAcos(num, den);
    else if (e.lon2 - e.lon1 == 0)
        tc = e.lat2 < e.lat1 ? kPi : 0;
    else
        tc = kTwoPi - safeAcos(num, den);
    return int(std::round(round1(tc * kDegreesPerRadian)));
}

int longPathDistance(int shortKm) { return kEarthRoundKm - shortKm; }

int longPathBearing(int shortBearing)
{
    int b = (shortBearing + 180) % 360;
    return b < 0 ? b + 360 : b;
}

} // namespace geo

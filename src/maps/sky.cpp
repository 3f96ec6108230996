#include "sky.h"

#include <QtMath>

#include <cmath>

namespace maps {

namespace {

double normLon(double lon)
{
    while (lon > 180)
        lon -= 360;
    while (lon < -180)
        lon += 360;
    return lon;
}

struct Vec {
    double x, y, z;
};

Vec toVec(LatLon p)
{
    const double la = qDegreesToRadians(p.x()), lo = qDegreesToRadians(p.y());
    return {std::cos(la) * std::cos(lo), std::cos(la) * std::sin(lo), std::sin(la)};
}

LatLon toLatLon(const Vec& v)
{
    return {qRadiansToDegrees(std::atan2(v.z, std::hypot(v.x, v.y))), qRadiansToDegrees(std::atan2(v.y, v.x))};
}

} // namespace

LatLon subsolarPoint(const QDateTime& utcIn)
{
    const QDateTime utc = utcIn.toUTC();
    // Days since J2000.0 and the sun's ecliptic longitude (the usual low-precision formulas,
    // good to a fraction of a degree).
    const double jd = utc.toMSecsSinceEpoch() / 86400000.0 + 2440587.5;
    const double n = jd - 2451545.0;
    const double L = std::fmod(280.460 + 0.9856474 * n, 360.0);
    const double g = qDegreesToRadians(std::fmod(357.528 + 0.9856003 * n, 360.0));
    const double lambda = qDegreesToRadians(L + 1.915 * std::sin(g) + 0.020 * std::sin(2 * g));
    const double epsilon = qDegreesToRadians(23.439 - 0.0000004 * n);
    const double decl = std::asin(std::sin(epsilon) * std::sin(lambda));
    const double ra = std::atan2(std::cos(epsilon) * std::sin(lambda), std::cos(lambda));
    // Greenwich mean sidereal time, degrees.
    const double gmst = std::fmod(280.46061837 + 360.98564736629 * n, 360.0);
    const double lon = normLon(qRadiansToDegrees(ra) - gmst);
    return {qRadiansToDegrees(decl), lon};
}

QList<LatLon> nightPolygon(const QDateTime& utc, double stepDegrees)
{
    const LatLon sun = subsolarPoint(utc);
    double decl = sun.x();
    if (std::abs(decl) < 0.01)
        decl = decl < 0 ? -0.01 : 0.01;   // the terminator is then a meridian pair; keep tan finite
    const double tanDecl = std::tan(qDegreesToRadians(decl));
    QList<LatLon> ring;
    const double step = stepDegrees > 0.1 ? stepDegrees : 0.1;
    for (double lon = -180; lon <= 180 + 1e-9; lon += step) {
        const double hourAngle = qDegreesToRadians(lon - sun.y());
        const double lat = qRadiansToDegrees(std::atan(-std::cos(hourAngle) / tanDecl));
        ring << LatLon(qBound(-85.0, lat, 85.0), lon);
    }
    // The dark pole is the one the sun does not light: south in the northern summer.
    // Closed at 85 degrees, the edge of the maps' projection.
    const double pole = decl > 0 ? -85 : 85;
    ring << LatLon(pole, 180) << LatLon(pole, -180);
    return ring;
}

QList<LatLon> greatCircle(LatLon a, LatLon b, bool longPath, int points)
{
    points = points < 2 ? 2 : points;
    const Vec va = toVec(a), vb = toVec(b);
    double dot = va.x * vb.x + va.y * vb.y + va.z * vb.z;
    dot = dot > 1 ? 1 : (dot < -1 ? -1 : dot);
    double omega = std::acos(dot);
    QList<LatLon> out;
    if (omega < 1e-9 || std::abs(omega - M_PI) < 1e-9) {
        // The same point or antipodes: no single great circle; a meridian line will do.
        out << a << b;
        return out;
    }
    // Unit vector perpendicular to a in the plane of a and b.
    Vec u{vb.x - dot * va.x, vb.y - dot * va.y, vb.z - dot * va.z};
    const double len = std::sqrt(u.x * u.x + u.y * u.y + u.z * u.z);
    u = {u.x / len, u.y / len, u.z / len};
    const double total = longPath ? omega - 2 * M_PI : omega;   // negative: the other way round
    double prevLon = a.y();
    for (int i = 0; i < points; ++i) {
        const double t = total * i / (points - 1);
        const Vec v{va.x * std::cos(t) + u.x * std::sin(t), va.y * std::cos(t) + u.y * std::sin(t),
                    va.z * std::cos(t) + u.z * std::sin(t)};
        LatLon p = toLatLon(v);
        double lon = p.y();
        while (lon - prevLon > 180)
            lon -= 360;
        while (lon - prevLon < -180)
            lon += 360;
        prevLon = lon;
        out << LatLon(p.x(), lon);
    }
    return out;
}

} // namespace maps

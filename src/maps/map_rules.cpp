#include "map_rules.h"

#include "geo/locator.h"

#include <cmath>

namespace maps {

int pathZoom(double km)
{
    if (km > 15000)
        return 1;
    if (km < 500)
        return 6;
    if (km < 1000)
        return 5;
    if (km < 1400)
        return 4;
    if (km < 2000)
        return 3;
    return 2;
}

int elevationSamples(double km)
{
    const long long tenths = km > 0 ? static_cast<long long>(km / 10) : 0;
    const int n = int(tenths % 512);
    return n < 100 ? 100 : n;
}

bool gridSquareCorner(const QString& square, int* lat, int* lon)
{
    const QString s = square.trimmed().toUpper();
    if (s.size() != 4 || s[0] < QLatin1Char('A') || s[0] > QLatin1Char('R') || s[1] < QLatin1Char('A') ||
        s[1] > QLatin1Char('R') || !s[2].isDigit() || !s[3].isDigit())
        return false;
    *lat = int(std::lround(geo::QRA2LAT(s + QStringLiteral("AA"))));
    *lon = int(std::lround(geo::QRA2LON(s + QStringLiteral("AA"))));
    return true;
}

QString viewLineColour(const QString& propMode, const QString& mode)
{
    const QString p = propMode.trimmed().toUpper();
    const QString m = mode.trimmed().toUpper();
    if (p.startsWith(QLatin1String("MS")))
        return QStringLiteral("#0000FF");
    if (p.startsWith(QLatin1String("TR")))
        return QStringLiteral("#008000");
    if (p.startsWith(QLatin1String("EME")))
        return QStringLiteral("#000000");
    if (p.startsWith(QLatin1String("FAI")))
        return QStringLiteral("#808080");
    if (m.startsWith(QLatin1String("FSK441")) || m.startsWith(QLatin1String("FSK")) || m.startsWith(QLatin1String("JT6M")))
        return QStringLiteral("#0000FF");
    if (m.startsWith(QLatin1String("JT65")))
        return QStringLiteral("#000000");
    return QStringLiteral("#ff0000");
}

} // namespace maps

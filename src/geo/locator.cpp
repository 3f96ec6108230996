#include "locator.h"

#include "core/messages.h"

#include <algorithm>
#include <cmath>

namespace geo {

namespace {

// Number of the character at position i counted from base, kept within
// 0..last so that any text lands somewhere on the globe.
int code(const QString& loc, int i, QChar base, int last)
{
    if (i >= loc.size())
        return 0;
    return std::clamp(int(loc.at(i).unicode()) - int(base.unicode()), 0, last);
}

QString forCoordinates(const QString& locator)
{
    QString loc = locator.trimmed().toUpper();
    if (loc.size() == 4)
        loc += QStringLiteral("XX");
    return loc;
}

} // namespace

double QRA2LAT(const QString& locator)
{
    const QString loc = forCoordinates(locator);
    return -90 + 10 * code(loc, 1, u'A', 17) + code(loc, 3, u'0', 9) + code(loc, 5, u'A', 23) / 24.0 + 1 / 48.0;
}

double QRA2LON(const QString& locator)
{
    const QString loc = forCoordinates(locator);
    return -180 + 20 * code(loc, 0, u'A', 17) + 2 * code(loc, 2, u'0', 9) + code(loc, 4, u'A', 23) / 12.0 + 1 / 24.0;
}

QString CALLOC(double lat, double lon)
{
    if (!std::isfinite(lat) || !std::isfinite(lon))
        return QString();
    lat = std::clamp(lat, -90.0, 90.0) + 90;
    lon = std::fmod(lon + 180, 360.0);
    if (lon < 0)
        lon += 360;

    const auto letter = [](int n, int last) { return QChar(u'A' + std::clamp(n, 0, last)); };
    const auto digit = [](int n) { return QChar(u'0' + std::clamp(n, 0, 9)); };

    const int lonField = std::min(int(lon / 20), 17);
    lon -= 20 * lonField;
    const int lonSquare = std::min(int(lon / 2), 9);
    lon = (lon - 2 * lonSquare) * 60;
    const int lonSub = int(lon / 5);

    const int latField = std::min(int(lat / 10), 17);   // the north pole belongs to the last field
    lat -= 10 * latField;
    const int latSquare = std::min(int(lat), 9);
    lat = (lat - latSquare) * 60;
    const int latSub = int(lat / 2.5);

    QString r;
    r += letter(lonField, 17);
    r += letter(latField, 17);
    r += digit(lonSquare);
    r += digit(latSquare);
    r += letter(lonSub, 23);
    r += letter(latSub, 23);
    return r;
}

QString completeLocator(const QString& text)
{
    QString loc = text.trimmed().toUpper();
    if (loc.size() == 2)
        loc += QStringLiteral("55LL");
    else if (loc.size() == 4)
        loc += QStringLiteral("LL");
    return loc;
}

bool isValidLocator(const QString& text, QString* completed)
{
    const QString loc = completeLocator(text);
    if (completed)
        *completed = loc;
    if (loc.isEmpty())
        return true;
    if (loc.size() != 6)
        return false;
    const auto in = [&](int i, char16_t from, char16_t to) { return loc.at(i) >= QChar(from) && loc.at(i) <= QChar(to); };
    return in(0, u'A', u'R') && in(1, u'A', u'R') && in(2, u'0', u'9') && in(3, u'0', u'9') && in(4, u'A', u'X')
        && in(5, u'A', u'X');
}

bool CHKLOC(QString* locator)
{
    QString completed;
    const bool ok = isValidLocator(*locator, &completed);
    *locator = completed;
    if (!ok)
        ui::messages().alert(QStringLiteral("Locator erroneo"));
    return ok;
}

bool CHKLOC(const QString& locator)
{
    QString copy = locator;
    return CHKLOC(&copy);
}

} // namespace geo

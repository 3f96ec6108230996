#include "sun.h"

#include "constants.h"
#include "locator.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace geo {

namespace {

bool leapYear(int year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

// Into [0, 24).
double dayHours(double t)
{
    t = std::fmod(t, 24.0);
    if (t < 0)
        t += 24;
    return t >= 24 ? 0 : t;
}

} // namespace

double ANGLEOFDAY(int year, int month, int day)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30};
    month = std::clamp(month, 1, 12);
    int n = day;
    for (int m = 1; m < month; ++m)
        n += kDays[m - 1];
    const bool leap = leapYear(year);
    if (leap && month > 2)
        ++n;
    return 2 * kPi * (n - 1) / (leap ? 366 : 365);
}

double DECLINATION(double g)
{
    return 0.006918 - 0.399912 * std::cos(g) + 0.070257 * std::sin(g) - 0.006758 * std::cos(2 * g)
        + 0.000907 * std::sin(2 * g) - 0.002697 * std::cos(3 * g) + 0.00148 * std::sin(3 * g);
}

double EQOFTIME(double g)
{
    return (0.000075 + 0.001868 * std::cos(g) - 0.032077 * std::sin(g) - 0.014615 * std::cos(2 * g)
            - 0.04089 * std::sin(2 * g))
        * 12 / kPi;
}

double TSV_TU(double lon, double eqTime) { return lon * 12 / kPi + eqTime; }

double DAYDURATINHOURS(double declination, double lat)
{
    return 2 * std::acos(std::clamp(-std::tan(lat) * std::tan(declination), -1.0, 1.0)) * 12 / kPi;
}

bool sunTimes(const QString& locator, const QDate& date, double* rise, double* set)
{
    if (locator.trimmed().isEmpty() || !date.isValid())
        return false;
    const double lat = toRadians(QRA2LAT(locator));
    const double lon = toRadians(QRA2LON(locator));
    const double g = ANGLEOFDAY(date.year(), date.month(), date.day());
    const double decl = DECLINATION(g);
    if (std::fabs(std::tan(decl) * -std::tan(lat)) > 1)
        return false;                                   // polar day or night
    const double tsv = TSV_TU(lon, EQOFTIME(g));
    const double half = std::fabs(DAYDURATINHOURS(decl, lat) / 2);
    // Far to the east the sun rises on the previous UTC day, far to the west it
    // sets on the next one: both are shown as times of the UTC day.
    *rise = dayHours(12 - half - tsv);
    *set = dayHours(12 + half - tsv);
    return true;
}

QString timeText(double hours)
{
    if (!std::isfinite(hours))
        return noTime();
    const double t = dayHours(hours);
    int h = int(t);
    int m = int(std::round((t - h) * 60));
    if (m >= 60) {
        m -= 60;
        h = (h + 1) % 24;
    }
    return QStringLiteral("%1:%2").arg(h, 2, 10, QChar(u'0')).arg(m, 2, 10, QChar(u'0'));
}

void ORTOOCASO(const QString& locator, QString* rise, QString* set, const QDate& date)
{
    const QDate day = date.isValid() ? date : QDateTime::currentDateTimeUtc().date();
    double r = 0, s = 0;
    if (!sunTimes(locator, day, &r, &s)) {
        *rise = noTime();
        *set = noTime();
        return;
    }
    *rise = timeText(r);
    *set = timeText(s);
}

} // namespace geo

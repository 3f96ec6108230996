#pragma once
// Sunrise and sunset at a locator. The sun-position functions take and give
// angles in radians and times in hours.

#include <QDate>
#include <QString>

namespace geo {

// Fractional-year angle of the date: 2 pi (day of the year - 1) / days of the year.
double ANGLEOFDAY(int year, int month, int day);
// Solar declination for the fractional-year angle.
double DECLINATION(double g);
// Equation of time, hours.
double EQOFTIME(double g);
// Offset of local true solar time from UTC, hours (longitude east positive).
double TSV_TU(double lon, double eqTime);
// Length of daylight, hours.
double DAYDURATINHOURS(double declination, double lat);

// Sunrise and sunset at the locator on the date, hours of the UTC day in
// [0, 24). False for an empty locator and for polar day or night.
bool sunTimes(const QString& locator, const QDate& date, double* rise, double* set);

// "hh:mm" of an hour of the day, minutes rounded; a time that rounds to 60
// minutes is carried into the hour (06:59.7 is "07:00", 23:59.7 is "00:00").
// "  :  " for a time that is not a number.
QString timeText(double hours);

// Sunrise and sunset as UTC time texts ("  :  " when there are none). An
// invalid date stands for today (UTC).
void ORTOOCASO(const QString& locator, QString* rise, QString* set, const QDate& date = QDate());

} // namespace geo

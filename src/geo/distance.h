#pragma once
// Great-circle distance and bearing between two locators. Locators of 2 or 4
// characters stand for the centre of their field or square ("JN" = "JN55LL").

#include <QString>

namespace geo {

// Short-path distance in whole kilometres; 0 when either locator is empty.
int DIST(const QString& from, const QString& to);
// Short-path bearing from `from` to `to` in whole degrees, 0 to 360 (a bearing
// that rounds up to 360 is reported as 360); 0 when either locator is empty.
int RUMBO(const QString& from, const QString& to);

// The long path, from the short-path figures.
int longPathDistance(int shortKm);          // 40000 - shortKm
int longPathBearing(int shortBearing);      // (shortBearing + 180) modulo 360

} // namespace geo

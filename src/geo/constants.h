#pragma once
// The figures every geographic computation of the program shares. The value
// of pi is the program's own rounded one (not M_PI), so that distances,
// bearings and sun times come out the same everywhere they are shown or stored.

#include <QString>

namespace geo {

inline constexpr double kPi = 3.14159265359;
inline constexpr double kTwoPi = 6.28318530718;
inline constexpr double kDegreesPerRadian = 57.29577951307855;
// One nautical mile per minute of arc.
inline constexpr double kKmPerNauticalMile = 1.852;
// Long-path distance = this minus the short-path distance.
inline constexpr int kEarthRoundKm = 40000;

// A time of day that does not exist (no locator, polar day or night).
inline QString noTime() { return QStringLiteral("  :  "); }

inline double toRadians(double degrees) { return degrees * kPi / 180; }

} // namespace geo

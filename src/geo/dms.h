#pragma once
// Decimal degrees and degrees, minutes and seconds (south latitudes and west
// longitudes negative).

namespace geo {

struct Dms {
    int degrees = 0;        // truncated toward zero: -0.5 has 0 degrees
    int minutes = 0;
    double seconds = 0;     // rounded to hundredths, as shown
    // The value is negative. Needed where the degrees are 0 (0° 30' south),
    // since "-0" cannot be told from 0 in an int.
    bool negative = false;
};

// |degrees| + minutes / 60 + seconds / 3600, negative when the degrees are
// negative or negative is set.
double dmsToDecimal(int degrees, int minutes, double seconds, bool negative = false);
inline double dmsToDecimal(const Dms& d) { return dmsToDecimal(d.degrees, d.minutes, d.seconds, d.negative); }

// Seconds that round to 60.00 are carried into the minutes, and 60 minutes
// into the degrees.
Dms decimalToDms(double x);

} // namespace geo

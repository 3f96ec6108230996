#include "dms.h"

#include <cmath>
#include <cstdlib>

namespace geo {

double dmsToDecimal(int degrees, int minutes, double seconds, bool negative)
{
    const double v = std::abs(degrees) + minutes / 60.0 + seconds / 3600.0;
    return degrees < 0 || negative ? -v : v;
}

Dms decimalToDms(double x)
{
    Dms r;
    if (!std::isfinite(x))
        return r;
    r.negative = x < 0;
    int degrees = int(std::trunc(std::fabs(x)));
    const double f = std::fabs(x) - degrees;
    r.minutes = int(f * 60);
    r.seconds = std::round((f * 60 - r.minutes) * 60 * 100) / 100;
    if (r.seconds >= 60) {
        r.seconds = 0;
        ++r.minutes;
    }
    if (r.minutes >= 60) {
        r.minutes -= 60;
        ++degrees;
    }
    r.degrees = r.negative ? -degrees : degrees;
    return r;
}

} // namespace geo

#include "vcl/Rounding.h"

#include <climits>
#include <cmath>

int RoundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    double r = std::floor(value);
    const double diff = value - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0))
        r += 1.0;
    if (r >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (r <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(r);
}

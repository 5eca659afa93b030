#pragma once

#include <cmath>
#include <limits>

namespace profilenumbers {

inline bool isFinitePositive(double value)
{
    return std::isfinite(value) && value > 0.0;
}

inline double finiteOrZero(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

// A scale from a quotient, or 1.0 when the quotient is not a usable scale
// (an empty dive, an item too small to hold the graph).
inline double scaleOrOne(double quotient)
{
    return isFinitePositive(quotient) ? quotient : 1.0;
}

} // namespace profilenumbers

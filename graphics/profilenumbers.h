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

// A value truncated towards zero, held within int; 0 for NaN.
inline int truncatedInt(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    return int(std::trunc(value < lowest ? lowest : (value > highest ? highest : value)));
}

// Seconds truncated towards zero, held within int; 0 for NaN.
inline int wholeSeconds(double seconds)
{
    return truncatedInt(seconds);
}

} // namespace profilenumbers

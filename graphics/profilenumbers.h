#pragma once

#include <algorithm>
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

// Pixels from the graph beyond any screen.
inline constexpr double kFarOff = 1e9;

// An item coordinate held within kFarOff, NaN far off to the left or top: an
// item at an infinite place would make the scene's bounds infinite.
inline double withinFarOff(double v)
{
    return std::isnan(v) ? -kFarOff : std::clamp(v, -kFarOff, kFarOff);
}

// The whole second of a time worked back from an item x, towards zero. The
// mapping's round trip gives a second's own x back as a hair less than that
// second (t - 1e-13): such a hair does not make it the second before.
inline double wholeSecondOf(double time)
{
    constexpr double kRoundTripTolerance = 1e-9; // relative
    const double nearest = std::round(time);
    return std::abs(time - nearest) <= kRoundTripTolerance * std::max(1.0, std::abs(time)) ? nearest
                                                                                            : std::trunc(time);
}

} // namespace profilenumbers

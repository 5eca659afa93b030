#pragma once

#include <cmath>
#include <limits>

namespace deco {

// Converts v to the integer type T, clamped to T's range; not-a-number gives 0.
// Truncates toward zero like a plain conversion, without ever overflowing.
template <typename T>
T clamp_cast(double v)
{
    if (!(v == v))
        return T(0);
    constexpr double lowest = double(std::numeric_limits<T>::lowest());
    constexpr double highest = double(std::numeric_limits<T>::max());
    if (v <= lowest)
        return std::numeric_limits<T>::lowest();
    if (v >= highest)
        return std::numeric_limits<T>::max();
    return T(v);
}

// The same, rounded to the nearest integer (halves away from zero).
template <typename T>
T clamp_round(double v)
{
    return clamp_cast<T>(std::round(v));
}

} // namespace deco

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

// a + b and a - b of a signed integer type, clamped to the type's range where
// they would overflow; exact otherwise.
template <typename T>
T saturating_add(T a, T b)
{
    T sum;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<T>::max() : std::numeric_limits<T>::lowest();
    return sum;
}

template <typename T>
T saturating_sub(T a, T b)
{
    T difference;
    if (__builtin_sub_overflow(a, b, &difference))
        return b < 0 ? std::numeric_limits<T>::max() : std::numeric_limits<T>::lowest();
    return difference;
}

} // namespace deco

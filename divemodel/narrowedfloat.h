#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

// A number narrowed to a float field, held at the largest float either side
// instead of overflowing it; not a number stays not a number.
inline float narrowedToFloat(double value)
{
    constexpr double largest = std::numeric_limits<float>::max();
    return std::isnan(value) ? float(value) : float(std::clamp(value, -largest, largest));
}

#pragma once

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>

// Whole numbers of doubles that may hold anything a file or a computation
// gives: NaN reads 0, and a value beyond the target type is held at its
// bound instead of overflowing it.

// Towards zero, within int.
inline int truncatedInt(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    return int(std::trunc(std::clamp(value, lowest, highest)));
}

// Times are held within this many seconds of zero: far beyond any dive, well
// within qint64.
constexpr double kFarthestSeconds = 1e18;

// The whole seconds of a time, towards zero.
inline qint64 wholeSeconds(double seconds)
{
    return std::isnan(seconds) ? 0 : qint64(std::trunc(std::clamp(seconds, -kFarthestSeconds, kFarthestSeconds)));
}

// The nearest whole second of a computed time, halves away from zero: a stop
// the engine ends at 1103.9999 s lasts 18:24, not 18:23.
inline qint64 nearestSeconds(double seconds)
{
    return std::isnan(seconds) ? 0 : qint64(std::llround(std::clamp(seconds, -kFarthestSeconds, kFarthestSeconds)));
}

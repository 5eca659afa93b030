#pragma once

#include <QtGlobal>

#include <bit>
#include <type_traits>

// Floating-point values compared as a computation reads them, bit for bit:
// -0 and 0 differ, and a NaN equals only the same NaN.
template <typename T>
    requires std::is_floating_point_v<T>
bool sameBits(T a, T b)
{
    using Bits = std::conditional_t<sizeof(T) == sizeof(quint64), quint64, quint32>;
    static_assert(sizeof(T) == sizeof(Bits));
    return std::bit_cast<Bits>(a) == std::bit_cast<Bits>(b);
}

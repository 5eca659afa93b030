#pragma once

#include "divecore/gas.h"

#include <cstddef>
#include <string>

namespace divecore {

// The value as printf's "%g" writes it in the C locale, whatever the process
// locale, cut to the nine characters that a name field holds.
DIVECORE_EXPORT std::string formatFloat(float value);

// "OXY", or the oxygen percentage, followed by "/" and the helium percentage
// for a trimix; copied into `buffer` NUL-terminated, cut to `size` - 1 characters.
DIVECORE_EXPORT void gasName(const Gas& gas, char* buffer, std::size_t size);

// "Air", "Nitrox 32", "Hypoxic 18%", "Trimix 18/45", "Heliox 10", "Oxygene".
DIVECORE_EXPORT std::string gasFullName(const Gas& gas);

// "Air", "Nx32", "18", "Tx18/45", "Hx10", "Oxygene".
DIVECORE_EXPORT std::string gasShortName(const Gas& gas);

} // namespace divecore

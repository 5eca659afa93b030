#include "divecore/gasnames.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <initializer_list>
#include <string_view>

namespace divecore {

namespace {

// A "%g" field printed into a ten-byte buffer keeps nine characters.
constexpr std::size_t kNumberFieldLength = 9;

// Appended piece by piece: GCC 12 misreads `"literal" + std::string` in
// optimised builds (-Wrestrict).
std::string joined(std::initializer_list<std::string_view> pieces)
{
    std::string text;
    for (const std::string_view piece : pieces)
        text += piece;
    return text;
}

bool isTrimix(const Gas& gas)
{
    return gas.fO2 + gas.fHe < 1.0f;
}

std::string percentText(float fraction)
{
    return formatFloat(fraction * 100.0f);
}

std::string gasNameText(const Gas& gas)
{
    if (gas.isPureOxygen())
        return "OXY";
    std::string name = percentText(gas.fO2);
    if (gas.fHe != 0.0f && isTrimix(gas))
        name = joined({name, "/", percentText(gas.fHe)});
    return name;
}

} // namespace

std::string formatFloat(float value)
{
    // std::to_chars with a precision is specified as printf's "%.*g" in the C
    // locale, so a decimal-comma locale never reaches the names.
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, double(value), std::chars_format::general, 6);
    const std::size_t length = std::min<std::size_t>(result.ptr - text, kNumberFieldLength);
    return std::string(text, length);
}

void gasName(const Gas& gas, char* buffer, std::size_t size)
{
    if (size == 0)
        return;
    const std::string name = gasNameText(gas);
    const std::size_t length = std::min(name.size(), size - 1);
    std::memcpy(buffer, name.data(), length);
    buffer[length] = '\0';
}

std::string gasFullName(const Gas& gas)
{
    if (gas.isPureOxygen())
        return "Oxygene";
    const std::string o2 = percentText(gas.fO2);
    if (gas.fHe == 0.0f) {
        if (gas.fO2 == 0.21f)
            return "Air";
        if (gas.fO2 > 0.21f)
            return joined({"Nitrox ", o2});
        return joined({"Hypoxic ", o2, "%"});
    }
    if (isTrimix(gas))
        return joined({"Trimix ", o2, "/", percentText(gas.fHe)});
    return joined({"Heliox ", o2});
}

std::string gasShortName(const Gas& gas)
{
    if (gas.isPureOxygen())
        return "Oxygene";
    char buffer[20];
    gasName(gas, buffer, sizeof buffer);
    const std::string name = buffer;
    if (gas.fHe == 0.0f) {
        if (gas.fO2 == 0.21f)
            return "Air";
        if (gas.fO2 > 0.21f)
            return joined({"Nx", name});
        return name;
    }
    return joined({isTrimix(gas) ? "Tx" : "Hx", name});
}

} // namespace divecore

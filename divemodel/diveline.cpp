#include "divemodel/diveline.h"

#include <cmath>
#include <iterator>
#include <optional>

namespace {

struct BitField
{
    int shift;
    int width;

    unsigned mask() const { return ((1u << width) - 1u) << shift; }
    unsigned valueIn(unsigned word) const { return (word & mask()) >> shift; }
};

std::optional<BitField> fieldOf(QuelmAlertType type)
{
    static constexpr BitField fields[] = {{7, 1}, {6, 1}, {4, 2}, {3, 1}, {2, 1}, {0, 2}};
    const auto index = static_cast<unsigned>(type);
    if (index >= std::size(fields))
        return std::nullopt;
    return fields[index];
}

std::optional<BitField> fieldOf(PelavixAlertType type)
{
    static constexpr BitField fields[] = {{10, 1}, {0, 2}, {2, 2}, {4, 2}, {11, 1}, {12, 1}, {6, 2}, {8, 2}};
    const auto index = static_cast<unsigned>(type);
    if (index >= std::size(fields))
        return std::nullopt;
    return fields[index];
}

} // namespace

void DiveLine::setAlertFlag(QuelmAlertType type, quint8 value)
{
    const auto field = fieldOf(type);
    if (!field)
        return;
    const unsigned written = (unsigned(value) << field->shift) & field->mask();
    alertFlag = quint8((alertFlag & ~field->mask()) | written);
}

quint8 DiveLine::flagQuelm(QuelmAlertType type) const
{
    const auto field = fieldOf(type);
    return field ? quint8(field->valueIn(alertFlag)) : 0;
}

quint8 DiveLine::flagPelavix(PelavixAlertType type) const
{
    const auto field = fieldOf(type);
    return field ? quint8(field->valueIn(pelavixAlerts)) : 0;
}

quint8 DiveLine::flagTransmitter(quint8 n) const
{
    return n < 8 ? quint8((alertFlagTransmitter >> n) & 1u) : 0;
}

bool DiveLine::hasFiniteValues() const
{
    for (const double value :
         {timeSec, depth, pressure, speed, ambientTemp, decoCeiling, gradientFactor, otu, cns, ppO2}) {
        if (!std::isfinite(value))
            return false;
    }
    return true;
}

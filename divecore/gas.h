#pragma once

#include "divecore/divecoreexport.h"

#include <cstdint>
#include <limits>

namespace divecore {

// What a mixture is used for. The library only stores and compares it; the
// dive model gives the values below a meaning.
enum class MixtureUse : std::uint8_t {
    OpenCircuit = 0,
    Diluent = 2,
    Bailout = 3,
};

// A closed-circuit set point. An infinite (or not-a-number) oxygen pressure
// means open circuit; `tag` and `flag` travel with the value unread.
struct Setpoint
{
    float pO2 = std::numeric_limits<float>::infinity();
    std::int16_t tag = 0;
    std::uint8_t flag = 0;

    constexpr bool isOpenCircuit() const
    {
        return !(pO2 < std::numeric_limits<float>::infinity() && pO2 > -std::numeric_limits<float>::infinity());
    }

    static const Setpoint none;
};

inline constexpr Setpoint Setpoint::none{};

// Physical constants of the gas formulas.
inline constexpr float kWaterVapourPressure = 0.0627f; // bar, in the lungs
inline constexpr float kGravity = 9.80665f;            // m/s²
inline constexpr float kMolarMassO2 = 31.999f;         // g/mol
inline constexpr float kMolarMassHe = 4.003f;
inline constexpr float kMolarMassN2 = 28.0134f;
inline constexpr float kGasConstant = 0.08314f;        // L·bar/(K·mol)
inline constexpr float kZeroCelsius = 273.15f;         // K

// A breathing gas. Fractions lie between 0 and 1 and are compared in single
// precision: 21/100 in float is air, whichever way it was built.
class DIVECORE_EXPORT Gas
{
public:
    // Air.
    constexpr Gas() = default;
    // Percentages, no range check; helium plus oxygen above 100 leaves no nitrogen.
    constexpr Gas(unsigned char o2Percent, unsigned char hePercent)
        : Gas(float(o2Percent), float(hePercent))
    {
    }
    // The low 8 bits of each percentage.
    constexpr Gas(int o2Percent, int hePercent)
        : Gas(static_cast<unsigned char>(o2Percent & 0xff), static_cast<unsigned char>(hePercent & 0xff))
    {
    }
    constexpr Gas(float o2Percent, float hePercent)
        : fO2(o2Percent / 100.0f)
        , fHe(hePercent / 100.0f)
        , fN2(clampedNitrogen(1.0f - fO2 - fHe))
    {
    }
    // Fractions taken only when they make a breathable mixture (else air stays);
    // a maximum oxygen pressure outside 1.0..2.7 bar is stored as 0.
    Gas(double fO2, double fHe, double pO2max, MixtureUse use, bool active);

    void setFractionO2(double f);
    void setFractionHe(double f);
    void setPO2Max(float v);

    // 0 air, 1 oxygen, 2 nitrox, 3 trimix, 4 heliox, 5 hypoxic; -1 when a
    // fraction is not a number.
    int gasType() const;
    bool isPureOxygen() const { return fO2 == 1.0f; }

    // Inspired and alveolar partial pressures in bar at ambient pressure `p`.
    float PinspO2(const Setpoint& sp, float p) const;
    float PinspN2(const Setpoint& sp, float p) const;
    float PalvN2(const Setpoint& sp, float p) const;
    float PinspHe(const Setpoint& sp, float p) const;
    float PalvHe(const Setpoint& sp, float p) const;

    // Equivalent narcotic and air depths in metres.
    float END(const Setpoint& sp, float p, float pSurf, float density) const;
    float EAD(const Setpoint& sp, float p, float pSurf, float density) const;

    // Maximum operating pressure (bar) and depth (m).
    float MOP(const Setpoint& sp, float pO2Default, float = 0, float = 0) const;
    float MOP() const;
    float MOD(const Setpoint& sp, float pO2Default, float, float, float pSurf, float density) const;

    // Gas density in g/L at `p` bar and `temperature` °C.
    float density(const Setpoint& sp, float p, float temperature) const;

    // The inert fractions that a closed circuit at set point `sp` delivers.
    static void getTrueMixture(const Gas& g, double p, double sp, double& fHe, double& fN2);

    static const Gas air;
    static const Gas oxygen;

    float fO2 = 0.21f;
    float fHe = 0.0f;
    float fN2 = 0.79f;
    float pO2Max = -1.0f; // bar; -1 not set
    float switchDepth = 0.0f;
    MixtureUse use = MixtureUse::OpenCircuit;
    std::uint8_t flag = 1;
    std::uint8_t inactive = 0;
    std::uint8_t fixedSwitchDepth = 0;

private:
    static constexpr float clampedNitrogen(float f) { return f < 0.0f ? 0.0f : (f > 1.0f ? 1.0f : f); }
    void takeFractions(double o2, double he);
    float inspiredInert(const Setpoint& sp, float p, float fraction) const;
    float alveolarInert(const Setpoint& sp, float p, float fraction) const;
};

// The fraction as a whole percentage: fraction × 100 in single precision,
// halves away from zero, kept to the low 8 bits. Everywhere a percentage of a
// gas is stored or shown it comes from here.
DIVECORE_EXPORT std::uint8_t roundedPercent(float fraction);

} // namespace divecore

#include "deco/gas.h"

#include <algorithm>

namespace {

constexpr float kMolarO2 = 31.999f;
constexpr float kMolarHe = 4.003f;
constexpr float kMolarN2 = 28.0134f;
constexpr float kGasConstant = 0.08314f; // L·bar/(K·mol)

} // namespace

void gas_t::format(int, char* out, unsigned char o2Percent, unsigned char hePercent)
{
    if (o2Percent == 100) {
        sstrcpy(out, "OXY", 4);
        return;
    }
    const bool over = o2Percent > 100;
    out[0] = over ? '0' : char('0' + o2Percent / 10);
    out[1] = over ? '0' : char('0' + o2Percent % 10);
    out[2] = '/';
    out[3] = char('0' + hePercent / 10 % 10);
    out[4] = char('0' + hePercent % 10);
    out[5] = '\0';
    out[6] = '\0';
}

float gas_t::PinspO2(const setpoint_t& sp, float P) const
{
    return sp.closed_circuit() ? std::min(P, sp.pressure) : fO2 * P;
}

float gas_t::PinspN2(const setpoint_t& sp, float P) const
{
    if (is_oxygen())
        return 0.0f;
    if (!sp.closed_circuit())
        return fN2 * P;
    const float d = P - model_t::PH2O - sp.pressure;
    const float inert = fN2 + fHe;
    return d <= 0.0f || inert <= 0.0f ? 0.0f : d * fN2 / inert;
}

float gas_t::PalvN2(const setpoint_t& sp, float P) const
{
    if (is_oxygen())
        return 0.0f;
    const float Palv = P - model_t::PH2O;
    if (!sp.closed_circuit())
        return Palv * fN2;
    return sp.pressure >= Palv ? 0.0f : (Palv - sp.pressure) * fN2 / (1.0f - fO2);
}

float gas_t::PinspHe(const setpoint_t& sp, float P) const
{
    if (is_oxygen() || fHe == 0.0f)
        return 0.0f;
    if (!sp.closed_circuit())
        return fHe * P;
    const float d = P - model_t::PH2O - sp.pressure;
    return d <= 0.0f ? 0.0f : d * fHe / (fHe + fN2);
}

float gas_t::PalvHe(const setpoint_t& sp, float P) const
{
    if (is_oxygen() || fHe == 0.0f)
        return 0.0f;
    const float Palv = P - model_t::PH2O;
    if (!sp.closed_circuit())
        return Palv * fHe;
    return sp.pressure > Palv ? 0.0f : fHe * (Palv - sp.pressure) / (1.0f - fO2);
}

float gas_t::END(const setpoint_t& sp, float P, float Psurf, float dens) const
{
    const float pHe = PinspHe(sp, P);
    const float Pn = (1.0f - pHe / P) * P;
    return Pn > Psurf ? deco::depth_of(Pn - Psurf, dens) : 0.0f;
}

float gas_t::EAD(const setpoint_t& sp, float P, float Psurf, float dens) const
{
    const float pN2 = PinspN2(sp, P);
    const float Pe = pN2 / P * P / air.fN2;
    return Pe > Psurf ? deco::depth_of(Pe - Psurf, dens) : 0.0f;
}

float gas_t::MOP(const setpoint_t& sp, float pO2max, float, float) const
{
    return std::min(pO2max, sp.pressure) / fO2;
}

float gas_t::MOD(const setpoint_t& sp, float pO2max, float, float, float Psurf, float dens) const
{
    return deco::depth_of(MOP(sp, pO2max) - Psurf, dens);
}

float gas_t::density(const setpoint_t& sp, float P, float T) const
{
    float M = 0.0f;
    if (!sp.closed_circuit()) {
        M = fO2 * kMolarO2 + (fHe * kMolarHe + fN2 * kMolarN2);
    } else {
        const float s = std::min(P, sp.pressure);
        const float o = s / P;
        const float i = (P - s) / P;
        const float inert = fHe + fN2;
        // A diluent without inert gas leaves nothing but oxygen in the loop.
        M = inert <= 0.0f ? kMolarO2
                          : o * kMolarO2 + (i * fHe / inert * kMolarHe + i * fN2 / inert * kMolarN2);
    }
    return M * P / ((T + 273.15f) * kGasConstant);
}

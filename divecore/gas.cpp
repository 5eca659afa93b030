#include "divecore/gas.h"

#include <algorithm>
#include <cmath>

namespace divecore {

namespace {

// `amount` × part / whole: the share of an inert gas in what the loop leaves
// after oxygen. A gas without any inert part has no inert share at all.
float inertShare(float amount, float part, float whole)
{
    return whole > 0.0f ? amount * part / whole : 0.0f;
}

// A pressure difference in bar as a water depth in metres.
float depthOfPressure(float deltaP, float density)
{
    return deltaP * 100.0f / (density * kGravity);
}

} // namespace

constexpr Gas Gas::air{};
constexpr Gas Gas::oxygen{100.0f, 0.0f};

Gas::Gas(double o2, double he, double pO2max, MixtureUse mixtureUse, bool active)
{
    if (o2 >= 0.05 && o2 <= 1.0 && he >= 0.0 && he <= 0.99 && o2 + he <= 1.001)
        takeFractions(o2, he);
    pO2Max = (pO2max >= 1.0 && pO2max <= 2.7) ? float(pO2max) : 0.0f;
    use = mixtureUse;
    inactive = active ? 0 : 1;
}

void Gas::takeFractions(double o2, double he)
{
    fO2 = float(o2);
    fHe = float(he);
    fN2 = o2 + he >= 1.0 ? 0.0f : float(1.0 - o2 - he);
}

void Gas::setFractionO2(double f)
{
    if (f >= 0.05 && f <= 1.0 && f + fHe <= 1.001)
        takeFractions(f, fHe);
}

void Gas::setFractionHe(double f)
{
    if (f >= 0.0 && f <= 0.99 && fO2 + f <= 1.001)
        takeFractions(fO2, f);
}

void Gas::setPO2Max(float v)
{
    pO2Max = v > 0.0f ? v : 1.6f;
}

int Gas::gasType() const
{
    if (isPureOxygen())
        return 1;
    if (fHe == 0.0f) {
        if (fO2 == 0.21f)
            return 0;
        if (fO2 > 0.21f)
            return 2;
        if (fO2 < 0.21f)
            return 5;
        return -1;
    }
    if (fO2 + fHe < 1.0f)
        return 3;
    if (fO2 + fHe >= 1.0f)
        return 4;
    return -1;
}

float Gas::PinspO2(const Setpoint& sp, float p) const
{
    return sp.isOpenCircuit() ? fO2 * p : std::min(p, sp.pO2);
}

float Gas::PinspN2(const Setpoint& sp, float p) const
{
    return isPureOxygen() ? 0.0f : inspiredInert(sp, p, fN2);
}

float Gas::PalvN2(const Setpoint& sp, float p) const
{
    return isPureOxygen() ? 0.0f : alveolarInert(sp, p, fN2);
}

float Gas::PinspHe(const Setpoint& sp, float p) const
{
    return isPureOxygen() || fHe == 0.0f ? 0.0f : inspiredInert(sp, p, fHe);
}

float Gas::PalvHe(const Setpoint& sp, float p) const
{
    return isPureOxygen() || fHe == 0.0f ? 0.0f : alveolarInert(sp, p, fHe);
}

// In closed circuit the loop holds the set point's oxygen; the inert gases
// share what is left in the proportion of the diluent.
float Gas::inspiredInert(const Setpoint& sp, float p, float fraction) const
{
    if (sp.isOpenCircuit())
        return fraction * p;
    const float d = p - kWaterVapourPressure - sp.pO2;
    return d <= 0.0f ? 0.0f : inertShare(d, fraction, fN2 + fHe);
}

float Gas::alveolarInert(const Setpoint& sp, float p, float fraction) const
{
    const float pAlv = p - kWaterVapourPressure;
    if (sp.isOpenCircuit())
        return pAlv * fraction;
    return sp.pO2 >= pAlv ? 0.0f : inertShare(pAlv - sp.pO2, fraction, 1.0f - fO2);
}

float Gas::END(const Setpoint& sp, float p, float pSurf, float density) const
{
    const float pHe = PinspHe(sp, p);
    const float pNarcotic = (1.0f - pHe / p) * p;
    return pNarcotic > pSurf ? depthOfPressure(pNarcotic - pSurf, density) : 0.0f;
}

float Gas::EAD(const Setpoint& sp, float p, float pSurf, float density) const
{
    const float pN2 = PinspN2(sp, p);
    const float pEquivalent = pN2 / p * p / 0.79f;
    return pEquivalent > pSurf ? depthOfPressure(pEquivalent - pSurf, density) : 0.0f;
}

float Gas::MOP(const Setpoint& sp, float pO2Default, float, float) const
{
    const float limit = pO2Max >= 0.0f ? pO2Max : pO2Default;
    return (sp.isOpenCircuit() ? limit : std::min(limit, sp.pO2)) / fO2;
}

float Gas::MOP() const
{
    return pO2Max / fO2;
}

float Gas::MOD(const Setpoint& sp, float pO2Default, float, float, float pSurf, float density) const
{
    return depthOfPressure(MOP(sp, pO2Default) - pSurf, density);
}

float Gas::density(const Setpoint& sp, float p, float temperature) const
{
    float molarMass = 0.0f;
    if (sp.isOpenCircuit()) {
        molarMass = fO2 * kMolarMassO2 + (fHe * kMolarMassHe + fN2 * kMolarMassN2);
    } else {
        if (!(p > 0.0f))
            return 0.0f;
        const float s = std::min(p, sp.pO2);
        const float oxygenShare = s / p;
        const float inert = (p - s) / p;
        const float inertSum = fHe + fN2;
        molarMass = oxygenShare * kMolarMassO2
                    + (inertShare(inert, fHe, inertSum) * kMolarMassHe
                       + inertShare(inert, fN2, inertSum) * kMolarMassN2);
    }
    return molarMass * p / ((temperature + kZeroCelsius) * kGasConstant);
}

void Gas::getTrueMixture(const Gas& g, double p, double sp, double& fHe, double& fN2)
{
    const double k = p > 0.0 ? 1.0 - sp / p : 1.0;
    const double inertSum = double(g.fHe) + double(g.fN2);
    const double share = inertSum > 0.0 ? g.fHe / inertSum : 0.0;
    fHe = share * k;
    fN2 = k - fHe;
}

std::uint8_t roundedPercent(float fraction)
{
    const float percent = std::round(fraction * 100.0f);
    if (!(std::fabs(percent) < 1.0e9f))
        return 0;
    return static_cast<std::uint8_t>(static_cast<long>(percent));
}

} // namespace divecore

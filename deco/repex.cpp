#include "deco/repex.h"

#include <algorithm>
#include <cmath>

namespace {

// Single-exposure limits in minutes from 0.60 to 1.65 bar in steps of 0.05:
// the NOAA limits at every 0.1 bar and their midpoints between.
constexpr float kCnsLimits[22] = {720, 645, 570, 510, 450, 405, 360, 330, 300, 270, 240,
                                  225, 210, 195, 180, 165, 150, 135, 120, 83,  45,  7};

// The limit lines: limit = slope * pO2 + intercept on (bounds[i], bounds[i + 1]].
constexpr double kRangeBounds[9] = {0.5, 0.6, 0.7, 0.8, 0.9, 1.1, 1.5, 1.6, 1.82};
constexpr double kSlopes[8] = {-1800, -1500, -1200, -900, -600, -300, -750, -200.2};
constexpr double kIntercepts[8] = {1800, 1620, 1410, 1170, 900, 570, 1245, 365.364};
constexpr double kTopPressure = 1.82;

double limitLine(int range, double pO2)
{
    return kSlopes[range] * pO2 + kIntercepts[range];
}

// Exact integral of dt / limit over a linear change from p0 to p0 + dp in
// tau minutes, inside one range.
double linearPiece(int range, double p0, double dp, double tau)
{
    const double s = kSlopes[range];
    const double c = kIntercepts[range];
    const double rate = dp / tau;
    return (std::log(std::fabs(s * (p0 + dp) + c)) - std::log(std::fabs(s * p0 + c))) / (s * rate);
}

} // namespace

float repex_t::CNS(float p)
{
    // The table starts at 0.6 bar; below it oxygen does not count.
    if (!(p >= 0.6f))
        return 0.0f;
    const float x = (p * 0.986923f - 0.5921538f) / 1.0362691f;
    if (x <= 0.0f)
        return 1.0f / kCnsLimits[0];
    if (x >= 1.0f)
        return 1.0f / kCnsLimits[21];
    const float position = 21.0f * x;
    const int i = std::min(int(std::floor(position)), 20);
    const float f = position - float(i);
    const float limit = (1.0f - f) * kCnsLimits[i] + f * kCnsLimits[i + 1];
    return 1.0f / limit;
}

float repex_t::OTU(float p)
{
    if (!(p > 0.5f))
        return 0.0f;
    return std::pow(0.5f / (p - 0.5f), -0.8333333f);
}

int repex_t::findRange(double p)
{
    if (!(p > kRangeBounds[0]) || p > kTopPressure)
        return -1;
    int range = 0;
    while (p > kRangeBounds[range + 1])
        ++range;
    return range;
}

double repex_t::cnsConstant(double f, double t, double P)
{
    const double pO2 = std::min(f * P, kTopPressure);
    const int range = findRange(pO2);
    return range < 0 ? 0.0 : t / limitLine(range, pO2);
}

double repex_t::cnsAscentDescent(double P1, double P2, double t, double f)
{
    // Above the top of the table the limit stays that of the top.
    const double hi = std::min(std::max(P1, P2) * f, kTopPressure);
    const double lo = std::min(std::min(P1, P2) * f, kTopPressure);
    if (!(hi > kRangeBounds[0]))
        return -1.0;
    if (hi == lo)
        return cnsConstant(1.0, t, hi);

    // The time spent at or below 0.5 bar counts nothing.
    const double floor = std::max(kRangeBounds[0], lo);
    const double span = hi - floor;
    const double timeAbove = t * span / (hi - lo);
    const bool rising = P2 > P1;

    double cns = 0.0;
    for (int range = 0; range < 8; ++range) {
        const double from = std::max(floor, kRangeBounds[range]);
        const double to = std::min(hi, kRangeBounds[range + 1]);
        if (!(to > from))
            continue;
        const double tau = timeAbove * (to - from) / span;
        cns += rising ? linearPiece(range, from, to - from, tau)
                      : linearPiece(range, to, from - to, tau);
    }
    return cns;
}

#include "deco/diver.h"

#include "deco/clamp.h"
#include "deco/repex.h"
#include "deco/stream.h"
#include "deco/zhl16.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int N = zhl16_t::compartments;
constexpr float kReductionFactors[4] = {1.0f, 0.54f, 0.32f, 0.18f};
constexpr int kMaxSecondsAtOnce = 512; // the tables hold 2^0 .. 2^9 seconds
constexpr int kStepsBetweenSettledChecks = 16; // of 512 s each
constexpr long kReducedSeconds = 21600; // six hours

// Below this product of pressure change and time a segment counts as level.
constexpr float kLevelSegment = 0.00033333333f;

// The loads and the factors below never overlap, which lets the compartments
// be computed side by side: each still gets the same operations in the same
// order.

// Moves every compartment toward the alveolar pressure p by its factor F of
// one interval.
void relax(float* __restrict loads, const float* __restrict F, float p)
{
    for (int j = 0; j < N; ++j)
        loads[j] += (1.0f - F[j]) * (p - loads[j]);
}

// Every compartment after an interval over which the alveolar pressure went
// from `from` to `to` at `rate` a minute, with the interval's factors F and E.
void follow(float* __restrict loads, const float* __restrict F, const float* __restrict E, float from, float to,
            float rate)
{
    for (int j = 0; j < N; ++j)
        loads[j] = to - rate * E[j] - (from - loads[j]) * F[j];
}

} // namespace

diver_t::diver_t()
    : N2{}, He{}, CNS(0.0f), helium(0), reduction(reduction_medium),
      reduction_factor(kReductionFactors[reduction_medium])
{
    begin(1.013f);
}

void diver_t::begin(float Psurf)
{
    const float n2 = gas_t::air.PalvN2(setpoint_t::none, Psurf);
    for (int j = 0; j < N; ++j) {
        N2[j] = n2;
        He[j] = 0.0f;
    }
    CNS = 0.0f;
    helium = 0;
}

void diver_t::begin(const float* nitrogen, const float* heliumLoads, float cns)
{
    helium = 0;
    for (int j = 0; j < N; ++j) {
        N2[j] = nitrogen[j];
        He[j] = heliumLoads[j];
        if (He[j] != 0.0f)
            helium = 1;
    }
    CNS = cns;
}

bool diver_t::valid() const
{
    // A CNS load is never negative; minus infinity is no load at all.
    if (!(std::isfinite(CNS) && CNS >= 0.0f && CNS < 10.0f))
        return false;
    for (int j = 0; j < N; ++j)
        if (!(std::isfinite(N2[j]) && N2[j] >= 0.0f && std::isfinite(He[j]) && He[j] >= 0.0f))
            return false;
    return true;
}

void diver_t::load_bits(float pN2, float pHe, int n)
{
    for (int i = 0; i < zhl16_t::table_rows; ++i) {
        if ((n & (1 << i)) == 0)
            continue;
        relax(N2, zhl16_t::F_N2_tab[i], pN2);
        if (helium)
            relax(He, zhl16_t::F_He_tab[i], pHe);
    }
}

void diver_t::load_inert_seconds(float P, int n, const gas_t& gas, const setpoint_t& sp)
{
    if (n <= 0)
        return;
    if (gas.fHe != 0.0f)
        helium = 1;
    const float pN2 = gas.PalvN2(sp, P);
    const float pHe = helium ? gas.PalvHe(sp, P) : 0.0f;
    for (int step = 1; n > kMaxSecondsAtOnce; n -= kMaxSecondsAtOnce, ++step) {
        // Now and then, whether the tissues have settled: a step that changes
        // no compartment is followed by steps that change none either (the
        // shorter last one moves them less), so a month at one pressure costs
        // no more than the days it takes to settle.
        if (step % kStepsBetweenSettledChecks != 0) {
            load_bits(pN2, pHe, kMaxSecondsAtOnce);
            continue;
        }
        float n2[N];
        float he[N];
        std::memcpy(n2, N2, sizeof n2);
        std::memcpy(he, He, sizeof he);
        load_bits(pN2, pHe, kMaxSecondsAtOnce);
        if (std::memcmp(n2, N2, sizeof n2) == 0 && std::memcmp(he, He, sizeof he) == 0)
            return;
    }
    load_bits(pN2, pHe, n);
}

void diver_t::load_inert(float P, float t, const gas_t& gas, const setpoint_t& sp)
{
    if (!(t > 0.0f))
        return;
    if (gas.fHe != 0.0f)
        helium = 1;
    const zhl16_t::factors_t& f = zhl16_t::interval_factors(t);
    const float pN2 = gas.PalvN2(sp, P);
    const float pHe = gas.PalvHe(sp, P);
    relax(N2, f.F_N2, pN2);
    if (helium)
        relax(He, f.F_He, pHe);
}

void diver_t::load_inert(float P1, float P2, float t, const gas_t& gas, const setpoint_t& sp)
{
    if (!(t > 0.0f))
        return;
    if (std::fabs(P1 - P2) * t <= kLevelSegment) {
        load_inert_seconds((P1 + P2) / 2.0f, deco::clamp_round<int>(t * 60.0f), gas, sp);
        return;
    }
    if (gas.fHe != 0.0f)
        helium = 1;

    // Schreiner's equation for an alveolar pressure changing linearly.
    const zhl16_t::factors_t& f = zhl16_t::interval_factors(t);
    const float n2From = gas.PalvN2(sp, P1);
    const float n2To = gas.PalvN2(sp, P2);
    const float n2Rate = (n2To - n2From) / t;
    const float heFrom = gas.PalvHe(sp, P1);
    const float heTo = gas.PalvHe(sp, P2);
    const float heRate = (heTo - heFrom) / t;
    follow(N2, f.F_N2, f.E_N2, n2From, n2To, n2Rate);
    if (helium)
        follow(He, f.F_He, f.E_He, heFrom, heTo, heRate);
}

void diver_t::surface_inert(float P, long tRef, long tFrom, long tTo, bool)
{
    // Times at the ends of the clock: the spans saturate, which saturates
    // the tissues just the same.
    const auto span = [](long from, long to) { return float(deco::saturating_sub(to, from)); };
    const long reducedUntil = deco::saturating_add(tRef, kReducedSeconds);
    if (tTo < reducedUntil) {
        if (tFrom < tTo)
            load_inert(P, span(tFrom, tTo) * reduction_factor / 60.0f, gas_t::air, setpoint_t::none);
        return;
    }
    if (tFrom < reducedUntil) {
        load_inert(P, span(tFrom, reducedUntil) * reduction_factor / 60.0f, gas_t::air, setpoint_t::none);
        if (deco::saturating_sub(tTo, reducedUntil) >= 1)
            load_inert(P, span(reducedUntil, tTo) / 60.0f, gas_t::air, setpoint_t::none);
        return;
    }
    load_inert(P, span(tFrom, tTo) / 60.0f, gas_t::air, setpoint_t::none);
}

void diver_t::purge_inert(const gas_t& gas)
{
    if (!helium || gas.fHe != 0.0f)
        return;
    for (int j = 0; j < N; ++j)
        if (He[j] > model_t::helium_min)
            return;
    for (float& he : He)
        he = 0.0f;
    helium = 0;
}

float diver_t::load_oxygen(float P1, float P2, float t, const gas_t& gas, const setpoint_t& sp)
{
    if (!(t > 0.0f))
        return CNS;
    const float p = (gas.PinspO2(sp, P1) + gas.PinspO2(sp, P2)) / 2.0f;
    if (p > 0.6f)
        CNS += repex_t::CNS(p) * t;
    else if (CNS > model_t::cns_min)
        CNS *= std::exp2(-t / 90.0f); // a half-time of 90 minutes
    else
        CNS = 0.0f;
    return CNS;
}

float diver_t::calc_supersaturation(float P) const
{
    float sum = 0.0f;
    for (int j = 0; j < N; ++j) {
        const float over = N2[j] + He[j] - P;
        if (over > 0.0f)
            sum += over;
    }
    return sum;
}

bool diver_t::calc_icd(const gas_t& gas, const setpoint_t& sp, float P) const
{
    const float pN2 = gas.PalvN2(sp, P);
    if (!helium || pN2 == 0.0f)
        return false;
    const float pHe = gas.PalvHe(sp, P);
    float uptake = 0.0f;
    float release = 0.0f;
    for (int j = 0; j < N; ++j) {
        if (pN2 > N2[j])
            uptake += zhl16_t::k_N2[j] * (pN2 - N2[j]);
        const float excess = He[j] - pHe - 0.02f;
        if (excess > 0.0f)
            release += zhl16_t::k_He[j] * excess;
    }
    return 0.0f < release && release < uptake;
}

float diver_t::gf(float P, int i) const
{
    if (i < 0 || i >= N)
        return 0.0f;
    const float over = N2[i] + He[i] - P;
    if (!(over > 0.0f))
        return 0.0f;
    return over / (zhl16_t::PtolIg(*this, static_cast<unsigned char>(i), P, 1.0f) - P);
}

float diver_t::gf(float P) const
{
    float largest = 0.0f;
    for (int j = 0; j < N; ++j) {
        const float g = gf(P, j);
        if (g > largest)
            largest = g;
    }
    return largest;
}

void diver_t::setReduction(SurfaceReduction r)
{
    reduction = r;
    if (r <= reduction_high)
        reduction_factor = kReductionFactors[r];
}

void diver_t::setNextReduction()
{
    if (reduction > reduction_high)
        return;
    setReduction(SurfaceReduction((reduction + 1) % 4));
}

bool diver_t::write(stream_t& stream) const
{
    for (float n2 : N2)
        stream.write(n2);
    for (float he : He)
        stream.write(he);
    stream.write(CNS);
    stream.write(helium);
    stream.write(uint8_t(reduction));
    return !stream.failed();
}

bool diver_t::read(stream_t& stream)
{
    diver_t staged = *this;
    for (float& n2 : staged.N2)
        n2 = stream.read<float>();
    for (float& he : staged.He)
        he = stream.read<float>();
    staged.CNS = stream.read<float>();
    staged.helium = stream.read<uint8_t>() != 0 ? 1 : 0;
    const uint8_t level = stream.read<uint8_t>();
    if (level <= reduction_high)
        staged.setReduction(SurfaceReduction(level));
    if (stream.failed())
        return false;
    *this = staged;
    return true;
}

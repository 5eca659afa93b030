// The solver: no-decompression limit, stop times and the simulated staged
// ascent of one computation.

#include "deco/zhl16.h"

#include "deco/clamp.h"
#include "deco/diver.h"
#include "deco/search.h"
#include "deco/settings.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int N = zhl16_t::compartments;
constexpr int kStepSeconds = 5;
constexpr int kNdlSteps = 3000;   // 250 minutes
constexpr int kStopSteps = 24000; // 2000 minutes
constexpr float kFirstGuessMinutes = 5.0f;
constexpr float kGravity = 9.80665f;
constexpr float kNever = std::numeric_limits<float>::infinity();

// The Bühlmann limit of compartment j at ambient P under the gradient factor gf.
float nitrogenLimit(int j, float P, float gf)
{
    return (gf / zhl16_t::b_N2[j] - gf + 1.0f) * P + zhl16_t::a_N2[j] * gf;
}

float stepsToMinutes(int steps)
{
    return float(steps * kStepSeconds) / 60.0f;
}

// Closed form of the no-decompression limit for nitrogen alone, breathing a
// constant alveolar pressure pw at P and then ascending directly at R.
float closedFormNdl(const diver_t& diver, float pw, float pwSurface, float T, float Psurf, float gf)
{
    // A diver at or above the surface has no ascent left: the limit is the
    // surface M-value itself (the limit of the formula as T goes to 0).
    const bool ascent = T > 0.0f;
    const float R = ascent ? (pwSurface - pw) / T : 0.0f;
    float ndl = model_t::tndl_max;
    for (int j = 0; j < N; ++j) {
        const float k = zhl16_t::k_N2[j];
        const float M = nitrogenLimit(j, Psurf, gf);
        const float X = ascent ? pw + (M + (T - 1.0f / k) * -R - pw) / std::exp(-k * T) - R / k : M;
        if (diver.N2[j] > X)
            return 0.0f;
        if (pw > diver.N2[j] && pw > X)
            ndl = std::min(ndl, -std::log((pw - X) / (pw - diver.N2[j])) / k);
    }
    return ndl;
}

// Closed form of the stop time for nitrogen alone at the alveolar pressure pw.
float closedFormStop(const diver_t& diver, float pw, float Pnext, float gf)
{
    float need = 0.0f;
    for (int j = 0; j < N; ++j) {
        const float load = diver.N2[j];
        const float M = nitrogenLimit(j, Pnext, gf);
        if (pw > load && load >= M)
            return kNever;
        if (load <= M)
            continue;
        // Above its limit: it clears only by falling toward pw below the limit.
        if (pw >= load || pw >= M)
            return kNever;
        need = std::max(need, -std::log((pw - M) / (pw - load)) / zhl16_t::k_N2[j]);
    }
    return need;
}

} // namespace

zhl16_t::zhl16_t()
{
    for (stop_t& stop : stops)
        stop = {0.0f, kFirstGuessMinutes, 0, 0, 0};
}

void zhl16_t::begin(const settings_t& settings)
{
    tts = 0.0f;
    stop_time = 0.0f;
    ceiling = 0.0f;
    ndl = model_t::tndl_max;
    cns_max = 0.0f;
    first_stop = 0;
    first_stop_pressure = settings.surface_pressure;
    anchor_stop = 0;
    anchor_pressure = settings.surface_pressure;
    slow_pressure = settings.stop_pressure(1);
    stop_count = 0;
    for (stop_t& stop : stops)
        stop.minutes = kFirstGuessMinutes;
}

float zhl16_t::gf_at_stop(const settings_t& settings, int n, float Pt) const
{
    const gfs_t& gfs = settings.gfs();
    const int m = std::max(n, int(anchor_stop));
    if (m < 2 || gfs.low == gfs.high)
        return gfs.high;
    const float A = anchor_stop < n ? settings.stop_pressure(m) : anchor_pressure;
    const float K = (Pt - A) / (settings.surface_pressure - A);
    return gfs.high * K + gfs.low * (1.0f - K);
}

float zhl16_t::gfmax(const settings_t& settings, float P) const
{
    const gfs_t& gfs = settings.gfs();
    if (anchor_stop > 0 && gfs.low != gfs.high && P > settings.surface_pressure) {
        if (P >= anchor_pressure)
            return gfs.low;
        const float K = (P - anchor_pressure) / (settings.surface_pressure - anchor_pressure);
        return gfs.low * (1.0f - K) + gfs.high * K;
    }
    return gfs.high;
}

float zhl16_t::gfmax(const settings_t& settings, float P, int n) const
{
    return gf_at_stop(settings, deco::saturating_add(n, 1), P);
}

float zhl16_t::direct_tts(const settings_t& settings, float P) const
{
    const float Psurf = settings.surface_pressure;
    if (P <= Psurf)
        return 0.0f;
    if (P <= slow_pressure)
        return (P - Psurf) / settings.vasc_stop();
    return (P - slow_pressure) / settings.vasc() + (slow_pressure - Psurf) / settings.vasc_stop();
}

void zhl16_t::reset_direct(const settings_t& settings, const diver_t& diver, float P)
{
    tts = direct_tts(settings, P);
    stop_time = 0.0f;
    stop_count = 0;
    ndl = Tndl(ndl, settings, diver, P);
    cns_max = diver.CNS;
    first_stop = 0;
    first_stop_pressure = settings.surface_pressure;
    anchor_stop = 0;
    anchor_pressure = 0.0f;
}

bool zhl16_t::solve(const settings_t& settings, const diver_t& diver, float P, float t)
{
    return solve_to(settings, diver, P, t, false);
}

bool zhl16_t::solve_ceiling(const settings_t& settings, const diver_t& diver, float P)
{
    return solve_to(settings, diver, P, 0.0f, true);
}

bool zhl16_t::solve_to(const settings_t& settings, const diver_t& diver, float P, float t, bool firstStopOnly)
{
    if (anchor_stop == 0) {
        reset_direct(settings, diver, P);
        if (ndl == 0.0f)
            staged(settings, diver, P, firstStopOnly);
    } else {
        staged(settings, diver, P, firstStopOnly);
        if (stop_count == 0) {
            slow_pressure = settings.stop_pressure(1);
            reset_direct(settings, diver, P);
        }
    }

    if (t > 0.0f) {
        // Extra minutes at the stop the diver is at: a new stop when none is
        // listed, else the first listed stop lasts longer.
        if (stop_count == 0)
            record_stop(settings.stop_pressure(1), t, settings.current_gas_index(),
                        settings.current_setpoint_index(), 1);
        else
            stops[0].minutes += t;
        tts += t;
        stop_time += t;
    }

    const float G = stop_count > 0 ? stops[0].pressure : settings.surface_pressure;
    ceiling = PtolAmb(diver, gfmax(settings, std::max(G, P)));
    return true;
}

bool zhl16_t::solve_direct(const settings_t& settings, const diver_t& diver, float P)
{
    tts = direct_tts(settings, P);
    ndl = Tndl(ndl, settings, diver, P);
    cns_max = diver.CNS;
    return true;
}

bool zhl16_t::tolerates_next(const settings_t& settings, const diver_t& diver, float P, int stop) const
{
    diver_t trial = diver;
    const float Pstop = settings.stop_pressure(stop);
    if (P > Pstop)
        trial.load_inert(P, Pstop, (P - Pstop) / settings.vasc(), settings.current_gas(),
                         settings.current_setpoint());
    const float Pnext = settings.stop_pressure(stop - 1);
    return IsTolAmb(trial, Pnext, gf_at_stop(settings, stop, Pnext));
}

float zhl16_t::update_firststop(const settings_t& settings, const diver_t& diver, float P)
{
    if (first_stop == 0) {
        first_stop = 1;
        first_stop_pressure = settings.stop_pressure(1);
    }

    if (tolerates_next(settings, diver, P, first_stop)) {
        // Upward: leave the stop while the one above it is tolerated on arrival.
        do {
            --first_stop;
            first_stop_pressure = settings.stop_pressure(first_stop);
            if (first_stop == 0) {
                anchor_stop = 0;
                anchor_pressure = 0.0f;
                return anchor_pressure;
            }
        } while (tolerates_next(settings, diver, P, first_stop));
    } else {
        // Downward: the first stop u is the one reached from u + 1.
        for (int u = first_stop; u < max_stops; ++u) {
            first_stop = u + 1;
            first_stop_pressure = settings.stop_pressure(u + 1);
            if (tolerates_next(settings, diver, P, u + 1)) {
                first_stop = u;
                first_stop_pressure = settings.stop_pressure(u);
                break;
            }
        }
    }

    if (first_stop > anchor_stop) {
        anchor_stop = first_stop;
        anchor_pressure = settings.stop_pressure(first_stop);
    }
    return anchor_pressure;
}

void zhl16_t::shift_guesses(int moved)
{
    if (moved > 0) {
        for (int i = max_stops - 1; i >= 0; --i)
            stops[i].minutes = i >= moved ? stops[i - moved].minutes : kFirstGuessMinutes;
    } else if (moved < 0) {
        for (int i = 0; i < max_stops; ++i)
            stops[i].minutes = i - moved < max_stops ? stops[i - moved].minutes : kFirstGuessMinutes;
    }
}

void zhl16_t::record_stop(float P, float minutes, int gas, int setpoint, uint8_t flag)
{
    if (stop_count >= max_stops)
        return;
    stops[stop_count] = {P, minutes, uint8_t(gas), uint8_t(setpoint), flag};
    ++stop_count;
}

bool zhl16_t::solve_staged(const settings_t& settings, const diver_t& diver, float P)
{
    return staged(settings, diver, P, false);
}

bool zhl16_t::staged(const settings_t& settings, const diver_t& diver, float P, bool firstStopOnly)
{
    tts = 0.0f;
    stop_time = 0.0f;
    stop_count = 0;
    ndl = 0.0f;
    cns_max = diver.CNS;
    diver_t copy = diver;

    const int previousFirstStop = first_stop;
    update_firststop(settings, diver, P);
    slow_pressure = std::max(anchor_pressure, slow_pressure);
    shift_guesses(first_stop - previousFirstStop);

    const bool closedCircuit = settings.is_closed_circuit();
    const float vasc = settings.vasc();
    const bool setpointChanges = settings.use_deco_setpoint() && closedCircuit;
    const bool switches = settings.gas_switch_enabled() && !closedCircuit;
    int gasIndex = settings.current_gas_index();
    gas_t gas = settings.current_gas();
    int nextGas = settings.next_gas(gasIndex);
    int setpointIndex = settings.current_setpoint_index();
    setpoint_t sp = settings.current_setpoint();
    // The next gas is taken from the stop its maximum operating pressure reaches.
    auto switchPressure = [&settings](int next) {
        return settings.gas_at(next).MOP(settings.current_setpoint(), settings.pO2_limit());
    };
    float switchAt = switches && nextGas != gasIndex ? switchPressure(nextGas) : 0.0f;

    if (P > first_stop_pressure) {
        const float minutes = (P - first_stop_pressure) / vasc;
        copy.load_inert(P, first_stop_pressure, minutes, gas, sp);
        copy.load_oxygen(P, first_stop_pressure, minutes, gas, sp);
        tts += minutes;
        cns_max = std::max(cns_max, copy.CNS);
    }

    const float Psurf = settings.surface_pressure;
    const float P6 = Psurf + settings.water_density() * kGravity * 6.0f / 100.0f;
    float rate = vasc;
    for (int n = first_stop; n >= 1; --n) {
        const float Pn = settings.stop_pressure(n);
        while (switches && nextGas != gasIndex && switchAt >= Pn) {
            gas = settings.gas_at(nextGas);
            gasIndex = nextGas;
            const int following = settings.next_gas(nextGas);
            switchAt = following == nextGas ? 0.0f : switchPressure(following);
            nextGas = following;
        }
        if (setpointChanges && Pn <= P6) {
            setpointIndex = 2;
            sp = settings.setpoint_at(2);
        }

        const float Pnext = settings.stop_pressure(n - 1);
        const float gf = gf_at_stop(settings, n, Pnext);
        const float guess = stops[std::min(int(stop_count), max_stops - 1)].minutes;
        float t = Tstop(guess, copy, Pn, gas, sp, Pnext, gf);
        if (!(t <= model_t::tstop_max))
            t = model_t::tstop_max;
        if (firstStopOnly && t != 0.0f) {
            // The first stop decides the ceiling; the rest of the ascent does not.
            record_stop(Pn, t, gasIndex, setpointIndex, 0);
            break;
        }
        if (t != 0.0f) {
            copy.load_inert_seconds(Pn, deco::clamp_round<int>(t * 60.0f), gas, sp);
            copy.load_oxygen(Pn, Pn, t, gas, sp);
            tts += t;
            stop_time += t;
            cns_max = std::max(cns_max, copy.CNS);
            rate = settings.vasc_stop();
        }
        if (t != 0.0f || stop_count > 0)
            record_stop(Pn, t, gasIndex, setpointIndex, 0);
        tts += (Pn - Pnext) / rate;
    }

    cns_max = std::max(cns_max, copy.CNS);
    gf_surface = copy.gf(Psurf);
    return true;
}

float zhl16_t::objective_ndl_seconds(const settings_t& settings, const diver_t& diver, float P, int n)
{
    diver_t copy = diver;
    const float Psurf = settings.surface_pressure;
    copy.load_inert_seconds(P, n, settings.current_gas(), settings.current_setpoint());
    copy.load_inert(P, Psurf, (P - Psurf) / settings.vasc(), settings.current_gas(),
                    settings.current_setpoint());
    return Psurf - PtolAmb(copy, settings.gfs().high);
}

float zhl16_t::objective_stop_seconds(const diver_t& diver, const gas_t& gas, const setpoint_t& sp,
                                      float Pstop, float Pnext, float gf, int n, int travel)
{
    diver_t copy = diver;
    if (travel < n)
        copy.load_inert_seconds(Pstop, n - travel, gas, sp);
    if (travel > 0)
        copy.load_inert(Pstop, Pnext, float(travel) / 60.0f, gas, sp);
    return Pnext - PtolAmb(copy, gf);
}

float zhl16_t::Tndl(float previous, const settings_t& settings, const diver_t& diver, float P)
{
    const gas_t& gas = settings.current_gas();
    const setpoint_t& sp = settings.current_setpoint();
    const float Psurf = settings.surface_pressure;
    if (!sp.closed_circuit() && diver.helium == 0 && gas.fHe == 0.0f)
        return closedFormNdl(diver, gas.PalvN2(sp, P), gas.PalvN2(sp, Psurf),
                             (P - Psurf) / settings.vasc(), Psurf, settings.gfs().high);

    // Search for the first step whose ascent is no longer tolerated. A guess
    // of 0 or of the upper limit carries no information: start from the bounds.
    int guessLo = 0;
    int guessHi = kNdlSteps;
    if (previous > 0.0f && previous < model_t::tndl_max) {
        const int c = deco::clamp_cast<int>(std::floor(previous * 60.0f / float(kStepSeconds)));
        guessLo = c < 1 ? 0 : c - 1;
        guessHi = c < 1 ? 2 : c + 1;
    }
    const int firstIntolerable = deco::first_true(0, kNdlSteps, guessLo, guessHi, [&](int step) {
        return objective_ndl_seconds(settings, diver, P, step * kStepSeconds) < 0.0f;
    });
    return stepsToMinutes(std::max(firstIntolerable - 1, 0));
}

float zhl16_t::Tstop(float previous, const diver_t& diver, float Pstop, const gas_t& gas,
                     const setpoint_t& sp, float Pnext, float gf)
{
    if (diver.helium == 0 && gas.fHe == 0.0f)
        return closedFormStop(diver, gas.PalvN2(sp, Pstop), Pnext, gf);

    // The guess only places the first bracket: one outside the steps (or
    // not a number) brackets the nearest end, as the search would.
    const int c =
        std::clamp(deco::clamp_cast<int>(std::ceil(double(previous) * 60.0 / kStepSeconds)), 0, kStopSteps);
    const int firstTolerable = deco::first_true(0, kStopSteps, c - 1, c, [&](int step) {
        return objective_stop_seconds(diver, gas, sp, Pstop, Pnext, gf, step * kStepSeconds, 0) >= 0.0f;
    });
    return stepsToMinutes(std::min(firstTolerable, kStopSteps));
}

float zhl16_t::Tdesat(const diver_t& diver, float P)
{
    const float cN2 = gas_t::air.PalvN2(setpoint_t::none, P);
    const float cHe = gas_t::air.PalvHe(setpoint_t::none, P);
    const float thresholdN2 = 1.03f * cN2;
    const float thresholdHe = std::max(1.03f * cHe, model_t::helium_min);
    float need = 0.0f;
    for (int j = 0; j < N; ++j) {
        if (diver.N2[j] > cN2 && diver.N2[j] > thresholdN2)
            need = std::max(need, -std::log((cN2 - thresholdN2) / (cN2 - diver.N2[j])) / k_N2[j]);
        if (diver.He[j] > cHe && diver.He[j] > thresholdHe)
            need = std::max(need, -std::log((cHe - thresholdHe) / (cHe - diver.He[j])) / k_He[j]);
    }
    return need;
}

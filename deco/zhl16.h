#pragma once

#include "deco/gas.h"

#include <cstdint>

struct diver_t;
class settings_t;

// The Bühlmann ZH-L16C model with gradient factors: the process-wide
// coefficient tables, the tolerated pressures of a tissue state, and the
// solver that simulates the ascent of one computation and holds its result.
class zhl16_t
{
public:
    static constexpr int compartments = 16;
    static constexpr int table_rows = 10;      // factors of 2^i seconds, i = 0..9
    // The first-stop search goes no deeper than this stop, so no staged ascent
    // has more stops and the records hold every one of them.
    static constexpr int max_stops = 100;

    // Coefficients: half-times in minutes, a in bar, b; k = ln 2 / half-time.
    static float h_N2[compartments], a_N2[compartments], b_N2[compartments];
    static float h_He[compartments], a_He[compartments], b_He[compartments];
    static float k_N2[compartments], k_He[compartments];
    // F[i][j] = exp(-k_j 2^i / 60), E[i][j] = (1 - F[i][j]) / k_j.
    static float F_N2_tab[table_rows][compartments], E_N2_tab[table_rows][compartments];
    static float F_He_tab[table_rows][compartments], E_He_tab[table_rows][compartments];

    static void set_mode(const char* name, const float* hN2, const float* aN2, const float* bN2,
                         const float* hHe, const float* aHe, const float* bHe);
    static void initZhl16C();

    // Largest tolerated inert pressure at ambient P, over the compartments or
    // for compartment j (0 for a compartment that does not exist).
    static float PtolIg(const diver_t& diver, float P, float gf);
    static float PtolIg(const diver_t& diver, unsigned char j, float P, float gf);
    // Tolerated ambient pressure (the ceiling), over the compartments or for j.
    static float PtolAmb(const diver_t& diver, float gf);
    static float PtolAmb(const diver_t& diver, unsigned char j, float gf);
    // True when P lies strictly below (deeper than) every compartment's ceiling.
    static bool IsTolAmb(const diver_t& diver, float P, float gf);

    // Interval factors F_j(t) = exp(-k_j t) and E_j(t) = (1 - F_j(t)) / k_j
    // for t minutes; the last few intervals' factors are kept for the next
    // calls. The reference holds until the next call.
    struct factors_t
    {
        float F_N2[compartments], E_N2[compartments];
        float F_He[compartments], E_He[compartments];
    };
    static const factors_t& interval_factors(float t);

    struct stop_t
    {
        float pressure;     // bar
        float minutes;      // also the first guess of the next computation
        uint8_t gas;        // gas index
        uint8_t setpoint;   // set-point index
        uint8_t flag;       // 1: opened by solve's extra minutes
    };

    float tts = 0.0f;              // time to surface, minutes
    float stop_time = 0.0f;        // minutes of stops
    float ceiling = 0.0f;          // tolerated ambient pressure, bar
    float ndl = model_t::tndl_max; // no-decompression limit, minutes
    float cns_max = 0.0f;          // largest CNS fraction met
    int32_t first_stop = 0;        // stop number of the first stop, 0 = none
    float first_stop_pressure = 1.0f;
    int32_t anchor_stop = 0;       // deepest first stop of this computation, 0 = none
    float anchor_pressure = 1.0f;
    float slow_pressure = 0.0f;    // shallower than this the between-stops rate applies
    int32_t stop_count = 0;
    stop_t stops[max_stops];
    float gf_surface = 0.0f;       // gradient factor at the surface after the ascent

    zhl16_t();

    void begin(const settings_t& settings);
    bool solve(const settings_t& settings, const diver_t& diver, float P, float t);
    // solve(settings, diver, P, 0) for its ceiling alone: the staged ascent is
    // followed down to its first stop only, so the ceiling, the stop count
    // being zero or not, the first stop and everything the next computation
    // starts from are those of solve; tts, stop_time, cns_max, gf_surface and
    // the stops after the first are not computed (and only the guesses of
    // the searched stop times, with helium, can differ afterwards).
    bool solve_ceiling(const settings_t& settings, const diver_t& diver, float P);
    bool solve_direct(const settings_t& settings, const diver_t& diver, float P);
    bool solve_staged(const settings_t& settings, const diver_t& diver, float P);
    float update_firststop(const settings_t& settings, const diver_t& diver, float P);

    float gfmax(const settings_t& settings, float P) const;
    float gfmax(const settings_t& settings, float P, int n) const;

    static float Tndl(float previous, const settings_t& settings, const diver_t& diver, float P);
    static float Tstop(float previous, const diver_t& diver, float Pstop, const gas_t& gas,
                       const setpoint_t& sp, float Pnext, float gf);
    static float Tdesat(const diver_t& diver, float P);
    static float objective_ndl_seconds(const settings_t& settings, const diver_t& diver, float P, int n);
    static float objective_stop_seconds(const diver_t& diver, const gas_t& gas, const setpoint_t& sp,
                                        float Pstop, float Pnext, float gf, int n, int travel);

private:
    bool solve_to(const settings_t& settings, const diver_t& diver, float P, float t, bool firstStopOnly);
    bool staged(const settings_t& settings, const diver_t& diver, float P, bool firstStopOnly);
    float gf_at_stop(const settings_t& settings, int n, float Pt) const;
    float direct_tts(const settings_t& settings, float P) const;
    void reset_direct(const settings_t& settings, const diver_t& diver, float P);
    bool tolerates_next(const settings_t& settings, const diver_t& diver, float P, int stop) const;
    void shift_guesses(int moved);
    void record_stop(float P, float minutes, int gas, int setpoint, uint8_t flag);
};

// Figures of the decompression engine: a full staged solution of a 60 m,
// 30 min air dive, and the steps of the ceiling follower along a profile.
// Prints the times; it never fails on them.

#include "deco/diver.h"
#include "deco/settings.h"
#include "deco/zhl16.h"

#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

float pressureAt(const config_t& config, float depth)
{
    return config.surface_pressure + config.water_density() * 9.80665f * depth / 100.0f;
}

diver_t bottomOf60mDive(const config_t& config)
{
    diver_t diver;
    diver.begin(config.surface_pressure);
    const float P = pressureAt(config, 60.0f);
    const float descent = (P - config.surface_pressure) / config.vdesc();
    diver.load_inert(config.surface_pressure, P, descent, config.current_gas(), setpoint_t::none);
    diver.load_inert(P, 30.0f - descent, config.current_gas(), setpoint_t::none);
    return diver;
}

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// Repeats the staged solution and reports the fastest and the mean run.
void benchStagedSolution(const char* label, const config_t& config)
{
    const diver_t diver = bottomOf60mDive(config);
    const float P = pressureAt(config, 60.0f);
    constexpr int runs = 2000;
    double fastest = 1e300;
    double total = 0.0;
    zhl16_t solver;
    for (int i = 0; i < runs; ++i) {
        solver.begin(config);
        const auto start = Clock::now();
        solver.solve(config, diver, P, 0.0f);
        const double us = microseconds(Clock::now() - start);
        fastest = us < fastest ? us : fastest;
        total += us;
    }
    std::printf("staged solution, 60 m 30 min air, %s: %d stops, first at %.0f m, TTS %.1f min\n"
                "    mean %.2f us, fastest %.2f us per solution (%d runs)\n",
                label, solver.stop_count, config.stop_depth(solver.first_stop), solver.tts,
                total / runs, fastest, runs);
}

// The ceiling follower: 2-second linear loads and a solve after each, here
// along the 60 m dive's bottom and its ascent.
void benchFollower(const config_t& config)
{
    constexpr int steps = 1000;
    const float P = pressureAt(config, 60.0f);
    double fastest = 1e300;
    double total = 0.0;
    constexpr int rounds = 20;
    for (int round = 0; round < rounds; ++round) {
        diver_t diver = bottomOf60mDive(config);
        zhl16_t solver;
        solver.begin(config);
        float X = P;
        const auto start = Clock::now();
        for (int i = 0; i < steps; ++i) {
            // 500 steps at the bottom, then an ascent at 9 m/min.
            const float next = i < 500 ? P : X - 0.9f / 30.0f;
            const float Xh = next > config.surface_pressure ? next : config.surface_pressure;
            diver.load_inert(X, Xh, 1.0f / 30.0f, config.current_gas(), setpoint_t::none);
            solver.solve(config, diver, Xh, 0.0f);
            X = Xh;
        }
        const double us = microseconds(Clock::now() - start);
        fastest = us < fastest ? us : fastest;
        total += us;
    }
    std::printf("ceiling follower, %d steps of 2 s: mean %.2f ms, fastest %.2f ms per 1,000 steps"
                " (%.2f us per step)\n",
                steps, total / rounds / 1000.0, fastest / 1000.0, fastest / steps);
}

} // namespace

int main()
{
    zhl16_t::initZhl16C();

    config_t gf8080;
    benchStagedSolution("GF 80/80", gf8080);
    config_t gf3080;
    gf3080.set_gfs(gfs_t(30, 80));
    benchStagedSolution("GF 30/80", gf3080);
    benchFollower(gf3080);
    return 0;
}

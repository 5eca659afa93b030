// Figures of the planner: the decompression run of each dive of a plan of
// three successive dives of 20 points each, as dragging a point on the
// planning graph recomputes it, and of the longest and deepest dive the plan
// accepts. Prints the times; it never fails on them.

#include "planner/planificationplan.h"
#include "planner/planlimits.h"
#include "planner/planneddive.h"

#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

// A multilevel dive of 20 points, 45 minutes deep to 32 m, ending at 5 m
// so that the computed ascent with its stops follows the points.
QList<DiveLine> multilevelPoints()
{
    constexpr double timeMinutes[20] = {0, 2, 12, 14, 20, 22, 26, 28, 31, 33,
                                        35, 36, 38, 39, 40, 41, 42, 43, 44, 45};
    constexpr double depthMetres[20] = {0, 32, 32, 27, 27, 24, 24, 21, 21, 18,
                                        18, 15, 15, 12, 12, 10, 9, 7, 6, 5};
    QList<DiveLine> lines;
    for (int i = 0; i < 20; ++i) {
        DiveLine line;
        line.timeSec = timeMinutes[i] * 60.0;
        line.depth = depthMetres[i];
        line.gasIndex = 0;
        lines.append(line);
    }
    return lines;
}

double milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main()
{
    PlanificationPlan plan;
    int rows = 0;
    plan.lineCallback = [&rows](const LinePlan&) { ++rows; };
    plan.logCallback = [](const QString&) {};
    for (int slot = 0; slot < PlanificationPlan::slotCount; ++slot)
        plan.newPlanification([](Dive& dive) {
            dive.lines = multilevelPoints();
            return true;
        });

    constexpr int runs = 200;
    double all = 0.0;
    for (int slot = 0; slot < PlanificationPlan::slotCount; ++slot) {
        plan.current = slot;
        double fastest = 1e300;
        double total = 0.0;
        for (int i = 0; i < runs; ++i) {
            rows = 0;
            const auto start = Clock::now();
            plan.calculateDecoStages(nullptr, nullptr);
            const double ms = milliseconds(Clock::now() - start);
            fastest = ms < fastest ? ms : fastest;
            total += ms;
        }
        const PlannedDive& dive = *plan.plannedDive(slot);
        std::printf("dive %d: %d rows, %lld ceiling points, run time %.1f min\n"
                    "    mean %.3f ms, fastest %.3f ms per computation (%d runs)\n",
                    slot + 1, rows, static_cast<long long>(dive.ceilingPoints.size()),
                    dive.decoLines.constLast().timeSec / 60.0, total / runs, fastest, runs);
        all += total / runs;
    }
    std::printf("the three dives one after the other: mean %.3f ms\n", all);

    // 24 hours at the deepest stop of the engine's table: the plan's worst case.
    PlanificationPlan extreme;
    extreme.lineCallback = [](const LinePlan&) {};
    extreme.logCallback = [](const QString&) {};
    const auto start = Clock::now();
    extreme.newPlanification([](Dive& dive) {
        const double deepest = planlimits::deepestDepth();
        for (const auto& [time, depth] :
             {std::pair{0.0, 0.0}, {600.0, deepest}, {planlimits::longestDiveSeconds, deepest}}) {
            DiveLine line;
            line.timeSec = time;
            line.depth = depth;
            dive.lines.append(line);
        }
        return true;
    });
    const PlannedDive& deepest = *extreme.plannedDive(0);
    std::printf("%.0f m for 24 hours: %.1f ms, %lld ceiling points, surfacing after %.0f min\n",
                planlimits::deepestDepth(), milliseconds(Clock::now() - start),
                static_cast<long long>(deepest.ceilingPoints.size()), deepest.decoLines.constLast().timeSec / 60.0);
    return 0;
}

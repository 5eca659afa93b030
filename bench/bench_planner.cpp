// Figures of the planner: the decompression run of each dive of a plan of
// three successive dives of 20 points each, as dragging a point on the
// planning graph recomputes it, and of the longest and deepest dive the plan
// accepts. Prints the times; it never fails on them.

#include "decostagetiming.h"
#include "threediveplan.h"

#include "planner/planlimits.h"

#include <cstdio>

int main()
{
    PlanificationPlan plan;
    threediveplan::fill(plan);
    bench::printDecoStageTimes(plan, 200, 2.0);

    // 24 hours at the deepest stop of the engine's table: the plan's worst case.
    PlanificationPlan extreme;
    extreme.lineCallback = [](const LinePlan&) {};
    extreme.logCallback = [](const QString&) {};
    int slot = -1;
    const double ms = bench::milliseconds([&extreme, &slot] {
        slot = extreme.newPlanification([](Dive& dive) {
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
    });
    if (slot != 0) {
        std::fprintf(stderr, "bench_planner: the plan refused the deepest, longest dive: %s\n",
                     qPrintable(extreme.lastError()));
        return 1;
    }
    const PlannedDive& deepest = *extreme.plannedDive(0);
    std::printf("%.0f m for 24 hours: %.1f ms, %lld ceiling points, surfacing after %.0f min\n",
                planlimits::deepestDepth(), ms, static_cast<long long>(deepest.ceilingPoints.size()),
                deepest.decoLines.constLast().timeSec / 60.0);
    return 0;
}

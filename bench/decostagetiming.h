#pragma once

#include "benchtiming.h"

#include "planner/planificationplan.h"
#include "planner/planneddive.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

// The decompression run of each dive of a plan, as dragging a point on the
// planning graph recomputes it: the mean and the fastest of `runs`
// computations per dive, printed with the target when it is above 0. The
// plan's current dive is the last one afterwards.
namespace bench {

inline void printDecoStageTimes(PlanificationPlan& plan, int runs, double targetMs)
{
    int rows = 0;
    plan.lineCallback = [&rows](const LinePlan&) { ++rows; };
    plan.logCallback = [](const QString&) {};
    double all = 0.0;
    for (int slot = 0; slot < PlanificationPlan::slotCount && plan.plannedDive(slot); ++slot) {
        plan.current = slot;
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            rows = 0;
            times.push_back(milliseconds([&plan] { plan.calculateDecoStages(nullptr, nullptr); }));
        }
        const double fastest = *std::min_element(times.begin(), times.end());
        const double total = std::accumulate(times.begin(), times.end(), 0.0);
        const PlannedDive& dive = *plan.plannedDive(slot);
        std::printf("dive %d: %d points, %d rows, %lld ceiling points, run time %.1f min\n"
                    "    mean %.3f ms, fastest %.3f ms per computation (%d runs",
                    slot + 1, int(dive.lines.size()), rows, static_cast<long long>(dive.ceilingPoints.size()),
                    dive.decoLines.isEmpty() ? dive.maxTime / 60.0 : dive.decoLines.constLast().timeSec / 60.0,
                    total / runs, fastest, runs);
        if (targetMs > 0)
            std::printf("; target %.0f ms", targetMs);
        std::printf(")\n");
        all += total / runs;
    }
    std::printf("the dives one after the other: mean %.3f ms\n", all);
}

} // namespace bench

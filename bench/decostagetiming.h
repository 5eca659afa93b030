#pragma once

#include "benchtiming.h"

#include "planner/planificationplan.h"
#include "planner/planneddive.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <numeric>
#include <vector>

// The decompression run of each dive of a plan, as dragging a point on the
// planning graph recomputes it: the mean and the fastest of `runs`
// computations per dive, of the whole dive and after its middle point
// moved, printed with the target when it is above 0. The plan's current dive
// is the last one afterwards.
namespace bench {

struct ComputationTimes
{
    double mean = 0.0;
    double fastest = 0.0;
};

// `runs` computations of the current dive, each after `edit` changed it.
inline ComputationTimes timeComputations(PlanificationPlan& plan, int runs, const std::function<void(int)>& edit)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        edit(i);
        times.push_back(milliseconds([&plan] { plan.calculateDecoStages(nullptr, nullptr); }));
    }
    return {std::accumulate(times.begin(), times.end(), 0.0) / runs, *std::min_element(times.begin(), times.end())};
}

inline void printDecoStageTimes(PlanificationPlan& plan, int runs, double targetMs)
{
    int rows = 0;
    plan.lineCallback = [&rows](const LinePlan&) { ++rows; };
    plan.logCallback = [](const QString&) {};
    double all = 0.0;
    for (int slot = 0; slot < PlanificationPlan::slotCount && plan.plannedDive(slot); ++slot) {
        plan.current = slot;
        PlannedDive& dive = *plan.plannedDive(slot);
        QList<DiveLine>& points = dive.lines;
        // A changed first point has the whole dive computed again: its tag,
        // which the computation does not read, changes nothing else.
        const ComputationTimes whole = timeComputations(plan, runs, [&rows, &points](int i) {
            rows = 0;
            points.first().tag = i + 1;
        });
        std::printf("dive %d: %d points, %d rows, %lld ceiling points, run time %.1f min\n"
                    "    mean %.3f ms, fastest %.3f ms per computation (%d runs",
                    slot + 1, int(points.size()), rows, static_cast<long long>(dive.ceilingPoints.size()),
                    dive.decoLines.isEmpty() ? dive.maxTime / 60.0 : dive.decoLines.constLast().timeSec / 60.0,
                    whole.mean, whole.fastest, runs);
        if (targetMs > 0)
            std::printf("; target %.0f ms", targetMs);
        std::printf(")\n");
        all += whole.mean;

        // The middle point dragged 10 cm down and back up, again and again.
        const qsizetype middle = points.size() / 2;
        const double depth = points.at(middle).depth;
        const ComputationTimes moved = timeComputations(plan, runs, [&points, middle, depth](int i) {
            points[middle].depth = depth + (i % 2 == 0 ? 0.1 : 0.0);
        });
        std::printf("    after point %lld of %d moved: mean %.3f ms, fastest %.3f ms per computation\n",
                    static_cast<long long>(middle + 1), int(points.size()), moved.mean, moved.fastest);
        points[middle].depth = depth;
        points.first().tag = 0;
        plan.calculateDecoStages(nullptr, nullptr);
    }
    std::printf("the dives one after the other: mean %.3f ms\n", all);
}

} // namespace bench

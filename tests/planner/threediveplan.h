#pragma once

#include "divemodel/dive.h"
#include "planner/planificationplan.h"

#include <QList>

// The plan the planner's benchmarks and its results fixture share: three
// successive dives of the same 20 points, a multilevel dive of 45 minutes
// down to 32 m that ends at 5 m, so that the computed ascent with its stops
// follows the points.
namespace threediveplan {

inline QList<DiveLine> multilevelPoints()
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

// Fills every free slot of the plan with the multilevel dive; the third dive
// is current and computed, as are the two before it.
inline void fill(PlanificationPlan& plan)
{
    while (plan.findFirstFreeIndex() >= 0)
        plan.newPlanification([](Dive& dive) {
            dive.lines = multilevelPoints();
            return true;
        });
}

} // namespace threediveplan

// Figures of the planner: the decompression run of each dive of a plan of
// three successive dives of 20 points each, as dragging a point on the
// planning graph recomputes it. Prints the times; it never fails on them.

#include "planner/planificationplan.h"
#include "planner/planneddive.h"
#include "threediveplan.h"

#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

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
    threediveplan::fill(plan);

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
    return 0;
}

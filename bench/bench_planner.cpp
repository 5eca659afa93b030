// Figures of the planner: the decompression run of each dive of a plan of
// three successive dives of 20 points each, as dragging a point on the
// planning graph recomputes it. Prints the times; it never fails on them.

#include "decostagetiming.h"
#include "threediveplan.h"

int main()
{
    PlanificationPlan plan;
    threediveplan::fill(plan);
    bench::printDecoStageTimes(plan, 200, 2.0);
    return 0;
}

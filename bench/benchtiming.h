#pragma once

#include <QElapsedTimer>

#include <algorithm>

namespace bench {

// The shortest of `runs` runs of `step`, in milliseconds: the figure least
// disturbed by whatever else the machine is doing.
template<typename Step>
double bestMilliseconds(int runs, Step step)
{
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        step();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace bench

#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <vector>

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

// The median of `runs` runs of `step`, in milliseconds: the figure a user
// meets most often.
template<typename Step>
double medianMilliseconds(int runs, Step step)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        step();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.empty() ? 0.0 : times[times.size() / 2];
}

} // namespace bench

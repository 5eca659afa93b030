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

// The time one run of `step` takes, in milliseconds.
template<typename Step>
double milliseconds(Step step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return timer.nsecsElapsed() / 1e6;
}

// The middle figure: the one a user meets most often.
inline double median(std::vector<double> figures)
{
    if (figures.empty())
        return 0.0;
    std::sort(figures.begin(), figures.end());
    return figures[figures.size() / 2];
}

} // namespace bench

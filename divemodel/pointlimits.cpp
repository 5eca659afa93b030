#include "divemodel/pointlimits.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace pointlimits {

namespace {

// The time it takes to cover dz metres at the speed limit, when dt is too short for it.
std::optional<double> limitedDuration(double dz, double dt, SpeedLimits limits)
{
    const double v = 60.0 * dz / dt;
    if (v < 0 && v < -limits.ascent)
        return -60.0 * dz / limits.ascent;
    if (v >= 0 && v > limits.descent)
        return 60.0 * dz / limits.descent;
    return std::nullopt;
}

} // namespace

double timeWithinLimits(const QList<DiveLine>& points, int index, double time, double depth, SpeedLimits limits)
{
    double earliest = -std::numeric_limits<double>::infinity();
    double latest = std::numeric_limits<double>::infinity();
    double t = time;
    if (index > 0 && index <= points.size()) {
        const DiveLine& previous = points.at(index - 1);
        earliest = previous.timeSec;
        t = std::max(t, earliest);
        if (const auto duration = limitedDuration(depth - previous.depth, t - previous.timeSec, limits))
            t = previous.timeSec + *duration;
    }
    if (index >= 0 && index + 1 < points.size()) {
        const DiveLine& next = points.at(index + 1);
        latest = next.timeSec;
        t = std::min(t, latest);
        if (const auto duration = limitedDuration(next.depth - depth, next.timeSec - t, limits))
            t = next.timeSec - *duration;
    }
    return std::max(earliest, std::min(t, latest));
}

} // namespace pointlimits

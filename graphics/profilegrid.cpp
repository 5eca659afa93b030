#include "graphics/profilegrid.h"

#include <cmath>

namespace profilegrid {

namespace {

// More lines than any screen has room for; a grid that would need more is
// truncated rather than drawn for ever.
constexpr int kMaxLines = 4096;

} // namespace

double depthStep(double shownDepth)
{
    const double step = std::round(shownDepth / 10.0);
    return step == 0.0 ? 1.0 : step;
}

double timeStep(double span)
{
    double step = 60.0 * std::round(span / 600.0);
    if (step == 0.0)
        step = std::round(span / 10.0);
    return step > 0.0 ? step : 1.0;
}

double firstTime(double start)
{
    return std::ceil(start / 60.0) * 60.0;
}

QList<double> linePositions(double first, double step, double edge)
{
    QList<double> positions;
    if (!std::isfinite(first) || !std::isfinite(step) || step <= 0.0)
        return positions;
    positions.append(first);
    for (int k = 1; k < kMaxLines; ++k) {
        const double next = first + k * step;
        if (!(next <= edge))
            break;
        positions.append(next);
    }
    return positions;
}

} // namespace profilegrid

#include "graphics/profilegrid.h"

#include <algorithm>
#include <cmath>

namespace profilegrid {

namespace {

// More lines than any screen has room for; a grid that would need more is
// truncated rather than drawn for ever.
constexpr int kMaxLines = 4096;
// Line numbers stay below this, far beyond any screen.
constexpr double kFarLine = 1e15;
// A line number from a position is right within rounding: a few steps mend
// it. Far from the first line a step may no longer move a line at all, and
// no number of steps would.
constexpr int kRoundingSteps = 2;

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

double fittingTimeStep(double span, double pixelsPerSecond, double labelWidth)
{
    const double step = timeStep(span);
    if (!std::isfinite(pixelsPerSecond) || pixelsPerSecond <= 0.0 || !std::isfinite(labelWidth)
        || step * pixelsPerSecond >= labelWidth)
        return step;
    static constexpr double kRoundSteps[] = {1,    2,    5,    10,   15,    20,    30,    60,    120,
                                             300,  600,  900,  1200, 1800,  3600,  7200,  10800, 21600,
                                             43200, 86400};
    for (const double round : kRoundSteps) {
        if (round > step && round * pixelsPerSecond >= labelWidth)
            return round;
    }
    constexpr double kDay = 86400.0;
    return std::max(step, std::ceil(labelWidth / pixelsPerSecond / kDay) * kDay);
}

double firstTime(double start)
{
    return std::ceil(start / 60.0) * 60.0;
}

GridLines visibleLines(double first, double step, double edge, double from, double to)
{
    GridLines lines{first, step, 0, 0};
    if (!std::isfinite(first) || !std::isfinite(step) || step <= 0.0)
        return lines;
    // Line numbers from positions, held well within qint64.
    const auto lineNumber = [&](double position, bool up) {
        const double k = up ? std::ceil((position - first) / step) : std::floor((position - first) / step);
        return std::isnan(k) ? qint64(0) : qint64(std::clamp(k, -kFarLine, kFarLine));
    };
    // The lines up to the edge: the first one always.
    qint64 end = 1;
    if (edge >= first) {
        end = lineNumber(edge, false) + 1;
        for (int k = 0; k < kRoundingSteps && end > 1 && !(lines.at(end - 1) <= edge); ++k)
            --end;
        for (int k = 0; k < kRoundingSteps && end < kFarLine && lines.at(end) <= edge; ++k)
            ++end;
    }
    lines.begin = std::max<qint64>(0, lineNumber(from, true));
    lines.end = std::min(end, std::max<qint64>(0, lineNumber(to, false) + 1));
    lines.end = std::max(lines.begin, std::min(lines.end, lines.begin + kMaxLines));
    // Beyond the numbers held, no line is in view.
    if (lines.count() > 0 && !(lines.at(lines.begin) <= to && lines.at(lines.end - 1) >= from))
        lines.end = lines.begin;
    return lines;
}

} // namespace profilegrid

#pragma once

#include <QtGlobal>

// Where the profile's grid lines go. Pure functions of the shown range and
// the scale, so that a degenerate scale can never make a grid endless.
namespace profilegrid {

// Metres between depth lines: a tenth of the shown depth, rounded, and at least 1 m
// when that rounds to 0.
double depthStep(double shownDepth);

// Seconds between time lines: whole minutes near a tenth of the window, or
// whole seconds for windows under five minutes; 1 s when nothing else fits.
double timeStep(double span);

// The step of timeStep(span), or the next round step (seconds, minutes,
// hours, days) whose lines lie at least `labelWidth` pixels apart, so that
// their labels stand apart at `pixelsPerSecond`.
double fittingTimeStep(double span, double pixelsPerSecond, double labelWidth);

// The first time line: the window start rounded up to a whole minute.
double firstTime(double start);

// The lines of a grid, `step` pixels apart from `first`: the first line
// always, then every next one that is not past `edge`. Line k lies at
// first + k × step.
struct GridLines
{
    double first = 0;
    double step = 1;
    qint64 begin = 0; // the lines drawn are begin <= k < end
    qint64 end = 0;

    double at(qint64 k) const { return first + double(k) * step; }
    qint64 count() const { return end - begin; }
};

// The lines of the grid that lie between `from` and `to`, so that a paint
// walks only the lines it can show. No line at all when the step or the
// first position is not finite, or the step is not positive; never more than
// a screenful of lines.
GridLines visibleLines(double first, double step, double edge, double from, double to);

} // namespace profilegrid

#pragma once

#include <QList>

// Where the profile's grid lines go. Pure functions of the shown range and
// the scale, so that a degenerate scale can never make a grid endless.
namespace profilegrid {

// Metres between depth lines: a tenth of the shown depth, rounded, and at least 1 m
// when that rounds to 0.
double depthStep(double shownDepth);

// Seconds between time lines: whole minutes near a tenth of the window, or
// whole seconds for windows under five minutes; 1 s when nothing else fits.
double timeStep(double span);

// The first time line: the window start rounded up to a whole minute.
double firstTime(double start);

// Pixel positions of a grid's lines from `first`, `step` pixels apart: the
// first line always, then every next one that is not past `edge`. No line at
// all when the step or the first position is not finite, or the step is not
// positive; never more than a screenful of lines.
QList<double> linePositions(double first, double step, double edge);

} // namespace profilegrid

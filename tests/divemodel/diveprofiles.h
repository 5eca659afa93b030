#pragma once

#include "divemodel/dive.h"

#include <QList>
#include <QPointF>

namespace testkit {

// A sample at a time (s) and a depth (m), every other field at its default.
inline DiveLine diveLine(double time, double depth)
{
    DiveLine line;
    line.timeSec = time;
    line.depth = depth;
    return line;
}

// The samples of a profile given as points of x = time (s), y = depth (m).
inline QList<DiveLine> diveLines(const QList<QPointF>& points)
{
    QList<DiveLine> lines;
    for (const QPointF& point : points)
        lines.append(diveLine(point.x(), point.y()));
    return lines;
}

// A dive of samples at `period` seconds apart with the given depths.
inline Dive diveOfDepths(const QList<double>& depths, double period = 10.0)
{
    Dive dive;
    for (qsizetype i = 0; i < depths.size(); ++i)
        dive.lines.append(diveLine(double(i) * period, depths.at(i)));
    return dive;
}

} // namespace testkit

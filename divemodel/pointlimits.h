#pragma once

#include "divemodel/diveline.h"

#include <QList>

// Where a point of a dive may go when it is edited, by a drag or a typed value.
namespace pointlimits {

struct SpeedLimits
{
    double ascent = 0.0;  // m/min
    double descent = 0.0; // m/min
};

// The time the point `index` of the points takes when it is put at `time`
// and `depth`: not before the point ahead of it nor after the next one, and
// moved away from them so that neither segment is faster than the limits;
// the limit towards the next point comes last. Where the neighbours leave
// too little room for the limits, the order of the points comes first.
double timeWithinLimits(const QList<DiveLine>& points, int index, double time, double depth, SpeedLimits limits);

} // namespace pointlimits

#pragma once

#include "divemodel/dive.h"

#include <QString>

#include <cmath>

namespace testkit {

// The first number of a dive that a reader accepted which is not finite, as
// a text; empty when every one is.
inline QString nonFiniteValue(const Dive& dive)
{
    const auto finite = [](double value) { return std::isfinite(value); };
    for (const double value : {dive.maxDepth, dive.avgDepth, dive.maxTime, dive.minTemperature, dive.maxTemperature,
                               dive.totalDecoTime, dive.ascentTime, double(dive.otu), double(dive.iss)}) {
        if (!finite(value))
            return QStringLiteral("a statistic is %1").arg(value);
    }
    for (const DiveGas& gas : dive.gases) {
        if (!finite(gas.fO2) || !finite(gas.fHe) || !finite(gas.fN2) || !finite(gas.pO2Max))
            return QStringLiteral("a gas is not finite");
    }
    for (qsizetype i = 0; i < dive.lines.size(); ++i) {
        const DiveLine& line = dive.lines.at(i);
        for (const double value : {line.timeSec, line.depth, line.pressure, line.speed, line.ambientTemp,
                                   line.decoCeiling, line.gradientFactor, line.otu, line.cns, line.ppO2}) {
            if (!finite(value))
                return QStringLiteral("sample %1 holds %2").arg(i).arg(value);
        }
    }
    for (const CeilPoint& point : dive.ceilingPoints) {
        if (!finite(point.time) || !finite(point.depth))
            return QStringLiteral("a ceiling point is not finite");
    }
    return QString();
}

} // namespace testkit

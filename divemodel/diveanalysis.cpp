#include "divemodel/diveanalysis.h"

#include "divemodel/dive.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// Start values of the ranges, kept by a dive that has nothing to widen them.
constexpr double kTemperatureUnset = std::numeric_limits<double>::max();
constexpr quint16 kTankPressureUnset = 65535;

// Consecutive computed decompression lines closer than this in depth are a
// stage, not part of the ascent.
constexpr double kStageDepthTolerance = 0.01; // m

// The begin time moved on by the whole seconds of `seconds`, saturating
// instead of overflowing on an absurd dive time.
qint64 addWholeSeconds(qint64 begin, double seconds)
{
    constexpr qint64 latest = std::numeric_limits<qint64>::max();
    if (seconds >= double(latest))
        return latest;
    const qint64 whole = qint64(std::trunc(seconds));
    return whole > latest - begin ? latest : begin + whole;
}

void raiseMaxTime(Dive& dive, const QList<DiveLine>& lines)
{
    for (const DiveLine& line : lines)
        dive.maxTime = std::max(dive.maxTime, line.timeSec);
}

// The time between consecutive lines that stay at one depth.
double stageTime(const QList<DiveLine>& lines)
{
    double total = 0.0;
    for (qsizetype j = 1; j < lines.size(); ++j) {
        if (std::abs(lines.at(j).depth - lines.at(j - 1).depth) < kStageDepthTolerance)
            total += lines.at(j).timeSec - lines.at(j - 1).timeSec;
    }
    return total;
}

void computeSpeeds(QList<DiveLine>& lines)
{
    const DiveLine* previous = nullptr;
    for (DiveLine& line : lines) {
        line.speed = 0.0;
        if (previous && line.timeSec > previous->timeSec)
            line.speed = 60.0 * (line.depth - previous->depth) / (line.timeSec - previous->timeSec);
        previous = &line;
    }
}

CeilPoint surfacePoint(double time)
{
    return {float(time), 0.0f, 0};
}

} // namespace

void DiveAnalysis::calculateMaxTimeDepth(Dive& dive)
{
    dive.maxTime = 0.0;
    dive.maxDepth = 0.0;
    dive.avgDepth = 0.0;
    dive.minTemperature = kTemperatureUnset;
    dive.maxTemperature = -kTemperatureUnset;
    dive.minTankPressure = kTankPressureUnset;
    dive.maxTankPressure = 0;
    double depthSum = 0.0;
    qsizetype depthCount = 0;

    // The deepest sample is marked once the walk is over: clearing every mark
    // each time the depth grows would rescan the dive at every new maximum.
    DiveLine* deepest = nullptr;
    for (DiveLine& line : dive.lines) {
        line.isMaxDepth = false;
        dive.maxTime = std::max(dive.maxTime, line.timeSec);
        if (line.depth > dive.maxDepth) {
            dive.maxDepth = line.depth;
            deepest = &line;
        }
        if (line.ambientTemp > 0.0) {
            dive.minTemperature = std::min(dive.minTemperature, line.ambientTemp);
            dive.maxTemperature = std::max(dive.maxTemperature, line.ambientTemp);
        }
        if (line.tankPressure != 0) {
            dive.minTankPressure = std::min(dive.minTankPressure, line.tankPressure);
            dive.maxTankPressure = std::max(dive.maxTankPressure, line.tankPressure);
        }
        depthSum += line.depth;
        ++depthCount;
    }
    if (deepest)
        deepest->isMaxDepth = true;

    if (!dive.decoLines.isEmpty()) {
        raiseMaxTime(dive, dive.decoLines);
        for (const DiveLine& line : std::as_const(dive.decoLines))
            depthSum += line.depth;
        depthCount += dive.decoLines.size();
        dive.ascentTime = dive.decoLines.last().timeSec - dive.decoLines.first().timeSec;
        dive.totalDecoTime = stageTime(dive.decoLines);
    }
    raiseMaxTime(dive, dive.stopLines);

    if (depthCount > 0)
        dive.avgDepth = depthSum / double(depthCount);
    if (dive.minTemperature == kTemperatureUnset)
        dive.minTemperature = 0.0;
    if (dive.maxTemperature == -kTemperatureUnset)
        dive.maxTemperature = 0.0;
    if (dive.beginTime > 0 && dive.maxTime > 0.0 && dive.endTime <= dive.beginTime)
        dive.endTime = addWholeSeconds(dive.beginTime, dive.maxTime);
}

void DiveAnalysis::calculateSpeeds(Dive& dive, bool onlyDeco)
{
    computeSpeeds(dive.decoLines);
    if (!onlyDeco)
        computeSpeeds(dive.lines);
}

double DiveAnalysis::averageSpeedOnSegment(const Dive& dive, int first, int last)
{
    if (first < 0 || first >= last || last >= dive.lines.size())
        return 0.0;
    double sum = 0.0;
    for (int i = first + 1; i <= last; ++i)
        sum += std::abs(dive.lines.at(i).speed);
    return sum / double(last - first);
}

void DiveAnalysis::createCeilPointsFromLines(Dive& dive)
{
    dive.ceilingPoints.clear();
    // The first sample without a ceiling after a run: where the outline goes
    // back to the surface, once a later run shows it is not the end.
    const DiveLine* runEnd = nullptr;
    const DiveLine* previous = nullptr;
    for (const DiveLine& line : std::as_const(dive.lines)) {
        if (line.decoCeiling > 0.0) {
            if (dive.ceilingPoints.isEmpty() || runEnd) {
                if (runEnd && runEnd != previous)
                    dive.ceilingPoints.append(surfacePoint(runEnd->timeSec));
                dive.ceilingPoints.append(surfacePoint(previous ? previous->timeSec : 0.0));
                runEnd = nullptr;
            }
            dive.ceilingPoints.append({float(line.timeSec), float(line.decoCeiling), 0});
        } else if (!dive.ceilingPoints.isEmpty() && !runEnd) {
            runEnd = &line;
        }
        previous = &line;
    }
}

double DiveAnalysis::getDepthAtTime(const Dive& dive, double timeSec)
{
    const QList<DiveLine>& lines = dive.lines;
    if (lines.isEmpty())
        return 0.0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const DiveLine& a = lines.at(i - 1);
        const DiveLine& b = lines.at(i);
        if (a.timeSec <= timeSec && timeSec <= b.timeSec) {
            const double f = b.timeSec > a.timeSec ? (timeSec - a.timeSec) / (b.timeSec - a.timeSec) : 0.0;
            return a.depth + f * (b.depth - a.depth);
        }
    }
    return lines.last().depth;
}

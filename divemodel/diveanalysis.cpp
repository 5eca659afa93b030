#include "divemodel/diveanalysis.h"

#include "divemodel/dive.h"

#include <algorithm>
#include <cmath>
#include <iterator>
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
        if (previous && line.timeSec > previous->timeSec) {
            // Samples a hair apart would give an infinite speed: like samples
            // at one time, they have none.
            const double speed = 60.0 * (line.depth - previous->depth) / (line.timeSec - previous->timeSec);
            line.speed = std::isfinite(speed) ? speed : 0.0;
        }
        previous = &line;
    }
}

CeilPoint surfacePoint(double time)
{
    return {float(time), 0.0f, 0};
}

// Whole seconds to travel `depth` at `secondsPerMetre`; never negative, so
// the added points of a cut-out keep the time running forwards.
double travelSeconds(double depth, double secondsPerMetre)
{
    return std::max(0.0, std::trunc(depth * secondsPerMetre));
}

// The index of the first sample from the second one on that `holds`, or the
// sample count when none does.
template<typename Predicate>
qsizetype firstSampleFromSecond(const QList<DiveLine>& lines, Predicate holds)
{
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (holds(lines.at(i)))
            return i;
    }
    return lines.size();
}

// Yoyos: a rise of more than 10 m, then a descent of 10 m from the top of
// the rise. The thresholds keep the computer's rounding: exactly 10 m up does
// not arm the detector, exactly 10 m down completes a yoyo.
constexpr double kYoyoRise = 10.000001;    // m
constexpr double kYoyoDescent = 9.999999;  // m
constexpr double kYoyoMarkAbove = 10.0;    // m below the top of the rise
constexpr double kNoDepthYet = 9999.0;     // m, the trough before any rise

class YoyoDetector
{
public:
    // Takes the next sample's depth; true when it completes a yoyo. Each
    // sample is judged on the state it finds: a sample that arms the detector
    // cannot complete a yoyo as well.
    bool step(double depth)
    {
        const double peak = std::max(depth, mPeak);
        if (mRisen) {
            const double trough = std::min(depth, mTrough);
            if (depth - trough >= kYoyoDescent) {
                ++mCount;
                mRisen = false;
                mPeak = depth;
                mTrough = trough;
                return true;
            }
            mPeak = peak;
            mTrough = trough;
            return false;
        }
        if (peak - depth > kYoyoRise) {
            mRisen = true;
            mPeak = peak;
            mTrough = depth;
        } else {
            mPeak = peak;
        }
        return false;
    }

    bool risen() const { return mRisen; }
    int count() const { return mCount; }
    // The shallowest depth of the last rise.
    double trough() const { return mTrough; }

private:
    bool mRisen = false;
    int mCount = 0;
    double mPeak = 0.0;   // the deepest depth since the last yoyo
    double mTrough = kNoDepthYet;
};

// Depth limits of the yoyo levels by gas set: deeper than L1 counts yoyos
// from level 1, deeper than L2 from level 2, deeper than L3 at level 3.
struct YoyoLimits
{
    double l1;
    double l2;
    double l3;
};

YoyoLimits yoyoLimits(quint16 gasSet)
{
    switch (gasSet) {
    case 2:
    case 4:
        return {16, 29, 9999};
    case 32:
    case 64:
    case 2080:
        return {9999, 9999, 9999};
    case 128:
        return {17, 9999, 9999};
    case 256:
    case 1280:
        return {0, 0, 9999};
    case 1536:
        return {0, 0, 0};
    default:
        return {10, 20, 35};
    }
}

constexpr qint32 kInvalidPreviousYoyo = 1;
constexpr qint32 kInvalidTooManyYoyos = 3;
constexpr qint32 kInvalidSurfaceInterval = 4;

// The yoyo level after `count` yoyos on a dive that has reached `deepest`;
// declares the dive invalid when the count is too high for that depth.
int yoyoLevel(int count, double deepest, const YoyoLimits& limits, bool previousYoyo, qint32& invalidReason)
{
    if (count == 0)
        return 0;
    if (previousYoyo) {
        invalidReason = kInvalidPreviousYoyo;
        return 3;
    }
    if (limits.l1 < deepest && deepest <= limits.l2) {
        if (count > 3)
            invalidReason = kInvalidTooManyYoyos;
        return std::min(count, 3);
    }
    if (limits.l2 < deepest && deepest <= limits.l3) {
        if (count > 2)
            invalidReason = kInvalidTooManyYoyos;
        return count == 1 ? 2 : 3;
    }
    if (deepest > limits.l3) {
        if (count > 1)
            invalidReason = kInvalidTooManyYoyos;
        return 3;
    }
    return 0;
}

// Where the descent from `previous` to `line` crosses `depth`.
float crossingTime(const DiveLine& previous, const DiveLine& line, double depth)
{
    const double descent = line.depth - previous.depth;
    if (!(descent > 0.0))
        return float(line.timeSec);
    return float(previous.timeSec + (line.timeSec - previous.timeSec) * (depth - previous.depth) / descent);
}

constexpr int kYoyoShift = 26;

int diveYoyoLevel(const Dive& dive)
{
    return int((dive.alertsQuelm & Dive::alertYoyoMask) >> kYoyoShift);
}

// Fast ascents: a watch starts on a sample ascending faster than the single
// precision 15.1 m/min below 10 m, and ends when its mean speed drops below
// 6 m/min.
constexpr double kFastAscentStart = -double(15.1f); // m/min
constexpr double kFastAscentMean = 15.1;             // m/min
constexpr float kFastAscentEnd = 6.0f;               // m/min
constexpr double kFastAscentMinStart = 10.0;         // m
constexpr double kFastAscentDeepDive = 20.0;         // m
constexpr double kFastAscentDeepCover = 10.0;        // m

// Maximum depths of the computer's selector 1 to 11, m.
constexpr double kPmaxTable[] = {40, 35, 50, 50, 7, 24, 32, 45, 60, 15, 25};
constexpr double kPmaxTableOther = 50;

double pmaxLimit(int selector, bool useTable)
{
    if (!useTable)
        return selector == 1 || selector == 2 ? 30.0 : 35.0;
    if (selector >= 1 && selector <= int(std::size(kPmaxTable)))
        return kPmaxTable[selector - 1];
    return kPmaxTableOther;
}

constexpr double kSurfaceDepth = 0.1; // m

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

Dive DiveAnalysis::extractProfile(const Dive& dive, int startSec, int endSec)
{
    Dive result;
    const QList<DiveLine>& lines = dive.lines;
    if (lines.isEmpty() || endSec <= startSec)
        return result;
    const double start = startSec;
    const double end = endSec;
    // Nothing is copied when no sample lies after the start.
    const qsizetype first = firstSampleFromSecond(lines, [start](const DiveLine& line) { return line.timeSec > start; });
    const qsizetype past = firstSampleFromSecond(lines, [end](const DiveLine& line) { return line.timeSec >= end; });
    const double depthStart = getDepthAtTime(dive, start);
    const double depthEnd = getDepthAtTime(dive, end);

    result.gases = dive.gases;
    result.density = dive.density;
    result.computerName = dive.computerName;
    result.format = qint32(DiveFormat::Plan);

    // The descent starts from the first sample, wherever its time lies.
    const double descentEnd = lines.first().timeSec + travelSeconds(depthStart, 2.0);
    const double rangeEnd = end + descentEnd - start;
    result.lines.reserve(std::max<qsizetype>(past - first, 0) + 4);
    result.lines.append(lines.first());
    DiveLine point;
    point.timeSec = descentEnd;
    point.depth = depthStart;
    result.lines.append(point);
    for (qsizetype i = first; i < past; ++i) {
        DiveLine copy = lines.at(i);
        copy.timeSec = copy.timeSec - start + descentEnd;
        result.lines.append(copy);
    }
    point.timeSec = rangeEnd;
    point.depth = depthEnd;
    result.lines.append(point);
    point.timeSec = rangeEnd + travelSeconds(depthEnd, 6.0);
    point.depth = 0.0;
    result.lines.append(point);

    calculateMaxTimeDepth(result);
    calculateSpeeds(result, false);
    return result;
}

void DiveAnalysis::fixNonDefinedGas(Dive& dive)
{
    qint32 previous = 0;
    for (DiveLine& line : dive.lines) {
        if (line.gasIndex < 0)
            line.gasIndex = previous;
        previous = line.gasIndex;
    }
}

void DiveAnalysis::analyzeYoyos(Dive& dive, int, bool previousYoyo)
{
    dive.yoyoMarks.clear();
    dive.alertsQuelm &= ~Dive::alertYoyoMask;
    const YoyoLimits limits = yoyoLimits(dive.gasSet);
    YoyoDetector detector;
    double deepest = 0.0;
    const DiveLine* previous = nullptr;
    for (DiveLine& line : dive.lines) {
        const bool found = detector.step(line.depth);
        deepest = std::max(deepest, line.depth);
        const int level = yoyoLevel(detector.count(), deepest, limits, previousYoyo, dive.invalidReason);
        if (level > diveYoyoLevel(dive))
            dive.alertsQuelm = (dive.alertsQuelm & ~Dive::alertYoyoMask) | (quint32(level) << kYoyoShift);
        line.setAlertFlag(QuelmAlertType::Yoyo, quint8(level));
        if (found) {
            // A yoyo needs a rise first, so it is never found on the first sample.
            const double markDepth = detector.trough() + kYoyoMarkAbove;
            dive.yoyoMarks.append({crossingTime(*previous, line, markDepth), float(markDepth), qint16(level)});
        }
        if (!detector.risen() && !dive.yoyoMarks.isEmpty()) {
            CeilPoint& mark = dive.yoyoMarks.last();
            mark.value = std::max(mark.value, qint16(level));
        }
        previous = &line;
    }
}

void DiveAnalysis::analyzeFastAscent(Dive& dive)
{
    QList<DiveLine>& lines = dive.lines;
    bool watching = false;
    double startDepth = 0.0;
    double cover = 0.0;
    double sum = 0.0;
    int count = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        DiveLine& line = lines[i];
        line.setAlertFlag(QuelmAlertType::RR, 0);
        const double speed = line.speed;
        if (watching) {
            // Every sample of the watch counts, those that don't ascend too.
            if (speed < 0.0)
                sum += -speed;
            ++count;
            const float mean = float(sum / count);
            if (mean < kFastAscentEnd) {
                watching = false;
            } else if (mean > kFastAscentMean && startDepth - line.depth >= cover) {
                line.setAlertFlag(QuelmAlertType::RR, 1);
                return;
            }
        } else if (speed < kFastAscentStart && lines.at(i - 1).depth > kFastAscentMinStart) {
            watching = true;
            startDepth = lines.at(i - 1).depth;
            sum = -speed;
            count = 1;
            cover = startDepth / 2.0;
            if (dive.maxDepth > kFastAscentDeepDive && cover < kFastAscentDeepCover)
                cover = kFastAscentDeepCover;
        }
    }
}

void DiveAnalysis::analyzePmax(Dive& dive, int selector, bool useTable)
{
    const double limit = pmaxLimit(selector, useTable);
    for (DiveLine& line : dive.lines)
        line.setAlertFlag(QuelmAlertType::Pmax, line.depth > limit ? 1 : 0);
}

bool DiveAnalysis::findSurfaceIntervals(Dive& dive, int limitSec)
{
    const QList<DiveLine>& lines = dive.lines;
    qsizetype first = -1; // the first sample of the current shallow run
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).depth < kSurfaceDepth) {
            if (first < 0)
                first = i;
            continue;
        }
        if (first >= 0 && first < i - 1 && lines.at(i - 1).timeSec - lines.at(first).timeSec > limitSec) {
            dive.invalidReason = kInvalidSurfaceInterval;
            return true;
        }
        first = -1;
    }
    return false;
}

#include "planner/decorun.h"

#include "deco/repex.h"
#include "divemodel/diveanalysis.h"
#include "planner/planneddive.h"
#include "planner/waterdepth.h"

#include <algorithm>

namespace {

// A plan whose last point is shallower than this ends at the surface.
constexpr double kSurfacedDepth = 0.01;
constexpr gfs_t kEffortGradientFactors(68, 68);
constexpr gfs_t kDefaultGradientFactors(80, 80);
// Third dive of a series within a day: too much nitrogen left in the tenth
// compartment forbids it, and below 6 m it is computed more conservatively.
constexpr int kThirdDiveSlot = 2;
constexpr qint32 kDaySeconds = 86400;
constexpr int kTarCompartment = 9;
constexpr float kTarLimit = 0.8f; // bar
constexpr double kThirdDiveDepth = 6.0; // m
constexpr qint32 kInvalidTar = 2;
// Yoyo levels above this switch the rest of the computation to the effort factors.
constexpr quint8 kHighestToleratedYoyo = 2;

double minutesBetween(double t0, double t1)
{
    return (t1 - t0) / 60.0;
}

LinePlan rowOf(qint32 direction, quint8 computed, float depth, double duration, double runTime,
               qint32 gasIndex)
{
    LinePlan row;
    row.kind = LinePlan::row;
    row.direction = direction;
    row.computed = computed;
    row.depth = depth;
    row.duration = float(duration);
    row.runTime = float(runTime);
    row.gasIndex = gasIndex;
    return row;
}

// The configuration a run of the dive computes with, gradient factors
// aside: the dive's water, and its surface pressure, which the plan only
// takes within the planner's limits.
dive_t configurationOf(const PlannedDive& dive)
{
    dive_t config;
    config.reset_config();
    config.surface_pressure = dive.surfacePressureBar;
    config.setDensityType(dive.waterType != 0 ? DensityType::fresh : DensityType::salt);
    return config;
}

} // namespace

DecoRun::DecoRun(PlannedDive& dive, const PlannedDive* previous, int slot, const gfs_t* given)
    : mDive(dive), mPrevious(previous), mSlot(slot), mConfig(configurationOf(dive))
{
    if (given != nullptr)
        mGiven = *given;
    mRawSurface = dive.surfacePressureBar;
    dive.density = dive.waterType;

    chooseGradientFactors(given);
    mGas = mConfig.gas_at(mConfig.first_gas());

    // The surface interval does not desaturate the tissues: the next dive
    // starts from the state the previous one ended with, on the safe side.
    if (previous != nullptr)
        dive.tissues.begin(previous->tissues.N2, previous->tissues.He, previous->tissues.CNS);
    else
        dive.tissues.begin(mRawSurface);
    std::copy(std::begin(dive.tissues.N2), std::end(dive.tissues.N2), mStartN2.begin());

    zhl16_t::initZhl16C();
    mSolver.begin(mConfig);
    mSolver.solve(mConfig, dive.tissues, mRawSurface, 0.0f);
    mFollower.emplace(dive.tissues, mConfig, mGas, mRawSurface);

    dive.decoLines.clear();
}

void DecoRun::chooseGradientFactors(const gfs_t* given)
{
    if (mDive.effortMode == 1)
        mConfig.set_gfs(kEffortGradientFactors);
    else if (given != nullptr)
        mConfig.set_gfs(*given);
    else
        mConfig.set_gfs(kDefaultGradientFactors);
}

void DecoRun::run(const RowSink& out, KeptRun* kept)
{
    mDive.invalidReason = 0;
    applyThirdDiveRules();
    mOtu = mPrevious != nullptr ? mPrevious->otuTotal : 0.0f;

    walkSegments(out, kept);
    if (mDive.lines.constLast().depth > kSurfacedDepth)
        ascendFromDepth(out);
    else
        closeSurfacedCeiling();
    if (mSolver.stop_count >= 1)
        finalAscent(out);

    LinePlan end;
    end.kind = LinePlan::endOfTable;
    end.cns = mSolver.cns_max * 100.0f;
    end.otu = mOtu;
    out(end);

    writeBack();
    if (kept != nullptr)
        kept->endRun(mDive);
}

void DecoRun::applyThirdDiveRules()
{
    if (mSlot != kThirdDiveSlot || mDive.surfaceInterval >= kDaySeconds || mConfig.is_closed_circuit())
        return;
    if (mDive.tissues.N2[kTarCompartment] > kTarLimit)
        mDive.invalidReason = kInvalidTar;
    // The depth of the points as they are now, not as they were at the last
    // computation: an edit that deepens the dive counts at once.
    DiveAnalysis::calculateMaxTimeDepth(mDive);
    if (mDive.maxDepth > kThirdDiveDepth)
        mConfig.set_gfs(kEffortGradientFactors);
}

void DecoRun::walkSegments(const RowSink& out, KeptRun* kept)
{
    QList<DiveLine>& points = mDive.lines;
    // A plan of one point starts its ascent from that point.
    mLastPressure = pressureAt(points.constFirst().depth);
    const qsizetype resumed = kept != nullptr ? resumeWalk(out, *kept) : 0;
    for (qsizetype i = resumed + 1; i < points.size(); ++i) {
        const DiveLine& from = points.at(i - 1);
        DiveLine& to = points[i];
        const float P1 = pressureAt(from.depth);
        const float P2 = pressureAt(to.depth);
        if (to.flagQuelm(QuelmAlertType::Yoyo) > kHighestToleratedYoyo)
            mConfig.set_gfs(kEffortGradientFactors);

        const double minutes = minutesBetween(from.timeSec, to.timeSec);
        mFollower->run(from.timeSec, to.timeSec, P1, P2);
        load(P1, P2, float(minutes));
        mSolver.solve(mConfig, mDive.tissues, P2, 0.0f);
        if (mSolver.stop_count == 0)
            to.decoCeiling = 0.0;

        const qint32 direction = to.depth <= from.depth ? LinePlan::levelOrAscending : LinePlan::descending;
        const LinePlan row = rowOf(direction, 0, float(to.depth), minutes, to.timeSec / 60.0, to.gasIndex);
        out(row);
        addOxygenUnits((P1 + P2) / 2.0f, float(minutes));
        mLastPressure = P2;
        if (kept != nullptr) {
            kept->keepRow(row);
            if (KeptRun::keepsStateAfter(i))
                kept->keepState(walkState());
        }
    }
    mRunTime = points.constLast().timeSec / 60.0;
}

qsizetype DecoRun::resumeWalk(const RowSink& out, KeptRun& kept)
{
    const RunStart start = startOfWalk();
    const qsizetype point = kept.resumePoint(mDive, start);
    if (point > 0) {
        const WalkState& state = kept.stateAfter(point);
        mDive.tissues = state.tissues;
        mSolver = state.solver;
        mConfig.set_gfs(state.gfs);
        mFollower->resume(state.follower, kept.ceiling());
        mOtu = state.otu;
        mLastPressure = state.lastPressure;
        for (qsizetype i = 1; i <= point; ++i)
            out(kept.rowOf(i));
    }
    kept.beginRun(start, point);
    return point;
}

RunStart DecoRun::startOfWalk() const
{
    RunStart start;
    start.slot = mSlot;
    if (mPrevious != nullptr) {
        start.previousTissues = mPrevious->tissues;
        start.previousOtu = mPrevious->otuTotal;
    }
    start.given = mGiven;
    start.effortMode = mDive.effortMode;
    start.waterType = mDive.waterType;
    start.surfacePressure = mRawSurface;
    start.surfaceInterval = mDive.surfaceInterval;
    start.gases = mDive.gases;
    start.tissues = mDive.tissues;
    start.gfs = mConfig.gfs();
    start.invalidReason = mDive.invalidReason;
    return start;
}

WalkState DecoRun::walkState() const
{
    return {mDive.tissues, mSolver, mConfig.gfs(), mFollower->state(), mOtu, mLastPressure};
}

void DecoRun::ascendFromDepth(const RowSink& out)
{
    const DiveLine& last = mDive.lines.constLast();
    mDive.decoLines.append(last);

    const int N = mSolver.stop_count;
    const float target = N >= 1 ? stop(0).pressure : mRawSurface;
    const int pointGas = N >= 1 ? stop(0).gas : last.gasIndex;
    LinePlan ascent = travel(mLastPressure, target, mConfig.vasc(), last.gasIndex);
    appendComputedPoint(ascent.depth, pointGas);
    out(ascent);

    for (int k = 0; k < N; ++k) {
        if (k > 0) {
            const LinePlan between = travel(stop(k - 1).pressure, stop(k).pressure, mConfig.vasc_stop(), stop(k).gas);
            appendComputedPoint(between.depth, stop(k).gas);
            out(between);
        }
        const LinePlan level = stayAt(stop(k).pressure, stop(k).minutes, stop(k).gas);
        appendComputedPoint(level.depth, stop(k).gas);
        out(level);
    }
    mDive.decoNotTerminated = false;
}

void DecoRun::closeSurfacedCeiling()
{
    QList<CeilPoint>& ceiling = mFollower->points();
    if (!ceiling.isEmpty() && ceiling.constLast().depth > 0.0f)
        ceiling.append({ceiling.constLast().time, 0.0f, 0});
    // Surfaced while the solver still lists stops: the decompression was not finished.
    mDive.decoNotTerminated = mSolver.stop_count >= 1;
}

void DecoRun::finalAscent(const RowSink& out)
{
    const zhl16_t::stop_t& lastStop = stop(mSolver.stop_count - 1);
    LinePlan ascent = travel(lastStop.pressure, mRawSurface, mConfig.vasc_stop(), lastStop.gas, false);
    ascent.depth = 0.0f;
    appendComputedPoint(0.0f, -1);
    out(ascent);
}

LinePlan DecoRun::travel(float from, float to, float rate, int gasIndex, bool follow)
{
    // A target deeper than the diver (a plan that ends above its first stop)
    // is reached by descending: time never runs backwards.
    const bool descent = to > from;
    const double minutes = descent ? (to - from) / mConfig.vdesc() : (from - to) / rate;
    const double start = mRunTime;
    mRunTime += minutes;
    if (follow)
        mFollower->run(start * 60.0, mRunTime * 60.0, from, to);
    load(from, to, float(minutes));
    addOxygenUnits((from + to) / 2.0f, float(minutes));
    return rowOf(descent ? LinePlan::descending : LinePlan::computedTravel, 1, stopDepth(to), minutes,
                 mRunTime, gasIndex);
}

LinePlan DecoRun::stayAt(float pressure, float minutes, int gasIndex)
{
    const double start = mRunTime;
    mRunTime += minutes;
    mFollower->run(start * 60.0, mRunTime * 60.0, pressure, pressure);
    load(pressure, pressure, minutes);
    addOxygenUnits(pressure, minutes);
    return rowOf(LinePlan::levelOrAscending, 1, stopDepth(pressure), minutes, mRunTime, gasIndex);
}

void DecoRun::load(float from, float to, float minutes)
{
    mDive.tissues.load_inert(from, to, minutes, mGas, setpoint_t::none);
    mDive.tissues.load_oxygen(from, to, minutes, mGas, setpoint_t::none);
}

void DecoRun::addOxygenUnits(float meanPressure, float minutes)
{
    mOtu += repex_t::OTU(mGas.PinspO2(setpoint_t::none, meanPressure)) * minutes;
}

void DecoRun::appendComputedPoint(float depth, int gasIndex)
{
    DiveLine point;
    point.timeSec = mRunTime * 60.0;
    point.depth = depth;
    point.gasIndex = gasIndex;
    mDive.decoLines.append(point);
}

void DecoRun::writeBack()
{
    mDive.otuTotal = mOtu;
    mDive.ceilingPoints = std::move(mFollower->points());
    DiveAnalysis::calculateMaxTimeDepth(mDive);
    DiveAnalysis::calculateSpeeds(mDive, false);
}

float DecoRun::breathedPpO2(const PlannedDive& dive, double depth)
{
    const dive_t config = configurationOf(dive);
    const gas_t gas = config.gas_at(config.first_gas());
    return gas.PinspO2(setpoint_t::none, planner::pressureAtDepth(config, depth));
}

float DecoRun::pressureAt(double depth) const
{
    return planner::pressureAtDepth(mConfig, depth);
}

float DecoRun::stopDepth(float pressure) const
{
    return planner::depthOfPressure(mConfig, pressure);
}

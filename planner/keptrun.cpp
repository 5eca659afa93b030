#include "planner/keptrun.h"

#include "common/samebits.h"
#include "planner/planneddive.h"

#include <algorithm>
#include <cstring>

namespace {

// Bit for bit, as the computation sees its inputs: -0 and 0 differ.
template <typename T>
bool same(const T& a, const T& b)
{
    if constexpr (std::is_floating_point_v<T>)
        return sameBits(a, b);
    else
        return a == b;
}

bool sameArray(const float* a, const float* b, size_t count)
{
    return std::memcmp(a, b, count * sizeof(float)) == 0;
}

bool sameTissues(const diver_t& a, const diver_t& b)
{
    return sameArray(a.N2, b.N2, std::size(a.N2)) && sameArray(a.He, b.He, std::size(a.He)) && same(a.CNS, b.CNS) &&
           a.helium == b.helium && a.reduction == b.reduction && same(a.reduction_factor, b.reduction_factor);
}

bool sameFactors(const gfs_t& a, const gfs_t& b)
{
    return same(a.low, b.low) && same(a.high, b.high) && std::memcmp(a.name, b.name, sizeof a.name) == 0;
}

template <typename T, typename Same>
bool sameOptional(const std::optional<T>& a, const std::optional<T>& b, Same sameValue)
{
    return a.has_value() == b.has_value() && (!a || sameValue(*a, *b));
}

// Every field: a new one must be compared too.
static_assert(sizeof(DiveLine) == 120);
bool samePoint(const DiveLine& a, const DiveLine& b)
{
    return same(a.timeSec, b.timeSec) && same(a.depth, b.depth) && same(a.pressure, b.pressure) &&
           same(a.speed, b.speed) && same(a.ambientTemp, b.ambientTemp) && same(a.decoCeiling, b.decoCeiling) &&
           a.ndl == b.ndl && same(a.gradientFactor, b.gradientFactor) && same(a.otu, b.otu) && same(a.cns, b.cns) &&
           same(a.ppO2, b.ppO2) && a.gasIndex == b.gasIndex && a.setpointIndex == b.setpointIndex &&
           a.ccr == b.ccr && a.alertFlag == b.alertFlag && a.alertFlagTransmitter == b.alertFlagTransmitter &&
           a.pelavixAlerts == b.pelavixAlerts && a.pelavixAlerts2 == b.pelavixAlerts2 && a.battery == b.battery &&
           a.tankPressure == b.tankPressure && a.tankPressureTxIndex == b.tankPressureTxIndex &&
           a.gfLow == b.gfLow && a.gfHigh == b.gfHigh && a.tag == b.tag && a.isMaxDepth == b.isMaxDepth;
}

} // namespace

bool RunStart::sameAs(const RunStart& other) const
{
    // The gases are not compared field by field: a list that is still the
    // one of the last run is unchanged, any other counts as changed.
    return slot == other.slot && sameOptional(previousTissues, other.previousTissues, sameTissues) &&
           same(previousOtu, other.previousOtu) && sameOptional(given, other.given, sameFactors) &&
           effortMode == other.effortMode && waterType == other.waterType &&
           same(surfacePressure, other.surfacePressure) && surfaceInterval == other.surfaceInterval &&
           gases.isSharedWith(other.gases) && sameTissues(tissues, other.tissues) && sameFactors(gfs, other.gfs) &&
           invalidReason == other.invalidReason;
}

qsizetype KeptRun::resumePoint(const PlannedDive& dive, const RunStart& start) const
{
    if (!mEnded || !mStart->sameAs(start))
        return 0;
    const QList<DiveLine>& points = dive.lines;
    const qsizetype common = std::min(points.size(), mPoints.size());
    qsizetype changed = 0;
    while (changed < common && samePoint(points.at(changed), mPoints.at(changed)))
        ++changed;
    // The state after a point holds the walk up to that point and no further.
    const qsizetype last = std::min(changed - 1, qsizetype(mStates.size()) * stateInterval);
    return last < stateInterval ? 0 : last / stateInterval * stateInterval;
}

const WalkState& KeptRun::stateAfter(qsizetype point) const
{
    return mStates[size_t(point / stateInterval - 1)];
}

void KeptRun::beginRun(const RunStart& start, qsizetype point)
{
    mStart = start;
    mEnded = false;
    mStates.resize(size_t(point / stateInterval));
    mRows.resize(size_t(point));
}

void KeptRun::endRun(const PlannedDive& dive)
{
    mCeiling = dive.ceilingPoints;
    mPoints = dive.lines;
    mEnded = true;
}

void KeptRun::clear()
{
    *this = KeptRun();
}

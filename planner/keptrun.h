#pragma once

#include "deco/diver.h"
#include "deco/gas.h"
#include "deco/zhl16.h"
#include "divemodel/ceilpoint.h"
#include "divemodel/diveline.h"
#include "divemodel/divegas.h"
#include "planner/ceilingfollower.h"
#include "planner/lineplan.h"

#include <QList>

#include <optional>
#include <vector>

struct PlannedDive;

// What a decompression run of a dive starts its walk through the points
// from: two runs with equal starts walk equal points alike. The dive's
// settings and the run's inputs are here even where the start tissues and
// factors already follow from them: a run that cannot tell is computed whole.
struct RunStart
{
    int slot = -1;
    std::optional<diver_t> previousTissues; // none for the first dive
    float previousOtu = 0.0f;
    std::optional<gfs_t> given;
    quint8 effortMode = 0;
    quint8 waterType = 0;
    float surfacePressure = 0.0f;
    qint32 surfaceInterval = 0;
    QList<DiveGas> gases;
    diver_t tissues; // before the first point
    // The gradient factors at the first point and the reason the run gives,
    // the third dive's rules applied: they read the depth of every point.
    gfs_t gfs;
    qint32 invalidReason = 0;

    bool sameAs(const RunStart& other) const;
};

// The walk of a run through the points, as it stands after one of them.
struct WalkState
{
    diver_t tissues;
    zhl16_t solver;
    gfs_t gfs;
    CeilingFollower::State follower;
    float otu = 0.0f;
    float lastPressure = 0.0f; // bar
};

// The kept states of a dive's last decompression run, from which the next
// run goes on at the first point an edit changed instead of walking the
// whole dive again: the walk's state after every `stateInterval`-th point,
// the row of every point, the ceiling recorded, and the points as the run
// left them to find the first one that changed.
class KeptRun
{
public:
    static constexpr qsizetype stateInterval = 64;

    // The point after which a run of `dive` from `start` goes on from the
    // kept state: every point up to it is as the last run left it. 0 for a
    // walk from the first point.
    qsizetype resumePoint(const PlannedDive& dive, const RunStart& start) const;
    // For a point resumePoint gave.
    const WalkState& stateAfter(qsizetype point) const;
    // The row the last run handed out for reaching a point (1 onward) it
    // kept the state of or a point before.
    const LinePlan& rowOf(qsizetype point) const { return mRows[size_t(point - 1)]; }
    // The ceiling the last run recorded, of which a state's points are the first.
    const QList<CeilPoint>& ceiling() const { return mCeiling; }

    // A run from `start` whose walk goes on after `point`: what was kept
    // beyond it is forgotten, and nothing is trusted until the run ends.
    void beginRun(const RunStart& start, qsizetype point);
    // The row of the next point the walk reached.
    void keepRow(const LinePlan& row) { mRows.push_back(row); }
    // Whether the state after that point is to be kept.
    static bool keepsStateAfter(qsizetype point) { return point % stateInterval == 0; }
    void keepState(WalkState&& state) { mStates.push_back(std::move(state)); }
    // The run is over: its points and its ceiling as it left them.
    void endRun(const PlannedDive& dive);
    void clear();

private:
    std::optional<RunStart> mStart; // of the last run, trusted once it ended
    bool mEnded = false;
    std::vector<WalkState> mStates; // after points stateInterval, 2 stateInterval, ...
    std::vector<LinePlan> mRows;    // of points 1, 2, ...
    QList<CeilPoint> mCeiling;
    QList<DiveLine> mPoints;
};

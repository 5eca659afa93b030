#pragma once

#include "deco/diver.h"
#include "deco/zhl16.h"
#include "divemodel/ceilpoint.h"

#include <QList>

class settings_t;

// Follows the deco ceiling along a whole profile, computed ascent included,
// in 2-second steps: a tissue state and a solver of its own, loaded at every
// step, and the outline of the ceiling area it records for the profile graph.
// The gradient factors of the settings may become equal during a run (the
// effort factors), never unequal again.
class CeilingFollower
{
public:
    // Where a follower stands between two runs: with the points it recorded
    // up to there, all a later follower needs to go on from there alike.
    struct State
    {
        diver_t tissues;
        zhl16_t solver;
        bool solverSkipped = false;
        qsizetype pointCount = 0;
    };

    // Ceilings deeper than the dive's own `surfacePressure` are recorded, in
    // metres below the configuration's surface in its water, like the stops.
    CeilingFollower(const diver_t& start, const settings_t& settings, const gas_t& gas,
                    float surfacePressure);

    // A run from t0 to t1 seconds while the ambient pressure moves linearly
    // from X0 to X1 bar.
    void run(double t0, double t1, float X0, float X1);

    QList<CeilPoint>& points() { return mPoints; }

    State state() const { return {mTissues, mSolver, mSolverSkipped, mPoints.size()}; }
    // Goes on from `state`, whose points are the first ones of `recorded`.
    void resume(const State& state, const QList<CeilPoint>& recorded);

private:
    void step(double time, float from, float to);
    // The ceiling (bar) the solver gives for the tissues at ambient `pressure`.
    float ceilingAt(float pressure);

    diver_t mTissues;
    zhl16_t mSolver;
    const settings_t& mSettings;
    gas_t mGas;
    float mSurfacePressure;
    QList<CeilPoint> mPoints;
    // The solver has not followed every step: its state no longer is the one
    // unequal gradient factors would need.
    bool mSolverSkipped = false;
};

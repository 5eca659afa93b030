#include "planner/ceilingfollower.h"

#include "planner/waterdepth.h"

#include <QtGlobal>

namespace {

constexpr double kStepSeconds = 2.0;
// Every step loads one step's worth, the last shorter step too.
constexpr float kStepMinutes = float(kStepSeconds / 60.0);

} // namespace

CeilingFollower::CeilingFollower(const diver_t& start, const settings_t& settings, const gas_t& gas,
                                 float surfacePressure)
    : mTissues(start), mSettings(settings), mGas(gas), mSurfacePressure(surfacePressure)
{
    mSolver.begin(settings);
    mSolver.solve(settings, mTissues, surfacePressure, 0.0f);
}

void CeilingFollower::resume(const State& state, const QList<CeilPoint>& recorded)
{
    mTissues = state.tissues;
    mSolver = state.solver;
    mSolverSkipped = state.solverSkipped;
    mPoints = recorded.first(state.pointCount);
}

void CeilingFollower::run(double t0, double t1, float X0, float X1)
{
    float X = X0;
    for (double t = t0 + kStepSeconds;; t += kStepSeconds) {
        const double h = t >= t1 ? t1 : t;
        // A run without duration (a zero-minute stop, two points at the same
        // time) goes straight to its end pressure.
        const float Xh = t1 > t0 ? X0 + float((h - t0) / (t1 - t0)) * (X1 - X0) : X1;
        step(h, X, Xh);
        if (t >= t1)
            return;
        X = Xh;
    }
}

void CeilingFollower::step(double time, float from, float to)
{
    mTissues.load_inert(from, to, kStepMinutes, mGas, setpoint_t::none);
    const float ceiling = ceilingAt(to);
    if (ceiling > mSurfacePressure)
        mPoints.append({float(time), planner::depthOfPressure(mSettings, ceiling), 0});
}

float CeilingFollower::ceilingAt(float pressure)
{
    // The solver's ceiling is the tolerated ambient pressure at the gradient
    // factor of the depth of its first stop. With equal factors that factor
    // is the high one whatever the stops, so the staged ascent that finds
    // them is not needed: the same value, without the solving.
    const gfs_t& gfs = mSettings.gfs();
    if (gfs.low == gfs.high) {
        mSolverSkipped = true;
        return zhl16_t::PtolAmb(mTissues, gfs.high);
    }
    Q_ASSERT(!mSolverSkipped);
    // Only the ceiling is kept: the rest of the ascent need not be worked out.
    mSolver.solve_ceiling(mSettings, mTissues, pressure);
    return mSolver.ceiling;
}

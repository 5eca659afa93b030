#pragma once

#include "deco/dive.h"
#include "deco/zhl16.h"
#include "planner/ceilingfollower.h"
#include "planner/keptrun.h"
#include "planner/lineplan.h"

#include <array>
#include <functional>
#include <optional>

struct PlannedDive;

// One decompression run of a planned dive with at least one point. The
// points are walked as straight segments on one gas in open circuit; the
// solver gives the stops at the last point, whose ascent is replayed; the
// rows go out in order and the ceiling, the ascent and the oxygen totals are
// written back into the dive.
class DecoRun
{
public:
    using RowSink = std::function<void(const LinePlan&)>;

    // Sets up the configuration, the gradient factors and the start tissues;
    // `previous` is the dive before this one in the series (null for the
    // first), `given` the gradient factors asked for (null for the default).
    DecoRun(PlannedDive& dive, const PlannedDive* previous, int slot, const gfs_t* given);
    DecoRun(const DecoRun&) = delete;
    DecoRun& operator=(const DecoRun&) = delete;

    // The nitrogen loads the dive starts with.
    const std::array<float, zhl16_t::compartments>& startNitrogen() const { return mStartN2; }

    // The rows after the start of the table, up to and including its end.
    // With `kept`, the walk goes on from the states the dive's last run kept
    // there, as far as the points are unchanged, and keeps this run's.
    void run(const RowSink& out, KeptRun* kept = nullptr);

    // The oxygen partial pressure (bar) of the gas a run of the dive breathes
    // at that depth.
    static float breathedPpO2(const PlannedDive& dive, double depth);

private:
    void chooseGradientFactors(const gfs_t* given);
    void applyThirdDiveRules();
    void walkSegments(const RowSink& out, KeptRun* kept);
    // Takes up the walk after the last point `kept` serves for, its rows
    // handed out again; returns that point, 0 for a walk from the start.
    qsizetype resumeWalk(const RowSink& out, KeptRun& kept);
    RunStart startOfWalk() const;
    WalkState walkState() const;
    void ascendFromDepth(const RowSink& out);
    void closeSurfacedCeiling();
    void finalAscent(const RowSink& out);
    void writeBack();

    // Moves the diver (and, unless `follow` is false, the ceiling follower)
    // from pressure `from` to `to` at the given rate, or at the descent rate
    // when `to` lies deeper; returns the row of that travel.
    LinePlan travel(float from, float to, float rate, int gasIndex, bool follow = true);
    LinePlan stayAt(float pressure, float minutes, int gasIndex);
    void load(float from, float to, float minutes);
    void addOxygenUnits(float meanPressure, float minutes);
    void appendComputedPoint(float depth, int gasIndex);

    float pressureAt(double depth) const;
    float stopDepth(float pressure) const;
    const zhl16_t::stop_t& stop(int k) const { return mSolver.stops[k]; }

    PlannedDive& mDive;
    const PlannedDive* mPrevious;
    int mSlot;
    std::optional<gfs_t> mGiven;
    dive_t mConfig;
    zhl16_t mSolver;
    gas_t mGas;
    float mRawSurface = 0.0f; // the dive's own surface pressure, as stored
    std::array<float, zhl16_t::compartments> mStartN2{};
    std::optional<CeilingFollower> mFollower; // follows mConfig
    double mRunTime = 0.0; // min
    float mLastPressure = 0.0f;
    float mOtu = 0.0f;
};

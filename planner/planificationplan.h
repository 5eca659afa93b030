#pragma once

#include "deco/gas.h"
#include "deco/zhl16.h"
#include "planner/keptrun.h"
#include "planner/lineplan.h"

#include <QString>
#include <QTime>

#include <array>
#include <functional>
#include <memory>

struct Dive;
struct PlannedDive;

// A plan of up to three successive dives (a repetitive series), each
// starting from the tissues the one before it ended with, and the
// decompression run of the current dive. Filled slots are contiguous from
// slot 0; slot k holds the (k+1)-th dive. An index outside the slots, or an
// empty slot, means there is no current dive: every operation on the current
// dive then does nothing.
class PlanificationPlan
{
public:
    static constexpr int slotCount = 3;

    PlanificationPlan();
    ~PlanificationPlan();
    PlanificationPlan(const PlanificationPlan&) = delete;
    PlanificationPlan& operator=(const PlanificationPlan&) = delete;

    // Log sink; an empty text means: clear the log. Not called while empty.
    std::function<void(const QString&)> logCallback;
    // Receives the run-table rows of a computation, in order. Not called while empty.
    std::function<void(const LinePlan&)> lineCallback;
    qint32 current = -1; // slot of the current dive, -1 for none
    // Nitrogen loads (bar) at the start of the last computed dive.
    std::array<float, zhl16_t::compartments> startN2{};

    // The dive in a slot, null for an empty slot or an index outside the plan.
    PlannedDive* plannedDive(int slot) const;
    PlannedDive* currentPlannedDive() const { return plannedDive(current); }
    Dive* currentDiveProfile() const;

    // 0, 1 or 2: the first empty slot; -1 when the plan is full.
    int findFirstFreeIndex() const;
    // A new current dive in the first free slot, computed at once; with an
    // empty name it gets the default points, else the points of the dive
    // file. Returns the slot, -1 when the plan is full, -2 when the file
    // cannot be read, -3 when its dive is beyond what the planner computes
    // (planlimits): the plan is then as it was, and lastError() says why.
    int newPlanification(const QString& fileName);
    // The same with a caller's filler instead of a file; a filler that fails,
    // or none at all, gives -2.
    int newPlanification(const std::function<bool(Dive&)>& fill);
    // Why the last newPlanification refused its dive (for -2 the file
    // reader's reason, which may be empty), or why the last savePlan or
    // loadPlan failed, in the user's language; empty after one that succeeded.
    const QString& lastError() const { return mLastError; }

    // Writes the plan file of the plan: each dive's tissues and settings, not
    // its points. An existing file keeps its old content unless the new one
    // is written whole. False when it cannot be written.
    bool savePlan(const QString& fileName);
    // The plan of a plan file in place of this one: each dive a new dive of
    // its slot with the default points, then the file's tissues and
    // settings; the first dive current (none for an empty plan); nothing
    // computed. A file that is not such a plan leaves this one as it was:
    // false.
    bool loadPlan(const QString& fileName);

    // Appends the default points (surface, 20 m after a minute, 20 m at ten
    // minutes) on that gas to the current dive.
    void initializePointsOfCurrent(int gasIndex);
    // A default dive with the default points in place of the current one; the
    // planner's settings and tissues stay. Not computed: the caller recomputes.
    void replaceCurrentByNew();
    void setCurrentSurfaceInterval(QTime t);
    void setCurrentEffortMode(bool on);

    // Deletes every dive; the current index stays as it is and names no dive.
    void clear();
    // Deletes the current dive and moves the later ones down a slot; the dive
    // now in its slot becomes current, else the one before it. Nothing is
    // recomputed. False without a current dive.
    bool removeCurrentDive();

    // Recomputes the current dive: run-table rows through `lineCallback`,
    // ceiling, computed ascent, oxygen totals and end tissues into the dive.
    // A null pair means the default gradient factors; `reduction` has no effect.
    // A dive whose points were edited beyond what the planner computes gets
    // an empty run table and a log line that says why.
    void calculateDecoStages(gfs_t* gfs, float* reduction);

private:
    // -2 when `fill` fails, -3 when the dive is beyond the limits, else the slot.
    int addPlannedDive(const std::function<bool(PlannedDive&)>& fill);
    // The run table of a dive that is not computed: its start, the log
    // cleared, the reason when there is one, its end; nothing of an earlier
    // run is left in the dive.
    void emitEmptyRun(PlannedDive& dive, const QString& reason);
    void emitRow(const LinePlan& row) const;
    void emitLog(const QString& text) const;

    std::array<std::unique_ptr<PlannedDive>, slotCount> dives;
    // Of each slot's last computation, for the next one after an edit.
    std::array<KeptRun, slotCount> mKeptRuns;
    QString mLastError;
};

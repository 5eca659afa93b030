#pragma once

#include "divemodel/dive.h"
#include "planner/lineplan.h"
#include "planner/planificationplan.h"
#include "planner/planneddive.h"

#include <QList>
#include <QStringList>

#include <initializer_list>
#include <utility>

namespace plantest {

// Points of a plan: (time s, depth m), all on gas 0.
inline QList<DiveLine> points(std::initializer_list<std::pair<double, double>> timeDepth)
{
    QList<DiveLine> lines;
    for (const auto& [time, depth] : timeDepth) {
        DiveLine line;
        line.timeSec = time;
        line.depth = depth;
        line.gasIndex = 0;
        lines.append(line);
    }
    return lines;
}

// 40 m for 25 minutes, reached in two minutes: a dive with stops.
inline QList<DiveLine> decoPoints()
{
    return points({{0, 0}, {120, 40}, {1500, 40}});
}

// Records what a plan hands out through its two callbacks.
struct RunRecorder
{
    QList<LinePlan> rows;
    QStringList logs;

    void attach(PlanificationPlan& plan)
    {
        plan.lineCallback = [this](const LinePlan& row) { rows.append(row); };
        plan.logCallback = [this](const QString& text) { logs.append(text); };
    }
    void reset()
    {
        rows.clear();
        logs.clear();
    }
    // The rows between the start and the end of the table.
    QList<LinePlan> body() const { return rows.mid(1, rows.size() - 2); }
    QList<LinePlan> computedRows() const
    {
        QList<LinePlan> computed;
        for (const LinePlan& row : body())
            if (row.computed == 1)
                computed.append(row);
        return computed;
    }
    const LinePlan& end() const { return rows.constLast(); }
};

// Adds a dive with these points to the plan (it becomes current and is computed).
inline int addDive(PlanificationPlan& plan, const QList<DiveLine>& lines)
{
    return plan.newPlanification([&lines](Dive& dive) {
        dive.lines = lines;
        return true;
    });
}

// A plan whose callbacks go to a recorder.
struct RecordedPlan : PlanificationPlan
{
    RunRecorder recorder;

    RecordedPlan() { recorder.attach(*this); }
    // Recomputes the current dive with fresh rows in the recorder.
    void recompute(gfs_t* gfs = nullptr)
    {
        recorder.reset();
        calculateDecoStages(gfs, nullptr);
    }
};

} // namespace plantest

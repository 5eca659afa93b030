#pragma once

#include "planner/lineplan.h"
#include "planner/runtabletext.h"

#include <QList>

// Rows of run tables, as a computation hands them out.

inline LinePlan row(qint32 direction, quint8 computed, float depth, float duration, float runTime, qint32 gas)
{
    LinePlan line;
    line.kind = LinePlan::row;
    line.direction = direction;
    line.computed = computed;
    line.depth = depth;
    line.duration = duration;
    line.runTime = runTime;
    line.gasIndex = gas;
    return line;
}

inline LinePlan endRow(float cns, float otu)
{
    LinePlan end;
    end.kind = LinePlan::endOfTable;
    end.cns = cns;
    end.otu = otu;
    return end;
}

// A table opened, then given `rows`.
inline void addTable(RunTableText& table, const QList<LinePlan>& rows)
{
    table.add(LinePlan{});
    for (const LinePlan& line : rows)
        table.add(line);
}

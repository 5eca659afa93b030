#pragma once

#include <QtGlobal>

// One row of a run table, as the computation hands it to the planning tab.
// Fields a row does not use are 0.
struct LinePlan
{
    // `kind`
    static constexpr quint16 startOfTable = 0;
    static constexpr quint16 row = 1;
    static constexpr quint16 endOfTable = 2;
    // `direction`
    static constexpr qint32 descending = 0;
    static constexpr qint32 levelOrAscending = 1; // a stop too
    static constexpr qint32 computedTravel = 2;   // computed ascent or travel between stops

    quint16 kind = startOfTable;
    qint32 direction = descending;
    quint8 computed = 0; // 1: a row the computation added after the planned points
    float depth = 0.0f;    // m, reached at the end of the row
    float duration = 0.0f; // min
    float runTime = 0.0f;  // min, at the end of the row
    qint32 gasIndex = 0;
    float cns = 0.0f; // percent, end row only: the largest CNS
    float otu = 0.0f; // end row only: the OTU total of the series
};

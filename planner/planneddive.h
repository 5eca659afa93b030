#pragma once

#include "deco/diver.h"
#include "divemodel/dive.h"

// One dive of a plan: its points are the dive's sample lines; the planner's
// own settings follow, with the tissue state the dive ends with.
struct PlannedDive : Dive
{
    static constexpr float defaultSurfacePressure = 1.013f; // bar

    diver_t tissues;         // after a computation, the state at the end of the dive
    qint32 surfaceInterval = 0; // s before this dive
    quint8 effortMode = 0;   // 1: the dive is made with effort
    quint8 waterType = 0;    // 0 salt water, any other value fresh water
    // Distinct from the header's `surfacePressure` in mbar, which the planner
    // does not use.
    float surfacePressureBar = defaultSurfacePressure;
    // Oxygen tolerance units from the first dive of the series to the end of this one.
    float otuTotal = 0.0f;
};

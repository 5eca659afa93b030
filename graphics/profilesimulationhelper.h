#pragma once

#include "cordale_export.h"
#include "divemodel/dive.h"

#include <cstdint>
#include <functional>
#include <vector>

// One step of a pressure simulation: what the dive computer is given at one
// moment of the dive.
struct StepSimulation
{
    double time = 0;         // s from the start of the dive
    std::int16_t depth = 0;  // dm, truncated toward zero
    double pressure = 0;     // bar, absolute
    double temperature = 0;  // °C
    // The deco ceiling in metres or, when negative, the no-decompression
    // time in minutes.
    double ceiling = 0;
};

// Turns a dive into evenly spaced pressure steps, the depth interpolated
// between its samples, closed by a step at the last sample and a surface step.
struct CORDALE_EXPORT ProfileSimulationHelper
{
    // The absolute pressure in bar at a depth in metres; set before
    // prepareSimulation.
    std::function<float(float const&)> mDepthToPressure;

    // Replaces `steps` by the steps of `dive`, `stepMs` apart; the surface
    // step gets `surfacePressure` (bar). No steps for a dive without samples,
    // a step that is not positive, or a sample whose time or depth is not a
    // finite number.
    void prepareSimulation(const Dive& dive, int stepMs, std::vector<StepSimulation>& steps,
                           float surfacePressure);
};

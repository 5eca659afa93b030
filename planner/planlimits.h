#pragma once

#include <QString>

struct Dive;
struct PlannedDive;

// What a dive must be for the planner to compute it in bounded time: every
// value of its points a finite number, its times from 0 s on, never going
// back, within 24 hours, and no point deeper than the engine's stop table
// reaches (the deepest first stop the solver looks for), nor as far above
// the surface.
namespace planlimits {

constexpr double longestDiveSeconds = 86400.0;

// The surface pressures the planner takes and computes with, in whole
// millibar (the planning tab's range).
constexpr int lowestSurfacePressure = 600;
constexpr int highestSurfacePressure = 1200;

// A surface interval is shorter than a day: the planning tab's editor shows
// the hours and minutes of one, and a day apart a dive is no longer part of
// the series' rules.
constexpr int surfaceIntervalLimit = 86400; // s

// The depth, in metres, of the deepest stop the engine computes.
double deepestDepth();
// The highest inert-gas pressure, in bar, of a compartment after any series
// of dives the planner computes: the ambient pressure at the deepest depth,
// in salt water, under the highest surface pressure. A dive starting from
// more is beyond what the engine computes with finite numbers.
double highestTissuePressure();

// Why the dive cannot be planned, in the user's language; empty when it can.
QString refusal(const Dive& dive);
// The same for a dive of the plan, whose surface pressure counts too.
QString refusal(const PlannedDive& dive);
// Whether the planner takes a surface pressure (bar), and computes with it:
// a finite one within the range, in whole millibar as the tab shows them.
bool takesSurfacePressure(float bar);

} // namespace planlimits

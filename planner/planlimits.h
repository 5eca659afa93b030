#pragma once

#include <QString>

struct Dive;

// What a dive must be for the planner to compute it in bounded time: every
// value of its points a finite number, its times from 0 s on, never going
// back, within 24 hours, and no point deeper than the engine's stop table
// reaches (the deepest first stop the solver looks for), nor as far above
// the surface.
namespace planlimits {

constexpr double longestDiveSeconds = 86400.0;

// The depth, in metres, of the deepest stop the engine computes.
double deepestDepth();

// Why the dive cannot be planned, in the user's language; empty when it can.
QString refusal(const Dive& dive);

} // namespace planlimits

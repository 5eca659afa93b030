#pragma once

#include "deco/settings.h"

// Depths and ambient pressures in the configuration's water below its
// surface pressure, as the run table and the ceiling outline give them.
namespace planner {

inline float pressureAtDepth(const settings_t& settings, double depth)
{
    if (depth <= 0.0)
        return settings.surface_pressure;
    return settings.surface_pressure + settings.water_density() * 9.80665f * float(depth) / 100.0f;
}

// 0 at or above the surface.
inline float depthOfPressure(const settings_t& settings, float pressure)
{
    return pressure > settings.surface_pressure
               ? deco::depth_of(pressure - settings.surface_pressure, settings.water_density())
               : 0.0f;
}

} // namespace planner

#pragma once

#include <QtGlobal>

// The water the computer is set for.
struct BleConfig
{
    quint8 waterType = 0;           // 0 salt water, else fresh water
    quint16 surfacePressure = 1013; // mbar

    // kg/L.
    float getDensity() const;
    // The absolute pressure in bar at `depth` metres of this water.
    float pressureAtDepth(float depth) const;
};

#pragma once

struct DiveLine;

// The answer to a time lookup on a profile: the two samples around the time
// (pointing into the dive, valid while its samples are unchanged) and the
// values interpolated between them.
struct DivePosition
{
    const DiveLine* prevLine = nullptr;
    const DiveLine* nextLine = nullptr;
    // Four values the profile layout reserves; no lookup fills them.
    double depth = 0;
    double temperature = 0;
    double speed = 0;
    double pressure = 0;
    double decoCeiling = 0;  // m
    double tankPressure = 0; // bar

    // The integer and the first three doubles are accepted and dropped; the
    // first three reserved values become 0, the fourth keeps its value.
    void setPosition(const DiveLine* prev, const DiveLine* next, int, double, double, double, double ceiling,
                     double tank);
};

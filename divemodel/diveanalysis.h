#pragma once

struct Dive;

// Values derived from a dive's samples, computed in place. The functions hold
// no state and report nothing but their results; each one walks the samples
// once, so hours-long dives at one sample a second stay cheap.
class DiveAnalysis
{
public:
    DiveAnalysis() = delete;

    // Maximum time and depth, average depth, temperature and tank pressure
    // ranges, the ascent and stage times of the computed decompression lines,
    // and the end time when the dive has none after its begin. Only the first
    // sample of the greatest depth keeps the maximum-depth mark. Without a
    // temperature above 0 °C both temperature bounds are 0; without a tank
    // pressure the tank range stays 65535 to 0.
    static void calculateMaxTimeDepth(Dive& dive);
    // Vertical speeds in m/min, positive when descending, from each line and
    // the one before it (0 for the first line and when the time doesn't
    // advance). The computed decompression lines always; the samples too
    // unless `onlyDeco`.
    static void calculateSpeeds(Dive& dive, bool onlyDeco);
    // The mean absolute speed of the samples after `first` up to `last`, in
    // m/min; 0 unless 0 <= first < last < sample count.
    static double averageSpeedOnSegment(const Dive& dive, int first, int last);
    // Rebuilds the outline of the ceiling area from the samples' ceilings:
    // each run of ceilings above 0 starts from the surface at the sample
    // before it, and the outline comes back to the surface between runs.
    static void createCeilPointsFromLines(Dive& dive);
    // The depth interpolated at `timeSec` between the two samples around it;
    // the last sample's depth when no pair of samples holds the time, 0
    // without samples.
    static double getDepthAtTime(const Dive& dive, double timeSec);
};

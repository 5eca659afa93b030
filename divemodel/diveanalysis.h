#pragma once

class QString;
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
    // the one before it (0 for the first line, and when the time doesn't
    // advance or advances too little for a finite speed). The computed
    // decompression lines always; the samples too unless `onlyDeco`.
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
    // A new plan-format dive of the time range from `startSec` to `endSec`:
    // the first sample, a descent at 30 m/min to the depth at the start, the
    // samples inside the range moved to follow it, the depth at the end and an
    // ascent at 10 m/min to the surface. It keeps the gases, the water and the
    // computer name. An empty range, or a dive without samples, gives a new
    // dive.
    static Dive extractProfile(const Dive& dive, int startSec, int endSec);

    // Writes the dive with the writer of the path's suffix; false for a suffix
    // without one or a failed write.
    static bool exportDiveFile(Dive& dive, const QString& path);
    // Reads the file with the reader of its suffix into a cleared copy of the
    // dive, with its format, statistics and speeds; the dive takes it only when
    // the read succeeds, and is left as it was otherwise, with the reader's
    // reason in `reason` when one is given. Both live beside the file
    // formats, in the program's dive model only.
    static bool importDiveFile(Dive& dive, const QString& path, QString* reason = nullptr);

    // Gives every sample without a gas the gas of the sample before it (the
    // first gas at the start).
    static void fixNonDefinedGas(Dive& dive);
    // Counts the yoyos (a rise of more than 10 m followed by a descent of
    // 10 m), gives each sample and the dive the level they reach for the
    // dive's gas set and depth, marks each yoyo where the descent crosses
    // 10 m below the top of the rise, and declares the dive invalid for too
    // many yoyos, or for any yoyo when `previousYoyo` (a yoyo on an earlier
    // dive). The integer is not used.
    static void analyzeYoyos(Dive& dive, int, bool previousYoyo);
    // Raises the fast-ascent alert on the first sample where an ascent faster
    // than 15.1 m/min on average has covered half its starting depth (at
    // least 10 m on a dive deeper than 20 m).
    static void analyzeFastAscent(Dive& dive);
    // Raises the maximum-depth alert on every sample below the limit of the
    // selector: from the table of the computer's choices when `useTable`, else
    // 30 m for selectors 1 and 2 and 35 m for the others.
    static void analyzePmax(Dive& dive, int selector, bool useTable);
    // True, with the dive declared invalid, when a run of at least two
    // samples shallower than 10 cm lasts longer than `limitSec`; a run at the
    // end of the dive is not a surface interval.
    static bool findSurfaceIntervals(Dive& dive, int limitSec);
};

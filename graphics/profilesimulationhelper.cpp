#include "graphics/profilesimulationhelper.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using DepthToPressure = std::function<float(float const&)>;

// The closing steps tell the computer that no decompression is due.
constexpr double kClosingCeiling = -250.0;
// The surface step of a dive of one sample has no sample before the last.
constexpr double kOneSampleClosingTemperature = 20.0;
// A step this close to its segment's start takes the start's depth as it is.
constexpr double kSameTime = 0.00001;
// More steps than a fortnight's dive at one a second would not fit in memory
// for long: a sample time far beyond any dive is refused instead.
constexpr double kMostSteps = 14 * 24 * 3600;

// The depth in decimetres as the step's 16-bit field can hold it.
std::int16_t decimetres(double metres)
{
    using Limits = std::numeric_limits<std::int16_t>;
    return std::int16_t(std::clamp(std::trunc(metres * 10.0), double(Limits::min()), double(Limits::max())));
}

bool playable(const QList<DiveLine>& lines, double step)
{
    return std::all_of(lines.cbegin(), lines.cend(), [step](const DiveLine& line) {
        return std::isfinite(line.timeSec) && std::isfinite(line.depth) && line.timeSec / step <= kMostSteps;
    });
}

// Adds the steps of the segment from `from` to `to`, the first at the time
// reached `t`, and returns the time reached after them. A segment that the
// time reached has already passed adds nothing and leaves the time as it is,
// so that the steps stay one step apart with none missing.
double addSegmentSteps(const DiveLine& from, const DiveLine& to, double t, double step,
                       const DepthToPressure& depthToPressure, std::vector<StepSimulation>& steps)
{
    const double t0 = from.timeSec;
    const double t1 = to.timeSec;
    if (t > t1)
        return t;
    do {
        // Times before the first sample take its depth too.
        const double depth =
            t - t0 < kSameTime ? from.depth : from.depth + (to.depth - from.depth) / ((t1 - t0) / (t - t0));
        steps.push_back({t, decimetres(depth), double(depthToPressure(float(depth))), from.ambientTemp,
                         from.decoCeiling});
        t += step;
    } while (t < t1);
    return t;
}

} // namespace

void ProfileSimulationHelper::prepareSimulation(const Dive& dive, int stepMs, std::vector<StepSimulation>& steps,
                                                float surfacePressure)
{
    steps.clear();
    const QList<DiveLine>& lines = dive.lines;
    // A step that does not move the time on, or a time that is not a number,
    // would never end.
    const double step = stepMs / 1000.0;
    if (lines.isEmpty() || stepMs <= 0 || !playable(lines, step))
        return;

    double t = 0;
    double closingTemperature = kOneSampleClosingTemperature;
    if (lines.size() > 1) {
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)
            t = addSegmentSteps(lines.at(i), lines.at(i + 1), t, step, mDepthToPressure, steps);
        closingTemperature = lines.at(lines.size() - 2).ambientTemp;
    }

    const DiveLine& last = lines.last();
    const float lastPressure = mDepthToPressure(float(last.depth));
    steps.push_back({t, decimetres(last.depth), double(lastPressure), last.ambientTemp, kClosingCeiling});
    if (lastPressure > 0)
        steps.push_back({t, 0, double(surfacePressure), closingTemperature, kClosingCeiling});
}

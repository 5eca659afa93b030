// Times the statistics and the speeds of a dive of 200,000 samples (more
// than 55 hours at one sample a second) and prints the figures. Never fails
// on a timing.

#include "divemodel/diveanalysis.h"
#include "divemodel/dive.h"

#include "benchtiming.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kSampleCount = 200000;
constexpr int kDecoLineCount = 2000;
constexpr int kRuns = 5;

// `depthAt` gives the depth of sample i; temperatures, tank pressures and a
// computed ascent come along, so that every part of the statistics works.
template<typename DepthAt>
Dive benchmarkDive(DepthAt depthAt)
{
    Dive dive;
    dive.beginTime = 1700000000;
    dive.lines.reserve(kSampleCount);
    for (int i = 0; i < kSampleCount; ++i) {
        DiveLine line;
        line.timeSec = i;
        line.depth = depthAt(i);
        line.ambientTemp = 14.0 + std::cos(i / 900.0);
        line.tankPressure = quint16(i % 11 == 0 ? 0 : 230 - i / 1000);
        dive.lines.append(line);
    }
    for (int j = 0; j < kDecoLineCount; ++j) {
        DiveLine line;
        line.timeSec = kSampleCount + j * 10.0;
        line.depth = 3.0 * double((kDecoLineCount - j) / 100);
        dive.decoLines.append(line);
    }
    return dive;
}

void measure(const char* profile, Dive dive)
{
    const double statistics = bench::bestMilliseconds(kRuns, [&] { DiveAnalysis::calculateMaxTimeDepth(dive); });
    const double speeds = bench::bestMilliseconds(kRuns, [&] { DiveAnalysis::calculateSpeeds(dive, false); });
    const double both = bench::bestMilliseconds(kRuns, [&] {
        DiveAnalysis::calculateMaxTimeDepth(dive);
        DiveAnalysis::calculateSpeeds(dive, false);
    });
    std::printf("%s, %d samples + %d ascent lines: statistics %.2f ms, speeds %.2f ms, both %.2f ms "
                "(best of %d; maximum depth %.2f m, average %.2f m)\n",
                profile, kSampleCount, kDecoLineCount, statistics, speeds, both, kRuns, dive.maxDepth,
                dive.avgDepth);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    measure("Waves", benchmarkDive([](int i) { return 20.0 + 15.0 * std::sin(i / 600.0); }));
    // Every sample is a new maximum: the case that a rescan at each new
    // maximum would make quadratic.
    measure("Steady descent", benchmarkDive([](int i) { return 100.0 * i / kSampleCount; }));
    return 0;
}

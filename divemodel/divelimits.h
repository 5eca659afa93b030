#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

struct Dive;
struct DiveHeader;
struct DiveLine;

// What a dive from outside may hold. Every reader of dive files and the dive
// computer's converter refuse a dive beyond these limits, so that nothing
// absurd is stored, drawn or summed by the analyses.
namespace divelimits {

inline constexpr double kLongestTime = 2147483647.0; // s, 2^31 - 1: sample times, durations
inline constexpr double kDeepest = 11000.0;          // m, deeper than any sea
inline constexpr double kHighest = -10.0;            // m, a depth above the surface
inline constexpr double kColdest = -60.0;            // °C
inline constexpr double kHottest = 100.0;            // °C
inline constexpr double kLargestSamplePressure = 2.0e6; // mbar, beyond the deepest sea's
inline constexpr double kLargestTankPressure = 500.0;   // bar
inline constexpr double kLargestSurfacePressure = 2000.0; // mbar
inline constexpr qint64 kLatestTime = 253402300799;       // s since the epoch, 31 December 9999 UTC

// Why the values lie beyond the limits, in the user's language, naming the
// sample or the header field in words; empty when they are within them.
// Samples must also come in time order.
QString headerError(const DiveHeader& header);
QString samplesError(const QList<DiveLine>& lines);
// The header, the dive time and the samples.
QString diveError(const Dive& dive);

// Whether oxygen and helium fractions make a mixture: each within 0 to 1,
// together at most 1.
bool isMixture(double fO2, double fHe);
// Why the fractions of the named gas make no mixture; empty when they do.
QString mixtureError(const QString& gas, double fO2, double fHe);

} // namespace divelimits

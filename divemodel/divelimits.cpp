#include "divemodel/divelimits.h"

#include "divemodel/dive.h"

#include <QCoreApplication>

#include <cmath>
#include <initializer_list>
#include <optional>

namespace divelimits {

namespace {

// One value with its name in words and the bounds it must lie within.
struct Bounded
{
    const char* name;
    double value;
    double lowest;
    double highest;

    bool within() const { return value >= lowest && value <= highest; } // false for not-a-number
};

QString translated(const char* text)
{
    return QCoreApplication::translate("DiveLimits", text);
}

// Whole numbers (times in seconds, counts) in full, others to eight digits.
QString number(double value)
{
    if (std::abs(value) < 1e15 && value == std::trunc(value))
        return QString::number(qint64(value));
    return QString::number(value, 'g', 8);
}

// The first value beyond its bounds, if any.
std::optional<Bounded> firstBeyond(std::initializer_list<Bounded> values)
{
    for (const Bounded& value : values) {
        if (!value.within())
            return value;
    }
    return std::nullopt;
}

QString sampleError(qsizetype index, const DiveLine& line)
{
    const std::optional<Bounded> beyond = firstBeyond({
        {QT_TRANSLATE_NOOP("DiveLimits", "the time"), line.timeSec, 0.0, kLongestTime},
        {QT_TRANSLATE_NOOP("DiveLimits", "the depth"), line.depth, kHighest, kDeepest},
        {QT_TRANSLATE_NOOP("DiveLimits", "the deco ceiling"), line.decoCeiling, -kDeepest, kDeepest},
        {QT_TRANSLATE_NOOP("DiveLimits", "the temperature"), line.ambientTemp, kColdest, kHottest},
        {QT_TRANSLATE_NOOP("DiveLimits", "the pressure"), line.pressure, 0.0, kLargestSamplePressure},
        {QT_TRANSLATE_NOOP("DiveLimits", "the tank pressure"), double(line.tankPressure), 0.0, kLargestTankPressure},
    });
    if (!beyond)
        return QString();
    return QCoreApplication::translate("DiveLimits", "Sample %1: %2 %3 is out of range.")
        .arg(index + 1)
        .arg(translated(beyond->name), number(beyond->value));
}

} // namespace

QString headerError(const DiveHeader& header)
{
    const std::optional<Bounded> beyond = firstBeyond({
        {QT_TRANSLATE_NOOP("DiveLimits", "the begin time"), double(header.beginTime), 0.0, double(kLatestTime)},
        {QT_TRANSLATE_NOOP("DiveLimits", "the end time"), double(header.endTime), 0.0, double(kLatestTime)},
        {QT_TRANSLATE_NOOP("DiveLimits", "the maximum depth"), header.maxDepth, kHighest, kDeepest},
        {QT_TRANSLATE_NOOP("DiveLimits", "the average depth"), header.avgDepth, kHighest, kDeepest},
        {QT_TRANSLATE_NOOP("DiveLimits", "the minimum temperature"), header.minTemperature, kColdest, kHottest},
        {QT_TRANSLATE_NOOP("DiveLimits", "the maximum temperature"), header.maxTemperature, kColdest, kHottest},
        {QT_TRANSLATE_NOOP("DiveLimits", "the surface pressure"), double(header.surfacePressure), 0.0,
         kLargestSurfacePressure},
        {QT_TRANSLATE_NOOP("DiveLimits", "the total stage duration"), header.totalDecoTime, 0.0, kLongestTime},
        {QT_TRANSLATE_NOOP("DiveLimits", "the ascent time"), header.ascentTime, 0.0, kLongestTime},
    });
    if (!beyond)
        return QString();
    return QCoreApplication::translate("DiveLimits", "The dive's header: %1 %2 is out of range.")
        .arg(translated(beyond->name), number(beyond->value));
}

QString samplesError(const QList<DiveLine>& lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const DiveLine& line = lines.at(i);
        const QString error = sampleError(i, line);
        if (!error.isEmpty())
            return error;
        if (i > 0 && line.timeSec < lines.at(i - 1).timeSec)
            return QCoreApplication::translate("DiveLimits", "Sample %1 goes back in time: %2 s after %3 s.")
                .arg(i + 1)
                .arg(number(line.timeSec), number(lines.at(i - 1).timeSec));
    }
    return QString();
}

QString diveError(const Dive& dive)
{
    QString error = headerError(dive);
    if (error.isEmpty() && !(dive.maxTime >= 0.0 && dive.maxTime <= kLongestTime))
        error = QCoreApplication::translate("DiveLimits", "The dive's header: %1 %2 is out of range.")
                    .arg(translated(QT_TRANSLATE_NOOP("DiveLimits", "the dive time")), number(dive.maxTime));
    return error.isEmpty() ? samplesError(dive.lines) : error;
}

bool isMixture(double fO2, double fHe)
{
    // A sum of two fractions read from text may miss 1 by a rounding.
    return fO2 >= 0.0 && fO2 <= 1.0 && fHe >= 0.0 && fHe <= 1.0 && fO2 + fHe <= 1.0 + 1e-9;
}

QString mixtureError(const QString& gas, double fO2, double fHe)
{
    if (isMixture(fO2, fHe))
        return QString();
    const std::optional<Bounded> beyond = firstBeyond({{QT_TRANSLATE_NOOP("DiveLimits", "the oxygen fraction"), fO2, 0.0, 1.0},
                                         {QT_TRANSLATE_NOOP("DiveLimits", "the helium fraction"), fHe, 0.0, 1.0}});
    if (beyond)
        return QCoreApplication::translate("DiveLimits", "Gas \"%1\": %2 %3 is out of range.")
            .arg(gas, translated(beyond->name), number(beyond->value));
    return QCoreApplication::translate("DiveLimits", "Gas \"%1\": oxygen and helium add up to %2, more than the whole.")
        .arg(gas, number(fO2 + fHe));
}

} // namespace divelimits

#include "planner/planlimits.h"

#include "deco/dive.h"
#include "deco/zhl16.h"
#include "divemodel/dive.h"
#include "planner/planneddive.h"

#include <QCoreApplication>

#include <cmath>

namespace planlimits {

namespace {

// A reason about the point of that number, in the user's language.
QString aboutPoint(const char* source, qsizetype number)
{
    return QCoreApplication::translate("PlanificationPlan", source).arg(number);
}

} // namespace

double deepestDepth()
{
    // Stop depths are in metres whatever the water; the planner's
    // configuration is the default one.
    static const double deepest = [] {
        dive_t config;
        config.reset_config();
        return double(config.stop_depth(zhl16_t::max_stops));
    }();
    return deepest;
}

double highestTissuePressure()
{
    static const double highest = [] {
        dive_t config;
        config.reset_config();
        config.setDensityType(DensityType::salt); // the denser water
        return highestSurfacePressure / 1000.0 + double(config.water_density()) * 9.80665 * deepestDepth() / 100.0;
    }();
    return highest;
}

QString refusal(const Dive& dive)
{
    const double deepest = deepestDepth();
    double previousTime = 0.0;
    for (qsizetype i = 0; i < dive.lines.size(); ++i) {
        const DiveLine& point = dive.lines.at(i);
        const qsizetype number = i + 1;
        if (!point.hasFiniteValues())
            return aboutPoint(QT_TRANSLATE_NOOP("PlanificationPlan", "Point %1 holds a value that is not a finite number"),
                              number);
        if (point.timeSec < previousTime) {
            return i == 0 ? aboutPoint(QT_TRANSLATE_NOOP("PlanificationPlan", "Point %1 lies before the start of the dive"),
                                       number)
                          : aboutPoint(QT_TRANSLATE_NOOP("PlanificationPlan", "Point %1 lies before the point ahead of it"),
                                       number);
        }
        if (point.timeSec > longestDiveSeconds)
            return aboutPoint(
                QT_TRANSLATE_NOOP("PlanificationPlan", "Point %1 lies more than 24 hours after the start of the dive"),
                number);
        if (point.depth > deepest)
            return aboutPoint(QT_TRANSLATE_NOOP("PlanificationPlan",
                                                "Point %1 lies deeper than %2 m, the deepest stop the planner computes"),
                              number)
                .arg(deepest);
        // A little above the surface is what a computer may read there; far
        // above it no dive goes (and no number of the run table can show it).
        if (point.depth < -deepest)
            return aboutPoint(QT_TRANSLATE_NOOP("PlanificationPlan", "Point %1 lies more than %2 m above the surface"),
                              number)
                .arg(deepest);
        previousTime = point.timeSec;
    }
    return {};
}

QString refusal(const PlannedDive& dive)
{
    if (!takesSurfacePressure(dive.surfacePressureBar))
        return QCoreApplication::translate("PlanificationPlan", "The surface pressure lies outside %1 to %2 mbar")
            .arg(lowestSurfacePressure)
            .arg(highestSurfacePressure);
    return refusal(static_cast<const Dive&>(dive));
}

bool takesSurfacePressure(float bar)
{
    const double millibar = std::round(double(bar) * 1000.0);
    return std::isfinite(millibar) && millibar >= lowestSurfacePressure && millibar <= highestSurfacePressure;
}

} // namespace planlimits

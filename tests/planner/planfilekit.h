#pragma once

#include "plantestsupport.h"

#include "planner/planfile.h"
#include "planner/planlimits.h"

#include <QString>
#include <QStringList>

#include <bit>
#include <cmath>
#include <cstring>

// What the plan file tests share: plans of distinct values, a fingerprint of
// everything a plan holds, and what every plan that a file gave must be.
namespace planfilekit {

// Bytes 0 to 139 of a tissue state as they lie in memory, the two bytes of
// padding after the reduction level as zeros.
inline QByteArray tissueImage(const diver_t& tissues)
{
    QByteArray image(sizeof(diver_t), '\0');
    std::memcpy(image.data(), &tissues, sizeof(diver_t));
    image[134] = '\0';
    image[135] = '\0';
    return image;
}

// A plan of `count` dives whose tissues and settings differ from dive to
// dive and from the defaults; the points of each dive are edited, so that a
// load that kept them would show. The last dive is current.
inline void fillDistinct(PlanificationPlan& plan, int count)
{
    static const SurfaceReduction reductions[] = {reduction_none, reduction_low, reduction_high};
    for (int slot = 0; slot < count; ++slot) {
        plantest::addDive(plan, plantest::points({{0, 0}, {30, 6.5 + slot}, {150, 0}}));
        PlannedDive& dive = *plan.plannedDive(slot);
        for (int j = 0; j < 16; ++j) {
            dive.tissues.N2[j] = 0.8f + 0.03f * float(j) + 0.2f * float(slot);
            dive.tissues.He[j] = slot == 2 ? 0.01f * float(j + 1) : 0.0f;
        }
        dive.tissues.CNS = 0.05f * float(slot + 1);
        dive.tissues.helium = slot == 2 ? 1 : 0;
        dive.tissues.setReduction(reductions[slot]);
        dive.surfaceInterval = 3600 * slot + 125;
        dive.effortMode = slot == 1 ? 1 : 0;
        dive.waterType = quint8(slot == 0 ? 0 : slot + 4); // any value other than 0 is fresh water
        dive.surfacePressureBar = 0.700f + 0.150f * float(slot);
    }
}

inline QString bitsOf(float value)
{
    return QString::number(std::bit_cast<quint32>(value), 16);
}

// Everything a plan holds that a load could change, as a text: the current
// index, and for each slot its name, points, gases, format, tissues and
// settings.
inline QString fingerprint(const PlanificationPlan& plan)
{
    QStringList parts{QStringLiteral("current %1").arg(plan.current)};
    for (int slot = 0; slot < PlanificationPlan::slotCount; ++slot) {
        const PlannedDive* dive = plan.plannedDive(slot);
        if (!dive) {
            parts.append(QStringLiteral("[%1] empty").arg(slot));
            continue;
        }
        QStringList points;
        for (const DiveLine& line : dive->lines)
            points.append(QStringLiteral("%1/%2").arg(line.timeSec).arg(line.depth));
        parts.append(QStringLiteral("[%1] %2 points %3 gases %4 format %5 tissues %6 interval %7 effort %8 water %9 "
                                    "pressure %10")
                         .arg(slot)
                         .arg(dive->name, points.join(' '))
                         .arg(dive->gases.size())
                         .arg(dive->format)
                         .arg(QString::fromLatin1(tissueImage(dive->tissues).toHex()))
                         .arg(dive->surfaceInterval)
                         .arg(dive->effortMode)
                         .arg(dive->waterType)
                         .arg(bitsOf(dive->surfacePressureBar)));
    }
    return parts.join('\n');
}

// What is wrong with a plan that a file of `count` dives gave; empty when
// each dive is a new dive of its slot, with the default points, and a tissue
// state and settings that the planner takes, and the first dive is current.
inline QString loadedPlanProblem(const PlanificationPlan& plan, int count)
{
    if (plan.current != (count > 0 ? 0 : -1))
        return QStringLiteral("current %1").arg(plan.current);
    const QList<DiveLine> defaults = plantest::points({{0, 0}, {60, 20}, {600, 20}});
    for (int slot = 0; slot < PlanificationPlan::slotCount; ++slot) {
        const PlannedDive* dive = plan.plannedDive(slot);
        if ((dive != nullptr) != (slot < count))
            return QStringLiteral("slot %1 filled: %2").arg(slot).arg(dive != nullptr);
        if (!dive)
            continue;
        const QString where = QStringLiteral("dive %1: ").arg(slot + 1);
        if (dive->name != QStringLiteral("Dive %1").arg(slot + 1))
            return where + dive->name;
        if (dive->lines.size() != defaults.size())
            return where + QStringLiteral("%1 points").arg(dive->lines.size());
        for (qsizetype i = 0; i < defaults.size(); ++i)
            if (dive->lines[i].timeSec != defaults[i].timeSec || dive->lines[i].depth != defaults[i].depth)
                return where + QStringLiteral("point %1").arg(i);
        if (dive->gases.size() != 6 || dive->format != 3)
            return where + QStringLiteral("gases or format");
        if (const QString refusal = planlimits::refusal(*dive); !refusal.isEmpty())
            return where + refusal;
        const diver_t& tissues = dive->tissues;
        if (!tissues.valid() || tissues.helium > 1 || tissues.reduction > reduction_high)
            return where + QStringLiteral("tissues");
        for (int j = 0; j < 16; ++j)
            if (double(tissues.N2[j]) + double(tissues.He[j]) > planlimits::highestTissuePressure())
                return where + QStringLiteral("compartment %1 holds too much gas").arg(j + 1);
        const double millibar = std::round(double(dive->surfacePressureBar) * 1000.0);
        if (!(millibar >= planlimits::lowestSurfacePressure && millibar <= planlimits::highestSurfacePressure))
            return where + QStringLiteral("surface pressure %1").arg(dive->surfacePressureBar);
        if (dive->surfaceInterval < 0 || dive->effortMode > 1)
            return where + QStringLiteral("interval or effort");
    }
    return {};
}

} // namespace planfilekit

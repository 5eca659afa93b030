#pragma once

#include "graphics/graphview.h"
#include "graphics/profilenumbers.h"
#include "profilefixtures.h"

#include <QGraphicsScene>
#include <QTest>

#include <cmath>

// Checks of a profile view that any dive, however broken, and any navigation
// must leave true.
namespace viewchecks {

// The scene, the view's rectangle, the scales and the shown window are finite.
inline void verifyFinite(const GraphView& view)
{
    using profilefixtures::isFinite;
    using profilenumbers::isFinitePositive;
    QVERIFY2(isFinite(view.scene()->sceneRect()), "scene rectangle");
    QVERIFY(isFinite(view.sceneRect()));
    QVERIFY(isFinite(view.scene()->itemsBoundingRect()));
    const DiveProfileItem& item = *view.mProfile;
    QVERIFY(isFinitePositive(item.pixelsPerSecond()));
    QVERIFY(isFinitePositive(item.pixelsPerMeter()));
    QVERIFY(isFinitePositive(item.pixelsPerDegree()));
    QVERIFY(isFinitePositive(item.pixelsPerBar()));
    QVERIFY(std::isfinite(item.startTime()) && std::isfinite(item.endTime()));
    QVERIFY(std::isfinite(item.shownMaxDepth()));
}

} // namespace viewchecks

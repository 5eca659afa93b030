#pragma once

#include "../divemodel/diveprofiles.h"
#include "divemodel/dive.h"
#include "divemodel/diveanalysis.h"
#include "graphics/diveprofileitem.h"
#include "graphics/marker.h"

#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QRectF>

#include <algorithm>
#include <cmath>

// Dives and helpers shared by the profile tests and the paint benchmark.
namespace profilefixtures {

// The icon names the program gives the marker statics at start-up; the
// pictures come from the program's resources.
inline void setProgramIcons()
{
    const QString folder = QStringLiteral(":/TestGraphics/icons/");
    using M = MarkerType;
    using I = IconType;
    Marker::setMarkerIconFileName(M::Info, folder + "mark_info.png");
    Marker::setMarkerIconFileName(M::Warning, folder + "mark_warning.png");
    Marker::setMarkerIconFileName(M::Error, folder + "mark_error.png");
    Marker::setMarkerIconFileName(M::Gas, folder + "mark_gas.png");
    Marker::setMarkerIconFileName(M::Diver, folder + "diver.png");
    Marker::setMarkerIconFileName(M::AlertCeil, folder + "alertCeil.png");
    Marker::setMarkerIconFileName(M::AlertRR, folder + "alertRR.png");
    Marker::setIconFilename(I::OxygenTank, folder + "oxygen-tank.png");
    Marker::setIconFilename(I::AlertPmax, folder + "alertPmax.png");
    Marker::setIconFilename(I::AlertO2Hyperoxic, folder + "alertO2Hyperoxic.png");
    Marker::setIconFilename(I::AlertO2Hypoxic, folder + "alertO2Hypoxic.png");
    Marker::setIconFilename(I::AlertN2, folder + "alertN2.png");
    Marker::setIconFilename(I::AlertBattery, folder + "alertBattery.png");
    Marker::setIconFilename(I::AlertCNS, folder + "alertCNS.png");
    Marker::setIconFilename(I::AlertDensity, folder + "alertDensity.png");
    for (int slot = 0; slot < Marker::kGasIconCount; ++slot)
        Marker::setGasIconFilename(slot, folder + QStringLiteral("gas%1.png").arg(slot + 1));
}

// A dive of the given samples and computed decompression lines, (time s, depth m) each.
inline Dive diveOf(const QList<QPointF>& samples, const QList<QPointF>& decoLines = {})
{
    Dive dive;
    dive.lines = testkit::diveLines(samples);
    dive.decoLines = testkit::diveLines(decoLines);
    return dive;
}

inline DiveGas gas(int o2Percent, int gasClass = 0)
{
    DiveGas mix;
    mix.setFractionO2(o2Percent / 100.0);
    mix.setLegacyGasClass(gasClass);
    return mix;
}

// Time (s) and depth (m) of a 45 m decompression dive of 48 minutes: a descent
// at 29 m/min, the bottom, an ascent that starts at 24 m/min, stops at 21, 9,
// 6 and 3 m.
inline const QList<QPointF>& decoWaypoints()
{
    static const QList<QPointF> points = {{0, 0},     {93, 45},   {1500, 44}, {1520, 36}, {1640, 21},
                                          {1760, 21}, {1840, 9},  {2000, 9},  {2020, 6},  {2300, 6},
                                          {2320, 3},  {2900, 3},  {2915, 0}};
    return points;
}

// The depth at time t of the deco dive whose bottom lasts `extraBottom` seconds longer.
inline double waypointDepth(double t, double extraBottom)
{
    const QList<QPointF>& points = decoWaypoints();
    const double bottomEnd = points[2].x();
    if (t > points[1].x() && t <= bottomEnd + extraBottom) // the long bottom
        return points[1].y() + (points[2].y() - points[1].y()) * (t - points[1].x()) / (bottomEnd + extraBottom - points[1].x());
    if (t > bottomEnd + extraBottom)
        t -= extraBottom;
    for (qsizetype k = 1; k < points.size(); ++k) {
        if (t <= points[k].x()) {
            const QPointF& a = points[k - 1];
            const QPointF& b = points[k];
            return a.y() + (b.y() - a.y()) * (t - a.x()) / (b.x() - a.x());
        }
    }
    return 0;
}

// The deco dive as a Pelavix computer logs it: `sampleCount` samples
// `period` seconds apart; a longer dive has a longer bottom. The depth
// wiggles by 3 dm at about 6 m/min, as a real sensor's does. Air, then Nx50
// from 21 m and oxygen from 6 m; temperature, tank pressure, ceilings;
// fast-ascent alerts for the first 20 s of the ascent, hyperoxic alerts at 6 m
// on oxygen and a battery warning.
inline Dive decoDive(int sampleCount = 1458, double period = 2.0)
{
    constexpr double kWiggle = 2 * M_PI / 20; // once every 20 s
    Dive dive;
    dive.name = QStringLiteral("Epave du Donator");
    dive.computerModel = 2;
    dive.format = 2;
    dive.gases = {gas(21), gas(50), gas(100)};
    const double duration = (sampleCount - 1) * period;
    const double extraBottom = std::max(0.0, duration - decoWaypoints().last().x());
    const double ascent = decoWaypoints()[2].x() + extraBottom; // the ascent begins
    dive.lines.reserve(sampleCount);
    for (int i = 0; i < sampleCount; ++i) {
        const double t = i * period;
        const double sinceAscent = t - ascent;
        DiveLine line;
        line.timeSec = t;
        const double depth = waypointDepth(t, extraBottom);
        line.depth = depth > 1 ? depth + 0.3 * std::sin(t * kWiggle) : depth;
        line.ambientTemp = 21.0 - 9.0 * std::min(1.0, depth / 30.0);
        line.tankPressure = quint16(200 - 140 * t / duration);
        line.gasIndex = sinceAscent < 200 ? 0 : (sinceAscent < 510 ? 1 : 2);
        const double fO2 = dive.gases[line.gasIndex].fO2;
        line.ppO2 = fO2 * (1.0 + line.depth / 10.0);
        if (sinceAscent > -300 && sinceAscent < 1400)
            line.decoCeiling = std::min(18.0, std::max(0.0, std::floor((depth - 3.0) / 3.0) * 3.0));
        line.battery = 3600;
        quint16 alerts = 0;
        if (sinceAscent > 0 && sinceAscent <= 20)
            alerts |= 1u << 10; // fast ascent
        if (line.ppO2 > 1.59)
            alerts |= 1u << 2; // hyperoxic
        if (sinceAscent > 900 && sinceAscent < 920)
            alerts |= 1u << 8; // battery
        line.pelavixAlerts = alerts;
        dive.lines.append(line);
    }
    DiveAnalysis::calculateMaxTimeDepth(dive);
    DiveAnalysis::calculateSpeeds(dive, false);
    DiveAnalysis::createCeilPointsFromLines(dive);
    return dive;
}

// Whether a pixel of the image within the region has the colour.
inline bool regionHas(const QImage& image, const QRect& region, const QColor& colour)
{
    const QRect inside = region & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (image.pixelColor(x, y) == colour)
                return true;
        }
    }
    return false;
}

inline bool isFinite(const QRectF& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
        && std::isfinite(rect.height());
}

// The pixels of an image that have the colour.
inline int pixelsOf(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    }
    return count;
}

// Renders the scene's rectangle into an image of that size, on the
// background that the profile view gives its scene.
inline QImage render(QGraphicsScene& scene)
{
    const QRectF area = scene.sceneRect();
    QImage image(area.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(242, 242, 230));
    QPainter painter(&image);
    scene.render(&painter, QRectF(QPointF(0, 0), area.size()), area);
    return image;
}

// A profile item showing a dive in a scene of the item's size.
struct ShownProfile
{
    QGraphicsScene scene;
    DiveProfileItem* item; // the scene owns it
    Dive dive;

    explicit ShownProfile(Dive shown, const ShowItemsState& state = ShowItemsState(), bool editable = false,
                          QSizeF size = QSizeF(690, 320), DiveProfileItem* profile = new DiveProfileItem)
        : item(profile)
        , dive(std::move(shown))
    {
        scene.setSceneRect(QRectF(QPointF(0, 0), size));
        scene.addItem(item);
        item->mEditable = editable;
        item->resize(scene.sceneRect());
        item->showItems(state);
        item->setDiveProfile(&dive);
    }

    QImage render() { return profilefixtures::render(scene); }

    // The dive point of sample `index`, or null.
    DivePoint* point(int index) const
    {
        for (QGraphicsItem* child : item->childItems()) {
            if (child->type() == DivePoint::Type && static_cast<DivePoint*>(child)->mLineInfo.index == index)
                return static_cast<DivePoint*>(child);
        }
        return nullptr;
    }
};

} // namespace profilefixtures

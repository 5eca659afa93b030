#pragma once

#include "graphics/curvereduction.h"

#include <QPolygonF>

class DiveProfileItem;
class QPainter;
class QStaticText;
struct Dive;

// One paint pass of a profile item: draws, in order, the title, the axes, the
// grid, the filled profile and the curves, the marks, the deco ascent and
// ceiling, the markers, the effort icon and the invalid-dive banner. Each step
// keeps the painter state the previous one left unless it sets its own. It
// only draws: the item's child icons are built elsewhere.
class ProfilePainter
{
public:
    ProfilePainter(const DiveProfileItem& item, QPainter& painter, const QStaticText& title);

    void paint();

private:
    void drawTitle();
    void drawAxes();
    void measureDigit();
    void drawDepthGrid();
    void drawTimeGrid();
    void buildPoints();
    void drawFilledProfile();
    void drawDepthCurve();
    void drawQuelmAlerts();
    void drawPelavixAlertCircles();
    void drawGasChangeCircles();
    void drawTemperatureCurve();
    void drawTankCurve();
    void drawCurveLabels();
    void drawMaxDepth();
    void drawPoints();
    void drawYoyoMarks();
    void drawDecoAscent();
    void drawCeilingTracking();
    void drawCeiling();
    void drawStopLines();
    void drawMarkers();
    void drawEffortIcon();
    void drawInvalidBanner();

    void drawCircle(const QPointF& centre, double diameter);
    PixelColumns columns() const;

    const DiveProfileItem& mItem;
    QPainter& mPainter;
    const QStaticText& mTitle;
    const Dive* mDive;

    int mDigitWidth = 0;
    int mDigitHeight = 0;
    QPolygonF mSamplePoints;
    QPolygonF mTemperaturePoints;
    QPolygonF mTankPoints;
    QPolygonF mDecoPoints;
    QPolygonF mCeilTrackingPoints;
};

#pragma once

#include "graphics/curvereduction.h"
#include "graphics/profilemapping.h"
#include "graphics/profilemarks.h"
#include "graphics/profilestyle.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QString>

class DiveProfileItem;
class QPainter;
class QStaticText;
struct Dive;
struct DiveLine;

// One paint pass of a profile item: draws, in order, the title, the axes, the
// grid, the filled profile and the curves, the marks, the deco ascent and
// ceiling, the markers, the effort icon and the invalid-dive banner. Each step
// keeps the painter state the previous one left unless it sets its own. It
// only draws: the item's child icons are built elsewhere.
//
// The samples are walked once, feeding the curves (reduced to what the
// pixels show) and collecting the marks and labels; marks that would land on
// a pixel already marked the same way, or far outside the graph, are left out.
class ProfilePainter
{
public:
    ProfilePainter(const DiveProfileItem& item, QPainter& painter, const QStaticText& title);

    void paint();

private:
    // An alert of the first computer family: a circle in the colour of the
    // sample's speed, or none, and an icon.
    struct QuelmMark
    {
        bool circled = true;
        QPointF circle;
        profilestyle::Level level = profilestyle::Normal;
        QPointF imageAt;
        const QImage* image = nullptr;
    };

    void drawTitle();
    void drawAxes();
    void measureDigit();
    void drawDepthGrid();
    void drawTimeGrid();
    void scanSamples();
    void collectQuelmMarks(int i, const DiveLine& line, const DiveLine& previous, const QPointF& point,
                           const QPointF& previousPoint);
    void drawFilledProfile();
    void drawDepthCurve();
    void drawQuelmMarks();
    void drawCircles(const QList<QPointF>& centres, const QPen& pen);
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
    void drawLevelLines(const QList<QList<QLineF>>& lines, QPen pen, QColor (*colourOf)(profilestyle::Level));
    bool isWorthMarking(const QPointF& at) const;

    const DiveProfileItem& mItem;
    QPainter& mPainter;
    const QStaticText& mTitle;
    const Dive* mDive;
    ProfileMapping mMap;
    PixelColumns mColumns;
    QRectF mMarkArea; // marks anchored outside it cannot reach the graph

    int mDigitWidth = 0;
    int mDigitHeight = 0;

    QPolygonF mOutline;
    QList<QList<QLineF>> mDepthLines;
    QPolygonF mTemperatureLine;
    QList<QList<QLineF>> mTankLines;
    QList<QLineF> mDots;
    QList<QuelmMark> mQuelmMarks;
    QList<QPointF> mAlertCircles;
    QList<QPointF> mGasCircles;
    PixelSet mMarked;
    QList<profilemarks::CurveLabel> mLabels;
    bool mQuelmMaxDepthShown = false;
    int mMaxDepthSample = -1;
    QPointF mMaxDepthPoint;
    QPolygonF mDecoPoints;
};

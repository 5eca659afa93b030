#pragma once

#include "graphics/curvereduction.h"
#include "graphics/profileclip.h"
#include "graphics/profilemapping.h"
#include "graphics/profilemarks.h"
#include "graphics/profilestyle.h"
#include "graphics/showitemsstate.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <optional>

class DiveProfileItem;
class QPainter;
class QStaticText;
struct Dive;
struct DiveLine;

// What one walk over a dive's samples and lists gives the painting, in item
// coordinates: the curves reduced to what the pixels show and cut to what
// the device can show, and the marks and labels. It holds for the item's
// mapping, the shown items and the device it was made for (its key); a paint
// that finds them unchanged draws it again without walking the dive, so that
// repainting a few pixels (the cursor line moving) costs a few pixels.
struct ProfileTrace
{
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

    struct Label
    {
        QPointF at;
        QString text;
    };

    struct YoyoMark
    {
        QPointF at;
        int level = 0;
        int number = 1;
    };

    // Everything the trace was made from that a paint can tell has changed.
    struct Key
    {
        const Dive* dive = nullptr;
        const void* samples = nullptr;
        qsizetype sampleCount = 0;
        qsizetype listSizes[5] = {};
        int dtrStartIndex = -1;
        int computerModel = 0;
        int format = 0;
        int invalidReason = 0;
        std::optional<ProfileMapping> mapping;
        QRectF clip;
        ShowItemsState shown;
        bool editable = false;
        double ascentLimit = 0;
        double descentLimit = 0;
        QTransform device;
        QRectF deviceRect;

        bool operator==(const Key&) const = default;
    };

    // The dive's samples changed in place: the next paint walks them again.
    void invalidate() { valid = false; }

    bool valid = false;
    Key key;

    // The gradient of the filled profile on the device's pixels, when they are
    // the item's; it depends on the graph's size only, so it outlives the trace.
    struct FillTexture
    {
        QImage image;
        QRect area; // in item coordinates
        QSizeF graph;
        int invalidReason = 0;
    } fill;

    QPolygonF outline; // the filled profile
    QList<profileclip::LinesByLeft> depthLines; // by speed level
    QList<QuelmMark> quelmMarks;
    QList<QPointF> alertCircles;
    QList<QPointF> gasCircles;
    QList<profileclip::PolylinePiece> temperatureLine;
    QList<profileclip::LinesByLeft> tankLines; // by tank level
    QList<profilemarks::CurveLabel> curveLabels;
    std::optional<QPointF> maxDepthAt;
    QString maxDepthText;
    profileclip::LinesByLeft dots;
    QList<YoyoMark> yoyoMarks;
    QList<profileclip::PolylinePiece> decoPath;
    QList<QPointF> decoTanks; // where the oxygen tank icon of a gas switch goes
    QList<Label> decoLabels;
    bool decoStopLabelled = false; // the ascent has stops, labelled or out of sight
    QList<profileclip::PolylinePiece> ceilingTracking;
    QPolygonF ceiling;
    QPointF ceilingEnd;
    QList<profileclip::PolylinePiece> stopPath;
    QList<Label> stopLabels;
};

// One paint pass of a profile item: draws, in order, the title, the axes, the
// grid, the filled profile and the curves, the marks, the deco ascent and
// ceiling, the markers, the effort icon and the invalid-dive banner. Each step
// keeps the painter state the previous one left unless it sets its own. It
// only draws: the item's child icons are built elsewhere.
//
// The samples are walked once per trace (see ProfileTrace), feeding the
// curves (reduced to what the pixels show) and collecting the marks and
// labels; marks that would land on a pixel already marked the same way, or
// far outside the graph, are left out. Each pass draws only what reaches the
// exposed rectangle, and every loop of it is bounded by that rectangle or by
// the trace, whatever the dive and the scene.
class ProfilePainter
{
public:
    // `exposed`: the part of the item to paint, in item coordinates.
    ProfilePainter(const DiveProfileItem& item, QPainter& painter, const QStaticText& title, ProfileTrace& trace,
                   const QRectF& exposed);

    void paint();

private:
    ProfileTrace::Key traceKey() const;
    void trace();
    void traceSamples();
    void updateFillTexture();
    void collectQuelmMarks(int i, const DiveLine& line, const DiveLine& previous, const QPointF& point,
                           const QPointF& previousPoint, PixelSet& marked, bool& maxDepthShown);
    void traceYoyoMarks();
    void traceDecoAscent();
    void traceCeilingTracking();
    void traceCeiling();
    void traceStopLines();

    void drawTitle();
    void drawAxes();
    void measureDigit();
    void drawDepthGrid();
    void drawTimeGrid();
    QBrush profileGradient() const;
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

    // Drawing that skips what cannot reach the exposed rectangle.
    bool reaches(const QRectF& bounds) const;
    void drawCircle(const QPointF& centre, double diameter);
    void drawLines(const profileclip::LinesByLeft& lines, double reach);
    void drawLevelLines(const QList<profileclip::LinesByLeft>& lines, QPen pen,
                        QColor (*colourOf)(profilestyle::Level));
    // The runs of the pieces' segments that reach the exposed rectangle.
    void drawPolyline(const QList<profileclip::PolylinePiece>& pieces, double reach);
    void drawText(const QPointF& at, const QString& text);
    void drawImage(const QPointF& at, const QImage& image);
    bool isWorthMarking(const QPointF& at) const;
    QPointF labelPlace(const QPointF& point, const QPointF& offset, const QString& text) const;
    ProfileTrace::Label labelBesideStop(const QPointF& stop, QString text) const;

    const DiveProfileItem& mItem;
    QPainter& mPainter;
    const QStaticText& mTitle;
    ProfileTrace& mTrace;
    const Dive* mDive;
    ProfileMapping mMap;
    QRectF mDeviceRect; // what the device can show, in item coordinates
    QRectF mExposed;    // what this pass paints, within it
    QRectF mCutArea;    // what the trace keeps of the curves
    QRectF mMarkArea;   // marks anchored outside it cannot reach the graph

    int mDigitWidth = 0;
    int mDigitHeight = 0;
};

#pragma once

#include "cordale_export.h"
#include "divemodel/dive.h"
#include "graphics/divepoint.h"
#include "graphics/marker.h"
#include "graphics/profileicons.h"
#include "graphics/profilemapping.h"
#include "graphics/profilepainter.h"
#include "graphics/profiletitle.h"
#include "graphics/showitemsstate.h"

#include <QGraphicsObject>
#include <QIcon>
#include <QList>
#include <QRectF>
#include <QStaticText>
#include <QString>

#include <functional>
#include <utility>

// One change of a planned dive's points that can be undone. A move keeps
// the sample's time and depth, not the point's place: undoing it after a
// zoom, a pan or a resize still gives the sample back its values.
struct PointUndoRecord
{
    static constexpr int added = 0;
    static constexpr int moved = 1;

    int kind = added;
    DivePoint* point = nullptr; // not owned; records never outlive their point
    double time = 0;            // s, of the sample when it was created or before the move
    double depth = 0;           // m
};

// The depth-over-time profile of one dive in a profile view's scene. The item
// never owns the dive: its owner re-points the item before destroying it.
// Every scale stays finite and positive, whatever the dive and the item's size.
class CORDALE_EXPORT DiveProfileItem : public QGraphicsObject
{
    Q_OBJECT

public:
    enum class Axis { Time = 0, Depth = 1 };

    DiveProfileItem();
    ~DiveProfileItem() override;

    static void setLog(const std::function<void(const QString&)>& callback);
    static void setEffortIconResource(const QString& path);

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    QRectF boundingRect() const override;

    // Shows `dive` (null allowed), fitted to the item; drops the markers.
    void setDiveProfile(Dive* dive);
    void resize(const QRectF& rect);
    // Fits the whole dive again, keeping the undo list and the points.
    void fitAll();
    // After an outside change of the dive: clears the undo list, fits, rebuilds the points.
    void update();
    // The fit computation alone, without moving points or repainting.
    void internalFitAll();
    void updateTitle();
    void internalUpdateTitle();
    void showItems(const ShowItemsState& state);
    void setItemFlag(bool ShowItemsState::*flag, bool on);
    void setShowDivePoints(bool show);
    void showDivePoints(bool show);
    // A factor above 1 shows more (zooms out) on the depth axis and less on
    // the time axis, around the time under `x`. Factors that are not finite
    // and positive, and zooms that would leave a scale that is not, change nothing.
    void zoom(Axis axis, double factor, double x);
    void pan(double dx);

    int xpositionToTime(double x) const;
    // The item x of a time in seconds, where the profile draws it.
    double timeToXposition(int time) const;
    double ypositionToDepth(double y) const;
    QPointF timeDepthToGraphCoordinates(double t, double d) const;
    QPointF diveLineToGraphCoordinates(const DiveLine& line, QPointF* temperaturePoint = nullptr,
                                       QPointF* tankPoint = nullptr) const;
    bool pointInRect(const QPointF& p) const;

    // The points of a planned dive (edit mode only). The first sample's
    // point is always read-only: nothing moves, selects or precedes it.
    void createDivePoints();
    void updateDivePoints();
    // The drag constraint of the point of sample info.index: whole seconds,
    // half metres, within the speed limits, and never before the previous
    // sample nor after the next one.
    QPointF updateDivePoint(DiveLineInfo& info, QPointF p);
    // The release hook of the points: records the move of `point` of this
    // item with the sample's time and depth noted at the press, which an undo
    // gives back; `oldPos`, the place the point had then, is not used.
    void onDivePointMoved(DivePoint* point, const QPointF& oldPos);
    static QString divePointToolTip(int index, const DiveLine& line);

    // Point editing of a planned dive, in edit mode. Every change is written
    // into the dive's samples, whose speeds are recomputed.
    // Inserts a sample and its movable point in time order, after the first
    // sample and at 0 m or deeper; emits onAddDivePoint(). Non-finite values
    // change nothing.
    void addDivePoint(double time, double depth);
    // At the time and depth of an item point, as a double-click inserts.
    void addDivePoint(QPointF p);
    // Midway between sample `index` and the next one; after the last sample,
    // 30 s later at the same depth.
    void addDivePointAfter(int index);
    // Removes a point of this item and its sample, unless it is the dive's
    // only one; the point is freed. False when nothing was removed.
    bool deleteDivePoint(DivePoint* point);
    // Removes the selected points and their samples (never the first sample)
    // and rebuilds the points.
    void deleteSelectedPoints();
    DivePoint* getDivePointAtIndex(int index) const;
    void modifyDepthOfDivePoint(int index, double depth);
    // Keeps `time` between the neighbours' times and writes the kept value
    // back; true when it had to be changed. The first sample's time is not
    // changed here (false).
    bool modifyTimeOfDivePoint(int index, double& time);
    // Sets the gas of sample `index`, which has a point; no repaint, but the
    // next one shows the change.
    void modifyGasOfDivePoint(int index, int gas);
    // Selects the points inside the scene rectangle; the others keep their state.
    void selectPointsInRect(const QRectF& rect);
    int nbSelectedPoints() const;
    // The sample indices of two selected points, lower first; (index, -1)
    // with one selected point, (-1, -1) with none.
    std::pair<int, int> getSelectedPair() const;
    // Undoes the newest insertion or move; a move runs the drag constraint
    // and signals like a drag. True when nothing is left to undo.
    bool undoLastPointChange();

    // Markers pinned to a time and depth of the dive; ids are unique within
    // the item. Zooming, panning and resizing place them again.
    int addMarkerAt(double time, bool active, MarkerType type, const QString& text);
    // Pins the marker to the time (within the dive) and depth (0 or more),
    // then places every marker and repaints; nothing for an unknown id or a
    // dive without samples.
    void setMarkerAt(int id, double time, double depth);
    void UpdateMarkers();
    void removeMarker(int id);
    // The topmost active marker whose image covers the item point, or null.
    Marker* getMarkerAtPosition(const QPointF& point);
    // Where a marker's image is drawn: its hot spot on its place, but never
    // over the title.
    QPointF markerTopLeft(const Marker& marker) const;

    // After the dive's computed ascent and ceilings changed in place (a
    // planner computed the dive again): the item draws them anew.
    void computedLinesChanged();
    // Appends a line to the dive's computed ascent, which then ends the shown
    // time window, or to its ceiling tracking curve, and repaints; nothing
    // without a dive.
    void addDecoLine(const DiveLine& line);
    void addCeilTrackingLine(const DiveLine& line);

    // The mapping of the scales and the graph area, as every paint uses it.
    ProfileMapping mapping() const;
    Dive* dive() const { return mDive; }
    const QRectF& graphRect() const { return mGraphRect; }
    double graphBottom() const { return mGraphBottom; }
    const QRectF& clipRect() const { return mClipRect; }
    double pixelsPerSecond() const { return mPixelsPerSecond; }
    double pixelsPerMeter() const { return mPixelsPerMeter; }
    double pixelsPerDegree() const { return mPixelsPerDegree; }
    double pixelsPerBar() const { return mPixelsPerBar; }
    double shownMaxDepth() const { return mShownMaxDepth; }
    double startTime() const { return mStartTime; }
    double endTime() const { return mEndTime; }
    const QString& title() const { return mTitle; }
    // The title's line as it is laid out, centred at the item's top.
    const QSizeF& titleSize() const { return mTitleSize; }
    const ShowItemsState& shownItems() const { return mShowItems; }
    const QList<Marker>& markers() const { return mMarkers; }
    const QList<PointUndoRecord>& undoList() const { return mUndoList; }
    // The gas and alert icons over the profile, in stacking order.
    const QList<QGraphicsPixmapItem*>& icons() const { return mIcons.items(); }

    bool mEditable = false;

signals:
    void onAddDivePoint();
    void onUpdateDivePoint(int index);

protected:
    // Left: inserts a point there; middle: fits the whole dive.
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override;

private:
    QRectF mRect{0, 0, 200, 100};
    struct Margins
    {
        int left = 50;
        int top = 30;
        int right = 40;
        int bottom = 50;
    } mMargins;
    QRectF mGraphRect;
    double mPixelsPerSecond = 1.0;
    double mPixelsPerMeter = 1.0;
    double mPixelsPerDegree = 1.0;
    double mPixelsPerBar = 1.0;
    double mBottomReserve = 40.0;
    QRectF mClipRect;
    double mGraphBottom = 0;
    double mShownMaxDepth = 0;
    double mStartTime = 0;
    double mEndTime = 0;
    Dive* mDive = nullptr;
    QString mTitle;
    // What the title was last fitted from.
    QString mTitleName;
    QList<profiletitle::Figure> mTitleFigures;
    double mTitleRoom = -1;
    QSizeF mTitleSize;

public:
    int mPlanningTitle = 0;
    bool mEffortMode = false;

private:
    QList<Marker> mMarkers;
    QList<PointUndoRecord> mUndoList;
    ShowItemsState mShowItems;

    QStaticText mTitleText;
    ProfileIcons mIcons{this};
    ProfileTrace mTrace;

public:
    static std::function<void(const QString&)> mLogCallback;
    static QIcon effortIcon;
    static double vascSpeedLimit; // m/min
    static double vdscSpeedLimit;

private:
    void zoomDepth(double factor);
    void zoomTime(double factor, double x);
    // The mapping changed: points and icons follow, and the scene repaints.
    void mappingChanged();
    void repaintScene();
    double timeAt(double x) const;

    // Point editing (diveprofileediting.cpp).
    QList<DivePoint*> divePoints() const;
    DivePoint* createDivePoint(int index, bool readOnly);
    // Where the point of a sample goes: its place on the graph, or far off
    // any screen when that is not finite.
    QPointF divePointPosition(const DiveLine& line) const;
    // Moves the point onto its sample without running the constraint, and
    // refreshes its tool tip.
    void placeDivePoint(DivePoint* point, const DiveLine& line);
    // The whole second and the half metre under an item point, the depth at
    // most that of the graph bottom.
    std::pair<double, double> timeDepthAt(const QPointF& p) const;
    // The drag constraint past the conversion from the item point.
    QPointF constrainDivePoint(DiveLineInfo& info, double time, double depth);
    // The samples changed: speeds, points, icons and the scene follow.
    void samplesChanged();
    void dropUndoRecordsOf(const DivePoint* point);
    void keepFirstPointReadOnly();
    // Collects the gas and alert icons again after the dive, its samples or
    // the shown items changed, and places them; painting only draws. The
    // next paint walks the samples again too.
    void rebuildIcons();
    void placeIcons();
};

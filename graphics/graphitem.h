#pragma once

#include "cordale_export.h"
#include "divemodel/dive.h"
#include "graphics/diveprofileitem.h"
#include "graphics/marker.h"

#include <QGraphicsItem>
#include <QLineF>
#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QString>

class ProfileMapping;

// The earlier form of the profile item: a plain graphics item that draws one
// dive with a grid, a filled depth curve coloured by the vertical speed, the
// deco ceiling, temperatures and marker icons, and that pans, zooms and
// keeps markers. The program uses DiveProfileItem; this one stays in the
// library's interface. It never owns the dive, whose owner re-points it
// before destroying the dive. Every scale stays finite and positive,
// whatever the dive and the item's size.
class CORDALE_EXPORT GraphItem : public QGraphicsItem
{
public:
    using Axis = DiveProfileItem::Axis;

    GraphItem();

    QRectF boundingRect() const override;
    // The grid always; the dive, when one is shown.
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    void resize(const QRectF& rect);
    // Shows the whole of `dive` (null: none) with a marker at each gas switch
    // and at each sample with an alert; the markers of the previous dive go.
    void setDiveProfile(Dive* dive);
    // The scales and the drawn points of the shown time window.
    void UpdateDiveProfile();
    void UpdateMarkers();
    // Time: a factor above 1 shows a shorter window, around the time under x
    // in zoom mode 1, from time 0 in any other. Depth: a factor above 1 gives
    // the curve less height. Factors that are not finite and positive, and
    // zooms that would leave no window or no curve height, change nothing.
    void zoom(Axis axis, double factor, double x);
    // Moves the window by dx pixels, as long as it stays within the dive.
    void pan(double dx);
    int xpositionToTime(double x) const;
    double timeToXposition(int time) const;
    double ypositionToDepth(double y) const;
    // Whether a point lies in the sensitive area: from the graph's top left,
    // as wide as the curve, and as high as the graph bottom's coordinate.
    bool pointInRect(const QPointF& p) const;
    // Appends a computed decompression line and stretches the window to the dive's end.
    void addDecoLine(const DiveLine& line);
    // Sample dots, temperatures, the deco ceiling and the marker icons.
    void showItems(bool points, bool temperature, bool deco, bool markers);

    // Markers pinned to a time of the dive; ids are unique within the item.
    int addMarkerAt(double time, bool active, MarkerType type, const QString& text);
    // Pins the marker to the time, held within the dive, and the depth, or to
    // the profile's depth at that time when the depth is negative; nothing
    // for an unknown id, a time that is not finite or a dive without samples.
    void setMarkerAt(int id, double time, double depth);
    void removeMarker(int id);
    void activateMarker(int id, bool active);
    Marker* getMarker(int id);
    // The first marker less than 10 px away in x and in y, or null.
    Marker* getMarkerAtPosition(const QPointF& point);
    // A gas marker at each switch to another gas, the first gas included.
    void setGasMarkers();
    // One alert marker at each sample with an alert, of its first alert group.
    void setAlertMarkers();
    void updateTitle();

    // The ascent speed (m/min) beyond which the curve is red.
    static double getSpeedTooFast();
    // Keeps speeds above 10 m/min, the limit of the warning colour.
    static void setSpeedTooFast(double speed);

    // 1 (the default): time zooms keep the time under the cursor; any other
    // value: they start the window at time 0.
    void setZoomMode(int mode);
    int zoomMode() const { return mZoomMode; }

    Dive* dive() const { return mDive; }
    const QString& title() const { return mTitle; }
    const QRectF& graphRect() const { return mGraphRect; }
    double pixelsPerSecond() const { return mPixelsPerSecond; }
    double pixelsPerMeter() const { return mPixelsPerMeter; }
    double pixelsPerDegree() const { return mPixelsPerDegree; }
    double startTime() const { return mStartTime; }
    double endTime() const { return mEndTime; }
    const QList<Marker>& markers() const { return mMarkers; }

    static double sSpeedTooFast;

private:
    struct Label
    {
        QPointF at;
        QString text;
    };

    // Pixels kept free below the curve, unless the depth zoom keeps more.
    static constexpr double kMinBottomReserve = 20.0;

    void layOut(const QRectF& rect);
    double curveWidth() const;
    double curveHeight() const;
    // The dive's maximum time, 0 without a dive or for one that is not finite.
    double diveEnd() const;
    ProfileMapping mapping() const;
    double timeAt(double x) const;
    bool zoomTime(double factor, double x);
    bool zoomDepth(double factor);
    // After the window or the scales changed: points, markers and a repaint.
    void windowChanged();
    void rebuildPoints();
    int nextMarkerId() const;
    // Time within the dive, depth 0 or more or else the profile's.
    void pin(Marker& marker, double time, double depth) const;
    void appendMarker(int id, MarkerType type, const QString& text, const DiveLine& line);

    void drawTitle(QPainter& painter) const;
    void drawGrid(QPainter& painter) const;
    void drawDive(QPainter& painter) const;
    void drawAxes(QPainter& painter) const;
    void drawMarkers(QPainter& painter) const;

    QRectF mRect{0, 0, 200, 100};
    struct Margins
    {
        int left = 50;
        int top = 30;
        int right = 30;
        int bottom = 50;
    } mMargins;
    QRectF mGraphRect;
    double mBottomReserve = kMinBottomReserve;
    Dive* mDive = nullptr;
    double mMaxDepth = 0; // m, rounded up
    double mPixelsPerSecond = 1.0;
    double mPixelsPerMeter = 1.0;
    double mPixelsPerDegree = 1.0;
    double mStartTime = 0; // s
    double mEndTime = 0;
    QString mTitle;
    QList<Marker> mMarkers;
    bool mShowPoints = false;
    bool mShowTemperature = true;
    bool mShowDeco = true;
    bool mShowMarkers = true;
    int mZoomMode = 1;

    // What paint draws, rebuilt by UpdateDiveProfile.
    QPolygonF mCurveArea;
    QList<QList<QLineF>> mSpeedSegments; // by colour level
    QPolygonF mCeilingArea;
    QList<QLineF> mDots;
    QList<Label> mTemperatures;
    bool mHasMaxDepth = false;
    QPointF mMaxDepthPoint;
    double mMaxDepthValue = 0;
};

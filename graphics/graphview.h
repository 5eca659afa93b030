#pragma once

#include "cordale_export.h"
#include "divemodel/dive.h"
#include "graphics/diveprofileitem.h"
#include "graphics/showitemsstate.h"

#include <QGraphicsView>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

class QGestureEvent;
class QGraphicsLineItem;
class QGraphicsRectItem;
class QGraphicsScene;
class QMenu;
class TwoFingersPanGesture;
class TwoFingersPinchGesture;

// The widget that shows one dive profile: pan with the middle button or a
// horizontal wheel, zoom with the wheel (Ctrl for depth), a time cursor that
// follows the mouse, a Ctrl-drag band, a Shift-drag time range and file drops.
class CORDALE_EXPORT GraphView : public QGraphicsView
{
    Q_OBJECT

public:
    explicit GraphView(QWidget* parent = nullptr);

    // Shows `dive` (not owned, null allowed) and hides the selection shading.
    void setDiveProfile(Dive* dive);
    Dive* getDiveProfile();
    Dive* getDiveProfile() const;
    void showItems(const ShowItemsState& state);
    // The chosen time range in seconds, start first; (-1, -1) before any.
    std::pair<int, int> getSelection() const;
    void enableMultiSelect(bool on);
    // Two-finger pan and pinch on a touch screen: true grabs the gestures on
    // the viewport, where the touches arrive, false lets them go.
    void enableTouchScreen(bool on);

    // The samples around `time` and the values between them, from the samples
    // or else from the computed ascent; false, and `out` untouched, when no
    // pair brackets the time.
    bool getInfosOnPosition(QPointF point, int time, DivePosition& out) const;
    // The HTML read-out of the position at `time`, with the selected range
    // while it is shown; empty when no sample pair brackets the time.
    QString getInfosOnPosition(QPointF point, int time) const;
    // 0: the shading from the cursor line to the range-end line; any other
    // value: the band from the press point to the moving corner.
    void updateSelection(short mode);

    // A pan moves the window with finger 1, a pinch zooms time, or depth when
    // the fingers lie one above the other; only updates after a gesture's
    // start act, and nothing without a dive. Always true.
    bool gestureEvent(QGestureEvent* event);
    void panCustomTriggered(TwoFingersPanGesture* gesture);
    void pinchCustomTriggered(TwoFingersPinchGesture* gesture);

    DiveProfileItem* mProfile = nullptr;
    QGraphicsRectItem* mSelectionRect = nullptr;
    // Fills the context menu; the menu is shown only when it returns true.
    std::function<bool(QMenu&)> mContextMenuFiller;
    bool mSelectTimeRange = false;

signals:
    void mouseMove(QPointF pScenePoint, int pTime);
    void clickDown(int pTime);
    void clickRelease(int pTime);
    void dragDropFiles(QStringList pFiles);
    void selectInRect(const QRectF& rect);

protected:
    // Sends the viewport's gesture events to gestureEvent.
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The most files one drop hands on.
    static constexpr int kMaxDroppedFiles = 32;

    QPointF scenePoint(const QPointF& viewPosition) const;
    bool inside(const QPointF& scenePoint) const;
    void placeVerticalLine(QGraphicsLineItem* line, int x) const;
    void startTimeRange(const QPointF& scenePoint);
    void dragTimeRange(const QPointF& scenePoint);
    void finishTimeRange(const QPointF& scenePoint);
    // The event with Ctrl added, so that clicks add to the scene's selection.
    static QMouseEvent withControl(const QMouseEvent& event);

    QGraphicsScene* mScene = nullptr;
    QGraphicsLineItem* mCursorLine = nullptr;
    QGraphicsLineItem* mRangeEndLine = nullptr;
    QPointF mPressPoint{-1, -1};
    QPointF mCornerPoint{0, 0};
    int mSelectionStart = -1;
    int mSelectionEnd = -1;
    // A Shift press inside the graph started the range being dragged; other
    // presses (clicks, pans, bands) never touch the chosen range.
    bool mRangeInProgress = false;
    bool mMultiSelect = false;
    bool mTouchScreen = false;
    // Set by the first enableTouchScreen(true).
    Qt::GestureType mPanGestureType{};
    Qt::GestureType mPinchGestureType{};
    Qt::GestureType mTwoFingersGestureType{};
};

// The profile view's two-finger gestures: turning them on and off, and
// panning and zooming with them.
#include "graphics/graphview.h"

#include "graphics/gesturerecognizers.h"
#include "graphics/gestures.h"

#include <QGestureEvent>

void GraphView::enableTouchScreen(bool on)
{
    if (on == mTouchScreen)
        return;
    mTouchScreen = on;
    if (!mPanGestureType) {
        const TwoFingersGestureTypes& types = twoFingersGestureTypes();
        mPanGestureType = types.pan;
        mPinchGestureType = types.pinch;
        mTwoFingersGestureType = types.twoFingers;
    }
    // Touches arrive at the viewport. A grab on the view would see each of
    // them twice, once there and once more as it travels up to the view.
    QWidget* target = viewport();
    for (const Qt::GestureType type : {mPanGestureType, mPinchGestureType, mTwoFingersGestureType}) {
        if (on)
            target->grabGesture(type);
        else
            target->ungrabGesture(type);
    }
    target->setAttribute(Qt::WA_AcceptTouchEvents, on);
}

bool GraphView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Gesture)
        return gestureEvent(static_cast<QGestureEvent*>(event));
    return QGraphicsView::viewportEvent(event);
}

bool GraphView::gestureEvent(QGestureEvent* event)
{
    if (!getDiveProfile())
        return true;
    // The first trigger only starts a gesture; its updates move the profile.
    if (QGesture* pan = event->gesture(mPanGestureType)) {
        if (pan->state() == Qt::GestureUpdated)
            panCustomTriggered(static_cast<TwoFingersPanGesture*>(pan));
    } else if (QGesture* pinch = event->gesture(mPinchGestureType)) {
        if (pinch->state() == Qt::GestureUpdated)
            pinchCustomTriggered(static_cast<TwoFingersPinchGesture*>(pinch));
    }
    return true;
}

void GraphView::panCustomTriggered(TwoFingersPanGesture* gesture)
{
    // The profile follows the fingers.
    if (gesture->mOffset.x() != 0)
        mProfile->pan(-gesture->mOffset.x());
}

void GraphView::pinchCustomTriggered(TwoFingersPinchGesture* gesture)
{
    const double x = mapToScene(gesture->mCenterPoint.toPoint()).x();
    // Fingers moving together show more: a longer time, or a greater depth.
    if (gesture->mVertical)
        mProfile->zoom(DiveProfileItem::Axis::Depth, 1.0 / gesture->mScaleFactor, x);
    else
        mProfile->zoom(DiveProfileItem::Axis::Time, gesture->mScaleFactor, x);
}

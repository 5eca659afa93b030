#include "graphics/gesturerecognizers.h"

#include "graphics/gestures.h"

#include <QLineF>
#include <QTouchEvent>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>

bool TwoFingersRecognizer::active = false;

namespace {

using Result = QGestureRecognizer::Result;

// How much the finger distance may vary while both fingers pan.
constexpr double kSteadyDistance = 5.0; // px
// How much the two fingers' movements may differ while they pan.
constexpr double kSameMovement = 10.0; // px

struct Fingers
{
    QPointF first;
    QPointF second;

    double distance() const { return QLineF(first, second).length(); }
};

// The fingers of a touch event that holds exactly two points.
std::optional<Fingers> twoFingers(const QEvent* event)
{
    const QList<QEventPoint>& points = static_cast<const QTouchEvent*>(event)->points();
    if (points.size() != 2)
        return std::nullopt;
    return Fingers{points.at(0).position(), points.at(1).position()};
}

// What the pan and the pinch do alike: a touch begin, end or cancel starts
// the sampling afresh; only two-finger updates reach `update`.
template<typename Gesture>
Result recognizeTwoFingers(Gesture& gesture, const QEvent* event, Result (*update)(Gesture&, const Fingers&))
{
    switch (event->type()) {
    case QEvent::TouchBegin:
        gesture.mSampleCount = 0;
        return twoFingers(event) ? QGestureRecognizer::MayBeGesture : QGestureRecognizer::Ignore;
    case QEvent::TouchUpdate:
        if (const std::optional<Fingers> fingers = twoFingers(event))
            return update(gesture, *fingers);
        return QGestureRecognizer::Ignore;
    case QEvent::TouchEnd: {
        // Only a gesture that went on after its start has something to finish.
        const bool updated = gesture.state() == Qt::GestureUpdated;
        gesture.mSampleCount = 0;
        return updated ? QGestureRecognizer::FinishGesture : QGestureRecognizer::Ignore;
    }
    case QEvent::TouchCancel:
        gesture.mSampleCount = 0;
        return QGestureRecognizer::CancelGesture;
    default:
        return QGestureRecognizer::Ignore;
    }
}

// The sampled distances stayed steady and both fingers moved alike.
bool sampledPanHolds(const TwoFingersPanGesture& pan)
{
    const auto [shortest, longest] = std::minmax_element(std::begin(pan.mDistances), std::end(pan.mDistances));
    const QPointF difference = (pan.mCurrent1 - pan.mStart1) - (pan.mCurrent2 - pan.mStart2);
    return *longest - *shortest <= kSteadyDistance && std::abs(difference.x()) <= kSameMovement
        && std::abs(difference.y()) <= kSameMovement;
}

Result updatePan(TwoFingersPanGesture& pan, const Fingers& fingers)
{
    pan.mOffset = fingers.first - pan.mCurrent1;
    pan.mCurrent1 = fingers.first;
    pan.mCurrent2 = fingers.second;
    const double distance = fingers.distance();
    if (pan.mSampleCount >= kTwoFingersSamples) {
        if (std::abs(distance - pan.mRefDistance) < kSteadyDistance) {
            pan.mTotalOffset = pan.mCurrent1 - pan.mStart1;
            return QGestureRecognizer::TriggerGesture;
        }
        pan.mSampleCount = 0;
        return QGestureRecognizer::CancelGesture;
    }
    if (pan.mSampleCount == 0) {
        pan.mStart1 = fingers.first;
        pan.mStart2 = fingers.second;
    }
    pan.mRefDistance = distance;
    pan.mDistances[pan.mSampleCount++] = distance;
    if (pan.mSampleCount == kTwoFingersSamples && !sampledPanHolds(pan)) {
        pan.mSampleCount = 0;
        return QGestureRecognizer::CancelGesture;
    }
    return QGestureRecognizer::Ignore;
}

Result triggerPinch(TwoFingersPinchGesture& pinch, const Fingers& fingers)
{
    const double distance = fingers.distance();
    // Fingers on one spot would give an infinite or undefined factor.
    if (!(distance > 0 && pinch.mStartDistance > 0 && pinch.mLastDistance > 0))
        return QGestureRecognizer::Ignore;
    pinch.mTotalScaleFactor = distance / pinch.mStartDistance;
    pinch.mScaleFactor = distance / pinch.mLastDistance;
    pinch.mLastDistance = distance;
    const QPointF apart = pinch.mCurrent1 - pinch.mCurrent2;
    pinch.mVertical = std::abs(apart.x()) <= std::abs(apart.y()) ? 1 : 0;
    return QGestureRecognizer::TriggerGesture;
}

Result updatePinch(TwoFingersPinchGesture& pinch, const Fingers& fingers)
{
    pinch.mCurrent1 = fingers.first;
    pinch.mCurrent2 = fingers.second;
    if (pinch.mSampleCount >= kTwoFingersSamples)
        return triggerPinch(pinch, fingers);
    if (pinch.mSampleCount == 0) {
        pinch.mStart1 = fingers.first;
        pinch.mStart2 = fingers.second;
        pinch.mSampleCount = 1;
        return QGestureRecognizer::Ignore;
    }
    if (++pinch.mSampleCount < kTwoFingersSamples)
        return QGestureRecognizer::Ignore;
    // Fingers moving the same way pan rather than pinch.
    if (QPointF::dotProduct(pinch.mCurrent1 - pinch.mStart1, pinch.mCurrent2 - pinch.mStart2) > 0) {
        pinch.mSampleCount = 0;
        return QGestureRecognizer::CancelGesture;
    }
    pinch.mStartDistance = pinch.mLastDistance = fingers.distance();
    pinch.mCenterPoint = (fingers.first + fingers.second) / 2;
    return QGestureRecognizer::Ignore;
}

} // namespace

QGesture* TwoFingersRecognizer::create(QObject*)
{
    return new TwoFingersGesture;
}

QGestureRecognizer::Result TwoFingersRecognizer::recognize(QGesture*, QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
        if (!twoFingers(event))
            return Ignore;
        active = true;
        return TriggerGesture;
    case QEvent::TouchUpdate:
        return TriggerGesture;
    case QEvent::TouchEnd:
        active = false;
        return FinishGesture;
    case QEvent::TouchCancel:
        active = false;
        return CancelGesture;
    default:
        return Ignore;
    }
}

QGesture* TwoFingersPanRecognizer::create(QObject*)
{
    return new TwoFingersPanGesture;
}

QGestureRecognizer::Result TwoFingersPanRecognizer::recognize(QGesture* gesture, QObject*, QEvent* event)
{
    return recognizeTwoFingers(*static_cast<TwoFingersPanGesture*>(gesture), event, updatePan);
}

QGesture* TwoFingersPinchRecognizer::create(QObject*)
{
    return new TwoFingersPinchGesture;
}

QGestureRecognizer::Result TwoFingersPinchRecognizer::recognize(QGesture* gesture, QObject*, QEvent* event)
{
    return recognizeTwoFingers(*static_cast<TwoFingersPinchGesture*>(gesture), event, updatePinch);
}

const TwoFingersGestureTypes& twoFingersGestureTypes()
{
    // Qt owns the recognizers from here on and shares them among the widgets
    // that grab their types, so one of each serves the whole process.
    static const TwoFingersGestureTypes types{
        QGestureRecognizer::registerRecognizer(new TwoFingersPanRecognizer),
        QGestureRecognizer::registerRecognizer(new TwoFingersPinchRecognizer),
        QGestureRecognizer::registerRecognizer(new TwoFingersRecognizer),
    };
    return types;
}

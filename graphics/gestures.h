#pragma once

#include "cordale_export.h"

#include <QGesture>
#include <QPointF>

// The two-finger gestures of a profile view. Their recognizers
// (gesturerecognizers.h) fill them; the view reads them when Qt hands them over.

// Two-finger updates that the pan and the pinch watch before they can trigger.
inline constexpr int kTwoFingersSamples = 10;

// Two fingers on the screen, nothing more: while it lasts the view ignores
// the mouse moves that the touch also produces.
class CORDALE_EXPORT TwoFingersGesture : public QGesture
{
    Q_OBJECT

public:
    using QGesture::QGesture;
};

// Both fingers moving the same way at a steady distance.
class CORDALE_EXPORT TwoFingersPanGesture : public QGesture
{
    Q_OBJECT

public:
    using QGesture::QGesture;

    QPointF mStart1; // the fingers at the first sampled update
    QPointF mStart2;
    QPointF mCurrent1; // the fingers at the latest update
    QPointF mCurrent2;
    QPointF mTotalOffset; // finger 1 since the first sampled update
    QPointF mOffset;      // finger 1 since the previous update: what the view pans by
    int mSampleCount = 0; // updates sampled, up to kTwoFingersSamples
    double mDistances[kTwoFingersSamples] = {};
    double mRefDistance = 0; // the finger distance at the last sampled update
};

// Fingers moving apart or together.
class CORDALE_EXPORT TwoFingersPinchGesture : public QGesture
{
    Q_OBJECT

public:
    using QGesture::QGesture;

    double mTotalScaleFactor = 1.0; // distance now / distance at recognition
    double mScaleFactor = 1.0;      // distance now / distance at the previous trigger: what the view zooms by
    QPointF mCenterPoint;           // between the fingers at recognition
    int mVertical = 0;              // 1 when the fingers lie at least as far apart in y as in x
    QPointF mStart1;
    QPointF mStart2;
    QPointF mCurrent1;
    QPointF mCurrent2;
    double mStartDistance = 0;
    double mLastDistance = 0;
    int mSampleCount = 0; // updates seen, up to kTwoFingersSamples
};

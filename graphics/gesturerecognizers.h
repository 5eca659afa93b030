#pragma once

#include "cordale_export.h"

#include <QGestureRecognizer>

// The recognizers of the two-finger gestures (gestures.h). Qt calls them with
// every touch event of a widget that grabbed their gesture types, positions
// in that widget's coordinates. A touch begin, end or cancel starts the pan's
// and the pinch's sampling afresh, so that no touch inherits the fingers of
// the one before.

// Two fingers present, from a two-finger touch begin to the touch's end or cancel.
class CORDALE_EXPORT TwoFingersRecognizer : public QGestureRecognizer
{
public:
    ~TwoFingersRecognizer() override = default;
    QGesture* create(QObject* target) override;
    Result recognize(QGesture* gesture, QObject* watched, QEvent* event) override;

    // Set while two fingers touch; the profile views ignore mouse moves meanwhile.
    static bool active;
};

// Watches ten two-finger updates; when the finger distance stayed within 5 px
// and both fingers moved alike (within 10 px), every further update at that
// distance triggers with finger 1's movement.
class CORDALE_EXPORT TwoFingersPanRecognizer : public QGestureRecognizer
{
public:
    ~TwoFingersPanRecognizer() override = default;
    QGesture* create(QObject* target) override;
    Result recognize(QGesture* gesture, QObject* watched, QEvent* event) override;
};

// Watches ten two-finger updates; when the fingers did not move the same way,
// every further update triggers with the ratio of the finger distances.
class CORDALE_EXPORT TwoFingersPinchRecognizer : public QGestureRecognizer
{
public:
    ~TwoFingersPinchRecognizer() override = default;
    QGesture* create(QObject* target) override;
    Result recognize(QGesture* gesture, QObject* watched, QEvent* event) override;
};

// The gesture types of the three recognizers, registered with Qt on the first
// call (pan, pinch, two fingers, in this order) and for the rest of the process.
struct TwoFingersGestureTypes
{
    Qt::GestureType pan;
    Qt::GestureType pinch;
    Qt::GestureType twoFingers;
};
const TwoFingersGestureTypes& twoFingersGestureTypes();

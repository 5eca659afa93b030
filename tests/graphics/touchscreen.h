#pragma once

#include <QCoreApplication>
#include <QList>
#include <QMetaType>
#include <QPoint>
#include <QPointingDevice>
#include <QTest>
#include <QTouchEvent>
#include <QWidget>

#include <functional>

// Touches sent to a shown widget through Qt's own touch delivery, positions
// in the widget's coordinates. Finger k of a step has touch id k.
namespace touchscreen {

enum class Action { Press, Move, Release };

struct Finger
{
    Action action = Action::Move;
    QPoint at;
};

// One touch event: what each finger does, or a cancel.
struct Step
{
    QList<Finger> fingers;
    bool cancel = false;
};

inline Step fingersDoing(Action action, const QList<QPoint>& points)
{
    Step step;
    for (const QPoint& p : points)
        step.fingers.append({action, p});
    return step;
}

inline Step begin(const QList<QPoint>& points)
{
    return fingersDoing(Action::Press, points);
}

inline Step update(const QList<QPoint>& points)
{
    return fingersDoing(Action::Move, points);
}

inline Step end(const QList<QPoint>& points)
{
    return fingersDoing(Action::Release, points);
}

inline Step cancel()
{
    Step step;
    step.cancel = true;
    return step;
}

// `step` with one more finger doing `action`.
inline Step with(Step step, Action action, const QPoint& at)
{
    step.fingers.append({action, at});
    return step;
}

// Updates 1 to `count`, the fingers of update k given by `fingersAt(k)`.
inline QList<Step> updates(int count, const std::function<QList<QPoint>(int)>& fingersAt)
{
    QList<Step> steps;
    for (int k = 1; k <= count; ++k)
        steps.append(update(fingersAt(k)));
    return steps;
}

class Screen
{
public:
    explicit Screen(QWidget* target)
        : mTarget(target)
        , mDevice(QTest::createTouchDevice())
    {
    }

    void send(const Step& step)
    {
        if (step.cancel) {
            cancelTouch();
            return;
        }
        QTest::QTouchEventWidgetSequence touch = QTest::touchEvent(mTarget, mDevice);
        for (int id = 0; id < step.fingers.size(); ++id) {
            const Finger& finger = step.fingers.at(id);
            switch (finger.action) {
            case Action::Press:
                touch.press(id, finger.at);
                break;
            case Action::Move:
                touch.move(id, finger.at);
                break;
            case Action::Release:
                touch.release(id, finger.at);
                break;
            }
        }
    } // the sequence commits here

    void send(const QList<Step>& steps)
    {
        for (const Step& step : steps)
            send(step);
    }

private:
    // Qt 6.4 offers tests no platform cancel: the event goes to the widget
    // directly, and a new device stands for the screen that has forgotten
    // the cancelled fingers, so that the next touch begins afresh.
    void cancelTouch()
    {
        QTouchEvent event(QEvent::TouchCancel, mDevice);
        QCoreApplication::sendEvent(mTarget, &event);
        mDevice = QTest::createTouchDevice();
    }

    QWidget* mTarget;
    QPointingDevice* mDevice;
};

} // namespace touchscreen

Q_DECLARE_METATYPE(touchscreen::Step)

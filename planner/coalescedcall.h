#pragma once

#include <QObject>

#include <functional>

// A job asked for more often than it is worth running, as a recomputation
// after each mouse move of a drag: asking marks it pending and posts one call,
// which runs it once, when the event loop comes round, for all the asks
// before it. Whoever needs its result sooner flushes it.
class CoalescedCall : public QObject
{
    Q_OBJECT

public:
    explicit CoalescedCall(std::function<void()> job, QObject* parent = nullptr);

    // Marks the job pending; the first ask since it last ran posts the call.
    void request();
    // Runs the job now if it is pending.
    void flush();
    // The job's work was done another way: nothing is pending any more.
    void drop() { mPending = false; }
    // Flushes before a mouse button is released on `widget` (the end of a
    // drag), so that the release finds the job done.
    void flushBeforeReleaseOn(QObject& widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> mJob;
    bool mPending = false;
    bool mPosted = false;
};

#include "planner/coalescedcall.h"

#include <QEvent>

#include <utility>

CoalescedCall::CoalescedCall(std::function<void()> job, QObject* parent)
    : QObject(parent)
    , mJob(std::move(job))
{
}

void CoalescedCall::request()
{
    mPending = true;
    if (mPosted)
        return;
    mPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            mPosted = false;
            flush();
        },
        Qt::QueuedConnection);
}

void CoalescedCall::flush()
{
    if (!mPending)
        return;
    mPending = false;
    mJob();
}

void CoalescedCall::flushBeforeReleaseOn(QObject& widget)
{
    widget.installEventFilter(this);
}

bool CoalescedCall::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease)
        flush();
    return QObject::eventFilter(watched, event);
}

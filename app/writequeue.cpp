#include "writequeue.h"

#include <QMetaObject>
#include <QObject>

WriteQueue::WriteQueue(QObject* context)
    : mContext(context)
{
}

WriteQueue::Writing::Writing(WriteQueue& queue)
    : mQueue(queue)
{
    ++mQueue.mWrites;
}

WriteQueue::Writing::~Writing()
{
    if (--mQueue.mWrites == 0)
        mQueue.writeEnded();
}

void WriteQueue::writeEnded()
{
    // The work that wrote finishes first (it lists what it stored, reports a
    // failure); the held-back work runs after it, from the event loop. Work
    // already running from the queue goes on with the rest itself.
    if (mQueued.isEmpty() || mRunning || !mContext)
        return;
    QMetaObject::invokeMethod(mContext, [this] { runQueued(); }, Qt::QueuedConnection);
}

void WriteQueue::runQueued()
{
    // A dialog of one piece of work runs an event loop, which must not start
    // the next piece under it.
    if (mRunning)
        return;
    mRunning = true;
    while (!mQueued.isEmpty() && !isWriting()) {
        const std::function<void()> work = mQueued.takeFirst();
        work();
    }
    mRunning = false;
}

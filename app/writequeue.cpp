#include "writequeue.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

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

int WriteQueue::currentLoopLevel()
{
    return QThread::currentThread()->loopLevel();
}

bool WriteQueue::holdsBack() const
{
    if (isWriting())
        return true;
    if (mRunningLevel >= 0)
        return currentLoopLevel() > mRunningLevel;
    return !mQueued.isEmpty();
}

void WriteQueue::writeEnded()
{
    // The work that wrote finishes first (it lists what it stored, reports a
    // failure); what waits runs once it has.
    if (mRunningLevel < 0)
        scheduleQueued();
}

void WriteQueue::scheduleQueued()
{
    if (mQueued.isEmpty() || !mContext)
        return;
    QMetaObject::invokeMethod(mContext, [this] { runQueued(); }, Qt::QueuedConnection);
}

void WriteQueue::runQueued()
{
    // Work part-way through, in the event loop of one of its dialogs, has
    // what waits run once it has ended.
    while (!mQueued.isEmpty() && !isWriting() && mRunningLevel < 0) {
        const std::function<void()> work = mQueued.takeFirst();
        mRunningLevel = currentLoopLevel();
        work();
        mRunningLevel = -1;
    }
}

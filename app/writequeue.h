#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

// Holds back the window's work on the dive database, the dive list and the
// shown dive while a dive is being written. A long write lets the window
// repaint by running the event loop, so timers, queued calls and a close of
// the window arrive in the middle of it; what they ask for is kept here and
// runs once the write has ended, in the order it arrived.
class WriteQueue
{
public:
    // Queued work runs from `context`'s event loop, as long as it lives.
    explicit WriteQueue(QObject* context);
    WriteQueue(const WriteQueue&) = delete;
    WriteQueue& operator=(const WriteQueue&) = delete;

    // A write in progress, while it lives; writes may nest.
    class Writing
    {
    public:
        explicit Writing(WriteQueue& queue);
        ~Writing();
        Writing(const Writing&) = delete;
        Writing& operator=(const Writing&) = delete;

    private:
        WriteQueue& mQueue;
    };

    bool isWriting() const { return mWrites > 0; }

    // Runs `work` now, or, while a write is in progress, once it has ended
    // and the work that arrived before it has run.
    template<typename Work>
    void run(Work&& work)
    {
        if (isWriting())
            mQueued.append(std::function<void()>(std::forward<Work>(work)));
        else
            work();
    }

private:
    void writeEnded();
    void runQueued();

    QPointer<QObject> mContext;
    int mWrites = 0;
    bool mRunning = false;
    QList<std::function<void()>> mQueued;
};

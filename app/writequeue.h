#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <utility>

// Holds back the window's work on the dive database, the dive list and the
// shown dive while a dive is being written. A long write lets the window
// repaint by running the event loop, so timers, queued calls and a close of
// the window arrive in the middle of it; what they ask for is kept here and
// runs once the write has ended, in the order it arrived. Work that opens a
// dialog runs an event loop too: what arrives from it waits for that work.
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
    // Whether work handed over now waits: a write is in progress, earlier
    // work still waits, or work is part-way through and this arrives from an
    // event loop that it runs (a dialog's). Work that the running work hands
    // over itself, from its own level, is part of it and runs at once.
    bool holdsBack() const;

    // Runs `work` now, or, when held back, once the write and the work that
    // arrived before it have run.
    template<typename Work>
    void run(Work&& work)
    {
        if (holdsBack()) {
            mQueued.append(std::function<void()>(std::forward<Work>(work)));
            return;
        }
        const int outer = std::exchange(mRunningLevel, currentLoopLevel());
        work();
        mRunningLevel = outer;
        if (outer < 0)
            scheduleQueued();
    }

private:
    static int currentLoopLevel();
    void writeEnded();
    // Runs the waiting work from the event loop, after the work or the write
    // that held it back has finished.
    void scheduleQueued();
    // Runs the waiting work in order, unless a write or other work is under way.
    void runQueued();

    QPointer<QObject> mContext;
    int mWrites = 0;
    // The event loop level that the running work started from; -1 while none runs.
    int mRunningLevel = -1;
    QList<std::function<void()>> mQueued;
};

#pragma once

#include "tessal/quelmsession.h"
#include "tessal/simulatedcomputer.h"

#include <QSignalSpy>

namespace testkit {

// Runs the event loop until what is queued now, and what that queues in
// turn, has been delivered; the simulated computer answers this way.
void settle();

// Searches and connects `session` to the installed simulated computer
// (without the handshake); false when it did not connect.
bool connectSession(QuelmSession& session);

// Every signal of the session, one spy each, to tell what arrived.
class SessionSignals
{
public:
    explicit SessionSignals(QuelmSession& session);

    // The number of signals received by all spies together.
    int total() const;

    QSignalSpy createStatus;
    QSignalSpy connectStatus;
    QSignalSpy controllerError;
    QSignalSpy endCommand;
    QSignalSpy exchangeError;
    QSignalSpy message;
    QSignalSpy disconnected;
    QSignalSpy serviceError;
    QSignalSpy uploadProgress;
};

} // namespace testkit

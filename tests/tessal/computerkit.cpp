#include "computerkit.h"

#include <QCoreApplication>

namespace testkit {

void settle()
{
    // Each answer may queue the next one; a few rounds deliver them all.
    for (int round = 0; round < 16; ++round)
        QCoreApplication::processEvents();
}

bool connectSession(QuelmSession& session)
{
    session.autoConnect(QuelmLink::Search);
    settle();
    return session.connected;
}

SessionSignals::SessionSignals(QuelmSession& session)
    : createStatus(&session, &QuelmSession::createControllerStatus)
    , connectStatus(&session, &QuelmSession::connectControllerStatus)
    , controllerError(&session, &QuelmSession::errorController)
    , endCommand(&session, &QuelmSession::endCommand)
    , exchangeError(&session, &QuelmSession::exchangeError)
    , message(&session, &QuelmSession::messageChanged)
    , disconnected(&session, &QuelmSession::disconnectController)
    , serviceError(&session, &QuelmSession::serviceError)
    , uploadProgress(&session, &QuelmSession::uploadFirmwareProgress)
{
}

int SessionSignals::total() const
{
    return int(createStatus.size() + connectStatus.size() + controllerError.size() + endCommand.size()
               + exchangeError.size() + message.size() + disconnected.size() + serviceError.size()
               + uploadProgress.size());
}

} // namespace testkit

#pragma once

#include "tessal/ownername.h"
#include "tessal/quelmtypes.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QuelmSession;

// What reaches a dive computer for a QuelmSession. A backend answers each
// request later, from the event loop, through the session's report
// functions; none answers inside the call.
class ComputerBackend
{
public:
    virtual ~ComputerBackend();

    // The backend in use, or null when there is none.
    static ComputerBackend* installed();
    // Makes `backend` the one in use (not owned); null removes it.
    static void install(ComputerBackend* backend);

    virtual void autoConnect(QuelmSession& session, BleMode mode) = 0;
    virtual void controllerConnect(QuelmSession& session) = 0;
    virtual void controllerDisconnect(QuelmSession& session) = 0;
    virtual void startCommand(QuelmSession& session, PelavixCommandIn command) = 0;
    virtual void startGetLogbook(QuelmSession& session, const QList<quint16>& knownDives) = 0;
    virtual void startGetDiveSamples(QuelmSession& session, quint16 diveNumber) = 0;
    virtual int uploadFirmware(QuelmSession& session, const QByteArray& image, const QString& name,
                               bool force) = 0;
    virtual void startSetPressure(QuelmSession& session, unsigned millibar) = 0;
    virtual void setOwner(QuelmSession& session, const OwnerName& name) = 0;
    virtual QString computerModelStr() const = 0;
};

#include "tessal/quelmsession.h"

#include "tessal/computerbackend.h"

#include <QMetaObject>

QuelmSession::QuelmSession(QObject* parent)
    : QObject(parent)
{
}

void QuelmSession::autoConnect(BleMode mode)
{
    if (ComputerBackend* backend = ComputerBackend::installed())
        backend->autoConnect(*this, mode);
    else
        reportNoLibrary();
}

void QuelmSession::controllerConnect()
{
    if (ComputerBackend* backend = ComputerBackend::installed())
        backend->controllerConnect(*this);
    else
        reportNoLibrary();
}

void QuelmSession::controllerDisconnect()
{
    if (ComputerBackend* backend = ComputerBackend::installed())
        backend->controllerDisconnect(*this);
}

void QuelmSession::startCommand(PelavixCommandIn command)
{
    if (ComputerBackend* backend = ComputerBackend::installed())
        backend->startCommand(*this, command);
    else
        answerLater([this, command] { reportExchangeError(command, QuelmLink::NotConnected); });
}

void QuelmSession::startGetLogbook(const QList<quint16>& knownDives)
{
    if (ComputerBackend* backend = ComputerBackend::installed())
        backend->startGetLogbook(*this, knownDives);
    else
        answerLater([this] { reportExchangeError(PelavixCommand::Logbook, QuelmLink::NotConnected); });
}

void QuelmSession::startGetDiveSamples(quint16 diveNumber)
{
    if (ComputerBackend* backend = ComputerBackend::installed())
        backend->startGetDiveSamples(*this, diveNumber);
    else
        answerLater([this] { reportExchangeError(PelavixCommand::DiveSamples, QuelmLink::NotConnected); });
}

const PelavixDiveHeader* QuelmSession::diveHeader(quint16 diveNumber) const
{
    for (const PelavixDiveHeader& header : logbook) {
        if (header.diveNumber == diveNumber)
            return &header;
    }
    return nullptr;
}

int QuelmSession::uploadFirmware(const QByteArray& image, const QString& name, bool force)
{
    ComputerBackend* backend = ComputerBackend::installed();
    return backend ? backend->uploadFirmware(*this, image, name, force) : 0;
}

void QuelmSession::startSetPressure(unsigned millibar)
{
    if (ComputerBackend* backend = ComputerBackend::installed())
        backend->startSetPressure(*this, millibar);
}

void QuelmSession::setOwner(const QString& name)
{
    if (ComputerBackend* backend = ComputerBackend::installed())
        backend->setOwner(*this, OwnerName::fromText(name));
}

QString QuelmSession::computerModelStr() const
{
    const ComputerBackend* backend = ComputerBackend::installed();
    return backend ? backend->computerModelStr() : QString();
}

void QuelmSession::reportCreateStatus(CreateControllerStatusIn status)
{
    emit createControllerStatus(status);
}

void QuelmSession::reportConnectStatus(ConnectControllerStatusIn status)
{
    if (status == QuelmLink::ComputerConnected)
        connected = true;
    emit connectControllerStatus(status);
}

void QuelmSession::reportControllerError(QLowEnergyController::Error error)
{
    emit errorController(error);
}

void QuelmSession::reportCommandEnd(PelavixCommandIn command)
{
    emit endCommand(command);
}

void QuelmSession::reportExchangeError(PelavixCommandIn command, ExchangeErrorIn error)
{
    emit exchangeError(command, error);
}

void QuelmSession::reportServiceError(QLowEnergyService::ServiceError error)
{
    emit serviceError(error);
}

void QuelmSession::reportMessage(const QString& text)
{
    message = text;
    emit messageChanged();
}

void QuelmSession::reportUploadProgress(int sent, int percent)
{
    emit uploadFirmwareProgress(sent, percent);
}

void QuelmSession::reportLinkLost()
{
    if (!connected)
        return;
    connected = false;
    emit disconnectController();
}

void QuelmSession::answerLater(std::function<void()> answer)
{
    QMetaObject::invokeMethod(this, std::move(answer), Qt::QueuedConnection);
}

void QuelmSession::reportNoLibrary()
{
    answerLater([this] {
        reportMessage(tr("No dive computer library is present: the dive computer cannot be reached"));
        reportCreateStatus(QuelmLink::CreateProblem);
    });
}

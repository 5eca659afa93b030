#include "device/formbluetoothconnect.h"

#include "tessal/quelmbleprotocol.h"
#include "userprompt.h"

#include <QTimer>

namespace {

constexpr int kAnimationInterval = 500; // ms

} // namespace

FormBluetoothConnect::FormBluetoothConnect(QWidget* parent)
    : QDialog(parent)
{
    ui.setupUi(this);
    setWindowFlag(Qt::FramelessWindowHint);
}

int FormBluetoothConnect::execute()
{
    // Each run starts with the animation stopped: the first toggle starts it.
    stopAnimation();
    connect(session, &QuelmSession::createControllerStatus, this, &FormBluetoothConnect::onCreateControllerStatus);
    connect(session, &QuelmSession::connectControllerStatus, this,
            &FormBluetoothConnect::onConnectControllerStatus);
    connect(session, &QuelmSession::errorController, this, &FormBluetoothConnect::onErrorController);
    connect(session, &QuelmSession::endCommand, this, &FormBluetoothConnect::onEndCommand);
    connect(session, &QuelmSession::exchangeError, this, &FormBluetoothConnect::onExchangeError);

    ui.bottomBar->hide();
    connectBlueTooth();
    const int result = UserPrompt::current().exec(*this);

    disconnect(session, nullptr, this, nullptr);
    if (result != QDialog::Accepted)
        session->controllerDisconnect();
    stopAnimation();
    return result;
}

void FormBluetoothConnect::connectBlueTooth()
{
    startStopAnimation();
    if (session->foundDevice && !session->foundDevice->first.isEmpty()) {
        log(tr("Connect to computer..."));
        session->controllerConnect();
    } else {
        log(tr("Search computer..."));
        session->autoConnect(QuelmLink::Search);
    }
}

void FormBluetoothConnect::onCreateControllerStatus(CreateControllerStatusIn status)
{
    switch (status) {
    case QuelmLink::DeviceFound:
        log(tr("Computer found, connecting..."));
        return;
    case QuelmLink::NoDeviceFound:
        reportFailure(tr("No Device Found"));
        return;
    case QuelmLink::CreateProblem:
        reportFailure(tr("Problem on Create Device"));
        return;
    case QuelmLink::CreateError:
        reportFailure(tr("Error on Create Device"));
        return;
    }
    // A status of a newer library keeps the line as it is.
    ui.bottomBar->show();
    startStopAnimation();
}

void FormBluetoothConnect::onConnectControllerStatus(ConnectControllerStatusIn status)
{
    switch (status) {
    case QuelmLink::ComputerConnected:
        log(tr("Device Connected"));
        startStopAnimation();
        session->startCommand(PelavixCommand::FirmwareVersion);
        return;
    case QuelmLink::NoComputer:
        reportFailure(tr("No Computer Found"));
        return;
    case QuelmLink::NoController:
        reportFailure(tr("No Controller"));
        return;
    }
    ui.bottomBar->show();
    startStopAnimation();
}

void FormBluetoothConnect::onErrorController(QLowEnergyController::Error error)
{
    log(tr("Controller Error: ") + QuelmBleProtocol::controllerErrorString(error));
    ui.bottomBar->show();
}

void FormBluetoothConnect::onExchangeError(PelavixCommandIn, ExchangeErrorIn error)
{
    log(tr("Exchange Error: ") + QuelmBleProtocol::exchangeErrorString(error));
    // The handshake may never end now: the user must be able to close.
    ui.bottomBar->show();
}

void FormBluetoothConnect::onEndCommand(PelavixCommandIn command)
{
    switch (command) {
    case PelavixCommand::FirmwareVersion:
        log(tr("Firmware version: ") + session->firmwareVersionText);
        session->startCommand(PelavixCommand::SerialNumber);
        break;
    case PelavixCommand::SerialNumber:
        log(tr("Serial number: ") + session->serialNumber);
        session->startCommand(PelavixCommand::AmbientPressure);
        break;
    case PelavixCommand::AmbientPressure:
        log(tr("Ambiant pressure: ") + QString::number(session->ambientPressure));
        session->startCommand(PelavixCommand::HandshakeEnd);
        break;
    case PelavixCommand::HandshakeEnd:
    case PelavixCommand::HandshakeEndLegacy:
        accept();
        break;
    default:
        break;
    }
}

void FormBluetoothConnect::reportFailure(const QString& text)
{
    log(text);
    ui.bottomBar->show();
    startStopAnimation();
}

void FormBluetoothConnect::startStopAnimation()
{
    if (animationTimer) {
        stopAnimation();
        return;
    }
    animationTimer = new QTimer(this);
    animationTimer->setInterval(kAnimationInterval);
    animationStep = 1;
    connect(animationTimer, &QTimer::timeout, this, &FormBluetoothConnect::onAnimationTick);
    animationTimer->start();
}

void FormBluetoothConnect::stopAnimation()
{
    if (!animationTimer)
        return;
    animationTimer->stop();
    showStep(0);
    delete animationTimer;
    animationTimer = nullptr;
}

void FormBluetoothConnect::onAnimationTick()
{
    showStep(animationStep);
    animationStep = animationStep < 3 ? animationStep + 1 : 0;
}

void FormBluetoothConnect::showStep(int step)
{
    ui.imgBluetooth->setStyleSheet(
        QStringLiteral("image: url(:/TestGraphics/icons/bluetooth-smartphone-step%1.png);").arg(step));
}

void FormBluetoothConnect::log(const QString& text)
{
    ui.log->setText(text);
}

#include "tessal/quelmbleprotocol.h"

namespace {

// A value that this program does not know yet still says which it is.
QString unknownError(int value)
{
    return QuelmBleProtocol::tr("Unknown error (%1)").arg(value);
}

} // namespace

QString QuelmBleProtocol::controllerErrorString(QLowEnergyController::Error error)
{
    using E = QLowEnergyController;
    switch (error) {
    case E::NoError: return tr("No error");
    case E::UnknownError: return tr("Unknown Bluetooth error");
    case E::UnknownRemoteDeviceError: return tr("The dive computer is not known");
    case E::NetworkError: return tr("Bluetooth read or write failed");
    case E::InvalidBluetoothAdapterError: return tr("No usable Bluetooth adapter");
    case E::ConnectionError: return tr("The connection to the dive computer failed");
    case E::AdvertisingError: return tr("Bluetooth advertising failed");
    case E::RemoteHostClosedError: return tr("The dive computer closed the connection");
    case E::AuthorizationError: return tr("The dive computer refused the connection");
    case E::MissingPermissionsError: return tr("Bluetooth permission missing");
    }
    return unknownError(int(error));
}

QString QuelmBleProtocol::exchangeErrorString(ExchangeErrorIn error)
{
    using namespace QuelmLink;
    switch (error) {
    case NoExchangeError: return tr("No error");
    case AnswerTimeout: return tr("The dive computer did not answer in time");
    case WrongChecksum: return tr("The answer of the dive computer is damaged");
    case UnexpectedAnswer: return tr("The dive computer gave an unexpected answer");
    case CommandRefused: return tr("The dive computer refused the command");
    case NotConnected: return tr("No dive computer connected");
    case ComputerBusy: return tr("The dive computer is busy");
    }
    return unknownError(int(error));
}

QString QuelmBleProtocol::serviceErrorString(QLowEnergyService::ServiceError error)
{
    using E = QLowEnergyService;
    switch (error) {
    case E::NoError: return tr("No error");
    case E::OperationError: return tr("Operation not possible in the service's state");
    case E::CharacteristicWriteError: return tr("Writing a characteristic failed");
    case E::DescriptorWriteError: return tr("Writing a descriptor failed");
    case E::UnknownError: return tr("Unknown service error");
    case E::CharacteristicReadError: return tr("Reading a characteristic failed");
    case E::DescriptorReadError: return tr("Reading a descriptor failed");
    }
    return unknownError(int(error));
}

#pragma once

#include <QObject>

// The values that travel between the program and the dive computer library.

namespace PelavixCommand {
Q_NAMESPACE

// The commands of the computer; each started one ends with `endCommand` of
// the same value, or with one `exchangeError`.
enum PelavixCommandIn : quint8 {
    FirmwareVersion = 1,
    SysLogText = 2,
    SerialNumber = 3,
    // Ends the handshake of older firmware.
    HandshakeEndLegacy = 5,
    AmbientPressure = 9,
    FirmwareInstall = 15,
    Logbook = 19,
    DiveSamples = 20,
    OwnerName = 22,
    HandshakeEnd = 24,
    SysLogBinary = 29,
    ResetComputer = 254,
};
Q_ENUM_NS(PelavixCommandIn)

} // namespace PelavixCommand

using PelavixCommandIn = PelavixCommand::PelavixCommandIn;

namespace QuelmLink {
Q_NAMESPACE

// How a search for the computer ended.
enum CreateControllerStatusIn : quint8 {
    NoDeviceFound = 0,
    CreateProblem = 1,
    DeviceFound = 2,
    CreateError = 3,
};
Q_ENUM_NS(CreateControllerStatusIn)

// How connecting the found computer ended.
enum ConnectControllerStatusIn : quint8 {
    NoController = 0,
    NoComputer = 1,
    ComputerConnected = 2,
};
Q_ENUM_NS(ConnectControllerStatusIn)

// Why an exchange with the computer failed.
enum ExchangeErrorIn : quint8 {
    NoExchangeError = 0,
    AnswerTimeout = 1,
    WrongChecksum = 2,
    UnexpectedAnswer = 3,
    CommandRefused = 4,
    NotConnected = 5,
    ComputerBusy = 6,
};
Q_ENUM_NS(ExchangeErrorIn)

// How `autoConnect` looks for the computer.
enum BleMode : quint8 {
    Search = 0,
};
Q_ENUM_NS(BleMode)

} // namespace QuelmLink

using CreateControllerStatusIn = QuelmLink::CreateControllerStatusIn;
using ConnectControllerStatusIn = QuelmLink::ConnectControllerStatusIn;
using ExchangeErrorIn = QuelmLink::ExchangeErrorIn;
using BleMode = QuelmLink::BleMode;

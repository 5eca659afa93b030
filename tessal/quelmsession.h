#pragma once

#include "divemodel/diveheader.h"
#include "tessal/bleconfig.h"
#include "tessal/divesample.h"
#include "tessal/ownername.h"
#include "tessal/quelmtypes.h"

#include <QBluetoothDeviceInfo>
#include <QByteArray>
#include <QList>
#include <QLowEnergyController>
#include <QLowEnergyService>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <utility>

// What the computer tells about one dive in its logbook.
using PelavixDiveHeader = DiveHeader;
// One record of the computer's binary system log.
using SysLogRecord = std::array<char, 24>;

// The program's link to its dive computer. Every request is handed to the
// installed backend (ComputerBackend) and answered later, from the event
// loop, never inside the call: callers start a request, then run a modal
// dialog in which the answer arrives. Without a backend every request fails
// the same way.
class QuelmSession : public QObject
{
    Q_OBJECT

public:
    explicit QuelmSession(QObject* parent = nullptr);

    // Searches for the computer; a found one is connected at once.
    void autoConnect(BleMode mode);
    // Connects the computer found by an earlier search.
    void controllerConnect();
    // Drops the link, or stops a search silently while not connected.
    void controllerDisconnect();
    void startCommand(PelavixCommandIn command);
    // The logbook without the dives whose numbers are known; ends with
    // `endCommand(Logbook)`.
    void startGetLogbook(const QList<quint16>& knownDives);
    // Ends with `endCommand(DiveSamples)`, the samples in `diveSamples`.
    void startGetDiveSamples(quint16 diveNumber);
    // The logbook's header of the dive, or null when the computer has none.
    const PelavixDiveHeader* diveHeader(quint16 diveNumber) const;
    // -1 too old, -2 bootloader already installed, -3 firmware already
    // installed, -4 bootloader update needed; above 0 the bytes to send, then
    // `uploadFirmwareProgress` and `endCommand(FirmwareInstall)`.
    int uploadFirmware(const QByteArray& image, const QString& name, bool force);
    void startSetPressure(unsigned millibar);
    // Writes the owner name, cut at a whole character to the field's size.
    void setOwner(const QString& name);
    QString computerModelStr() const;

    // What the library knows of the computer.
    bool connected = false;
    QString message;
    quint8 mode = 0; // 1 normal, 2 bootloader
    // Bytes major (top), minor, patch and the letter's code.
    quint32 firmwareVersion = 0;
    QString firmwareVersionText;
    QString serialNumber;
    // The owner name, as text.
    QString computerName;
    OwnerName ownerName;
    quint16 ambientPressure = 0; // mbar
    quint16 surfacePressure = 0; // mbar
    BleConfig config;
    QString sysLogText;
    QList<SysLogRecord> sysLogRecords;
    QList<PelavixDiveHeader> logbook;
    QList<DiveSample> diveSamples;
    qint64 installDuration = 0; // µs
    // The computer found by the last search: its identifying text and record.
    std::optional<std::pair<QString, QBluetoothDeviceInfo>> foundDevice;

    // What a backend reports, each from the event loop.
    void reportCreateStatus(CreateControllerStatusIn status);
    // The computer counts as connected from a `ComputerConnected` status on.
    void reportConnectStatus(ConnectControllerStatusIn status);
    void reportControllerError(QLowEnergyController::Error error);
    void reportCommandEnd(PelavixCommandIn command);
    void reportExchangeError(PelavixCommandIn command, ExchangeErrorIn error);
    void reportServiceError(QLowEnergyService::ServiceError error);
    void reportMessage(const QString& text);
    void reportUploadProgress(int sent, int percent);
    // Once per link: `connected` turns false and one `disconnectController`
    // follows; nothing while not connected.
    void reportLinkLost();

signals:
    void createControllerStatus(CreateControllerStatusIn status);
    void connectControllerStatus(ConnectControllerStatusIn status);
    void errorController(QLowEnergyController::Error error);
    void endCommand(PelavixCommandIn command);
    void exchangeError(PelavixCommandIn command, ExchangeErrorIn error);
    void messageChanged();
    void disconnectController();
    void serviceError(QLowEnergyService::ServiceError error);
    void uploadFirmwareProgress(int sent, int percent);

private:
    // Runs `answer` from the event loop, while the session lives.
    void answerLater(std::function<void()> answer);
    // What every request gets without a backend.
    void reportNoLibrary();
};

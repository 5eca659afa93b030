#pragma once

#include "tessal/computerbackend.h"
#include "tessal/quelmsession.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

// A dive computer that the program plays itself: the backend of the tests,
// the benchmarks and of a run without a Bluetooth link. It installs itself as
// the backend while it lives, answers every request later from the event
// loop, as the library does, follows a script and notes every request.
class SimulatedComputer final : public QObject, public ComputerBackend
{
    Q_OBJECT

public:
    // One dive in the computer's memory.
    struct StoredDive
    {
        PelavixDiveHeader header;
        QList<DiveSample> samples;
    };

    // What the computer is and answers.
    struct Script
    {
        CreateControllerStatusIn searchResult = QuelmLink::DeviceFound;
        ConnectControllerStatusIn connectResult = QuelmLink::ComputerConnected;
        // Reported in place of connecting, when set.
        std::optional<QLowEnergyController::Error> controllerError;
        QString message = QStringLiteral("Simulated dive computer: no Bluetooth link is used");
        QString modelText = QStringLiteral("Pelavix (simulated)");
        QString deviceIdentifier = QStringLiteral("SIMULATED-PELAVIX");
        quint8 mode = 1;
        quint32 firmwareVersion = 0x02000B00;
        QString serialNumber = QStringLiteral("SIM-000001");
        // The owner name field as the computer keeps it.
        QByteArray ownerName = QByteArrayLiteral("Simulated diver");
        quint16 ambientPressure = 1013;
        quint16 surfacePressure = 1013;
        BleConfig config;
        QString sysLogText;
        QList<SysLogRecord> sysLogRecords;
        QList<StoredDive> dives;
        // The answer to an upload; the image's size when not set.
        std::optional<int> uploadResult;
        // The progress reports (bytes sent, percent done) of a started
        // upload before its installation ends; one (bytes, 100) when empty.
        QList<std::pair<int, int>> uploadProgress;
        qint64 installDuration = 0; // µs
    };

    // One image handed to the computer.
    struct Upload
    {
        QByteArray image;
        QString name;
        bool force = false;
    };

    // What the computer was asked, in order.
    struct Requests
    {
        int searches = 0;
        int connections = 0;
        int disconnections = 0;
        QList<int> commands;
        QList<QList<quint16>> logbooks;
        QList<quint16> diveSamples;
        QList<QByteArray> owners;
        QList<unsigned> pressures;
        QList<Upload> uploads;
    };

    SimulatedComputer();
    ~SimulatedComputer() override;

    Script script;
    const Requests& requests() const { return mRequests; }

    // Faults: the next request of `command` fails with `error`, or never
    // ends.
    void failNext(PelavixCommandIn command, ExchangeErrorIn error);
    void stallNext(PelavixCommandIn command);
    // The dive stays listed in the logbook, but is gone when its samples are
    // asked for.
    void loseDive(quint16 diveNumber);
    // The link drops now; what was asked before gets no answer.
    void dropLink();
    void raiseServiceError(QLowEnergyService::ServiceError error);

    // A dive of `sampleCount` samples, one every `period` seconds: a descent
    // to `maxDepth`, the bottom, an ascent with a stop at 5 m; on air.
    static StoredDive makeDive(quint16 number, qint64 beginTime, int sampleCount, double maxDepth,
                               quint8 period = 5);
    // The computer of a run started with MAREVANE_SIMULATED_COMPUTER=1,
    // holding a few dives; null otherwise.
    static std::unique_ptr<SimulatedComputer> fromEnvironment();

    void autoConnect(QuelmSession& session, BleMode mode) override;
    void controllerConnect(QuelmSession& session) override;
    void controllerDisconnect(QuelmSession& session) override;
    void startCommand(QuelmSession& session, PelavixCommandIn command) override;
    void startGetLogbook(QuelmSession& session, const QList<quint16>& knownDives) override;
    void startGetDiveSamples(QuelmSession& session, quint16 diveNumber) override;
    int uploadFirmware(QuelmSession& session, const QByteArray& image, const QString& name,
                       bool force) override;
    void startSetPressure(QuelmSession& session, unsigned millibar) override;
    void setOwner(QuelmSession& session, const OwnerName& name) override;
    QString computerModelStr() const override;

private:
    enum class Outcome { Answer, Fail, Stall };
    struct Fault
    {
        Outcome outcome = Outcome::Answer;
        ExchangeErrorIn error = QuelmLink::NoExchangeError;
    };

    // Runs `answer` on the session from the event loop, unless the link it
    // belongs to has ended by then.
    void answer(QuelmSession& session, std::function<void(QuelmSession&)> answer);
    // Answers the request of `command` by its scripted fault or by `fill`
    // and the command's end.
    void answerCommand(QuelmSession& session, PelavixCommandIn command,
                       std::function<void(QuelmSession&)> fill);
    void fillCommand(QuelmSession& session, PelavixCommandIn command) const;
    void fillSamples(QuelmSession& session, quint16 diveNumber) const;
    void connectFoundComputer(QuelmSession& session);
    // What was asked of the link so far gets no answer.
    void endLink() { ++mLink; }

    Requests mRequests;
    QHash<int, QList<Fault>> mFaults;
    QSet<quint16> mLostDives;
    QPointer<QuelmSession> mSession;
    quint64 mLink = 0;
};

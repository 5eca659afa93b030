#include "tessal/simulatedcomputer.h"

#include "tessal/quelmdata.h"

#include <QMetaObject>
#include <QtGlobal>

#include <algorithm>

namespace {

void takeOwnerName(QuelmSession& session, const OwnerName& name)
{
    session.ownerName = name;
    session.computerName = name.text();
}

// The depth at `fraction` of the dive: a descent over the first tenth, the
// bottom, an ascent to the stop, the stop, and the surface at the end.
double profileDepth(double fraction, double maxDepth)
{
    const double stop = std::min(5.0, maxDepth);
    if (fraction < 0.1)
        return maxDepth * fraction / 0.1;
    if (fraction < 0.7)
        return maxDepth;
    if (fraction < 0.85)
        return maxDepth - (maxDepth - stop) * (fraction - 0.7) / 0.15;
    if (fraction < 0.95)
        return stop;
    return stop * (1.0 - fraction) / 0.05;
}

} // namespace

SimulatedComputer::SimulatedComputer()
{
    ComputerBackend::install(this);
}

SimulatedComputer::~SimulatedComputer() = default;

void SimulatedComputer::failNext(PelavixCommandIn command, ExchangeErrorIn error)
{
    mFaults[command].append({Outcome::Fail, error});
}

void SimulatedComputer::stallNext(PelavixCommandIn command)
{
    mFaults[command].append({Outcome::Stall, QuelmLink::NoExchangeError});
}

void SimulatedComputer::loseDive(quint16 diveNumber)
{
    mLostDives.insert(diveNumber);
}

void SimulatedComputer::dropLink()
{
    endLink();
    if (mSession)
        answer(*mSession, [](QuelmSession& session) { session.reportLinkLost(); });
}

void SimulatedComputer::raiseServiceError(QLowEnergyService::ServiceError error)
{
    if (mSession)
        answer(*mSession, [error](QuelmSession& session) { session.reportServiceError(error); });
}

void SimulatedComputer::autoConnect(QuelmSession& session, BleMode)
{
    ++mRequests.searches;
    answer(session, [this](QuelmSession& target) {
        target.reportMessage(script.message);
        const bool found = script.searchResult == QuelmLink::DeviceFound;
        if (found) {
            target.foundDevice.emplace(script.deviceIdentifier,
                                       QBluetoothDeviceInfo(QBluetoothAddress(), script.modelText, 0));
        }
        target.reportCreateStatus(script.searchResult);
        // The library connects a computer as soon as it has found it.
        if (found)
            connectFoundComputer(target);
    });
}

void SimulatedComputer::controllerConnect(QuelmSession& session)
{
    ++mRequests.connections;
    connectFoundComputer(session);
}

void SimulatedComputer::connectFoundComputer(QuelmSession& session)
{
    answer(session, [this](QuelmSession& target) {
        if (script.controllerError)
            target.reportControllerError(*script.controllerError);
        else
            target.reportConnectStatus(script.connectResult);
    });
}

void SimulatedComputer::controllerDisconnect(QuelmSession& session)
{
    ++mRequests.disconnections;
    endLink();
    if (session.connected)
        answer(session, [](QuelmSession& target) { target.reportLinkLost(); });
}

void SimulatedComputer::startCommand(QuelmSession& session, PelavixCommandIn command)
{
    mRequests.commands.append(command);
    answerCommand(session, command, [this, command](QuelmSession& target) { fillCommand(target, command); });
}

void SimulatedComputer::startGetLogbook(QuelmSession& session, const QList<quint16>& knownDives)
{
    mRequests.logbooks.append(knownDives);
    answerCommand(session, PelavixCommand::Logbook, [this, knownDives](QuelmSession& target) {
        const QSet<quint16> known(knownDives.begin(), knownDives.end());
        target.logbook.clear();
        for (const StoredDive& dive : std::as_const(script.dives)) {
            if (!known.contains(dive.header.diveNumber))
                target.logbook.append(dive.header);
        }
    });
}

void SimulatedComputer::startGetDiveSamples(QuelmSession& session, quint16 diveNumber)
{
    mRequests.diveSamples.append(diveNumber);
    answerCommand(session, PelavixCommand::DiveSamples,
                  [this, diveNumber](QuelmSession& target) { fillSamples(target, diveNumber); });
}

int SimulatedComputer::uploadFirmware(QuelmSession& session, const QByteArray& image, const QString& name,
                                      bool force)
{
    mRequests.uploads.append({image, name, force});
    const int result = script.uploadResult.value_or(int(image.size()));
    if (result > 0) {
        answerCommand(session, PelavixCommand::FirmwareInstall, [this, result](QuelmSession& target) {
            target.installDuration = script.installDuration;
            const QList<std::pair<int, int>> progress =
                script.uploadProgress.isEmpty() ? QList<std::pair<int, int>>{{result, 100}} : script.uploadProgress;
            for (const auto& [sent, percent] : progress)
                target.reportUploadProgress(sent, percent);
        });
    }
    return result;
}

void SimulatedComputer::startSetPressure(QuelmSession&, unsigned millibar)
{
    mRequests.pressures.append(millibar);
}

void SimulatedComputer::setOwner(QuelmSession& session, const OwnerName& name)
{
    mRequests.owners.append(name.bytes());
    script.ownerName = name.bytes();
    answer(session, [name](QuelmSession& target) {
        if (target.connected)
            takeOwnerName(target, name);
    });
}

QString SimulatedComputer::computerModelStr() const
{
    return script.modelText;
}

void SimulatedComputer::answer(QuelmSession& session, std::function<void(QuelmSession&)> answer)
{
    mSession = &session;
    QMetaObject::invokeMethod(
        this,
        [this, target = QPointer<QuelmSession>(&session), link = mLink, answer = std::move(answer)] {
            if (target && link == mLink)
                answer(*target);
        },
        Qt::QueuedConnection);
}

void SimulatedComputer::answerCommand(QuelmSession& session, PelavixCommandIn command,
                                      std::function<void(QuelmSession&)> fill)
{
    Fault fault;
    if (QList<Fault>& faults = mFaults[command]; !faults.isEmpty())
        fault = faults.takeFirst();
    if (fault.outcome == Outcome::Stall)
        return;
    answer(session, [this, command, fault, fill = std::move(fill)](QuelmSession& target) {
        if (fault.outcome == Outcome::Fail) {
            target.reportExchangeError(command, fault.error);
            return;
        }
        if (!target.connected) {
            target.reportExchangeError(command, QuelmLink::NotConnected);
            return;
        }
        fill(target);
        target.reportCommandEnd(command);
        // A reset computer starts again: the link drops after the answer.
        if (command == PelavixCommand::ResetComputer) {
            endLink();
            answer(target, [](QuelmSession& reset) { reset.reportLinkLost(); });
        }
    });
}

void SimulatedComputer::fillCommand(QuelmSession& session, PelavixCommandIn command) const
{
    switch (command) {
    case PelavixCommand::FirmwareVersion:
        session.firmwareVersion = script.firmwareVersion;
        session.firmwareVersionText = QuelmData::firmwareVersionToString(script.firmwareVersion);
        break;
    case PelavixCommand::SerialNumber:
        session.serialNumber = script.serialNumber;
        break;
    case PelavixCommand::AmbientPressure:
        session.ambientPressure = script.ambientPressure;
        session.surfacePressure = script.surfacePressure;
        session.config = script.config;
        break;
    case PelavixCommand::HandshakeEnd:
    case PelavixCommand::HandshakeEndLegacy:
        session.mode = script.mode;
        takeOwnerName(session, OwnerName::fromBytes(script.ownerName));
        break;
    case PelavixCommand::OwnerName:
        takeOwnerName(session, OwnerName::fromBytes(script.ownerName));
        break;
    case PelavixCommand::SysLogText:
        session.sysLogText = script.sysLogText;
        break;
    case PelavixCommand::SysLogBinary:
        session.sysLogRecords = script.sysLogRecords;
        break;
    default:
        break;
    }
}

void SimulatedComputer::fillSamples(QuelmSession& session, quint16 diveNumber) const
{
    const auto stored = std::find_if(script.dives.begin(), script.dives.end(), [diveNumber](const StoredDive& dive) {
        return dive.header.diveNumber == diveNumber;
    });
    if (stored != script.dives.end() && !mLostDives.contains(diveNumber)) {
        session.diveSamples = stored->samples;
        return;
    }
    // The computer has no such dive (any more): the library forgets it.
    session.diveSamples.clear();
    session.logbook.removeIf([diveNumber](const PelavixDiveHeader& header) {
        return header.diveNumber == diveNumber;
    });
}

SimulatedComputer::StoredDive SimulatedComputer::makeDive(quint16 number, qint64 beginTime, int sampleCount,
                                                          double maxDepth, quint8 period)
{
    StoredDive dive;
    PelavixDiveHeader& header = dive.header;
    header.diveNumber = number;
    header.computerModel = DiveHeader::kPelavixModel;
    header.beginTime = beginTime;
    header.endTime = beginTime + qint64(std::max(sampleCount - 1, 0)) * period;
    header.samplePeriod = period;
    header.sampleCount = quint32(std::max(sampleCount, 0));
    header.maxDepth = maxDepth;
    header.surfacePressure = 1013;
    header.gasEnabled = 1;
    header.gasPO2[0] = 21;

    dive.samples.reserve(sampleCount);
    for (int i = 0; i < sampleCount; ++i) {
        const double fraction = sampleCount > 1 ? double(i) / (sampleCount - 1) : 0.0;
        const double depth = profileDepth(fraction, maxDepth);
        DiveSample sample;
        sample.time = quint32(i) * period;
        sample.depth = quint16(qRound(depth * 100.0));
        sample.temperature = qint16(qRound(200.0 - depth * 2.0));
        sample.ppO2 = quint16(qRound(210.0 * (1.013 + depth / 10.0)));
        sample.tankPressure = quint16(qRound(200.0 - 150.0 * fraction));
        sample.battery = 100;
        dive.samples.append(sample);
    }
    return dive;
}

std::unique_ptr<SimulatedComputer> SimulatedComputer::fromEnvironment()
{
    if (qEnvironmentVariable("MAREVANE_SIMULATED_COMPUTER") != QLatin1String("1"))
        return nullptr;
    auto computer = std::make_unique<SimulatedComputer>();
    // Three dives of 45 minutes, one every five seconds, on three mornings.
    const qint64 firstMorning = 1717232400; // 2024-06-01 09:00 UTC
    const double depths[] = {18.0, 32.0, 12.0};
    for (int i = 0; i < 3; ++i)
        computer->script.dives.append(makeDive(quint16(i + 1), firstMorning + i * 86400, 540, depths[i]));
    return computer;
}

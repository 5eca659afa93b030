#include "computerkit.h"
#include "testenvironment.h"
#include "tessal/ownername.h"
#include "tessal/quelmsession.h"
#include "tessal/simulatedcomputer.h"

#include <QApplication>

#include <functional>

using Request = std::function<void(QuelmSession&)>;
Q_DECLARE_METATYPE(Request)

// The stand-in of the dive computer library: what the program relies on of
// the session, answered by the simulated computer.
class QuelmSessionTest : public QObject
{
    Q_OBJECT

private slots:
    void noSignalInsideACall_data()
    {
        QTest::addColumn<Request>("request");
        QTest::addColumn<int>("answers");
        QTest::newRow("command") << Request([](QuelmSession& s) { s.startCommand(PelavixCommand::SerialNumber); })
                                 << 1;
        QTest::newRow("logbook") << Request([](QuelmSession& s) { s.startGetLogbook({}); }) << 1;
        QTest::newRow("samples") << Request([](QuelmSession& s) { s.startGetDiveSamples(1); }) << 1;
        QTest::newRow("disconnect") << Request([](QuelmSession& s) { s.controllerDisconnect(); }) << 1;
        QTest::newRow("reset") << Request([](QuelmSession& s) { s.startCommand(PelavixCommand::ResetComputer); })
                               << 2;
        QTest::newRow("upload") << Request([](QuelmSession& s) { s.uploadFirmware("image", "fw", false); }) << 2;
    }
    void noSignalInsideACall()
    {
        QFETCH(Request, request);
        QFETCH(int, answers);
        SimulatedComputer computer;
        computer.script.dives = {SimulatedComputer::makeDive(1, 1700000000, 10, 12.0)};
        QuelmSession session;
        QVERIFY(testkit::connectSession(session));
        testkit::SessionSignals received(session);

        request(session);
        QCOMPARE(received.total(), 0);
        testkit::settle();
        QCOMPARE(received.total(), answers);
    }

    void searchAnswersLater()
    {
        SimulatedComputer computer;
        QuelmSession session;
        testkit::SessionSignals received(session);
        session.autoConnect(QuelmLink::Search);
        QCOMPARE(received.total(), 0);
        testkit::settle();
        QCOMPARE(received.message.size(), 1);
        QCOMPARE(session.message, computer.script.message);
        QCOMPARE(received.createStatus.size(), 1);
        QCOMPARE(received.createStatus.at(0).at(0).value<CreateControllerStatusIn>(), QuelmLink::DeviceFound);
        QVERIFY(session.foundDevice.has_value());
        QVERIFY(!session.foundDevice->first.isEmpty());
        QCOMPARE(received.connectStatus.size(), 1);
        QVERIFY(session.connected);
        QCOMPARE(computer.requests().searches, 1);
    }

    void eachCommandEndsOnce_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("fails");
        for (const int command : {1, 2, 3, 5, 9, 22, 24, 29}) {
            QTest::addRow("%d answered", command) << command << false;
            QTest::addRow("%d failed", command) << command << true;
        }
    }
    void eachCommandEndsOnce()
    {
        QFETCH(int, command);
        QFETCH(bool, fails);
        SimulatedComputer computer;
        QuelmSession session;
        QVERIFY(testkit::connectSession(session));
        if (fails)
            computer.failNext(PelavixCommandIn(command), QuelmLink::WrongChecksum);
        testkit::SessionSignals received(session);

        session.startCommand(PelavixCommandIn(command));
        testkit::settle();
        QCOMPARE(received.total(), 1);
        if (fails) {
            QCOMPARE(received.exchangeError.at(0).at(0).value<PelavixCommandIn>(), PelavixCommandIn(command));
            QCOMPARE(received.exchangeError.at(0).at(1).value<ExchangeErrorIn>(), QuelmLink::WrongChecksum);
        } else {
            QCOMPARE(received.endCommand.at(0).at(0).value<PelavixCommandIn>(), PelavixCommandIn(command));
        }
        QCOMPARE(computer.requests().commands, QList<int>{command});
    }

    void handshakeFillsTheState()
    {
        SimulatedComputer computer;
        computer.script.firmwareVersion = 0x02000B61;
        computer.script.serialNumber = "PX-77";
        computer.script.ambientPressure = 987;
        computer.script.mode = 2;
        computer.script.ownerName = "Léa";
        QuelmSession session;
        QVERIFY(testkit::connectSession(session));
        QCOMPARE(session.mode, quint8(0));
        QVERIFY(session.computerName.isEmpty());
        for (const PelavixCommandIn command : {PelavixCommand::FirmwareVersion, PelavixCommand::SerialNumber,
                                               PelavixCommand::AmbientPressure, PelavixCommand::HandshakeEnd})
            session.startCommand(command);
        testkit::settle();
        QCOMPARE(session.firmwareVersion, 0x02000B61u);
        QCOMPARE(session.firmwareVersionText, QStringLiteral("2.0.11.a"));
        QCOMPARE(session.serialNumber, QStringLiteral("PX-77"));
        QCOMPARE(session.ambientPressure, quint16(987));
        // Names and mode are known once the handshake has ended.
        QCOMPARE(session.mode, quint8(2));
        QCOMPARE(session.computerName, QStringLiteral("Léa"));
        QCOMPARE(session.ownerName.text(), QStringLiteral("Léa"));
    }

    void stalledCommandNeverEnds()
    {
        SimulatedComputer computer;
        QuelmSession session;
        QVERIFY(testkit::connectSession(session));
        computer.stallNext(PelavixCommand::OwnerName);
        testkit::SessionSignals received(session);
        session.startCommand(PelavixCommand::OwnerName);
        testkit::settle();
        QCOMPARE(received.total(), 0);
        // Only that request: the next one is answered.
        session.startCommand(PelavixCommand::OwnerName);
        testkit::settle();
        QCOMPARE(received.endCommand.size(), 1);
    }

    void logbookLeavesOutKnownNumbers()
    {
        SimulatedComputer computer;
        for (const quint16 number : {1, 2, 256, 300, 65535})
            computer.script.dives.append(SimulatedComputer::makeDive(number, 1700000000 + number, 4, 10.0));
        QuelmSession session;
        QVERIFY(testkit::connectSession(session));
        // Numbers from 256 on are whole: 256 is not 0, 300 is not 44.
        session.startGetLogbook({1, 256, 44, 0});
        testkit::settle();
        QList<quint16> listed;
        for (const PelavixDiveHeader& header : session.logbook)
            listed.append(header.diveNumber);
        QCOMPARE(listed, (QList<quint16>{2, 300, 65535}));
        QCOMPARE(computer.requests().logbooks, (QList<QList<quint16>>{{1, 256, 44, 0}}));
        QVERIFY(session.diveHeader(300));
        QCOMPARE(session.diveHeader(300)->diveNumber, quint16(300));
        QVERIFY(!session.diveHeader(256));
    }

    void samplesOfALostDive()
    {
        SimulatedComputer computer;
        computer.script.dives = {SimulatedComputer::makeDive(1, 1700000000, 30, 12.0),
                                 SimulatedComputer::makeDive(2, 1700090000, 40, 15.0)};
        computer.loseDive(2);
        QuelmSession session;
        QVERIFY(testkit::connectSession(session));
        session.startGetLogbook({});
        testkit::settle();
        QCOMPARE(session.logbook.size(), 2);

        session.startGetDiveSamples(1);
        testkit::settle();
        QCOMPARE(session.diveSamples, computer.script.dives.at(0).samples);
        QVERIFY(session.diveHeader(1));

        session.startGetDiveSamples(2);
        testkit::settle();
        QVERIFY(session.diveSamples.isEmpty());
        QVERIFY(!session.diveHeader(2));
        QCOMPARE(computer.requests().diveSamples, (QList<quint16>{1, 2}));
    }

    void droppedLinkDisconnectsOnce()
    {
        SimulatedComputer computer;
        QuelmSession session;
        QVERIFY(testkit::connectSession(session));
        computer.stallNext(PelavixCommand::SerialNumber);
        session.startCommand(PelavixCommand::SerialNumber);
        session.startCommand(PelavixCommand::FirmwareVersion);
        testkit::SessionSignals received(session);
        computer.dropLink();
        computer.dropLink();
        testkit::settle();
        QVERIFY(!session.connected);
        QCOMPARE(received.disconnected.size(), 1);
        // What was asked of the lost link gets no answer.
        QCOMPARE(received.total(), 1);
    }

    void disconnectWhileSearchingStopsSilently()
    {
        SimulatedComputer computer;
        QuelmSession session;
        testkit::SessionSignals received(session);
        session.autoConnect(QuelmLink::Search);
        session.controllerDisconnect();
        testkit::settle();
        QCOMPARE(received.total(), 0);
        QVERIFY(!session.connected);
        QCOMPARE(computer.requests().disconnections, 1);
    }

    void resetEndsThenTheLinkDrops()
    {
        SimulatedComputer computer;
        QuelmSession session;
        QVERIFY(testkit::connectSession(session));
        QStringList order;
        connect(&session, &QuelmSession::endCommand, this,
                [&order](PelavixCommandIn command) { order << QStringLiteral("end %1").arg(int(command)); });
        connect(&session, &QuelmSession::disconnectController, this, [&order] { order << "disconnected"; });
        session.startCommand(PelavixCommand::ResetComputer);
        testkit::settle();
        QCOMPARE(order, (QStringList{"end 254", "disconnected"}));
        QVERIFY(!session.connected);
    }

    void commandWithoutLinkFails()
    {
        SimulatedComputer computer;
        QuelmSession session;
        testkit::SessionSignals received(session);
        session.startCommand(PelavixCommand::FirmwareVersion);
        testkit::settle();
        QCOMPARE(received.endCommand.size(), 0);
        QCOMPARE(received.exchangeError.size(), 1);
        QCOMPARE(received.exchangeError.at(0).at(1).value<ExchangeErrorIn>(), QuelmLink::NotConnected);
    }

    void withoutBackendNothingConnects()
    {
        QuelmSession session;
        testkit::SessionSignals received(session);
        session.autoConnect(QuelmLink::Search);
        QCOMPARE(received.total(), 0);
        testkit::settle();
        QCOMPARE(received.createStatus.size(), 1);
        QCOMPARE(received.createStatus.at(0).at(0).value<CreateControllerStatusIn>(), QuelmLink::CreateProblem);
        QCOMPARE(received.message.size(), 1);
        QVERIFY(session.message.contains("No dive computer library"));
        session.startCommand(PelavixCommand::FirmwareVersion);
        testkit::settle();
        QCOMPARE(received.exchangeError.size(), 1);
        QVERIFY(!session.connected);
    }

    void backendIsInstalledWhileItLives()
    {
        {
            SimulatedComputer computer;
            QCOMPARE(ComputerBackend::installed(), &computer);
        }
        QCOMPARE(ComputerBackend::installed(), nullptr);
    }

    void setOwnerCutsAtAWholeCharacter()
    {
        SimulatedComputer computer;
        QuelmSession session;
        QVERIFY(testkit::connectSession(session));
        // 31 bytes and a two-byte character: the character does not fit.
        const QString name = QString(31, 'a') + QStringLiteral("é");
        session.setOwner(name);
        testkit::settle();
        QCOMPARE(computer.requests().owners.size(), 1);
        const QByteArray written = computer.requests().owners.at(0);
        QCOMPARE(written.size(), OwnerName::kSize);
        QCOMPARE(written, QByteArray(31, 'a') + QByteArray(1, '\0'));
        QCOMPARE(session.computerName, QString(31, 'a'));
        // Command 22 reads the new name back.
        session.startCommand(PelavixCommand::OwnerName);
        testkit::settle();
        QCOMPARE(session.ownerName.text(), QString(31, 'a'));
    }

    void ownerNameField_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("terminated") << QByteArray("Marc\0junk", 9) << "Marc";
        QTest::newRow("whole field") << QByteArray(32, 'x') << QString(32, 'x');
        QTest::newRow("longer than the field") << QByteArray(40, 'y') << QString(32, 'y');
        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("bad utf-8") << QByteArray("A\xff\xfe" "B") << QStringLiteral("A\uFFFD\uFFFDB");
        QTest::newRow("cut character") << QByteArray("\xc3") << QStringLiteral("\uFFFD");
    }
    void ownerNameField()
    {
        QFETCH(QByteArray, field);
        QFETCH(QString, text);
        QCOMPARE(OwnerName::fromBytes(field).text(), text);
    }

    void ownerNameFromText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("bytes");
        QTest::newRow("short") << "Léa" << 4;
        QTest::newRow("exactly the field") << QString(32, 'z') << 32;
        QTest::newRow("two-byte character at the end") << QString(31, 'a') + QStringLiteral("é") << 31;
        QTest::newRow("four-byte character across the end") << QString(30, 'a') + QStringLiteral("\U0001F420") << 30;
        QTest::newRow("three-byte characters") << QString(11, QChar(0x20AC)) << 30;
    }
    void ownerNameFromText()
    {
        QFETCH(QString, name);
        QFETCH(int, bytes);
        const OwnerName field = OwnerName::fromText(name);
        const QString text = field.text();
        QCOMPARE(text.toUtf8().size(), bytes);
        QVERIFY(name.startsWith(text));
        QVERIFY(!text.contains(QChar::ReplacementCharacter));
    }

    void serviceErrorAndMessage()
    {
        SimulatedComputer computer;
        QuelmSession session;
        QVERIFY(testkit::connectSession(session));
        testkit::SessionSignals received(session);
        computer.raiseServiceError(QLowEnergyService::CharacteristicWriteError);
        QCOMPARE(received.total(), 0);
        testkit::settle();
        QCOMPARE(received.serviceError.size(), 1);
        QCOMPARE(received.serviceError.at(0).at(0).value<QLowEnergyService::ServiceError>(),
                 QLowEnergyService::CharacteristicWriteError);
    }

    void connectionFailuresAreReported()
    {
        SimulatedComputer computer;
        computer.script.controllerError = QLowEnergyController::ConnectionError;
        QuelmSession session;
        testkit::SessionSignals received(session);
        session.autoConnect(QuelmLink::Search);
        testkit::settle();
        QCOMPARE(received.controllerError.size(), 1);
        QCOMPARE(received.connectStatus.size(), 0);
        QVERIFY(!session.connected);
        // The found computer is connected again on request.
        computer.script.controllerError.reset();
        session.controllerConnect();
        testkit::settle();
        QVERIFY(session.connected);
        QCOMPARE(computer.requests().connections, 1);
    }
};

MAREVANE_TEST_MAIN(QuelmSessionTest)
#include "tst_quelmsession.moc"

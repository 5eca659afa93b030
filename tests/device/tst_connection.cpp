#include "computerkit.h"
#include "devicekit.h"
#include "device/formbluetoothconnect.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTimer>

namespace {

enum class Status { Create, Connect, ControllerError, ExchangeError };

QString stepImage(int step)
{
    return QStringLiteral("image: url(:/TestGraphics/icons/bluetooth-smartphone-step%1.png);").arg(step);
}

QLabel* statusLine(QDialog& dialog)
{
    return dialog.findChild<QLabel*>("log");
}

bool bottomBarShown(QDialog& dialog)
{
    return !dialog.findChild<QWidget*>("bottomBar")->isHidden();
}

FormBluetoothConnect* connectDialog(MainWindow& window)
{
    return window.findChild<FormBluetoothConnect*>();
}

QuelmSession* session(MainWindow& window)
{
    return window.findChild<QuelmSession*>();
}

QLabel* computerImage(MainWindow& window)
{
    return window.findChild<QLabel*>("imgPelavix");
}

} // namespace

// Connecting the dive computer: the connection dialog's statuses and
// handshake, and the main window's view of the link.
class ConnectionTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(QStandardPaths::standardLocations(QStandardPaths::AppLocalDataLocation).value(0)).removeRecursively();
        mPrompts.clear();
    }

    void statusTable_data()
    {
        QTest::addColumn<Status>("status");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("barShown");
        QTest::addColumn<bool>("toggled");
        QTest::newRow("none found") << Status::Create << 0 << "No Device Found" << true << true;
        QTest::newRow("create problem") << Status::Create << 1 << "Problem on Create Device" << true << true;
        QTest::newRow("found") << Status::Create << 2 << "Computer found, connecting..." << false << false;
        QTest::newRow("create error") << Status::Create << 3 << "Error on Create Device" << true << true;
        QTest::newRow("create other") << Status::Create << 9 << "before" << true << true;
        QTest::newRow("connected") << Status::Connect << 2 << "Device Connected" << false << true;
        QTest::newRow("no computer") << Status::Connect << 1 << "No Computer Found" << true << true;
        QTest::newRow("no controller") << Status::Connect << 0 << "No Controller" << true << true;
        QTest::newRow("connect other") << Status::Connect << 7 << "before" << true << true;
        QTest::newRow("controller error")
            << Status::ControllerError << int(QLowEnergyController::ConnectionError)
            << "Controller Error: The connection to the dive computer failed" << true << false;
        // The handshake may stop there: "Close" must be reachable.
        QTest::newRow("exchange error") << Status::ExchangeError << int(QuelmLink::AnswerTimeout)
                                        << "Exchange Error: The dive computer did not answer in time" << true << false;
    }
    void statusTable()
    {
        QFETCH(Status, status);
        QFETCH(int, value);
        QFETCH(QString, line);
        QFETCH(bool, barShown);
        QFETCH(bool, toggled);
        QuelmSession session;
        FormBluetoothConnect dialog;
        dialog.session = &session;
        dialog.findChild<QWidget*>("bottomBar")->hide();
        dialog.log("before");
        dialog.startStopAnimation();
        QVERIFY(dialog.animationTimer);

        switch (status) {
        case Status::Create: dialog.onCreateControllerStatus(CreateControllerStatusIn(value)); break;
        case Status::Connect: dialog.onConnectControllerStatus(ConnectControllerStatusIn(value)); break;
        case Status::ControllerError: dialog.onErrorController(QLowEnergyController::Error(value)); break;
        case Status::ExchangeError: dialog.onExchangeError(PelavixCommand::SerialNumber, ExchangeErrorIn(value)); break;
        }
        QCOMPARE(statusLine(dialog)->text(), line);
        QCOMPARE(bottomBarShown(dialog), barShown);
        QCOMPARE(dialog.animationTimer == nullptr, toggled);
    }

    void stoppedAnimationRestarts()
    {
        QuelmSession session;
        FormBluetoothConnect dialog;
        dialog.session = &session;
        QVERIFY(!dialog.animationTimer);
        dialog.onConnectControllerStatus(QuelmLink::NoComputer);
        QVERIFY(dialog.animationTimer);
        dialog.onCreateControllerStatus(QuelmLink::NoDeviceFound);
        QVERIFY(!dialog.animationTimer);
        QCOMPARE(dialog.findChild<QLabel*>("imgBluetooth")->styleSheet(), stepImage(0));
    }

    void animationSteps()
    {
        FormBluetoothConnect dialog;
        dialog.startStopAnimation();
        QVERIFY(dialog.animationTimer);
        QCOMPARE(dialog.animationTimer->interval(), 500);
        QVERIFY(dialog.animationTimer->isActive());
        QStringList shown;
        for (int tick = 0; tick < 5; ++tick) {
            dialog.onAnimationTick();
            shown << dialog.findChild<QLabel*>("imgBluetooth")->styleSheet();
        }
        QCOMPARE(shown, (QStringList{stepImage(1), stepImage(2), stepImage(3), stepImage(0), stepImage(1)}));
    }

    void handshakeConnects_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("modeText");
        QTest::newRow("normal") << 1 << "Mode Normal";
        QTest::newRow("bootloader") << 2 << "Mode Firmware";
        QTest::newRow("other") << 0 << "Mode Firmware";
    }
    void handshakeConnects()
    {
        QFETCH(int, mode);
        QFETCH(QString, modeText);
        SimulatedComputer computer;
        computer.script.mode = quint8(mode);
        computer.script.serialNumber = "PX-0042";
        MainWindow window;
        mPrompts.answerDialog(testkit::runDialog());

        QCOMPARE(window.connectQuelmBle(), 1);
        QCOMPARE(computer.requests().commands, (QList<int>{1, 3, 9, 24}));
        QCOMPARE(statusLine(*connectDialog(window))->text(), QStringLiteral("Ambiant pressure: 1013"));
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().at(0).title, QStringLiteral("Bluetooth Connection"));
        QVERIFY(session(window)->connected);
        QLabel* image = computerImage(window);
        QCOMPARE(image->styleSheet(), QStringLiteral("image: url(:/TestGraphics/icons/Pelavix-bluetooth-on.png);"));
        QVERIFY(image->toolTip().contains("Computer Connected"));
        QVERIFY(image->toolTip().contains("Serial PX-0042"));
        QVERIFY(image->toolTip().contains(modeText));
        // The animation does not tick on behind the closed dialog.
        QVERIFY(!connectDialog(window)->animationTimer);

        // Connected: no dialog the second time.
        QCOMPARE(window.connectQuelmBle(), 1);
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(computer.requests().searches, 1);
    }

    void serialIsNoMarkup()
    {
        SimulatedComputer computer;
        computer.script.serialNumber = "<b>PX</b>";
        MainWindow window;
        QVERIFY(testkit::connectWindow(window, mPrompts));
        const QString tip = computerImage(window)->toolTip();
        QVERIFY(tip.contains("Serial &lt;b&gt;PX&lt;/b&gt;"));
        QVERIFY(!tip.contains("<b>PX"));
    }

    void closeDuringTheHandshakeDisconnects()
    {
        SimulatedComputer computer;
        computer.stallNext(PelavixCommand::SerialNumber);
        MainWindow window;
        mPrompts.answerDialog(testkit::runDialog([](QDialog& dialog) {
            QCOMPARE(statusLine(dialog)->text(), QStringLiteral("Firmware version: 2.0.11"));
            QTest::mouseClick(dialog.findChild<QPushButton*>("btClose"), Qt::LeftButton);
        }));
        QCOMPARE(window.connectQuelmBle(), 0);
        testkit::settle();
        QVERIFY(!session(window)->connected);
        QCOMPARE(computer.requests().disconnections, 1);
        QCOMPARE(computerImage(window)->toolTip(), QStringLiteral("Computer Disconnected"));

        // The next action runs the dialog again and reads the serial.
        QVERIFY(testkit::connectWindow(window, mPrompts));
        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(session(window)->serialNumber, computer.script.serialNumber);
    }

    void closeDuringTheSearchStopsIt()
    {
        SimulatedComputer computer;
        MainWindow window;
        // Closed before the computer has answered anything.
        mPrompts.answerDialog([](QDialog& dialog) {
            dialog.reject();
            return dialog.result();
        });
        QCOMPARE(window.connectQuelmBle(), 0);
        testkit::settle();
        QVERIFY(!session(window)->connected);
        QVERIFY(computer.requests().commands.isEmpty());
        QCOMPARE(computer.requests().disconnections, 1);
    }

    void exchangeErrorLeavesCloseReachable()
    {
        SimulatedComputer computer;
        computer.failNext(PelavixCommand::SerialNumber, QuelmLink::WrongChecksum);
        MainWindow window;
        bool barShown = false;
        QString line;
        mPrompts.answerDialog(testkit::runDialog([&](QDialog& dialog) {
            barShown = bottomBarShown(dialog);
            line = statusLine(dialog)->text();
        }));
        QCOMPARE(window.connectQuelmBle(), 0);
        QVERIFY(barShown);
        QCOMPARE(line, QStringLiteral("Exchange Error: The answer of the dive computer is damaged"));
        testkit::settle();
        QVERIFY(!session(window)->connected);
    }

    void eachRunStartsWithTheAnimationStopped()
    {
        SimulatedComputer computer;
        // Neither answer toggles the animation: it runs as the run started it.
        computer.script.controllerError = QLowEnergyController::ConnectionError;
        MainWindow window;
        FormBluetoothConnect* dialog = connectDialog(window);
        // An earlier run's animation still ticks.
        dialog->startStopAnimation();
        bool runningWhileSearching = false;
        mPrompts.answerDialog([&runningWhileSearching](QDialog& shown) {
            runningWhileSearching = static_cast<FormBluetoothConnect&>(shown).animationTimer != nullptr;
            return int(QDialog::Rejected);
        });
        QCOMPARE(window.connectQuelmBle(), 0);
        QVERIFY(runningWhileSearching);
    }

    void withoutLibraryNoComputerIsCreated()
    {
        MainWindow window;
        QString line;
        bool barShown = false;
        mPrompts.answerDialog(testkit::runDialog([&](QDialog& dialog) {
            line = statusLine(dialog)->text();
            barShown = bottomBarShown(dialog);
        }));
        QCOMPARE(window.connectQuelmBle(), 0);
        QCOMPARE(line, QStringLiteral("Problem on Create Device"));
        QVERIFY(barShown);
        QVERIFY(console(window).contains("Log: No dive computer library is present"));
    }

    void sessionLinesGoToTheConsole()
    {
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(testkit::connectWindow(window, mPrompts));
        computer.raiseServiceError(QLowEnergyService::DescriptorReadError);
        testkit::settle();
        const QString text = console(window);
        QVERIFY(text.contains("Log: " + computer.script.message));
        QVERIFY(text.contains("Service Error: Reading a descriptor failed"));
    }

    void droppedLinkShowsTheComputerOff()
    {
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(testkit::connectWindow(window, mPrompts));
        computer.dropLink();
        testkit::settle();
        QCOMPARE(computerImage(window)->styleSheet(),
                 QStringLiteral("image: url(:/TestGraphics/icons/Pelavix-power-off.png);"));
        QCOMPARE(computerImage(window)->toolTip(), QStringLiteral("Computer Disconnected"));
    }

private:
    static QString console(MainWindow& window) { return window.findChild<QTextEdit*>("console")->toPlainText(); }

    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(ConnectionTest)
#include "tst_connection.moc"

#include "../app/divelistopen.h"
#include "../divemodel/diveprofiles.h"
#include "computerkit.h"
#include "devicekit.h"
#include "divedb/divedb.h"
#include "divelisttable.h"
#include "graphics/graphview.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testenvironment.h"
#include "widgetgrab.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTextEdit>

#include <cmath>

namespace {

using testkit::dive250Steps;
using testkit::diveLine;
using testkit::simulatorDive;

// Down to 18.3 m in 125 s with 7 minutes of no-decompression time, 5 s there
// under a ceiling of 2.5 m, and up in 5 s: 130 steps, the last sample and
// the surface.
Dive smallDive()
{
    return simulatorDive("Small", {diveLine(0, 0, 20, -7), diveLine(125, 18.3, 18, 2.5), diveLine(130, 0, 17, -3)});
}

unsigned millibars(double bar)
{
    return unsigned(std::lround(bar * 1000.0));
}

QString buttonIcon(const char* file)
{
    return QStringLiteral(":/TestGraphics/icons/") + file;
}

} // namespace

// The Simulation tab against the simulated computer: the pressure set by
// hand, the dive played one step a second, the ascent tool, and a lost link.
// No test waits for a timer: each checks the timer's interval and calls the
// slot the timer calls.
class PressureSimulationTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        QVERIFY(QDir().mkpath(testkit::appDataFolder()));
        QFile options(testkit::appDataFolder() + "/options.ini");
        QVERIFY(options.open(QIODevice::WriteOnly));
        options.write("[hidden]\nsimulation=1\n");
        options.close();
        mPrompts.clear();
    }

    void tabShowsWithItsOption()
    {
        MainWindow window;
        auto* tabs = window.findChild<QTabWidget*>("tabProfile");
        QVERIFY(tabs->isTabVisible(tabs->indexOf(window.findChild<QWidget*>("tabSimulationPage"))));
        for (const char* name : {"btStartStopSimul", "tbPressure", "spPressure", "btAscent"})
            QVERIFY2(!window.findChild<QWidget*>(name)->isEnabled(), name);
        QVERIFY(button(window, "btConnectBluetooth")->isEnabled());
    }

    void connectingTakesTheComputerPressure_data()
    {
        QTest::addColumn<int>("ambient");
        QTest::addColumn<int>("minimum");
        QTest::newRow("at altitude") << 980 << 980;
        QTest::newRow("at sea level") << 1013 << 1013;
        QTest::newRow("in a chamber") << 1200 << 1013;
    }
    void connectingTakesTheComputerPressure()
    {
        QFETCH(int, ambient);
        QFETCH(int, minimum);
        SimulatedComputer computer;
        computer.script.ambientPressure = quint16(ambient);
        MainWindow window;
        QVERIFY(showConnected(window));

        QCOMPARE(slider(window)->minimum(), minimum);
        QCOMPARE(slider(window)->value(), ambient);
        QCOMPARE(spinBox(window)->minimum(), minimum / 1000.0);
        QCOMPARE(spinBox(window)->value(), ambient / 1000.0);
        QCOMPARE(window.minimumPressure, minimum);
        QVERIFY(!button(window, "btConnectBluetooth")->isEnabled());
        for (const char* name : {"btStartStopSimul", "tbPressure", "spPressure", "btAscent"})
            QVERIFY2(window.findChild<QWidget*>(name)->isEnabled(), name);
        QVERIFY(computer.requests().pressures.isEmpty());
    }

    void altitudeMinimumStaysForLaterConnections()
    {
        SimulatedComputer computer;
        computer.script.ambientPressure = 980;
        MainWindow window;
        QVERIFY(showConnected(window));
        computer.dropLink();
        testkit::settle();
        QVERIFY(button(window, "btConnectBluetooth")->isEnabled());

        computer.script.ambientPressure = 1200;
        QVERIFY(connectTab(window));
        QCOMPARE(slider(window)->minimum(), 980);
        QCOMPARE(spinBox(window)->minimum(), 0.98);
        QCOMPARE(slider(window)->value(), 1200);
        QCOMPARE(spinBox(window)->value(), 1.2);
        QVERIFY(computer.requests().pressures.isEmpty());
    }

    void refusedConnectionLeavesTheControls()
    {
        SimulatedComputer computer;
        computer.script.searchResult = QuelmLink::NoDeviceFound;
        MainWindow window;
        QVERIFY(testkit::showSimulationTab(window));
        QVERIFY(!connectTab(window));
        QVERIFY(button(window, "btConnectBluetooth")->isEnabled());
        QVERIFY(!slider(window)->isEnabled());
        QCOMPARE(slider(window)->minimum(), 1013);
    }

    void sliderSendsItsPressureAndLogsIt()
    {
        SimulatedComputer computer;
        computer.script.ambientPressure = 1200;
        MainWindow window;
        QVERIFY(showConnected(window));
        slider(window)->setFocus();
        QTest::keyClick(slider(window), Qt::Key_Home);

        QCOMPARE(slider(window)->value(), 1013);
        QCOMPARE(spinBox(window)->value(), 1.013);
        QCOMPARE(computer.requests().pressures, QList<unsigned>{1013});
        QCOMPARE(window.findChild<QTextEdit*>("console")->toPlainText().split('\n').last(), QStringLiteral("1.013"));
    }

    void spinBoxSendsItsPressure()
    {
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(showConnected(window));
        const QString console = window.findChild<QTextEdit*>("console")->toPlainText();
        spinBox(window)->setValue(1.015);

        QCOMPARE(slider(window)->value(), 1015);
        QCOMPARE(computer.requests().pressures, QList<unsigned>{1015});
        // Only the slider writes to the console.
        QCOMPARE(window.findChild<QTextEdit*>("console")->toPlainText(), console);
    }

    void openingADiveEnablesPlayingWhileConnected()
    {
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(testkit::showSimulationTab(window));
        QVERIFY(testkit::openStoredDive(window, smallDive()));
        QVERIFY(!button(window, "btStartStopSimul")->isEnabled());

        // Connected through the computer menu's road, not the tab's button.
        QVERIFY(testkit::connectWindow(window, mPrompts));
        QVERIFY(!button(window, "btStartStopSimul")->isEnabled());
        QVERIFY(testkit::openStoredDive(window, dive250Steps()));
        QVERIFY(button(window, "btStartStopSimul")->isEnabled());
    }

    void diveIsPlayedStepByStep()
    {
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(showConnected(window));
        QVERIFY(playDive(window, smallDive()));
        QVERIFY(mPrompts.records().isEmpty());
        QVERIFY(testkit::showsIcon(*button(window, "btStartStopSimul"), buttonIcon("pause.png")));
        const std::vector<StepSimulation> steps = window.simulationSteps;
        QCOMPARE(steps.size(), size_t(132));
        QVERIFY(computer.requests().pressures.isEmpty());

        QList<unsigned> expected;
        QStringList fields;
        for (size_t i = 0; i < steps.size(); ++i) {
            window.timeOutSimulation();
            expected << millibars(steps[i].pressure);
            QCOMPARE(computer.requests().pressures, expected);
            if (i + 1 < steps.size()) {
                const Marker* diver = testkit::profileMarker(window, window.simulationMarkerId);
                QVERIFY(diver);
                QCOMPARE(diver->mType, MarkerType::Diver);
                QCOMPARE(diver->mTime, steps[i].time);
                QCOMPARE(diver->mDepth, 0.0);
            }
            if (i == 3 || i == 125 || i >= 130)
                fields << QStringList{lineEdit(window, "edSimPointNumber"), lineEdit(window, "edSimTime"),
                                      lineEdit(window, "edSimDepth"), label(window, "lbSimNdlCeil"),
                                      lineEdit(window, "edSimNdlCeil")}
                              .join(' ');
        }
        QCOMPARE(fields, (QStringList{"3 00:03 0.4m NDL 7mn", "125 02:05 18.3m Ceiling 2.5m",
                                      "130 02:10 0.0m NDL 250mn", "131 02:10 0.0m NDL 250mn"}));
        // 18.3 m of salt water under 1013 mbar.
        QCOMPARE(expected.at(125), 2852u);
        QCOMPARE(expected.last(), 1013u);
        QVERIFY(testkit::simulationEnded(window));

        // Nothing more is played.
        window.timeOutSimulation();
        testkit::settle();
        QCOMPARE(computer.requests().pressures, expected);
    }

    void progressFollowsTheSteps()
    {
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(showConnected(window));
        QVERIFY(playDive(window, dive250Steps()));
        QCOMPARE(window.simulationSteps.size(), size_t(250));
        QList<int> progress;
        for (int i = 0; i < 5; ++i) {
            window.timeOutSimulation();
            progress << bar(window)->value();
        }
        QCOMPARE(progress, (QList<int>{0, 0, 1, 1, 2}));
        for (int i = 5; i < 249; ++i)
            window.timeOutSimulation();
        QCOMPARE(bar(window)->value(), 99);
        window.timeOutSimulation();
        QVERIFY(testkit::simulationEnded(window));
        QCOMPARE(computer.requests().pressures.size(), 250);
    }

    void stopInTheMiddle()
    {
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(showConnected(window));
        QVERIFY(playDive(window, dive250Steps()));
        for (int i = 0; i < 10; ++i)
            window.timeOutSimulation();
        QCOMPARE(bar(window)->value(), 4);

        QTest::mouseClick(button(window, "btStartStopSimul"), Qt::LeftButton);
        QVERIFY(testkit::simulationEnded(window));
        QCOMPARE(computer.requests().pressures.size(), 10);
        QVERIFY(mPrompts.records().isEmpty());

        // Started again, it plays from the beginning.
        QVERIFY(testkit::startSimulation(window));
        window.timeOutSimulation();
        QCOMPARE(computer.requests().pressures.last(), computer.requests().pressures.first());
        QCOMPARE(lineEdit(window, "edSimPointNumber"), QStringLiteral("0"));
    }

    void nothingToPlay_data()
    {
        QTest::addColumn<bool>("withDive");
        QTest::newRow("no dive") << false;
        QTest::newRow("dive without samples") << true;
    }
    void nothingToPlay()
    {
        QFETCH(bool, withDive);
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(showConnected(window));
        if (withDive)
            QVERIFY(testkit::openStoredDive(window, simulatorDive("Empty", {})));
        mPrompts.clear();
        QTest::mouseClick(button(window, "btStartStopSimul"), Qt::LeftButton);

        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().at(0).kind, QStringLiteral("critical"));
        QCOMPARE(mPrompts.records().at(0).title, QStringLiteral("Simulation Error"));
        QCOMPARE(mPrompts.records().at(0).text, QStringLiteral("No dive profile loaded"));
        QVERIFY(!window.simulationTimer);
        QVERIFY(window.diveLogView()->mProfile->markers().isEmpty());
        window.timeOutSimulation();
        testkit::settle();
        QVERIFY(computer.requests().pressures.isEmpty());
        QVERIFY(testkit::showsIcon(*button(window, "btStartStopSimul"), buttonIcon("run_simulation.png")));
    }

    void ascent_data()
    {
        QTest::addColumn<int>("ambient");
        QTest::addColumn<int>("waterType");
        QTest::addColumn<int>("speed");
        QTest::addColumn<double>("start");
        QTest::addColumn<int>("targetDepth");
        QTest::addColumn<double>("end");
        QTest::addColumn<int>("ticks");
        // 10 m/min of fresh water: 0.01635 bar a second.
        QTest::newRow("to the surface") << 1013 << 1 << 10 << 4.0 << 0 << 1.013 << 183;
        QTest::newRow("to 10 m") << 1013 << 1 << 10 << 4.0 << 10 << 1.994 << 123;
        QTest::newRow("minimum above the surface") << 1050 << 1 << 10 << 4.0 << 0 << 1.05 << 181;
        QTest::newRow("altitude minimum below the surface") << 980 << 1 << 10 << 4.0 << 0 << 1.013 << 183;
        QTest::newRow("target deeper than the pressure") << 1013 << 1 << 10 << 1.5 << 30 << 3.955 << 1;
        // 0.00168 bar a second, which whole millibars alone would make 0.002.
        QTest::newRow("1 m/min of salt water") << 1013 << 0 << 1 << 2.0 << 0 << 1.013 << 589;
    }
    void ascent()
    {
        QFETCH(int, ambient);
        QFETCH(int, waterType);
        QFETCH(int, speed);
        QFETCH(double, start);
        QFETCH(int, targetDepth);
        QFETCH(double, end);
        QFETCH(int, ticks);
        SimulatedComputer computer;
        computer.script.ambientPressure = quint16(ambient);
        computer.script.config.waterType = quint8(waterType);
        MainWindow window;
        QVERIFY(showConnected(window));
        QVERIFY(ascendFrom(window, start, targetDepth, speed));
        QCOMPARE(mPrompts.records().last().kind, QStringLiteral("dialog"));
        QCOMPARE(mPrompts.records().last().title, QStringLiteral("Ascent definition"));
        const float step = float(speed) * (waterType == 0 ? 1.025f : 1.0f) * 9.81f / 6000.0f;
        QCOMPARE(window.ascentStep, step);

        // Each tick lowers the pressure by the step, to the millibar.
        int ticked = 0;
        double reached = start;
        while (window.ascentTimer.isActive() && ticked < 1000) {
            window.ascentTick();
            ++ticked;
            reached -= step;
            const double shown = spinBox(window)->value();
            if (window.ascentTimer.isActive())
                QVERIFY2(std::abs(reached - shown) <= 0.0005 + 1e-5,
                         qPrintable(QStringLiteral("tick %1: %2 for %3").arg(ticked).arg(shown).arg(reached)));
            QCOMPARE(computer.requests().pressures.last(), millibars(shown));
            QCOMPARE(slider(window)->value(), int(millibars(shown)));
        }
        QCOMPARE(spinBox(window)->value(), end);
        QCOMPARE(ticked, ticks);
        QCOMPARE(computer.requests().pressures.size(), ticks + 1);
    }

    void ascentFollowsAPressureSetByHand()
    {
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(showConnected(window));
        QVERIFY(ascendFrom(window, 4.0, 0, 10));
        window.ascentTick();
        QCOMPARE(spinBox(window)->value(), 3.983);
        spinBox(window)->setValue(3.0);
        window.ascentTick();
        QCOMPARE(spinBox(window)->value(), 2.983);
        QCOMPARE(computer.requests().pressures, (QList<unsigned>{4000, 3983, 3000, 2983}));
    }

    void stopQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("goesOn");
        QTest::newRow("yes") << int(QMessageBox::Yes) << false;
        QTest::newRow("no") << int(QMessageBox::No) << true;
    }
    void stopQuestion()
    {
        QFETCH(int, answer);
        QFETCH(bool, goesOn);
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(showConnected(window));
        QVERIFY(ascendFrom(window, 2.0, 0, 10));
        window.ascentTick();
        mPrompts.clear();

        mPrompts.answer(QVariant::fromValue(QMessageBox::StandardButton(answer)));
        QTest::mouseClick(button(window, "btAscent"), Qt::LeftButton);
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().at(0).kind, QStringLiteral("question"));
        QCOMPARE(mPrompts.records().at(0).title, QStringLiteral("Stop ascent"));
        QCOMPARE(mPrompts.records().at(0).text, QStringLiteral("Are you sure to stop ascent?"));
        QCOMPARE(window.ascentTimer.isActive(), goesOn);
        QCOMPARE(button(window, "btAscent")->text(), QStringLiteral("Ascent"));
        QVERIFY(slider(window)->isEnabled());
        QVERIFY(spinBox(window)->isEnabled());
    }

    void linkLostWhileTheStopQuestionIsOpen_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(QMessageBox::Yes);
        QTest::newRow("no") << int(QMessageBox::No);
    }
    void linkLostWhileTheStopQuestionIsOpen()
    {
        QFETCH(int, answer);
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(showConnected(window));
        QVERIFY(ascendFrom(window, 2.0, 0, 10));
        // Delivered while the question waits.
        computer.dropLink();
        mPrompts.answer(QVariant::fromValue(QMessageBox::StandardButton(answer)));
        QTest::mouseClick(button(window, "btAscent"), Qt::LeftButton);

        QVERIFY(!window.ascentTimer.isActive());
        QVERIFY(!slider(window)->isEnabled());
        QVERIFY(!spinBox(window)->isEnabled());
        QVERIFY(button(window, "btConnectBluetooth")->isEnabled());
    }

    void linkLostWhileTheAscentIsDefined()
    {
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(showConnected(window));
        computer.dropLink();
        mPrompts.answerDialog(testkit::ascentDefinition(0, 10));
        QTest::mouseClick(button(window, "btAscent"), Qt::LeftButton);
        QVERIFY(!window.ascentTimer.isActive());
    }

    void linkLostDuringASimulation()
    {
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(showConnected(window));
        QVERIFY(playDive(window, dive250Steps()));
        for (int i = 0; i < 10; ++i)
            window.timeOutSimulation();
        computer.dropLink();
        testkit::settle();

        QVERIFY(testkit::simulationEnded(window));
        QVERIFY(!button(window, "btStartStopSimul")->isEnabled());
        window.timeOutSimulation();
        testkit::settle();
        QCOMPARE(computer.requests().pressures.size(), 10);

        // The next computer gets only what is asked of it.
        QVERIFY(connectTab(window));
        testkit::settle();
        QCOMPARE(computer.requests().pressures.size(), 10);
    }

    void linkLostDuringAnAscent()
    {
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(showConnected(window));
        QVERIFY(ascendFrom(window, 3.0, 0, 10));
        window.ascentTick();
        const qsizetype sent = computer.requests().pressures.size();
        computer.dropLink();
        testkit::settle();

        QVERIFY(!window.ascentTimer.isActive());
        QVERIFY(!button(window, "btAscent")->isEnabled());
        QVERIFY(connectTab(window));
        QCOMPARE(computer.requests().pressures.size(), sent);
    }

    void simulationTabPicture()
    {
        SimulatedComputer computer;
        MainWindow window;
        window.resize(1280, 800);
        QVERIFY(showConnected(window));
        QVERIFY(playDive(window, smallDive()));
        for (int i = 0; i <= 125; ++i)
            window.timeOutSimulation();
        QVERIFY(testkit::grabToPng(window, QDir::temp().filePath("marevane-simulation.png")));
    }

private:
    static QPushButton* button(MainWindow& window, const char* name) { return window.findChild<QPushButton*>(name); }
    static QSlider* slider(MainWindow& window) { return window.findChild<QSlider*>("tbPressure"); }
    static QDoubleSpinBox* spinBox(MainWindow& window) { return window.findChild<QDoubleSpinBox*>("spPressure"); }
    static QProgressBar* bar(MainWindow& window) { return window.findChild<QProgressBar*>("progressSimul"); }
    static QString lineEdit(MainWindow& window, const char* name) { return window.findChild<QLineEdit*>(name)->text(); }
    static QString label(MainWindow& window, const char* name) { return window.findChild<QLabel*>(name)->text(); }

    bool connectTab(MainWindow& window) { return testkit::connectSimulationTab(window, mPrompts); }
    bool showConnected(MainWindow& window) { return testkit::showConnectedSimulationTab(window, mPrompts); }
    bool playDive(MainWindow& window, const Dive& dive) { return testkit::playStoredDive(window, mPrompts, dive); }

    bool ascendFrom(MainWindow& window, double start, int targetDepth, int speed)
    {
        return testkit::ascendFrom(window, mPrompts, start, targetDepth, speed);
    }

    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(PressureSimulationTest)
#include "tst_pressuresimulation.moc"

#include "../app/fileopening.h"
#include "../divemodel/diveprofiles.h"
#include "applanguagemanager.h"
#include "computerkit.h"
#include "devicekit.h"
#include "divedb/divedb.h"
#include "graphics/graphview.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

using testkit::dive250Steps;
using testkit::diveLine;
using testkit::simulatorDive;

// Down to 18 m and up in 130 s: 132 steps.
const QList<QPointF> kShortProfile{{0, 0}, {125, 18}, {130, 0}};

bool loadLanguage(const QString& code)
{
    return AppLanguageManager::instance()->loadLanguage(
        "Marevane", AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath()), code);
}

QPushButton* button(MainWindow& window, const char* name)
{
    return window.findChild<QPushButton*>(name);
}

} // namespace

// The Simulation tab as the person sees it: its controls speak the window's
// language, and the simulation plays only the dive the window shows.
class SimulationWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mFiles.isValid());
        mShortFile = testkit::writeTestFile(mFiles.filePath("short.csv"),
                                            testkit::csvImportText(testkit::diveLines(kShortProfile)));
    }

    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        testkit::writeDataFile("options.ini", "[hidden]\nsimulation=1\nimport=1\n");
        mPrompts.clear();
    }

    void cleanup()
    {
        loadLanguage("en");
        QCOMPARE(MainWindow::instance, nullptr);
    }

    void ascentButtonKeepsItsLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("English") << "en" << "Ascent";
        QTest::newRow("French") << "fr" << QStringLiteral("Remontée");
    }
    void ascentButtonKeepsItsLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, text);
        QCOMPARE(loadLanguage(language), language == "fr");
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(testkit::showConnectedSimulationTab(window, mPrompts));
        QCOMPARE(button(window, "btAscent")->text(), text);

        QVERIFY(testkit::ascendFrom(window, mPrompts, 2.0, 0, 10));
        window.ascentTick();
        QCOMPARE(button(window, "btAscent")->text(), text);
        mPrompts.answer(QVariant::fromValue(QMessageBox::Yes));
        QTest::mouseClick(button(window, "btAscent"), Qt::LeftButton);
        QVERIFY(!window.ascentTimer.isActive());
        QCOMPARE(button(window, "btAscent")->text(), text);
    }

    void openingAnotherDiveEndsTheSimulation_data()
    {
        QTest::addColumn<bool>("fromList");
        QTest::newRow("from the list") << true;
        QTest::newRow("from a file") << false;
    }
    void openingAnotherDiveEndsTheSimulation()
    {
        QFETCH(bool, fromList);
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(testkit::showConnectedSimulationTab(window, mPrompts));
        QVERIFY(testkit::playStoredDive(window, mPrompts, dive250Steps()));
        for (int i = 0; i < 10; ++i)
            window.timeOutSimulation();
        const QList<unsigned> played = computer.requests().pressures;
        QCOMPARE(played.size(), 10);

        if (fromList)
            QVERIFY(testkit::openStoredDive(window, simulatorDive("Short", testkit::diveLines(kShortProfile))));
        else
            QVERIFY(testkit::bringInFile(window, mPrompts, mShortFile, false));
        QCOMPARE(window.diveLogView()->getDiveProfile()->lines.size(), kShortProfile.size());
        QVERIFY(testkit::simulationEnded(window));
        // The computer keeps the last pressure of the dive left.
        window.timeOutSimulation();
        testkit::settle();
        QCOMPARE(computer.requests().pressures, played);

        // Started again, it plays the dive shown now.
        QVERIFY(button(window, "btStartStopSimul")->isEnabled());
        QVERIFY(testkit::startSimulation(window));
        QCOMPARE(window.simulationSteps.size(), size_t(132));
        window.timeOutSimulation();
        QVERIFY(testkit::profileMarker(window, window.simulationMarkerId));
    }

    void nothingOpenedLeavesTheSimulation_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("open cancelled") << QString();
        QTest::newRow("file not read") << "missing.csv";
    }
    void nothingOpenedLeavesTheSimulation()
    {
        QFETCH(QString, file);
        SimulatedComputer computer;
        MainWindow window;
        QVERIFY(testkit::showConnectedSimulationTab(window, mPrompts));
        QVERIFY(testkit::playStoredDive(window, mPrompts, dive250Steps()));
        window.timeOutSimulation();

        QVERIFY(testkit::bringInFile(window, mPrompts, file.isEmpty() ? file : mFiles.filePath(file), false));
        QVERIFY(window.simulationTimer);
        QVERIFY(testkit::profileMarker(window, window.simulationMarkerId));
        window.timeOutSimulation();
        testkit::settle();
        QCOMPARE(computer.requests().pressures.size(), 2);
    }

private:
    QTemporaryDir mFiles;
    QString mShortFile;
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(SimulationWindowTest)
#include "tst_simulationwindow.moc"

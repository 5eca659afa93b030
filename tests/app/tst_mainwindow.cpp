#include "mainwindow.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

// The main window frame: what its construction leaves, the settings and
// options files of the data folder, the two log panes, closing.
class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        mDataHome = qEnvironmentVariable("XDG_DATA_HOME");
        QVERIFY(!mDataHome.isEmpty());
    }

    void init()
    {
        qputenv("XDG_DATA_HOME", mDataHome.toUtf8());
        QDir(mDataHome).removeRecursively();
        mPrompts.clear();
    }

    void cleanup() { QCOMPARE(MainWindow::instance, nullptr); }

    void dataFolderIsCreatedWithItsWholePath()
    {
        const QString deep = mDataHome + "/fresh/account/.local/share";
        qputenv("XDG_DATA_HOME", deep.toUtf8());
        QVERIFY(!QFileInfo::exists(mDataHome));
        MainWindow window;
        const QString folder = QString::fromStdString(window.dataFolder());
        QVERIFY2(folder.startsWith(deep + '/'), qPrintable(folder));
        QVERIFY(QFileInfo(folder).isDir());
        window.setCsvSeparator(CsvSeparator::Comma);
        QVERIFY(QFile::exists(folder + "/settings.cfg"));
        QVERIFY(mPrompts.records().isEmpty());
    }

    void dataFolderThatCannotBeCreatedIsReportedOnce()
    {
        QVERIFY(QDir().mkpath(mDataHome));
        QFile blocker(mDataHome + "/file");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_DATA_HOME", (mDataHome + "/file/below").toUtf8());
        MainWindow window;
        const QString folder = QString::fromStdString(window.dataFolder());
        // The dive database, which lives in that folder, then cannot open.
        QCOMPARE(mPrompts.records().size(), 2);
        const testkit::PromptRecord& record = mPrompts.records().first();
        QCOMPARE(record.kind, QString("warning"));
        QCOMPARE(record.title, QString("Data Folder Error"));
        QCOMPARE(record.text, "Impossible to create the data folder " + folder +
                                  "\nSettings and dives will not be saved.");
        QCOMPARE(mPrompts.records().at(1).text, QString("Impossible to open database"));
        // The window carries on with its defaults.
        QCOMPARE(MainWindow::instance, &window);
        QCOMPARE(window.csvSeparator(), CsvSeparator::Dot);
        window.setCsvSeparator(CsvSeparator::Semicolon);
        QCOMPARE(mPrompts.records().size(), 2);
    }

    void options_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<bool>("simulationTabs");
        QTest::addColumn<bool>("planningTab");
        QTest::addColumn<bool>("addOnRow");
        QTest::addColumn<bool>("import");
        QTest::newRow("no file") << QByteArray() << false << false << false << false;
        QTest::newRow("all on")
            << QByteArray("simulation=1\nplanification=1\nplanificationaddon=1\nimport=1\n")
            << true << true << true << true;
        QTest::newRow("all 2")
            << QByteArray("simulation=2\nplanification=2\nplanificationaddon=2\nimport=2\n")
            << false << false << false << false;
        QTest::newRow("all 0")
            << QByteArray("simulation=0\nplanification=0\nplanificationaddon=0\nimport=0\n")
            << false << false << false << false;
        QTest::newRow("simulation") << QByteArray("simulation=1\n") << true << false << false << false;
        QTest::newRow("planification")
            << QByteArray("planification=1\n") << false << true << false << false;
        QTest::newRow("add-on") << QByteArray("planificationaddon=1\n") << false << false << true << false;
        QTest::newRow("import") << QByteArray("import=1\n") << false << false << false << true;
    }
    void options()
    {
        QFETCH(QByteArray, options);
        QFETCH(bool, simulationTabs);
        QFETCH(bool, planningTab);
        QFETCH(bool, addOnRow);
        QFETCH(bool, import);
        if (!options.isNull())
            testkit::writeDataFile("options.ini", "[hidden]\n" + options);
        MainWindow window;
        const auto* tabProfile = child<QTabWidget>(window, "tabProfile");
        QCOMPARE(tabProfile->count(), 6);
        for (int tab = 0; tab < 4; ++tab)
            QVERIFY(tabProfile->isTabVisible(tab));
        QCOMPARE(tabProfile->isTabVisible(4), simulationTabs);
        QCOMPARE(tabProfile->isTabVisible(5), simulationTabs);
        const auto* tabMain = child<QTabWidget>(window, "tabMain");
        QVERIFY(tabMain->isTabVisible(0));
        QCOMPARE(tabMain->isTabVisible(1), planningTab);
        QCOMPARE(!child<QWidget>(window, "wdPlanifAddOn")->isHidden(), addOnRow);
        QCOMPARE(!child<QWidget>(window, "btImportDive")->isHidden(), import);
        QCOMPARE(!child<QWidget>(window, "btStoreDive")->isHidden(), import);
        QCOMPARE(child<QAction>(window, "actionOpen")->isEnabled(), import);
        // The program never writes the options.
        QCOMPARE(readDataFile("options.ini"), options.isNull() ? QByteArray() : "[hidden]\n" + options);
    }

    void constructionLeavesTheWindowReady()
    {
        // The folder found first holds the settings and the options read next.
        testkit::writeDataFile("settings.cfg", "[export]\ncsvSeparator=2\n");
        testkit::writeDataFile("options.ini", "[hidden]\nsimulation=1\nimport=1\n");
        MainWindow window;
        QCOMPARE(MainWindow::instance, &window);
        QCOMPARE(window.csvSeparator(), CsvSeparator::Semicolon);
        const auto* tabProfile = child<QTabWidget>(window, "tabProfile");
        QVERIFY(tabProfile->isTabVisible(5));
        // Later steps change what the form set up.
        for (int tab = 0; tab < 3; ++tab)
            QVERIFY(!tabProfile->isTabEnabled(tab));
        QVERIFY(tabProfile->isTabEnabled(3));
        QCOMPARE(tabProfile->currentIndex(), 0);
        QCOMPARE(child<QTabWidget>(window, "tabMain")->currentIndex(), 0);
        QVERIFY(!child<QWidget>(window, "btStoreDive")->isEnabled());
        QVERIFY(!child<QWidget>(window, "btStoreDive")->isHidden());
        QVERIFY(child<QWidget>(window, "btImportDive")->isEnabled());
        QVERIFY(child<QWidget>(window, "btTest")->isHidden());
        QVERIFY(child<QWidget>(window, "btConnectBluetooth")->isEnabled());
        for (const char* control : {"btStartStopSimul", "tbPressure", "spPressure", "btAscent"})
            QVERIFY2(!child<QWidget>(window, control)->isEnabled(), control);
        const auto* diveList = child<QTableWidget>(window, "diveList");
        for (const char* property : {"sortOrderDate", "sortOrderDuration", "sortOrderDepth", "sortColumn"})
            QCOMPARE(diveList->property(property), QVariant(1));
        QVERIFY(!diveList->isSortingEnabled());
        QVERIFY(diveList->horizontalHeader()->isSortIndicatorShown());
        QVERIFY(diveList->horizontalHeader()->stretchLastSection());
        QCOMPARE(diveList->columnWidth(0), 80);
        QCOMPARE(diveList->columnWidth(1), 140);
        QCOMPARE(diveList->columnWidth(2), 80);
        QVERIFY(!window.windowIcon().isNull());
        QVERIFY(mPrompts.records().isEmpty());
    }

    void windowTitleCarriesTheVersionWithoutItsBuild()
    {
        const QString version = QCoreApplication::applicationVersion();
        QCoreApplication::setApplicationVersion("2.9.3.1");
        MainWindow window;
        QCoreApplication::setApplicationVersion(version);
        QCOMPARE(window.windowTitle(), QString("Marevane - 2.9.3"));
    }

    void userInformationEditEnablesSaving()
    {
        MainWindow window;
        auto* save = child<QPushButton>(window, "btSaveUserInformation");
        // The tab itself waits for a dive; the button is judged within it.
        const auto* tab = child<QWidget>(window, "tabUserInformation");
        QVERIFY(!save->isEnabledTo(tab));
        for (const char* edit : {"edPlace", "edSite", "edBuddy"}) {
            save->setEnabled(false);
            child<QLineEdit>(window, edit)->setText("Cap Ferrat");
            QVERIFY2(save->isEnabledTo(tab), edit);
        }
    }

    void csvSeparatorChoiceIsStored()
    {
        MainWindow window;
        QCOMPARE(window.csvSeparator(), CsvSeparator::Dot);
        window.setCsvSeparator(CsvSeparator::Comma);
        QCOMPARE(window.csvSeparator(), CsvSeparator::Comma);
        QVERIFY(readDataFile("settings.cfg").contains("csvSeparator=1"));
        QCOMPARE(window.settings().csvSeparator(), CsvSeparator::Comma);
    }

    void logTextGoesToTheRuntimePane()
    {
        MainWindow window;
        auto* runtime = child<QTextEdit>(window, "runtime");
        MainWindow::logText("Stop at 6 m");
        logText("Profondeur atteinte : 42 m \xe2\x80\x94 d\xc3\xa9" "co");
        MainWindow::logText("ceiling < 3 m <b>");
        QCOMPARE(runtime->toPlainText(),
                 QString("Stop at 6 m\nProfondeur atteinte : 42 m — déco\nceiling < 3 m <b>"));
        QCOMPARE(runtime->document()->blockCount(), 3);
        QVERIFY(child<QTextEdit>(window, "console")->toPlainText().isEmpty());
    }

    void logTraceGoesToTheConsole()
    {
        MainWindow window;
        auto* console = child<QTextEdit>(window, "console");
        window.logTrace("Log: connected", false);
        window.logTrace("1.013", false);
        QCOMPARE(console->toPlainText(), QString("Log: connected\n1.013"));
        window.logTrace("Service Error: <unknown>", true);
        QCOMPARE(console->toPlainText(), QString("Service Error: <unknown>"));
        window.logTrace("", false);
        QCOMPARE(console->document()->blockCount(), 2);
        QVERIFY(child<QTextEdit>(window, "runtime")->toPlainText().isEmpty());
    }

    void logWithoutAWindowDoesNothing()
    {
        QCOMPARE(MainWindow::instance, nullptr);
        MainWindow::logText("nobody listens");
        {
            MainWindow window;
            QCOMPARE(MainWindow::instance, &window);
        }
        // A late call after the window has gone.
        QCOMPARE(MainWindow::instance, nullptr);
        MainWindow::logText("too late");
        logText("too late");
    }

    void quitClosesTheWindow()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        child<QAction>(window, "actionQuit")->trigger();
        QVERIFY(!window.isVisible());
    }

private:
    template <typename T>
    static T* child(const QWidget& window, const char* name)
    {
        T* found = window.findChild<T*>(name);
        if (!found)
            qFatal("no %s in the window", name);
        return found;
    }

    static QByteArray readDataFile(const QString& name)
    {
        QFile file(testkit::appDataFolder() + '/' + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString mDataHome;
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"

#include "applanguagemanager.h"
#include "diveprofiles.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {

const QString kOpenFilter = QStringLiteral(
    "Dive file (*.csv *.uddf *.divebin);;Csv file (*.csv);;UDDF file (*.uddf);;Binary dive file (*.divebin)");

// A CSV dive file of the TAB-separated import, one line per (time, depth).
QByteArray csvDive(const QList<QPointF>& samples)
{
    return testkit::csvImportText(testkit::diveLines(samples));
}

QString lastDiveFolder()
{
    return QSettings(testkit::appDataFolder() + "/settings.cfg", QSettings::IniFormat).value("directories/lastDiveFile").toString();
}

} // namespace

// Opening and dropping dive files in the main window.
class MainWindowFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mFiles.isValid());
        QVERIFY(QDir(mFiles.path()).mkpath("first"));
        QVERIFY(QDir(mFiles.path()).mkpath("second"));
        mFirst = write("first/morning.csv", csvDive({{0, 0}, {60, 18}, {600, 18}, {700, 0}}));
        mSecond = write("second/evening.csv", csvDive({{0, 0}, {30, 6}}));
    }

    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        mPrompts.clear();
    }

    void cleanup() { QCOMPARE(MainWindow::instance, nullptr); }

    void secondFileReplacesTheFirst()
    {
        MainWindow window;
        mPrompts.answer(mFirst);
        window.openDiveProfile();
        QCOMPARE(window.currentDive().name, QString("morning"));
        QCOMPARE(window.currentDive().lines.size(), 4);

        mPrompts.answer(mSecond);
        window.findChild<QPushButton*>("btImportDive")->click();
        const Dive& dive = window.currentDive();
        QCOMPARE(testkit::profileOf(dive), (QList<QPointF>{{0, 0}, {30, 6}}));
        QCOMPARE(dive.name, QString("evening"));
        QCOMPARE(dive.format, qint32(DiveFormat::Csv));
        QCOMPARE(dive.maxDepth, 6.0);
        QCOMPARE(dive.maxTime, 30.0);
        QCOMPARE(dive.lines.at(1).speed, 12.0);

        QCOMPARE(mPrompts.records().size(), 2);
        for (const testkit::PromptRecord& record : mPrompts.records()) {
            QCOMPARE(record.kind, QString("openFile"));
            QCOMPARE(record.title, QString("Open Dive File"));
            QCOMPARE(record.filter, kOpenFilter);
        }
    }

    void loadedFileIsNotTheStoredDive()
    {
        MainWindow window;
        // As if the dive list had opened stored dive 7.
        Dive stored;
        stored.computerSerial = "PX-0042";
        stored.computerName = "Owner";
        stored.place = "Port-Cros";
        stored.buddy = "Ana";
        stored.gases = {DiveGas(), DiveGas()};
        stored.lines = {DiveLine(), DiveLine()};
        window.mCurrentDive = stored;
        window.mShownDatabaseId = 7;
        QVERIFY(!window.ui.btStoreDive->isEnabled());

        QVERIFY(window.loadDiveProfile(mSecond));
        const Dive& dive = window.currentDive();
        QCOMPARE(dive.lines.size(), 2);
        QVERIFY(dive.computerSerial.isEmpty());
        QVERIFY(dive.computerName.isEmpty());
        QVERIFY(dive.place.isEmpty());
        QVERIFY(dive.buddy.isEmpty());
        QVERIFY(dive.gases.isEmpty());
        QCOMPARE(window.shownDatabaseId(), -1);
        QVERIFY(window.ui.btStoreDive->isEnabled());
        QVERIFY(mPrompts.records().isEmpty());
    }

    void failedLoadLeavesTheShownDive_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("message");
        const QString unreadable = QStringLiteral("Impossible to open file");
        QTest::newRow("no sample line")
            << "broken/notes.csv" << QByteArray("Time\tDepth\n")
            << unreadable + "\nThe file holds no sample: no line of 20 TAB-separated fields with a time and a depth";
        QTest::newRow("missing file") << "broken/gone.csv" << QByteArray() << unreadable;
        QTest::newRow("no reader") << "broken/dive.txt" << csvDive({{0, 0}, {10, 3}}) << unreadable;
        QTest::newRow("unreadable UDDF") << "broken/dive.uddf" << QByteArray("<uddf")
                                         << unreadable + "\nThe file is not well-formed XML (at byte 4).";
    }
    void failedLoadLeavesTheShownDive()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        QVERIFY(QDir(mFiles.path()).mkpath("broken"));
        const QString path = contents.isNull() ? mFiles.filePath(name) : write(name, contents);
        MainWindow window;
        QVERIFY(window.loadDiveProfile(mFirst));
        window.mShownDatabaseId = 3;
        window.ui.btStoreDive->setEnabled(false);

        QVERIFY(!window.loadDiveProfile(path));
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().kind, QString("critical"));
        QCOMPARE(mPrompts.records().first().title, QString("Error"));
        QCOMPARE(mPrompts.records().first().text, message);
        QCOMPARE(window.currentDive().name, QString("morning"));
        QCOMPARE(window.currentDive().lines.size(), 4);
        QCOMPARE(window.currentDive().maxDepth, 18.0);
        QCOMPARE(window.shownDatabaseId(), 3);
        QVERIFY(!window.ui.btStoreDive->isEnabled());
        QCOMPARE(lastDiveFolder(), mFiles.filePath("first"));
    }

    void openDialogStartsInTheLastFolder()
    {
        {
            MainWindow window;
            window.openDiveProfile();
            QCOMPARE(mPrompts.records().last().folder, QString());
            // Cancelled: nothing loaded, nothing remembered.
            QVERIFY(window.currentDive().lines.isEmpty());
            QVERIFY(lastDiveFolder().isEmpty());

            mPrompts.answer(mFirst);
            window.openDiveProfile();
            QCOMPARE(lastDiveFolder(), mFiles.filePath("first"));
            window.openDiveProfile();
            QCOMPARE(mPrompts.records().last().folder, mFiles.filePath("first"));
        }
        // Kept in "settings.cfg" for the next run.
        MainWindow window;
        mPrompts.answer(mSecond);
        window.openDiveProfile();
        QCOMPARE(mPrompts.records().last().folder, mFiles.filePath("first"));
        QCOMPARE(lastDiveFolder(), mFiles.filePath("second"));
        for (const testkit::PromptRecord& record : mPrompts.records())
            QCOMPARE(record.kind, QString("openFile"));
    }

    void openActionOpens()
    {
        testkit::writeDataFile("options.ini", "[hidden]\nimport=1\n");
        MainWindow window;
        mPrompts.answer(mSecond);
        window.ui.actionOpen->trigger();
        QCOMPARE(window.currentDive().name, QString("evening"));
    }

    void dropRules_data()
    {
        // Every file holds something no reader takes: a file that gets as
        // far as its reader is reported as impossible to open.
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral("Invalid File");
        const QString unreadable = QStringLiteral("Impossible to open file");
        const QString notUddf = unreadable + QStringLiteral("\nThe file is not a UDDF document.");
        const QString notBinary = unreadable + QStringLiteral("\nThe file is not a binary dive file.");
        QTest::newRow("uddf") << QStringList{"drop/a.uddf"} << notUddf;
        QTest::newRow("divebin") << QStringList{"drop/a.divebin"} << notBinary;
        QTest::newRow("csv") << QStringList{"drop/a.csv"} << invalid;
        QTest::newRow("CSV") << QStringList{"drop/a.CSV"} << invalid;
        QTest::newRow("UDDF") << QStringList{"drop/a.UDDF"} << invalid;
        QTest::newRow("diveplan") << QStringList{"drop/a.diveplan"} << invalid;
        QTest::newRow("no suffix") << QStringList{"drop/uddf"} << invalid;
        QTest::newRow("uddf first") << QStringList{"drop/a.uddf", "drop/a.csv"} << notUddf;
        QTest::newRow("csv first") << QStringList{"drop/a.csv", "drop/a.uddf"} << invalid;
    }
    void dropRules()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, message);
        QVERIFY(QDir(mFiles.path()).mkpath("drop"));
        QList<QString> paths;
        for (const QString& file : files)
            paths.append(write(file, "garbage"));
        MainWindow window;
        QVERIFY(window.loadDiveProfile(mFirst));
        window.dropFiles(paths);
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().kind, QString("critical"));
        QCOMPARE(mPrompts.records().first().title, QString("Error"));
        QCOMPARE(mPrompts.records().first().text, message);
        QCOMPARE(window.currentDive().name, QString("morning"));
    }

    void droppedCsvIsNotLoaded()
    {
        MainWindow window;
        window.dropFiles({mSecond});
        QVERIFY(window.currentDive().lines.isEmpty());
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().text, QString("Invalid File"));
        window.dropFiles({});
        QCOMPARE(mPrompts.records().size(), 1);
    }

    void messagesInFrench()
    {
        AppLanguageManager* manager = AppLanguageManager::instance();
        QVERIFY(manager->loadLanguage(
            "Marevane", AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath()), "fr"));
        {
            MainWindow window;
            window.openDiveProfile();
            window.dropFiles({mSecond});
            window.loadDiveProfile(mFiles.filePath("none.csv"));
        }
        QCoreApplication::removeTranslator(manager);
        QCOMPARE(mPrompts.records().size(), 3);
        QCOMPARE(mPrompts.records().at(0).title, QString("Ouvrir un fichier de plongée"));
        QCOMPARE(mPrompts.records().at(0).filter,
                 QString("Fichier de plongée (*.csv *.uddf *.divebin);;Fichier CSV (*.csv);;Fichier UDDF (*.uddf);;"
                         "Fichier de plongée binaire (*.divebin)"));
        QCOMPARE(mPrompts.records().at(1).title, QString("Erreur"));
        QCOMPARE(mPrompts.records().at(1).text, QString("Fichier invalide"));
        QCOMPARE(mPrompts.records().at(2).title, QString("Erreur"));
        QCOMPARE(mPrompts.records().at(2).text, QString("Impossible d'ouvrir le fichier"));
    }

private:
    QString write(const QString& name, const QByteArray& contents)
    {
        return testkit::writeTestFile(mFiles.filePath(name), contents);
    }

    QTemporaryDir mFiles;
    QString mFirst;
    QString mSecond;
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(MainWindowFilesTest)
#include "tst_mainwindowfiles.moc"

// Binary dive files in the main window: opened from the File menu and
// dropped on the graph, and refused with the reader's reason while the
// shown dive stays.

#include "applanguagemanager.h"
#include "diveprofiles.h"
#include "fileopening.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testenvironment.h"
#include "uddfdives.h"
#include "widgetgrab.h"

#include "divemodel/binaryfile.h"
#include "divemodel/diveanalysis.h"

#include <QDataStream>
#include <QDir>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// A file of another layout version.
QByteArray versionTwoFile()
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_6_0);
    stream << QByteArray("BrenmokBinaryFile") << qint32(2) << QByteArray();
    return bytes;
}

} // namespace

class DivebinWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mFiles.isValid());
        mWritten = testkit::mixedGasDive(1720945230);
        mWritten.computerName = QStringLiteral("Owner");
        mWritten.site = QStringLiteral("La Gabinière");
        mWritten.surfacePressure = 1013;
        QVERIFY(BinaryFile().write(mFiles.filePath("written.divebin"), mWritten));
        Dive deep = mWritten;
        deep.lines[3].depth = 12000.0;
        QVERIFY(BinaryFile().write(mFiles.filePath("deep.divebin"), deep));
        testkit::writeTestFile(mFiles.filePath("version2.divebin"), versionTwoFile());
    }

    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        QVERIFY(QDir().mkpath(testkit::appDataFolder()));
        testkit::writeDataFile("options.ini", "[hidden]\nimport=1\n");
        mPrompts.clear();
    }

    void cleanup() { QCOMPARE(MainWindow::instance, nullptr); }

    void openedFromTheFileMenu()
    {
        MainWindow window;
        window.resize(1280, 800);
        window.show();
        mPrompts.answer(mFiles.filePath("written.divebin"));
        QVERIFY(testkit::clickFileOpen(window));

        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().kind, QString("openFile"));
        const Dive& dive = window.currentDive();
        const QString difference = testkit::firstDifference(dive, mWritten);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(dive.name, mWritten.name);
        QCOMPARE(dive.site, mWritten.site);
        QCOMPARE(dive.format, int(DiveFormat::Binary));
        QCOMPARE(window.diveLogView()->getDiveProfile(), &dive);
        QVERIFY(window.findChild<QPushButton*>("btStoreDive")->isEnabled());
        // A PNG for a person to look at.
        QVERIFY(testkit::grabToPng(window, QDir::temp().filePath("marevane-divebin-open.png")));
    }

    void droppedFileIsShown()
    {
        MainWindow window;
        window.resize(1280, 800);
        window.show();
        testkit::dropOnTheView(window, mFiles.filePath("written.divebin"));
        QVERIFY(mPrompts.records().isEmpty());
        const QString difference = testkit::firstDifference(window.currentDive(), mWritten);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(window.diveLogView()->getDiveProfile(), &window.currentDive());
        QVERIFY(testkit::grabToPng(window, QDir::temp().filePath("marevane-divebin-drop.png")));
    }

    void refusedFileKeepsTheShownDive_data()
    {
        QTest::addColumn<bool>("drop");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        const QString version = "Impossible to open file\nThe file's layout version 2 is not one this program reads.";
        const QString deep = "Impossible to open file\nSample 4: the depth 12000 is out of range.";
        QTest::newRow("opened, version 2") << false << "version2.divebin" << version;
        QTest::newRow("dropped, version 2") << true << "version2.divebin" << version;
        QTest::newRow("opened, too deep") << false << "deep.divebin" << deep;
        QTest::newRow("dropped, too deep") << true << "deep.divebin" << deep;
    }
    void refusedFileKeepsTheShownDive()
    {
        QFETCH(bool, drop);
        QFETCH(QString, file);
        QFETCH(QString, text);
        MainWindow window;
        window.show();
        QVERIFY(window.loadDiveProfile(mFiles.filePath("written.divebin")));
        QPushButton* store = window.findChild<QPushButton*>("btStoreDive");
        store->setEnabled(false);

        QVERIFY(testkit::bringInFile(window, mPrompts, mFiles.filePath(file), drop));
        QVERIFY2(testkit::lastBoxIsError(mPrompts, text), qPrintable(text));
        QVERIFY(testkit::firstDifference(window.currentDive(), mWritten).isEmpty());
        QCOMPARE(window.currentDive().name, mWritten.name);
        QCOMPARE(window.diveLogView()->getDiveProfile(), &window.currentDive());
        QVERIFY(!store->isEnabled());
    }

    void refusalInFrench()
    {
        AppLanguageManager* manager = AppLanguageManager::instance();
        QVERIFY(manager->loadLanguage(
            "Marevane", AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath()), "fr"));
        {
            MainWindow window;
            testkit::dropOnTheView(window, mFiles.filePath("deep.divebin"));
            testkit::dropOnTheView(window, mFiles.filePath("version2.divebin"));
        }
        QCoreApplication::removeTranslator(manager);
        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(mPrompts.records().at(0).text,
                 QString::fromUtf8("Impossible d'ouvrir le fichier\n"
                                   "Point 4 : la profondeur 12000 est hors limites."));
        QCOMPARE(mPrompts.records().at(1).text,
                 QString::fromUtf8("Impossible d'ouvrir le fichier\n"
                                   "Ce programme ne lit pas les fichiers de version 2."));
    }

private:
    QTemporaryDir mFiles;
    Dive mWritten;
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(DivebinWindowTest)
#include "tst_divebinwindow.moc"

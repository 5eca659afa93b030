#include "../graphics/viewevents.h"
#include "applanguagemanager.h"
#include "divedb/divedb.h"
#include "diveprofiles.h"
#include "fileopening.h"
#include "mainwindow.h"
#include "menuclick.h"
#include "promptrecorder.h"
#include "testenvironment.h"
#include "uddfdives.h"
#include "widgetgrab.h"

#include "divemodel/diveanalysis.h"
#include "divemodel/uddffile.h"

#include <QDir>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

const QString kRealFile = QStringLiteral(MAREVANE_DIVEMODEL_TEST_DATA "/logbook-export-oc.uddf");

// The samples' gases, in order.
QList<qint32> gasIndices(const Dive& dive)
{
    QList<qint32> indices;
    for (const DiveLine& line : dive.lines)
        indices.append(line.gasIndex);
    return indices;
}

} // namespace

// UDDF files in the main window: opened, dropped, exported from the dive
// list and written from a selected time range.
class UddfWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mFiles.isValid());
        Dive written = testkit::mixedGasDive(1720945230);
        QVERIFY(UddfFile().write(mFiles.filePath("written.uddf"), written));
        mWritten = written;
        QVERIFY(DiveAnalysis::importDiveFile(mWritten, mFiles.filePath("written.uddf")));
        QByteArray broken = fileBytes(mFiles.filePath("written.uddf"));
        QVERIFY(broken.contains("<depth>1.3</depth>"));
        testkit::writeTestFile(mFiles.filePath("nan.uddf"), broken.replace("<depth>1.3</depth>", "<depth>nan</depth>"));
        testkit::writeTestFile(mFiles.filePath("notes.uddf"), "Reef, 12 m, 40 min\n");
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
        mPrompts.answer(kRealFile);
        QVERIFY(testkit::clickFileOpen(window));

        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().kind, QString("openFile"));
        const Dive& dive = window.currentDive();
        QCOMPARE(dive.lines.size(), 464);
        QCOMPARE(dive.name, QString("623206991733066640"));
        QCOMPARE(dive.format, int(DiveFormat::Uddf));
        QCOMPARE(window.diveLogView()->getDiveProfile(), &dive);
        QVERIFY(window.findChild<QPushButton*>("btStoreDive")->isEnabled());
        // A PNG for a person to look at.
        QVERIFY(testkit::grabToPng(window, QDir::temp().filePath("marevane-uddf-open.png")));
    }

    void droppedFileIsShown()
    {
        MainWindow window;
        window.resize(1280, 800);
        window.show();
        testkit::dropOnTheView(window, mFiles.filePath("written.uddf"));
        QVERIFY(mPrompts.records().isEmpty());
        const QString difference = testkit::firstSampleDifference(window.currentDive(), mWritten);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(window.currentDive().gases.size(), 3);
        QCOMPARE(window.diveLogView()->getDiveProfile(), &window.currentDive());
        QVERIFY(testkit::grabToPng(window, QDir::temp().filePath("marevane-uddf-drop.png")));
    }

    void brokenFileKeepsTheShownDive_data()
    {
        QTest::addColumn<bool>("drop");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        const QString nan = "Impossible to open file\nWaypoint 1: the depth \"nan\" is not a finite number.";
        const QString notUddf = "Impossible to open file\nThe file is not a UDDF document.";
        QTest::newRow("opened, not a number") << false << "nan.uddf" << nan;
        QTest::newRow("dropped, not a number") << true << "nan.uddf" << nan;
        QTest::newRow("opened, not UDDF") << false << "notes.uddf" << notUddf;
        QTest::newRow("dropped, not UDDF") << true << "notes.uddf" << notUddf;
    }
    void brokenFileKeepsTheShownDive()
    {
        QFETCH(bool, drop);
        QFETCH(QString, file);
        QFETCH(QString, text);
        MainWindow window;
        window.show();
        QVERIFY(window.loadDiveProfile(kRealFile));
        QPushButton* store = window.findChild<QPushButton*>("btStoreDive");
        store->setEnabled(false);

        QVERIFY(testkit::bringInFile(window, mPrompts, mFiles.filePath(file), drop));
        QVERIFY2(testkit::lastBoxIsError(mPrompts, text), qPrintable(text));
        QCOMPARE(window.currentDive().lines.size(), 464);
        QCOMPARE(window.currentDive().name, QString("623206991733066640"));
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
            testkit::dropOnTheView(window, mFiles.filePath("nan.uddf"));
        }
        QCoreApplication::removeTranslator(manager);
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().text,
                 QString::fromUtf8("Impossible d'ouvrir le fichier\n"
                                   "Point 1 : la valeur depth « nan » n'est pas un nombre fini."));
    }

    // The list's "Export" writes the stored dive, and the file reads back
    // with its samples and gas changes.
    void exportOfAStoredDive()
    {
        MainWindow window;
        window.resize(1280, 800);
        window.show();
        Dive stored = testkit::mixedGasDive(1709630430);
        stored.computerSerial = QStringLiteral("A1");
        QCOMPARE(DiveDb::instance()->storeDive(stored), int(DiveDb::Success));
        window.updateDiveList();
        Dive fromDatabase;
        QVERIFY(DiveDb::instance()->readDive(DiveDb::instance()->getDiveByName(stored.name, "A1"), fromDatabase));
        QCOMPARE(gasIndices(fromDatabase), gasIndices(stored));

        QTableWidget* list = window.findChild<QTableWidget*>("diveList");
        const QList<QTableWidgetItem*> rows = list->findItems(stored.name, Qt::MatchExactly);
        QCOMPARE(rows.size(), 1);
        const QString path = mFiles.filePath("exported.uddf");
        mPrompts.answer(path);
        testkit::requestContextMenu(*list->viewport(), list->visualItemRect(rows.first()).center());
        QVERIFY(testkit::clickMenuAction("Export"));
        QCoreApplication::processEvents();

        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().title, QString("Export Profile"));
        Dive exported;
        QVERIFY(DiveAnalysis::importDiveFile(exported, path));
        const QString difference = testkit::firstDifference(exported, fromDatabase);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(exported.name, stored.name);
        QCOMPARE(exported.beginTime, stored.beginTime);
    }

    // "Save selection" writes the range chosen on the graph as a new dive.
    void selectionSavedAsUddf()
    {
        MainWindow window;
        window.resize(1280, 800);
        window.show();
        QVERIFY(window.loadDiveProfile(mFiles.filePath("written.uddf")));
        GraphView& view = *window.diveLogView();
        viewevents::drag(view, viewevents::graphPoint(view, 0.3), viewevents::graphPoint(view, 0.6), Qt::LeftButton,
                         Qt::ShiftModifier);
        const auto [start, end] = view.getSelection();
        QVERIFY(start > 0 && end > start);

        const QString path = mFiles.filePath("selection.uddf");
        mPrompts.answer(path);
        bool clicked = false;
        testkit::clickInNextMenu("Save selection", &clicked);
        testkit::requestContextMenu(*view.viewport(), view.viewport()->rect().center());
        QVERIFY(clicked);
        QCoreApplication::processEvents();

        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().title, QString("Save Dive File"));
        Dive expected = DiveAnalysis::extractProfile(window.currentDive(), start, end);
        QVERIFY(expected.lines.size() > 6);
        // The samples the cut adds name no gas: in the file they keep the gas
        // in use.
        DiveAnalysis::fixNonDefinedGas(expected);
        Dive saved;
        QVERIFY(DiveAnalysis::importDiveFile(saved, path));
        const QString difference = testkit::firstSampleDifference(saved, expected);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(saved.gases.size(), 3);
    }

private:
    static QByteArray fileBytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir mFiles;
    Dive mWritten;
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(UddfWindowTest)
#include "tst_uddfwindow.moc"

#include "applanguagemanager.h"
#include "damagedlogbook.h"
#include "divedb/divedb.h"
#include "divefixtures.h"
#include "diveprofiles.h"
#include "divelistrows.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "rawsqlite.h"
#include "testenvironment.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

// Storing a dive from the window into a damaged logbook: the diver is told
// in words, in the chosen language, and the dives already stored stay listed.
class DamagedLogbookWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        QVERIFY(QDir().mkpath(testkit::appDataFolder()));
        mPrompts.clear();
    }

    void storeIntoADamagedLogbookSaysSo_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("english") << "en"
                                 << "Write Database Error"
                                 << "Impossible to write profile Night dive\nThe logbook is damaged: to keep the dives "
                                    "it holds, nothing more is written to it until the program is started again. Its "
                                    "dives can still be read.";
        QTest::newRow("french") << "fr" << QString::fromUtf8("Erreur d'écriture de la base de données")
                                << QString::fromUtf8(
                                       "Impossible d'écrire le profil Night dive\nLe carnet de plongée est endommagé : "
                                       "pour préserver les plongées qu'il contient, plus rien n'y est écrit avant le "
                                       "prochain démarrage du programme. Ses plongées peuvent toujours être lues.");
    }

    void storeIntoADamagedLogbookSaysSo()
    {
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(QString, text);
        const QString path = testkit::appDataFolder() + "/diveDB.db";
        QCOMPARE(DiveDb::instance()->setDatabase(path), int(DiveDb::Success));
        for (const char* name : {"North wall", "Wreck", "Drift"})
            QCOMPARE(DiveDb::instance()->storeDive(testkit::makeDive(name, "PX1", 600)), int(DiveDb::Success));
        DiveDb::instance()->setDatabase(QString());
        // Dive 3 goes, and one of its free pages is a page of dive 1.
        const QString error = testkit::damage::pageInUseListedAsFree(path);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QString file = mFiles.filePath("night.csv");
        testkit::writeTestFile(file, testkit::csvImportText(testkit::diveLines({{0, 0}, {600, 15}, {1200, 0}})));

        AppLanguageManager* manager = AppLanguageManager::instance();
        manager->loadLanguage("Marevane", AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath()),
                              language);
        {
            MainWindow window;
            QCOMPARE(testkit::rowNames(window), (QStringList{"North wall", "Wreck"}));
            mPrompts.answer(file);
            QTest::mouseClick(window.findChild<QPushButton*>("btImportDive"), Qt::LeftButton);
            QCOMPARE(window.currentDive().lines.size(), 3);
            mPrompts.answerDialog([](QDialog& dialog) {
                dialog.findChild<QLineEdit*>()->setText("Night dive");
                return int(QDialog::Accepted);
            });
            auto* store = window.findChild<QPushButton*>("btStoreDive");
            QVERIFY(store->isEnabled());
            QTest::mouseClick(store, Qt::LeftButton);
            QCoreApplication::processEvents();

            QVERIFY(!mPrompts.records().isEmpty());
            const testkit::PromptRecord& report = mPrompts.records().last();
            QCOMPARE(report.kind, QString("critical"));
            QCOMPARE(report.title, title);
            QCOMPARE(report.text, text);
            // The dives stored before are still listed and read whole.
            QCOMPARE(testkit::rowNames(window), (QStringList{"North wall", "Wreck"}));
            Dive first;
            QVERIFY(DiveDb::instance()->readDive(1, first));
            QCOMPARE(first.lines.size(), 600);
        }
        QCoreApplication::removeTranslator(manager);
    }

private:
    QTemporaryDir mFiles;
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(DamagedLogbookWindowTest)
#include "tst_damagedlogbookwindow.moc"

#include "applanguagemanager.h"
#include "divedb/divedb.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>

// The window's construction step that opens the dive database of the data
// folder, and its messages.
class MainWindowDatabaseTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        mFolder = testkit::appDataFolder();
        QDir(mFolder).removeRecursively();
        mPrompts.clear();
    }

    void opensTheDatabaseOfTheDataFolder()
    {
        MainWindow window;
        QVERIFY(mPrompts.records().isEmpty());
        QVERIFY(QFile::exists(mFolder + "/diveDB.db"));
        Dive dive;
        dive.name = "Reef";
        QCOMPARE(DiveDb::instance()->storeDive(dive), int(DiveDb::Success));
        QCOMPARE(DiveDb::instance()->getNbDives(), 1);
    }

    void fileThatIsNoDatabaseIsReported_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("english") << ""
                                 << "Database Error"
                                 << "Impossible to create database \n";
        QTest::newRow("french") << "fr" << QString::fromUtf8("Erreur de base de données")
                                << QString::fromUtf8("Impossible de créer la base de données \n");
    }

    void fileThatIsNoDatabaseIsReported()
    {
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QVERIFY(QDir().mkpath(mFolder));
        QFile file(mFolder + "/diveDB.db");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("not a dive database\n").repeated(100));
        file.close();
        AppLanguageManager* manager = AppLanguageManager::instance();
        if (!language.isEmpty()) {
            QVERIFY(manager->loadLanguage(
                "Marevane",
                AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath()),
                language));
        }
        {
            MainWindow window;
            QCoreApplication::removeTranslator(manager);
            QCOMPARE(mPrompts.records().size(), 1);
            const testkit::PromptRecord& record = mPrompts.records().first();
            QCOMPARE(record.kind, QString("critical"));
            QCOMPARE(record.title, title);
            QVERIFY(!DiveDb::instance()->lastError().isEmpty());
            // SQLite's reason follows; the dive list, filled next, may have
            // recorded a later error since.
            QVERIFY(record.text.startsWith(text));
            QVERIFY(record.text.mid(text.size()).startsWith("file is not a database"));
            // The window carries on without the dives.
            QCOMPARE(MainWindow::instance, &window);
        }
    }

private:
    QString mFolder;
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(MainWindowDatabaseTest)
#include "tst_mainwindowdatabase.moc"

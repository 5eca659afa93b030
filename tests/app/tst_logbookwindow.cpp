#include "applanguagemanager.h"
#include "divedb/divedb.h"
#include "divedb/diveschema.h"
#include "divefixtures.h"
#include "divelistopen.h"
#include "divelistrows.h"
#include "mainwindow.h"
#include "menuclick.h"
#include "promptrecorder.h"
#include "rawsqlite.h"
#include "testenvironment.h"
#include "writequeue.h"

#include <QDir>
#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTimer>

#include <memory>

using testkit::itemOf;
using testkit::list;
using testkit::rowNames;

namespace {

DiveDb* db()
{
    return DiveDb::instance();
}

QString logbookPath()
{
    return testkit::appDataFolder() + "/diveDB.db";
}

// The logbook of the data folder, written before the window opens it.
void storeBeforeStart(const QList<Dive>& dives)
{
    QVERIFY(QDir().mkpath(testkit::appDataFolder()));
    QCOMPARE(db()->setDatabase(logbookPath()), int(DiveDb::Success));
    for (const Dive& dive : dives)
        QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
}

// A logbook of an older version: every dive is in its rows, but it has no
// table of figures and was never marked as brought up to date. The third
// dive came from a file, without computer name or serial.
void writeOlderLogbook()
{
    QVERIFY(QDir().mkpath(testkit::appDataFolder()));
    testkit::RawSqlite raw(logbookPath());
    QVERIFY(raw.exec(QString::fromLatin1(diveschema::createDives)));
    QVERIFY(raw.exec(QString::fromLatin1(diveschema::createProfiles)));
    QVERIFY(raw.exec(QString::fromLatin1(diveschema::createGases)));
    QVERIFY2(raw.exec("INSERT INTO dives (diveid, name, computer, datetime, serial) VALUES "
                      "(1, 'Reef', 'Quelm', 1700000000, 'A1'), (2, 'Wreck', 'Quelm', 1700090000, 'A1'), "
                      "(3, 'Cave', '', 1700180000, '');"
                      "INSERT INTO profiles (diveid, pointid, time, depth) VALUES "
                      "(1, 0, 0, 0), (1, 1, 1500, 21.5), (2, 0, 0, 0), (2, 1, 2400, 32), "
                      "(3, 0, 0, 0), (3, 1, 600, 8)"),
             qPrintable(raw.lastError()));
}

// Another program's lock makes the database answer at once instead of
// waiting for it; for the connection the window opens, and the one it has.
void failAtOnceWhenBusy()
{
    db();
    QSqlDatabase::database(QSqlDatabase::defaultConnection, false)
        .setConnectOptions("QSQLITE_BUSY_TIMEOUT=0");
    QSqlQuery(QSqlDatabase::database(QSqlDatabase::defaultConnection, false)).exec("PRAGMA busy_timeout = 0");
}

// Clicks the header of a column of the dive list with the mouse.
void clickHeader(MainWindow& window, int section)
{
    QHeaderView* header = list(window)->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
}

QString counter(MainWindow& window)
{
    return window.findChild<QLabel*>("lbFilter")->text();
}

// The texts of the group rows, in row order.
QStringList groupTexts(MainWindow& window)
{
    QStringList texts;
    QTableWidget* dives = list(window);
    for (int row = 0; row < dives->rowCount(); ++row) {
        if (dives->item(row, 0)->data(Qt::UserRole).toInt() < 0)
            texts.append(dives->item(row, 0)->text());
    }
    return texts;
}

QString cellOf(MainWindow& window, const QString& name, int column)
{
    QTableWidgetItem* item = itemOf(window, name);
    return item ? list(window)->item(item->row(), column)->text() : QString();
}

// Types the text into the one line edit of the program's dialog and accepts.
testkit::DialogScript typing(const QString& text)
{
    return [text](QDialog& dialog) {
        dialog.findChild<QLineEdit*>()->setText(text);
        return int(QDialog::Accepted);
    };
}

// Chooses Rename in the menu of the dive's row and types the new name.
void renameFromMenu(MainWindow& window, testkit::PromptRecorder& prompts, const QString& dive,
                    const QString& newName)
{
    QTableWidget* dives = list(window);
    QTableWidgetItem* item = itemOf(window, dive);
    QVERIFY(item);
    prompts.answerDialog(typing(newName));
    testkit::requestContextMenu(*dives->viewport(), dives->visualItemRect(item).center());
    QVERIFY(testkit::clickMenuAction("Rename"));
    QCoreApplication::processEvents();
}

} // namespace

// The dive list as a person sees it when the logbook is older, locked or
// damaged, and in French.
class LogbookWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        mPrompts.clear();
    }

    void cleanup()
    {
        QSqlDatabase::database(QSqlDatabase::defaultConnection, false).setConnectOptions();
        QCoreApplication::removeTranslator(AppLanguageManager::instance());
    }

    // A dive left recording for 5e12 s is listed and opened with its whole
    // hours.
    void hugeDurationIsListedAndOpened()
    {
        storeBeforeStart({testkit::makeDive("Left running", "A1", 3)});
        testkit::RawSqlite raw(logbookPath());
        QVERIFY(raw.exec("UPDATE profiles SET time = 5e12 WHERE pointid = 2; "
                         "UPDATE divefigures SET maxtime = 5e12"));
        MainWindow window;
        QCOMPARE(rowNames(window), QStringList{"Left running"});
        const QString duration = QStringLiteral("1388888888:53:20");
        QCOMPARE(cellOf(window, "Left running", 2), duration);

        testkit::openFromList(window, db()->getDiveByName("Left running", "A1"));
        QCOMPARE(window.findChild<QLineEdit*>("edDuration")->text(), duration);
        QVERIFY(mPrompts.records().isEmpty());
    }

    // An older logbook that cannot be brought up to date is listed whole,
    // with one message that says why; once the lock is gone, the next
    // listing brings it up to date.
    void olderLogbookIsListed_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only") << "read-only" << "readonly";
        QTest::newRow("locked by another program") << "locked" << "locked";
    }
    void olderLogbookIsListed()
    {
        QFETCH(QString, how);
        QFETCH(QString, reason);
        writeOlderLogbook();
        failAtOnceWhenBusy();
        // The program runs as any user: a file it may not write opens
        // read-only (the tests may run as root, who may write any file).
        if (how == "read-only")
            QSqlDatabase::database(QSqlDatabase::defaultConnection, false)
                .setConnectOptions("QSQLITE_BUSY_TIMEOUT=0;QSQLITE_OPEN_READONLY");
        auto other = std::make_unique<testkit::RawSqlite>(logbookPath());
        if (how == "locked")
            QVERIFY(other->exec("BEGIN IMMEDIATE"));

        MainWindow window;
        QCOMPARE(mPrompts.records().size(), 1);
        const testkit::PromptRecord message = mPrompts.records().first();
        QCOMPARE(message.title, QString("Database Error"));
        QVERIFY2(message.text.startsWith("The logbook could not be upgraded: its dives are listed as they are"),
                 qPrintable(message.text));
        QVERIFY2(message.text.contains(reason), qPrintable(message.text));
        QCOMPARE(counter(window), QString("2 Computers / 3 Dives"));
        QCOMPARE(rowNames(window), (QStringList{"Cave", "Reef", "Wreck"}));
        QCOMPARE(cellOf(window, "Reef", 2), QString("25:00"));
        QCOMPARE(cellOf(window, "Wreck", 3), QString("32.0m"));
        testkit::openFromList(window, 2);
        QCOMPARE(window.currentDive().name, QString("Wreck"));

        // Listing again (the longest first) says nothing more while the
        // file stays as it is.
        clickHeader(window, 2);
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(rowNames(window), (QStringList{"Cave", "Wreck", "Reef"}));
        if (how == "read-only")
            return;

        other.reset();
        clickHeader(window, 2);
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(rowNames(window), (QStringList{"Cave", "Reef", "Wreck"}));
        testkit::RawSqlite raw(logbookPath());
        QCOMPARE(raw.value("PRAGMA user_version").toInt(), 1);
        QCOMPARE(raw.value("SELECT maxtime FROM divefigures WHERE diveid = 2").toDouble(), 2400.0);
        // Stores go through again.
        window.storeDive(testkit::makeDive("Drift", "A1", 20));
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(db()->getNbDives(), 4);
    }

    // A list that cannot be read says why and keeps the dives shown.
    void lockedListReadKeepsTheList()
    {
        storeBeforeStart({testkit::makeDive("Reef", "A1", 20), testkit::makeDive("Wreck", "A1", 30)});
        MainWindow window;
        failAtOnceWhenBusy();
        QCOMPARE(rowNames(window), (QStringList{"Reef", "Wreck"}));
        {
            testkit::RawSqlite other(logbookPath());
            QVERIFY(other.exec("BEGIN EXCLUSIVE"));
            clickHeader(window, 3);
        }
        QCOMPARE(mPrompts.records().size(), 1);
        const testkit::PromptRecord message = mPrompts.records().first();
        QCOMPARE(message.kind, QString("critical"));
        QCOMPARE(message.title, QString("Database Error"));
        QVERIFY2(message.text.startsWith("Impossible to read the dive list\n"), qPrintable(message.text));
        QVERIFY2(message.text.contains("locked"), qPrintable(message.text));
        QCOMPARE(rowNames(window), (QStringList{"Reef", "Wreck"}));
        QCOMPARE(counter(window), QString("1 Computer / 2 Dives"));

        // Once the file is free the list reads again.
        clickHeader(window, 3);
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(rowNames(window), (QStringList{"Reef", "Wreck"}));
    }

    void renameFailures_data()
    {
        QTest::addColumn<QString>("dive");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("title"); // empty: renamed
        QTest::addColumn<QString>("text");
        QTest::newRow("name of another dive") << "Reef" << "Wreck" << false << "Error" << "Name already exists";
        QTest::newRow("locked file") << "Reef" << "Arch" << true << "Database Error"
                                     << "Impossible to rename the dive\ndatabase is locked";
        QTest::newRow("older row without serial") << "Cave" << "Grotto" << false << "" << "";
        QTest::newRow("older row, name taken") << "Cave" << "Old" << false << "Error" << "Name already exists";
    }
    void renameFailures()
    {
        QFETCH(QString, dive);
        QFETCH(QString, newName);
        QFETCH(bool, locked);
        QFETCH(QString, title);
        QFETCH(QString, text);
        storeBeforeStart({testkit::makeDive("Reef", "A1", 20), testkit::makeDive("Wreck", "A1", 30)});
        {
            // Rows of an older version, stored with an empty serial.
            testkit::RawSqlite raw(logbookPath());
            QVERIFY(raw.exec("INSERT INTO dives (diveid, name, computer, datetime, serial) VALUES "
                             "(7, 'Cave', 'Quelm', 1700180000, ''), (8, 'Old', 'Quelm', 1700190000, '')"));
        }
        MainWindow window;
        failAtOnceWhenBusy();
        testkit::RawSqlite other(logbookPath());
        if (locked)
            QVERIFY(other.exec("BEGIN IMMEDIATE"));
        renameFromMenu(window, mPrompts, dive, newName);
        if (locked)
            QVERIFY(other.exec("ROLLBACK"));

        QCOMPARE(mPrompts.records().first().title, QString("Rename"));
        if (title.isEmpty()) {
            QCOMPARE(mPrompts.records().size(), 1);
            QVERIFY(itemOf(window, newName));
            QCOMPARE(other.value("SELECT COUNT(*) FROM dives WHERE name = '" + newName + "'").toInt(), 1);
            return;
        }
        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(mPrompts.records().at(1).kind, QString("critical"));
        QCOMPARE(mPrompts.records().at(1).title, title);
        // SQLite's reason may come with the driver's words.
        QVERIFY2(mPrompts.records().at(1).text.startsWith(text), qPrintable(mPrompts.records().at(1).text));
        QVERIFY(itemOf(window, dive));
        QCOMPARE(other.value("SELECT COUNT(*) FROM dives WHERE name = '" + dive + "'").toInt(), 1);
    }

    // Work runs in the order it arrived, also what arrives from the event
    // loop of a dialog that earlier work opened: never C in the middle of A.
    void workKeepsArrivalOrderAcrossADialog_data()
    {
        QTest::addColumn<bool>("behindAWrite");
        QTest::addColumn<QStringList>("order");
        // B is handed over once A has ended: C, from A's dialog, came first.
        QTest::newRow("work run at once")
            << false << QStringList{"A starts", "A's own", "A ends", "C", "B"};
        // B waited behind the write with A: it came before C.
        QTest::newRow("work held back by a write")
            << true << QStringList{"A starts", "A's own", "A ends", "B", "C"};
    }
    void workKeepsArrivalOrderAcrossADialog()
    {
        QFETCH(bool, behindAWrite);
        QFETCH(QStringList, order);
        QObject context;
        WriteQueue queue(&context);
        QStringList log;
        const auto workA = [&] {
            log << "A starts";
            QMetaObject::invokeMethod(&context, [&] { queue.run([&] { log << "C"; }); }, Qt::QueuedConnection);
            // A modal dialog's own event loop.
            QEventLoop dialog;
            QTimer::singleShot(0, &dialog, &QEventLoop::quit);
            dialog.exec();
            // What A hands over itself is part of it.
            queue.run([&] { log << "A's own"; });
            log << "A ends";
        };
        if (behindAWrite) {
            const WriteQueue::Writing writing(queue);
            queue.run(workA);
            queue.run([&] { log << "B"; });
        } else {
            queue.run(workA);
            queue.run([&] { log << "B"; });
        }
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(log, order);
    }

    // Through the window: a rename and a store arrive during a long write,
    // and another store while the rename's dialog is open; that one is
    // stored last.
    void storeArrivingDuringARenameWaitsItsTurn()
    {
        storeBeforeStart({testkit::makeDive("Reef", "A1", 20)});
        MainWindow window;
        QTableWidgetItem* reef = itemOf(window, "Reef");
        QVERIFY(reef);
        bool caveStoredDuringRename = false;
        mPrompts.answerDialog([&](QDialog& dialog) {
            caveStoredDuringRename = db()->getDiveByName("Cave", "A1") >= 0;
            dialog.findChild<QLineEdit*>()->setText("Arch");
            return int(QDialog::Accepted);
        });
        QMetaObject::invokeMethod(
            &window,
            [&] {
                window.renameDiveProfileItem(reef);
                window.storeDive(testkit::makeDive("Wreck", "A1", 20));
            },
            Qt::QueuedConnection);
        // Long enough for the write to let the event loop run.
        window.storeDive(testkit::makeDive("Long", "A1", 5000));
        QMetaObject::invokeMethod(
            &window, [&] { window.storeDive(testkit::makeDive("Cave", "A1", 20)); }, Qt::QueuedConnection);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();

        QCOMPARE(mPrompts.records().size(), 1);
        QVERIFY(!caveStoredDuringRename);
        QVERIFY(db()->getDiveByName("Wreck", "A1") < db()->getDiveByName("Cave", "A1"));
        QCOMPARE(rowNames(window), (QStringList{"Arch", "Long", "Wreck", "Cave"}));
    }

    // In French the stand-ins that the logbook holds in English read in
    // French, and the count takes its plural form.
    void frenchGroupRows()
    {
        Dive fromFile = testkit::makeDive("Reef", QString(), 20);
        fromFile.computerName.clear();
        storeBeforeStart({fromFile, testkit::makeDive("Wreck", "A1", 20), testkit::makeDive("Drift", "A1", 20)});
        QVERIFY(AppLanguageManager::instance()->loadLanguage(
            "Marevane", AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath()), "fr"));
        MainWindow window;
        QCOMPARE(groupTexts(window), (QStringList{QString::fromUtf8("Computer of A1 - A1 - 2 plongées"),
                                                  QString::fromUtf8("Sans nom - Sans numéro de série - 1 plongée")}));
        // Stored as before: the stand-ins stay in English.
        testkit::RawSqlite raw(logbookPath());
        QCOMPARE(raw.value("SELECT computer || '/' || serial FROM dives WHERE name = 'Reef'").toString(),
                 QString("No name/No serial number"));
        QVERIFY(mPrompts.records().isEmpty());
    }

private:
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(LogbookWindowTest)
#include "tst_logbookwindow.moc"

#include "divedb/divedb.h"
#include "divedb/diveschema.h"
#include "divefixtures.h"
#include "divelistopen.h"
#include "divelistrows.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "rawsqlite.h"
#include "testenvironment.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>

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

QString cellOf(MainWindow& window, const QString& name, int column)
{
    QTableWidgetItem* item = itemOf(window, name);
    return item ? list(window)->item(item->row(), column)->text() : QString();
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

private:
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(LogbookWindowTest)
#include "tst_logbookwindow.moc"

#include "divedb/divedb.h"
#include "divefixtures.h"
#include "rawsqlite.h"
#include "storedvalues.h"
#include "testenvironment.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimeZone>

#include <cmath>
#include <limits>

using testkit::RawSqlite;

namespace {

DiveDb* db()
{
    return DiveDb::instance();
}

// Opens a database without waiting for the disk after each write: the tests
// store many dives.
void openWithoutSync(const QString& path)
{
    QCOMPARE(db()->setDatabase(path), int(DiveDb::Success));
    QVERIFY(QSqlQuery(QSqlDatabase::database()).exec("PRAGMA synchronous = OFF"));
}

qint64 utcSeconds(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc()).toSecsSinceEpoch();
}

// Random damage to a database file: bytes flipped, pages zeroed, the file cut
// short or grown with noise.
QByteArray damaged(QByteArray bytes, QRandomGenerator& random)
{
    switch (random.bounded(5)) {
    case 0:
        for (int n = random.bounded(1, 40); n > 0; --n)
            bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
        break;
    case 1: {
        const int page = 4096;
        const int at = random.bounded(int(bytes.size() / page)) * page;
        bytes.replace(at, page, QByteArray(page, random.bounded(2) ? '\0' : '\xff'));
        break;
    }
    case 2: bytes.truncate(random.bounded(int(bytes.size()))); break;
    case 3:
        for (int n = random.bounded(1, 5000); n > 0; --n)
            bytes.append(char(random.bounded(256)));
        break;
    default:
        // The header's own fields: page size, counts, schema cookie.
        for (int n = random.bounded(1, 6); n > 0; --n)
            bytes[random.bounded(16, 100)] = char(random.bounded(256));
        break;
    }
    return bytes;
}

// A value of any kind SQLite holds, as an SQL literal.
QString randomLiteral(QRandomGenerator& random)
{
    switch (random.bounded(10)) {
    case 0: return QStringLiteral("NULL");
    case 1: return QStringLiteral("1e999");
    case 2: return QStringLiteral("-1e999");
    case 3: return QStringLiteral("'nan'");
    case 4: return QStringLiteral("'inf'");
    case 5: return QStringLiteral("x'00ff10'");
    case 6: return QStringLiteral("'text'");
    case 7: return QString::number(qint64(random.generate64()));
    case 8: return QString::number(random.generateDouble() * 2000.0 - 1000.0, 'g', 17);
    default: return QString::number(random.bounded(-5, 300));
    }
}

} // namespace

// Repairs of the dive database: a new dive owns exactly the rows of its id,
// no value that is not a finite number goes in or out, ids past the largest
// int, local dates of the list, and damaged files.
class RepairDiveDbTest : public QObject
{
    Q_OBJECT

private:
    QString path() const { return mFolder->path(); }

    std::unique_ptr<testkit::DatabaseFolder> mFolder;

private slots:
    void init()
    {
        mFolder = std::make_unique<testkit::DatabaseFolder>();
        openWithoutSync(path());
    }

    void cleanup() { testkit::TestEnvironment::setTimeZone("UTC"); }

    // Rows left under the id a new dive gets (by an older program or an
    // interrupted write) are replaced: the dive reads back as stored.
    void newDiveReplacesTheRowsLeftUnderItsId_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("leftovers");
        QTest::addColumn<int>("id");
        QTest::newRow("samples and gas past the dive's own")
            << QStringList() << QStringLiteral("INSERT INTO profiles (diveid, pointid, time, depth) VALUES "
                                               "(1, 100, 5000, 80), (1, 101, 5002, 81);"
                                               "INSERT INTO gases (diveid, gasid, o2, he) VALUES (1, 7, 50, 0)")
            << 1;
        QTest::newRow("samples and gases of the same numbers")
            << QStringList() << QStringLiteral("INSERT INTO profiles (diveid, pointid, time, depth) VALUES "
                                               "(1, 0, 900, 45), (1, 2, 902, 46);"
                                               "INSERT INTO gases (diveid, gasid, o2, he) VALUES (1, 1, 18, 45)")
            << 1;
        QTest::newRow("after stored dives, with figures")
            << QStringList{"A", "B"}
            << QStringLiteral("INSERT INTO profiles (diveid, pointid, time, depth) VALUES (3, 9, 7000, 99);"
                              "INSERT INTO divefigures (diveid, maxtime, maxdepth) VALUES (3, 7000, 99)")
            << 3;
    }

    void newDiveReplacesTheRowsLeftUnderItsId()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, leftovers);
        QFETCH(int, id);
        for (const QString& name : stored)
            QCOMPARE(db()->storeDive(testkit::makeDive(name, "S1", 5)), int(DiveDb::Success));
        {
            RawSqlite raw(path());
            QVERIFY2(raw.exec(leftovers), qPrintable(raw.lastError()));
        }

        const Dive dive = testkit::makeDive("New", "S2", 6, 18.0);
        QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        QCOMPARE(db()->getDiveByName("New", "S2"), id);
        Dive read;
        QVERIFY(db()->readDive(id, read));
        testkit::compareStoredGasesAndSamples(read, dive);

        DiveInfo info;
        QVERIFY(db()->getDiveInfo(id, info));
        QCOMPARE(info.maxTime, 10.0);
        QCOMPARE(info.maxDepth, 18.0);
    }

    // A stored value that is not a finite number (written by another program,
    // or a damaged file) refuses the read with a reason; the dive shown stays.
    void nonFiniteStoredValueRefusesTheRead_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        for (const char* column : {"time", "depth", "temperature", "OTU", "CNS", "decoCeiling", "gradientFactor", "ppo2"}) {
            for (const char* value : {"1e999", "-1e999", "'nan'", "'inf'"})
                QTest::addRow("%s %s", column, value) << QString::fromLatin1(column) << QString::fromLatin1(value);
        }
    }

    void nonFiniteStoredValueRefusesTheRead()
    {
        QFETCH(QString, column);
        QFETCH(QString, value);
        QCOMPARE(db()->storeDive(testkit::makeDive("Reef", "S1", 6)), int(DiveDb::Success));
        {
            RawSqlite raw(path());
            QVERIFY(raw.exec(QStringLiteral("UPDATE profiles SET %1 = %2 WHERE pointid = 2").arg(column, value)));
        }
        Dive dive = testkit::makeDive("Shown", "S9", 3);
        QVERIFY(!db()->readDive(1, dive));
        QCOMPARE(dive.name, QStringLiteral("Shown"));
        QCOMPARE(dive.lines.size(), 3);
        QCOMPARE(db()->lastError(), QStringLiteral("Sample 3 of dive 1 holds a value that is not a finite number"));
    }

    // The list keeps such a dive, so that it can be deleted, with figures of 0.
    void listKeepsADiveWithNonFiniteFigures()
    {
        QCOMPARE(db()->storeDive(testkit::makeDive("Reef", "S1", 6)), int(DiveDb::Success));
        {
            RawSqlite raw(path());
            QVERIFY(raw.exec("UPDATE divefigures SET maxtime = 1e999, maxdepth = 'nan'"));
        }
        QList<DiveInfo> rows;
        int groups = 0;
        db()->getDives(Filter(), rows, groups, SortField::Duration, SortOrder::Ascending);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().maxTime, 0.0);
        QCOMPARE(rows.first().maxDepth, 0.0);
    }

    // The list's rows come straight from SQLite: texts in any script, and a
    // statement that fails gives no row and its reason.
    void listRowsAndTheirFailure()
    {
        Dive dive = testkit::makeDive(QString::fromUtf8("Épave du Donator — 沈船"), "O'Brien", 4);
        dive.computerName = QString::fromUtf8("Ordinateur de Zoë");
        QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        QList<DiveInfo> rows;
        int groups = 0;
        db()->getDives(Filter(), rows, groups, SortField::Date, SortOrder::Ascending);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(groups, 1);
        QCOMPARE(rows.first().name, dive.name);
        QCOMPARE(rows.first().serial, dive.computerSerial);
        QCOMPARE(rows.first().computer, dive.computerName);

        {
            RawSqlite raw(path());
            QVERIFY(raw.exec("DROP TABLE divefigures"));
        }
        rows.clear();
        db()->getDives(Filter(), rows, groups, SortField::Date, SortOrder::Ascending);
        QVERIFY(rows.isEmpty());
        QCOMPARE(groups, 0);
        QVERIFY2(db()->lastError().contains("divefigures"), qPrintable(db()->lastError()));
        DiveInfo info;
        QVERIFY(!db()->getDiveInfo(1, info));
        QCOMPARE(info.id, -1);
    }

    void nonFiniteSampleIsNeitherStoredNorRewritten_data()
    {
        QTest::addColumn<bool>("update");
        QTest::addColumn<double>("value");
        QTest::newRow("store, not a number") << false << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("store, infinite") << false << std::numeric_limits<double>::infinity();
        QTest::newRow("rewrite, not a number") << true << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("rewrite, infinite") << true << -std::numeric_limits<double>::infinity();
    }

    void nonFiniteSampleIsNeitherStoredNorRewritten()
    {
        QFETCH(bool, update);
        QFETCH(double, value);
        QCOMPARE(db()->storeDive(testkit::makeDive("Kept", "S1", 4)), int(DiveDb::Success));
        RawSqlite raw(path());
        const QString before = raw.snapshot();

        Dive dive = testkit::makeDive(update ? "Kept" : "New", "S1", 4);
        dive.lines[1].depth = value;
        QCOMPARE(update ? db()->updateDiveById(1, dive) : db()->storeDive(dive), int(DiveDb::SqlFailed));
        QCOMPARE(db()->lastError(), QStringLiteral("Sample 2 of the dive holds a value that is not a finite number"));
        QCOMPARE(raw.snapshot(), before);
    }

    // Past the largest id an int holds, a new dive takes the first free id;
    // ids below 1 never name a new dive.
    void newDiveIdPastTheLargestInt_data()
    {
        QTest::addColumn<QList<qint64>>("ids");
        QTest::addColumn<int>("expected");
        QTest::newRow("largest int") << QList<qint64>{2147483647} << 1;
        QTest::newRow("largest int and a gap") << QList<qint64>{1, 2, 5, 2147483647} << 3;
        QTest::newRow("past the largest int") << QList<qint64>{1, 4294967296} << 2;
        QTest::newRow("only negative ids") << QList<qint64>{-7} << 1;
        QTest::newRow("zero") << QList<qint64>{0} << 1;
        QTest::newRow("below the largest int") << QList<qint64>{3, 2147483646} << 2147483647;
    }

    void newDiveIdPastTheLargestInt()
    {
        QFETCH(QList<qint64>, ids);
        QFETCH(int, expected);
        {
            RawSqlite raw(path());
            for (const qint64 id : ids)
                QVERIFY(raw.exec(QStringLiteral("INSERT INTO dives (diveid, name, serial) VALUES (%1, 'Old %1', 'S1')")
                                     .arg(id)));
        }
        const Dive dive = testkit::makeDive("New", "S1", 5);
        QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        QCOMPARE(db()->getDiveByName("New", "S1"), expected);
        Dive read;
        QVERIFY(db()->readDive(expected, read));
        QCOMPARE(read.name, QStringLiteral("New"));
        testkit::compareStoredGasesAndSamples(read, dive);
        RawSqlite raw(path());
        QCOMPARE(raw.value("SELECT COUNT(*) FROM dives").toInt(), ids.size() + 1);
    }

    // Local dates of the list on either side of a change of the clocks, with
    // the time zone read once for all rows.
    void listDatesAcrossClockChanges_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<qint64>("instant");
        QTest::addColumn<QString>("local");
        QTest::addColumn<int>("offset");
        const QByteArray posix = "CET-1CEST,M3.5.0,M10.5.0/3";
        QTest::newRow("before summer time") << posix << utcSeconds(2024, 3, 31, 0, 59, 59) << "2024-03-31 01:59:59" << 3600;
        QTest::newRow("summer time") << posix << utcSeconds(2024, 3, 31, 1, 0, 0) << "2024-03-31 03:00:00" << 7200;
        QTest::newRow("end of summer time") << posix << utcSeconds(2024, 10, 27, 0, 59, 59) << "2024-10-27 02:59:59" << 7200;
        QTest::newRow("winter time") << posix << utcSeconds(2024, 10, 27, 1, 0, 0) << "2024-10-27 02:00:00" << 3600;
        QTest::newRow("zone file, summer") << QByteArray("Europe/Paris") << utcSeconds(2031, 7, 14, 10, 0, 0)
                                           << "2031-07-14 12:00:00" << 7200;
        QTest::newRow("half an hour forward") << QByteArray("Australia/Lord_Howe") << utcSeconds(2024, 10, 5, 15, 30, 0)
                                              << "2024-10-06 02:30:00" << 39600;
    }

    void listDatesAcrossClockChanges()
    {
        QFETCH(QByteArray, zone);
        QFETCH(qint64, instant);
        QFETCH(QString, local);
        QFETCH(int, offset);
        testkit::TestEnvironment::setTimeZone(zone.constData());
        // A year of dives around it, so that the list spans several changes.
        for (int day = -200; day <= 200; day += 25)
            QCOMPARE(db()->storeDive(testkit::makeDive(QString::number(day), "S1", 2, 10.0, instant + day * 86400LL)),
                     int(DiveDb::Success));
        QList<DiveInfo> rows;
        int groups = 0;
        db()->getDives(Filter(), rows, groups, SortField::Date, SortOrder::Ascending);
        const auto row = std::find_if(rows.cbegin(), rows.cend(), [](const DiveInfo& info) { return info.name == "0"; });
        QVERIFY(row != rows.cend());
        QCOMPARE(row->dateTime.toString("yyyy-MM-dd hh:mm:ss"), local);
        QCOMPARE(row->dateTime.offsetFromUtc(), offset);
        QCOMPARE(row->dateTime.toSecsSinceEpoch(), instant);
        // Every row reads as the C library's local time of its instant.
        for (const DiveInfo& info : std::as_const(rows)) {
            const QDateTime expected = QDateTime::fromSecsSinceEpoch(info.dateTime.toSecsSinceEpoch());
            QCOMPARE(info.dateTime.date(), expected.date());
            QCOMPARE(info.dateTime.time(), expected.time());
        }
        DiveInfo one;
        QVERIFY(db()->getDiveInfo(row->id, one));
        QCOMPARE(one.dateTime.toString("yyyy-MM-dd hh:mm:ss"), local);
    }

    // Dates far from today: every one reads as the C library's local time.
    void listDatesOverTheYears()
    {
        testkit::TestEnvironment::setTimeZone("America/Sao_Paulo");
        QRandomGenerator random(7);
        for (int i = 0; i < 100; ++i) {
            const qint64 instant = random.bounded(qint64(-1500000000), qint64(4000000000));
            QCOMPARE(db()->storeDive(testkit::makeDive(QString::number(i), "S1", 1, 10.0, instant)),
                     int(DiveDb::Success));
        }
        QList<DiveInfo> rows;
        int groups = 0;
        db()->getDives(Filter(), rows, groups, SortField::Date, SortOrder::Descending);
        QCOMPARE(rows.size(), 100);
        for (const DiveInfo& info : std::as_const(rows)) {
            const QDateTime expected = QDateTime::fromSecsSinceEpoch(info.dateTime.toSecsSinceEpoch());
            QCOMPARE(info.dateTime.toString("yyyy-MM-dd hh:mm:ss"), expected.toString("yyyy-MM-dd hh:mm:ss"));
            QCOMPARE(info.dateTime.offsetFromUtc(), expected.offsetFromUtc());
        }
    }

    // Damaged files, opened and read as the window does: no crash, and every
    // failure says why; what reads back holds only finite numbers.
    void damagedFiles()
    {
        for (int i = 0; i < 12; ++i)
            QCOMPARE(db()->storeDive(testkit::makeDive(QStringLiteral("Dive %1").arg(i), QStringLiteral("S%1").arg(i % 3),
                                                       40 + 10 * i)),
                     int(DiveDb::Success));
        QCOMPARE(db()->setDatabase(QString()), int(DiveDb::NotOpen)); // lets go of the file
        QFile original(path());
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray bytes = original.readAll();

        QRandomGenerator random(20241214);
        for (int run = 0; run < 120; ++run) {
            const QString copy = mFolder->path(QStringLiteral("damaged%1.db").arg(run));
            QFile file(copy);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(run % 25 == 0 ? QByteArray(random.bounded(0, 9000), char(random.bounded(256)))
                                     : damaged(bytes, random));
            file.close();
            exerciseDatabase(copy);
        }
        reportOutcomes("damaged files");
    }

    // Values of any kind in any column: the same.
    void strangeValues()
    {
        for (int i = 0; i < 6; ++i)
            QCOMPARE(db()->storeDive(testkit::makeDive(QStringLiteral("Dive %1").arg(i), "S1", 12)),
                     int(DiveDb::Success));
        QCOMPARE(db()->setDatabase(QString()), int(DiveDb::NotOpen));
        QFile original(path());
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray bytes = original.readAll();

        QRandomGenerator random(42);
        const char* const columns[][2] = {
            {"dives", "diveid"},  {"dives", "datetime"}, {"dives", "period"},   {"dives", "alerts"},
            {"dives", "diverN2"}, {"dives", "name"},     {"dives", "serial"},   {"dives", "computertype"},
            {"profiles", "time"}, {"profiles", "depth"}, {"profiles", "pointid"}, {"profiles", "gasindex"},
            {"profiles", "alertPelavix"}, {"profiles", "tankPressureTxIndex"}, {"gases", "o2"}, {"gases", "gasid"},
            {"divefigures", "maxtime"}};
        for (int run = 0; run < 40; ++run) {
            const QString copy = mFolder->path(QStringLiteral("strange%1.db").arg(run));
            QFile file(copy);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
            file.close();
            {
                RawSqlite raw(copy);
                for (int n = random.bounded(1, 6); n > 0; --n) {
                    const auto& [table, column] = columns[random.bounded(int(std::size(columns)))];
                    // Some changes break a key: those are simply not made.
                    raw.exec(QStringLiteral("UPDATE OR IGNORE %1 SET %2 = %3 WHERE rowid IN (SELECT rowid FROM %1 "
                                            "ORDER BY random() LIMIT 2)")
                                 .arg(table, column, randomLiteral(random)));
                }
            }
            exerciseDatabase(copy);
        }
        reportOutcomes("strange values");
    }

private:
    // What the damaged files gave, for the test's log.
    struct Outcomes
    {
        int refusedFiles = 0;
        int readDives = 0;
        int refusedDives = 0;
    };

    void exerciseDatabase(const QString& file)
    {
        const int opened = db()->setDatabase(file);
        if (opened != DiveDb::Success) {
            ++mOutcomes.refusedFiles;
            QVERIFY2(!db()->lastError().isEmpty(), qPrintable(file));
            return;
        }
        QSqlQuery(QSqlDatabase::database()).exec("PRAGMA synchronous = OFF");
        QList<DiveInfo> rows;
        int groups = 0;
        db()->getDives(Filter(), rows, groups, SortField::Duration, SortOrder::Descending);
        for (const DiveInfo& info : std::as_const(rows)) {
            QVERIFY(std::isfinite(info.maxTime) && std::isfinite(info.maxDepth));
            Dive dive = testkit::makeDive("Shown", "S9", 2);
            if (db()->readDive(info.id, dive)) {
                ++mOutcomes.readDives;
                for (const DiveLine& line : std::as_const(dive.lines))
                    QVERIFY(line.hasFiniteValues());
            } else {
                ++mOutcomes.refusedDives;
                QVERIFY2(!db()->lastError().isEmpty(), qPrintable(file));
                QCOMPARE(dive.name, QStringLiteral("Shown"));
            }
        }
        db()->getNbDives();
        QList<QString> names;
        db()->getDistinctSerialNumber(names);
        const int stored = db()->storeDive(testkit::makeDive("Added", "S7", 8));
        if (stored != DiveDb::Success)
            QVERIFY2(!db()->lastError().isEmpty(), qPrintable(file));
    }

    void reportOutcomes(const char* what)
    {
        qInfo("%s: %d files refused, %d dives read, %d refused", what, mOutcomes.refusedFiles,
              mOutcomes.readDives, mOutcomes.refusedDives);
        mOutcomes = {};
    }

    Outcomes mOutcomes;
};

MAREVANE_TEST_MAIN(RepairDiveDbTest)
#include "tst_repairdivedb.moc"

#include "divedb/divedb.h"
#include "divefixtures.h"
#include "rawsqlite.h"
#include "testenvironment.h"

#include <algorithm>

using testkit::RawSqlite;

namespace {

QDateTime local(int day, int hour, int minute = 0, int second = 0)
{
    return QDateTime(QDate(2024, 3, 1).addDays(day - 1), QTime(hour, minute, second));
}

Filter byComputers(const QList<QString>& serials)
{
    Filter filter;
    filter.byComputer = true;
    filter.serials = serials;
    return filter;
}

Filter byDates(const QDateTime& start, const QDateTime& end = {})
{
    Filter filter;
    filter.byDate = true;
    filter.startDate = start;
    filter.byEndDate = end.isValid();
    filter.endDate = end;
    return filter;
}

Filter withTimes(Filter filter, QTime start, QTime end)
{
    filter.byTime = true;
    filter.startTime = start;
    filter.endTime = end;
    return filter;
}

QList<DiveInfo> listed(const Filter& filter, int* groups = nullptr,
                       SortField field = SortField::Date, SortOrder order = SortOrder::Ascending)
{
    QList<DiveInfo> list;
    int count = -1;
    DiveDb::instance()->getDives(filter, list, count, field, order);
    if (groups)
        *groups = count;
    return list;
}

QStringList namesOf(const QList<DiveInfo>& list)
{
    QStringList names;
    for (const DiveInfo& info : list)
        names.append(info.name);
    return names;
}

} // namespace

Q_DECLARE_METATYPE(Filter)
Q_DECLARE_METATYPE(SortField)
Q_DECLARE_METATYPE(SortOrder)

// The dive list (filter, sort, computer groups) and the small edits of
// stored dives.
class DiveListTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testkit::TestEnvironment::setTimeZone("Europe/Paris"); }

    void init()
    {
        mFolder = std::make_unique<testkit::DatabaseFolder>();
        QCOMPARE(db()->setDatabase(mFolder->path()), int(DiveDb::Success));
    }

    void filterKeepsExactlyItsDives_data()
    {
        QTest::addColumn<Filter>("filter");
        QTest::addColumn<QStringList>("expected");
        const QDateTime start = local(1, 0);
        QTest::newRow("no filter")
            << Filter() << QStringList{"a-feb28",     "a-mar1-0000", "a-mar1-0800", "a-mar3-1800",
                                       "b-mar2-0000", "b-mar2-0300", "c-mar2-0001", "c-mar3-1801",
                                       "inject",      "o-brien"};
        QTest::newRow("two computers") << byComputers({"A1", "B2"})
                                       << QStringList{"a-feb28",     "a-mar1-0000", "a-mar1-0800",
                                                      "a-mar3-1800", "b-mar2-0000", "b-mar2-0300"};
        QTest::newRow("computers without serials")
            << byComputers({})
            << QStringList{"a-feb28",     "a-mar1-0000", "a-mar1-0800", "a-mar3-1800",
                           "b-mar2-0000", "b-mar2-0300", "c-mar2-0001", "c-mar3-1801",
                           "inject",      "o-brien"};
        // Up to and including the start plus 86400 s.
        QTest::newRow("one day") << byDates(start)
                                 << QStringList{"a-mar1-0000", "a-mar1-0800", "b-mar2-0000",
                                                "inject", "o-brien"};
        QTest::newRow("date range") << byDates(start, local(3, 0))
                                    << QStringList{"a-mar1-0000", "a-mar1-0800", "a-mar3-1800",
                                                   "b-mar2-0000", "b-mar2-0300", "c-mar2-0001",
                                                   "c-mar3-1801", "inject",      "o-brien"};
        // One range from the first day's start time to the last day's end
        // time, not a window on each day.
        QTest::newRow("times over a date range")
            << withTimes(byDates(start, local(3, 0)), QTime(8, 0), QTime(18, 0))
            << QStringList{"a-mar1-0800", "a-mar3-1800", "b-mar2-0000", "b-mar2-0300",
                           "c-mar2-0001", "inject",      "o-brien"};
        QTest::newRow("times on one day") << withTimes(byDates(start), QTime(8, 0), QTime(18, 0))
                                          << QStringList{"a-mar1-0800", "inject", "o-brien"};
        Filter both = byDates(start);
        both.byComputer = true;
        both.serials = {"A1", "B2"};
        QTest::newRow("computers and one day")
            << both << QStringList{"a-mar1-0000", "a-mar1-0800", "b-mar2-0000"};
        QTest::newRow("serial with a quote") << byComputers({"O'Brien"}) << QStringList{"o-brien"};
        QTest::newRow("serial that looks like SQL")
            << byComputers({"x' OR '1'='1"}) << QStringList{"inject"};
        QTest::newRow("serial with a placeholder") << byComputers({":serial"}) << QStringList{};
    }

    void filterKeepsExactlyItsDives()
    {
        QFETCH(Filter, filter);
        QFETCH(QStringList, expected);
        const struct
        {
            const char* name;
            const char* serial;
            QDateTime begin;
        } dives[] = {
            {"a-feb28", "A1", local(0, 23, 59, 59)},  {"a-mar1-0000", "A1", local(1, 0)},
            {"a-mar1-0800", "A1", local(1, 8)},       {"b-mar2-0000", "B2", local(2, 0)},
            {"c-mar2-0001", "C3", local(2, 0, 0, 1)}, {"b-mar2-0300", "B2", local(2, 3)},
            {"a-mar3-1800", "A1", local(3, 18)},      {"c-mar3-1801", "C3", local(3, 18, 0, 1)},
            {"o-brien", "O'Brien", local(1, 12)},     {"inject", "x' OR '1'='1", local(1, 13)},
        };
        for (const auto& dive : dives) {
            QCOMPARE(db()->storeDive(testkit::makeDive(dive.name, dive.serial, 3, 10.0,
                                                       dive.begin.toSecsSinceEpoch())),
                     int(DiveDb::Success));
        }
        QStringList names = namesOf(listed(filter));
        names.sort();
        QCOMPARE(names, expected);
    }

    void rowsAreGroupedByComputerAndSortedInside_data()
    {
        QTest::addColumn<SortField>("field");
        QTest::addColumn<SortOrder>("order");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("date ascending") << SortField::Date << SortOrder::Ascending
                                        << QStringList{"a10", "a30", "b20", "b40", "g5", "g50"};
        QTest::newRow("date descending") << SortField::Date << SortOrder::Descending
                                         << QStringList{"a30", "a10", "b40", "b20", "g50", "g5"};
        QTest::newRow("depth descending") << SortField::MaxDepth << SortOrder::Descending
                                          << QStringList{"a30", "a10", "b40", "b20", "g50", "g5"};
        QTest::newRow("depth, any other order descends")
            << SortField::MaxDepth << SortOrder(7)
            << QStringList{"a30", "a10", "b40", "b20", "g50", "g5"};
        // Longer dives have more samples here: a10 is the longest of its group.
        QTest::newRow("duration ascending") << SortField::Duration << SortOrder::Ascending
                                            << QStringList{"a30", "a10", "b40", "b20", "g50", "g5"};
    }

    void rowsAreGroupedByComputerAndSortedInside()
    {
        QFETCH(SortField, field);
        QFETCH(SortOrder, order);
        QFETCH(QStringList, expected);
        // Serial A1 came with two owner names: its dives of each name stay
        // together. Dates interleave the two names on purpose.
        const struct
        {
            const char* name;
            const char* serial;
            const char* computer;
            double depth;
            int samples;
            int day;
        } dives[] = {
            {"g5", "B2", "Gamma", 5.0, 40, 1},  {"a10", "A1", "Alpha", 10.0, 60, 2},
            {"b20", "A1", "Beta", 20.0, 30, 3}, {"a30", "A1", "Alpha", 30.0, 20, 4},
            {"b40", "A1", "Beta", 40.0, 10, 5}, {"g50", "B2", "Gamma", 50.0, 20, 6},
        };
        for (const auto& d : dives) {
            Dive dive = testkit::makeDive(d.name, d.serial, d.samples, d.depth,
                                          local(d.day, 9).toSecsSinceEpoch());
            dive.computerName = d.computer;
            QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        }
        int groups = 0;
        const QList<DiveInfo> list = listed(Filter(), &groups, field, order);
        QCOMPARE(namesOf(list), expected);
        QCOMPARE(groups, 3);
    }

    void listRowCarriesTheDiveFigures()
    {
        Dive dive = testkit::makeDive("Reef", "S1", 101, 27.5, local(2, 10).toSecsSinceEpoch());
        dive.gfLow = 35;
        dive.gfHigh = 75;
        QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        const QList<DiveInfo> list = listed(Filter());
        QCOMPARE(list.size(), 1);
        const DiveInfo& info = list.first();
        QCOMPARE(info.id, 1);
        QCOMPARE(info.name, QString("Reef"));
        QCOMPARE(info.serial, QString("S1"));
        QCOMPARE(info.computer, QString("Computer of S1"));
        QCOMPARE(info.dateTime, local(2, 10));
        QCOMPARE(info.maxTime, 200.0);
        QCOMPARE(info.maxDepth, 27.5);
        QCOMPARE(info.gfLow, 35);
        QCOMPARE(info.gfHigh, 75);
        DiveInfo one;
        QVERIFY(db()->getDiveInfo(1, one));
        QCOMPARE(one.maxDepth, 27.5);
        QVERIFY(!db()->getDiveInfo(2, one));
    }

    // Older versions of the program keep no figures: their deletes and
    // rewrites drop the figures, and opening the file computes them again.
    void figuresFollowWritesOfOlderVersions()
    {
        QCOMPARE(db()->storeDive(testkit::makeDive("Reef", "S1", 11, 20.0)), int(DiveDb::Success));
        QCOMPARE(db()->storeDive(testkit::makeDive("Wreck", "S1", 11, 30.0)), int(DiveDb::Success));
        {
            RawSqlite raw(mFolder->path());
            // An older delete, then an older store that takes the same id.
            QVERIFY(raw.exec(
                "DELETE FROM profiles WHERE diveid = 2; DELETE FROM gases WHERE diveid = 2;"
                "DELETE FROM dives WHERE diveid = 2;"
                "INSERT INTO dives (diveid, name, serial, computer, datetime) "
                "VALUES (2, 'Cave', 'S1', 'Old', 1700000100);"
                "INSERT INTO profiles (diveid, pointid, time, depth) VALUES "
                "(2, 0, 0, 0), (2, 1, 600, 45.5);"));
            // An older rewrite of the first dive.
            QVERIFY(
                raw.exec("UPDATE dives SET name = 'Reef', datetime = 1700000000 WHERE diveid = 1;"
                         "DELETE FROM profiles WHERE diveid = 1;"
                         "INSERT INTO profiles (diveid, pointid, time, depth) VALUES "
                         "(1, 0, 0, 0), (1, 1, 900, 12.0);"));
        }
        QCOMPARE(db()->setDatabase(mFolder->path()), int(DiveDb::Success));
        const QList<DiveInfo> list = listed(Filter());
        QCOMPARE(namesOf(list), QStringList({"Reef", "Cave"}));
        QCOMPARE(list.at(0).maxTime, 900.0);
        QCOMPARE(list.at(0).maxDepth, 12.0);
        QCOMPARE(list.at(1).maxTime, 600.0);
        QCOMPARE(list.at(1).maxDepth, 45.5);
    }

    void renameDive()
    {
        QCOMPARE(db()->storeDive(testkit::makeDive("Reef", "S1", 3)), int(DiveDb::Success));
        QCOMPARE(db()->storeDive(testkit::makeDive("Wreck", "S1", 3)), int(DiveDb::Success));
        QCOMPARE(db()->storeDive(testkit::makeDive("Cave", "S2", 3)), int(DiveDb::Success));
        QVERIFY(!db()->renameDive(1, "Reef"));   // its own name
        QVERIFY(!db()->renameDive(1, "Wreck"));  // another dive of the computer
        QVERIFY(!db()->renameDive(9, "Unused")); // no such dive
        QVERIFY(db()->renameDive(1, "Cave"));    // taken on another computer only
        QCOMPARE(db()->getDiveByName("Cave", "S1"), 1);
        QVERIFY(db()->renameDive(1, "Drift"));
        Dive read;
        QVERIFY(db()->readDive(1, read));
        QCOMPARE(read.name, QString("Drift"));
        QCOMPARE(db()->getSerialOfDive(3), QString("S2"));
        QCOMPARE(db()->getSerialOfDive(9), QString());
    }

    void deleteDiveRemovesItsRowsOnly()
    {
        QCOMPARE(db()->storeDive(testkit::makeDive("Reef", "S1", 30)), int(DiveDb::Success));
        QCOMPARE(db()->storeDive(testkit::makeDive("Wreck", "S1", 40)), int(DiveDb::Success));
        QVERIFY(db()->deleteDive(1));
        RawSqlite raw(mFolder->path());
        for (const char* table : {"dives", "gases", "profiles", "divefigures"}) {
            QCOMPARE(
                raw.value(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE diveid = 1").arg(table))
                    .toInt(),
                0);
            QVERIFY(raw.value(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE diveid = 2").arg(table))
                        .toInt() > 0);
        }
        QVERIFY(db()->deleteDive(77)); // an unknown id deletes nothing, and succeeds
        QCOMPARE(namesOf(listed(Filter())), QStringList({"Wreck"}));
        QCOMPARE(db()->getNbDives(), 1);
    }

    void computerNameBySerial()
    {
        for (const char* name : {"One", "Two"}) {
            Dive dive = testkit::makeDive(name, "S1", 3);
            dive.computerName = "Old";
            QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        }
        Dive other = testkit::makeDive("Three", "S2", 3);
        other.computerName = "Other";
        QCOMPARE(db()->storeDive(other), int(DiveDb::Success));
        Dive unknown = testkit::makeDive("Four", "", 3);
        QCOMPARE(db()->storeDive(unknown), int(DiveDb::Success));

        bool changed = false;
        QCOMPARE(db()->checkComputerNameBySerial("S1", "New", changed), int(DiveDb::Success));
        QVERIFY(changed);
        QCOMPARE(db()->checkComputerNameBySerial("S1", "New", changed), int(DiveDb::Success));
        QVERIFY(!changed);
        // An empty name is kept as storing keeps it.
        QCOMPARE(db()->checkComputerNameBySerial("S1", "", changed), int(DiveDb::Success));
        QVERIFY(changed);
        QCOMPARE(db()->checkComputerNameBySerial("S1", "", changed), int(DiveDb::Success));
        QVERIFY(!changed);
        // An empty serial names the dives stored without one.
        QCOMPARE(db()->checkComputerNameBySerial("", "Found", changed), int(DiveDb::Success));
        QVERIFY(changed);
        QCOMPARE(db()->getDistinctComputerName(), QList<QString>({"Found", "No name", "Other"}));

        QList<QString> names;
        const QList<QString> serials = db()->getDistinctSerialNumber(names);
        QCOMPARE(serials, QList<QString>({"No serial number", "S1", "S2"}));
        QCOMPARE(names, QList<QString>({"Found", "No name", "Other"}));
    }

    void distinctSerialsJoinTheirComputerNames()
    {
        for (const auto& [name, computer] :
             {std::pair{"One", "Beta"}, std::pair{"Two", "Alpha"}, std::pair{"Three", "Beta"}}) {
            Dive dive = testkit::makeDive(name, "S1", 3);
            dive.computerName = computer;
            QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        }
        QList<QString> names;
        QCOMPARE(db()->getDistinctSerialNumber(names), QList<QString>({"S1"}));
        QCOMPARE(names, QList<QString>({"Alpha, Beta"}));
    }

    void userInformation()
    {
        QCOMPARE(db()->storeDive(testkit::makeDive("Reef", "S1", 3)), int(DiveDb::Success));
        QCOMPARE(db()->storeUserInformation(1, {"Marseille", "Impérial", "Lou"}),
                 int(DiveDb::Success));
        QCOMPARE(db()->storeUserInformation(5, {"Nowhere", "", ""}), int(DiveDb::NotFound));
        Dive read;
        QVERIFY(db()->readDive(1, read));
        QCOMPARE(read.place, QString("Marseille"));
        QCOMPARE(read.site, QString::fromUtf8("Impérial"));
        QCOMPARE(read.buddy, QString("Lou"));
    }

    void diveNumbersOfAComputer()
    {
        const struct
        {
            const char* name;
            const char* serial;
            quint16 number;
        } dives[] = {{"d12", "S1", 12},
                     {"file", "S1", 0},
                     {"d65535", "S1", 65535},
                     {"d3", "S2", 3},
                     {"imported", "S3", 0}};
        for (const auto& d : dives) {
            Dive dive = testkit::makeDive(d.name, d.serial, 3);
            dive.diveNumber = d.number;
            QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        }
        QList<unsigned short> numbers = db()->getDiveIdsByComputer("S1");
        std::sort(numbers.begin(), numbers.end());
        QCOMPARE(numbers, QList<unsigned short>({12, 65535}));
        QVERIFY(db()->getDiveIdsByComputer("S3").isEmpty());
    }

    void uploadMarks()
    {
        const struct
        {
            const char* name;
            const char* computer;
            int day;
        } dives[] = {{"late", "Pelavix", 9},
                     {"early", "Pelavix", 2},
                     {"other", "Quelm", 1},
                     {"middle", "Pelavix", 5}};
        for (const auto& d : dives) {
            Dive dive =
                testkit::makeDive(d.name, "S1", 3, 10.0, local(d.day, 9).toSecsSinceEpoch());
            dive.computerName = d.computer;
            QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        }
        QCOMPARE(db()->getNotUploadedPelavixDiveIds(), QList<int>({2, 4, 1}));
        QVERIFY(db()->markUploaded(4, true));
        QCOMPARE(db()->getNotUploadedPelavixDiveIds(), QList<int>({2, 1}));
        QVERIFY(db()->markUploaded(4, false));
        QCOMPARE(db()->getNotUploadedPelavixDiveIds(), QList<int>({2, 4, 1}));
        QVERIFY(!db()->markUploaded(40, true));
    }

    void clearDatabaseEmptiesEveryTable()
    {
        QCOMPARE(db()->storeDive(testkit::makeDive("Reef", "S1", 30)), int(DiveDb::Success));
        QCOMPARE(db()->storeDive(testkit::makeDive("Wreck", "S2", 30)), int(DiveDb::Success));
        QCOMPARE(db()->clearDatabase(), int(DiveDb::Success));
        RawSqlite raw(mFolder->path());
        for (const char* table : {"dives", "gases", "profiles", "divefigures"})
            QCOMPARE(raw.value(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt(), 0);
        QCOMPARE(db()->storeDive(testkit::makeDive("Reef", "S1", 30)), int(DiveDb::Success));
        QCOMPARE(db()->getDiveByName("Reef", "S1"), 1);
    }

private:
    static DiveDb* db() { return DiveDb::instance(); }

    std::unique_ptr<testkit::DatabaseFolder> mFolder;
};

MAREVANE_TEST_MAIN(DiveListTest)
#include "tst_divelist.moc"

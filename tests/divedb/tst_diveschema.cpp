#include "divedb/divedb.h"
#include "divefixtures.h"
#include "rawsqlite.h"
#include "testenvironment.h"

#include <QFile>

using testkit::RawSqlite;

namespace {

const QList<QString> kDivesColumns = {"diveid INTEGER",
                                      "name TEXT",
                                      "computer TEXT",
                                      "datetime INTEGER",
                                      "serial TEXT",
                                      "divermode INTEGER",
                                      "divemode INTEGER",
                                      "ocdivemode INTEGER",
                                      "gfslow INTEGER",
                                      "gfshigh INTEGER",
                                      "waterdensity INTEGER",
                                      "psurf INTEGER",
                                      "period INTEGER",
                                      "alerts INTEGER",
                                      "alertsAI INTEGER",
                                      "computertype INTEGER",
                                      "firmwareversion TEXT",
                                      "place TEXT",
                                      "site TEXT",
                                      "buddy TEXT",
                                      "diveNumber INTEGER",
                                      "uploaded INTEGER",
                                      "gasSet INTEGER",
                                      "diverN2 BLOB",
                                      "diverHe BLOB"};
const QList<QString> kProfilesColumns = {"diveid INTEGER",
                                         "pointid INTEGER",
                                         "time REAL",
                                         "depth REAL",
                                         "temperature REAL",
                                         "OTU REAL",
                                         "CNS REAL",
                                         "decoCeiling REAL",
                                         "gradientFactor REAL",
                                         "alertFlag INTEGER",
                                         "alertAI INTEGER",
                                         "tissues BLOB",
                                         "gasindex INTEGER",
                                         "battery INTEGER",
                                         "tankPressure INTEGER",
                                         "gfLow INTEGER",
                                         "gfHigh INTEGER",
                                         "ppo2 REAL",
                                         "tankPressureTxIndex INTEGER",
                                         "alertPelavix INTEGER"};
const QList<QString> kGasesColumns = {"diveid INTEGER", "gasid INTEGER", "o2 INTEGER", "he INTEGER",
                                      "gasClass INTEGER"};

// A file of an early version: few columns, no gases table, two dives.
const char* const kEarlyFile =
    "CREATE TABLE dives (diveid INTEGER, name TEXT, computer TEXT, datetime INTEGER, "
    "serial TEXT, divemode INTEGER, gfslow INTEGER, gfshigh INTEGER, waterdensity INTEGER, "
    "psurf INTEGER, PRIMARY KEY(diveid));"
    "CREATE TABLE profiles (diveid INTEGER, pointid INTEGER, time REAL, depth REAL, "
    "temperature REAL, OTU REAL, CNS REAL, decoCeiling REAL, gradientFactor REAL, "
    "PRIMARY KEY(diveid, pointid));"
    "INSERT INTO dives VALUES (1, 'Reef', 'Old', 1500000000, 'S1', 0, 30, 70, 0, 1013);"
    "INSERT INTO dives VALUES (4, 'Wreck', 'Old', 1500100000, 'S1', 0, 30, 70, 1, 1010);"
    "INSERT INTO profiles VALUES (1, 0, 0, 0, 20, 0, 0, 0, 0);"
    "INSERT INTO profiles VALUES (1, 1, 10, 12.5, 19, 0, 0, 0, 0);"
    "INSERT INTO profiles VALUES (1, 2, 20, 3, 19, 0, 0, 0, 0);"
    "INSERT INTO profiles VALUES (4, 0, 0, 1, 20, 0, 0, 0, 0);"
    "INSERT INTO profiles VALUES (4, 1, 30, 41, 20, 0, 0, 0, 0);";

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QString> userTables(RawSqlite& raw)
{
    QList<QString> names;
    for (const auto& row :
         raw.rows("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"))
        names.append(row.first().toString());
    return names;
}

} // namespace

// Creating a new file, bringing the files of older versions up to date, and
// refusing what is no dive database.
class DiveSchemaTest : public QObject
{
    Q_OBJECT

private slots:
    void newFileHasTheThreeTablesAndVersionOne()
    {
        testkit::DatabaseFolder folder;
        QCOMPARE(DiveDb::instance()->setDatabase(folder.path()), int(DiveDb::Success));
        RawSqlite raw(folder.path());
        QCOMPARE(raw.columns("dives"), kDivesColumns);
        QCOMPARE(raw.columns("profiles"), kProfilesColumns);
        QCOMPARE(raw.columns("gases"), kGasesColumns);
        // Beside them only the per-dive figures that keep the list fast.
        QCOMPARE(userTables(raw), QList<QString>({"divefigures", "dives", "gases", "profiles"}));
        QCOMPARE(raw.value("PRAGMA user_version").toInt(), 1);
    }

    void openingAgainChangesNothing()
    {
        testkit::DatabaseFolder folder;
        QCOMPARE(DiveDb::instance()->setDatabase(folder.path()), int(DiveDb::Success));
        QCOMPARE(DiveDb::instance()->storeDive(testkit::makeDive("Reef", "S1", 50)),
                 int(DiveDb::Success));
        const QByteArray before = contentsOf(folder.path());
        QCOMPARE(DiveDb::instance()->setDatabase(folder.path()), int(DiveDb::Success));
        QCOMPARE(DiveDb::instance()->setDatabase(folder.path()), int(DiveDb::Success));
        QCOMPARE(contentsOf(folder.path()), before);
    }

    void earlyFileGetsEveryColumnAndKeepsItsRows()
    {
        testkit::DatabaseFolder folder;
        {
            RawSqlite raw(folder.path());
            QVERIFY2(raw.exec(kEarlyFile), qPrintable(raw.lastError()));
        }
        DiveDb* db = DiveDb::instance();
        QCOMPARE(db->setDatabase(folder.path()), int(DiveDb::Success));

        RawSqlite raw(folder.path());
        // The added columns take the types older versions gave them.
        const QList<QString> dives = raw.columns("dives");
        for (const char* added :
             {"period TEXT", "alerts TEXT", "alertsAI TEXT", "computertype TEXT",
              "firmwareversion TEXT", "place TEXT", "site TEXT", "buddy TEXT", "diveNumber INTEGER",
              "uploaded INTEGER", "gasSet INTEGER", "divermode INTEGER", "ocdivemode INTEGER",
              "diverN2 BLOB", "diverHe BLOB"})
            QVERIFY2(dives.contains(added), added);
        const QList<QString> profiles = raw.columns("profiles");
        for (const char* added :
             {"alertFlag INTEGER", "alertAI INTEGER", "tissues INTEGER", "gasindex INTEGER",
              "tankpressure INTEGER", "battery INTEGER", "gfLow INTEGER", "gfHigh INTEGER",
              "ppo2 INTEGER", "tankPressureTxIndex INTEGER", "alertPelavix INTEGER"})
            QVERIFY2(profiles.contains(added), added);
        QCOMPARE(raw.columns("gases"), kGasesColumns);
        QCOMPARE(raw.value("PRAGMA user_version").toInt(), 1);

        // Every row stays, and every dive is marked not uploaded.
        QCOMPARE(raw.value("SELECT COUNT(*) FROM dives").toInt(), 2);
        QCOMPARE(raw.value("SELECT COUNT(*) FROM profiles").toInt(), 5);
        QCOMPARE(raw.value("SELECT COUNT(*) FROM dives WHERE uploaded = 0").toInt(), 2);

        Dive dive;
        QVERIFY(db->readDive(4, dive));
        QCOMPARE(dive.name, QString("Wreck"));
        QCOMPARE(dive.beginTime, qint64(1500100000));
        QCOMPARE(dive.samplePeriod, quint8(1)); // no period stored
        QCOMPARE(dive.diverMode, quint8(255));  // no diver mode stored
        QCOMPARE(dive.density, quint8(1));
        QCOMPARE(dive.lines.size(), 2);
        QCOMPARE(dive.lines.at(1).depth, 41.0);

        // The list has the figures of dives that older versions stored.
        QList<DiveInfo> list;
        int groups = 0;
        db->getDives(Filter(), list, groups, SortField::Date, SortOrder::Ascending);
        QCOMPARE(list.size(), 2);
        QCOMPARE(list.at(0).maxTime, 20.0);
        QCOMPARE(list.at(0).maxDepth, 12.5);
        QCOMPARE(list.at(1).maxTime, 30.0);
        QCOMPARE(list.at(1).maxDepth, 41.0);

        // Storing goes on after the largest id.
        QCOMPARE(db->storeDive(testkit::makeDive("Cave", "S1", 10)), int(DiveDb::Success));
        QCOMPARE(raw.value("SELECT MAX(diveid) FROM dives").toInt(), 5);
    }

    void fileWithoutGasesTableGetsOne()
    {
        testkit::DatabaseFolder folder;
        {
            RawSqlite raw(folder.path());
            QVERIFY(raw.exec(
                QString::fromLatin1(diveschema::createDives) + ';' + diveschema::createProfiles +
                ";INSERT INTO dives (diveid, name, serial) VALUES (1, 'Reef', 'S1');"
                "INSERT INTO profiles (diveid, pointid, time, depth) VALUES (1, 0, 0, 0);"));
        }
        QCOMPARE(DiveDb::instance()->setDatabase(folder.path()), int(DiveDb::Success));
        RawSqlite raw(folder.path());
        QCOMPARE(raw.columns("gases"), kGasesColumns);
        QCOMPARE(raw.columns("dives"), kDivesColumns);
        QCOMPARE(raw.value("SELECT name FROM dives WHERE diveid = 1").toString(), QString("Reef"));
        QCOMPARE(raw.value("SELECT COUNT(*) FROM profiles").toInt(), 1);
    }

    void foreignFileIsRefusedAndLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("only an unrelated table")
            << QByteArray("CREATE TABLE notes (line TEXT); INSERT INTO notes VALUES ('keep');")
            << QByteArray();
        QTest::newRow("not SQLite")
            << QByteArray() << QByteArray("Dive log kept as text\n").repeated(300);
    }

    void foreignFileIsRefusedAndLeftAlone()
    {
        QFETCH(QByteArray, sql);
        QFETCH(QByteArray, bytes);
        testkit::DatabaseFolder folder;
        if (!sql.isEmpty()) {
            RawSqlite raw(folder.path());
            QVERIFY(raw.exec(QString::fromUtf8(sql)));
        } else {
            QFile file(folder.path());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        const QByteArray before = contentsOf(folder.path());
        DiveDb* db = DiveDb::instance();
        QCOMPARE(db->setDatabase(folder.path()), int(DiveDb::SqlFailed));
        QVERIFY(!db->lastError().isEmpty());
        // Nothing was created in a file that is not ours.
        QCOMPARE(contentsOf(folder.path()), before);
        QVERIFY(!QFile::exists(folder.path() + "-journal"));
    }

    void unopenablePathGivesOne_data()
    {
        QTest::addColumn<bool>("empty");
        QTest::newRow("folder that does not exist") << false;
        QTest::newRow("empty path") << true;
    }

    void unopenablePathGivesOne()
    {
        QFETCH(bool, empty);
        testkit::DatabaseFolder folder;
        const QString path = empty ? QString() : folder.path("missing/diveDB.db");
        DiveDb* db = DiveDb::instance();
        QCOMPARE(db->setDatabase(path), int(DiveDb::NotOpen));
        QVERIFY(!QFile::exists(folder.path("missing")));

        // Every operation then says the database is not open, or finds nothing.
        Dive dive = testkit::makeDive("Reef", "S1", 10);
        QCOMPARE(db->storeDive(dive), int(DiveDb::NotOpen));
        QCOMPARE(db->updateDive(dive), int(DiveDb::NotOpen));
        QCOMPARE(db->updateDiveById(1, dive), int(DiveDb::NotOpen));
        QCOMPARE(db->clearDatabase(), int(DiveDb::NotOpen));
        QCOMPARE(db->storeUserInformation(1, {}), int(DiveDb::NotOpen));
        bool changed = false;
        QCOMPARE(db->checkComputerNameBySerial("S1", "Name", changed), int(DiveDb::NotOpen));
        QVERIFY(!db->readDive(1, dive));
        QCOMPARE(dive.name, QString("Reef"));
        QVERIFY(!db->deleteDive(1));
        QVERIFY(!db->renameDive(1, "Other"));
        QVERIFY(!db->markUploaded(1, true));
        QList<DiveInfo> list;
        int groups = -1;
        db->getDives(Filter(), list, groups, SortField::Date, SortOrder::Ascending);
        QVERIFY(list.isEmpty());
        QCOMPARE(groups, 0);
        QCOMPARE(db->getNbDives(), 0);
    }
};

MAREVANE_TEST_MAIN(DiveSchemaTest)
#include "tst_diveschema.moc"

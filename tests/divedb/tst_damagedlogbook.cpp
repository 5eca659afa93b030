#include "damagedlogbook.h"
#include "divedb/divedb.h"
#include "divefixtures.h"
#include "rawsqlite.h"
#include "storedvalues.h"
#include "testenvironment.h"

#include <QFile>

#include <functional>
#include <map>

using testkit::RawSqlite;

namespace {

using Damage = std::function<QString(const QString&)>;

DiveDb* db()
{
    return DiveDb::instance();
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QStringList kStoredNames = {"North wall", "Wreck", "Drift"};

// A logbook of three dives (ids 1 to 3), closed.
bool buildLogbook(const QString& path)
{
    if (db()->setDatabase(path) != DiveDb::Success)
        return false;
    for (int i = 0; i < kStoredNames.size(); ++i) {
        if (db()->storeDive(testkit::makeDive(kStoredNames.at(i), "PX1", 600, 20.0 + 5 * i)) != DiveDb::Success)
            return false;
    }
    db()->setDatabase(QString());
    return true;
}

// Every dive that reads, by id.
std::map<int, Dive> readableDives()
{
    std::map<int, Dive> dives;
    for (int id = 1; id <= 5; ++id) {
        Dive dive;
        if (db()->readDive(id, dive))
            dives.emplace(id, dive);
    }
    return dives;
}

void compareDives(const std::map<int, Dive>& after, const std::map<int, Dive>& before)
{
    for (const auto& [id, dive] : before) {
        QVERIFY2(after.count(id) == 1, qPrintable(QStringLiteral("dive %1 no longer reads").arg(id)));
        QCOMPARE(after.at(id).name, dive.name);
        testkit::compareStoredGasesAndSamples(after.at(id), dive);
    }
}

// A new dive with more samples than any stored one, so that it needs every
// free page of the file.
Dive newDive()
{
    return testkit::makeDive("Night dive", "PX1", 2400, 18.0);
}

} // namespace

// A logbook whose file is damaged, or does not keep what is written into it:
// no store or rewrite is reported done unless the dive reads back as it was
// written, a damaged file takes no more writes, and its dives still read.
class DamagedLogbookTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        mFolder = std::make_unique<testkit::DatabaseFolder>();
        QVERIFY(buildLogbook(path()));
    }

    void cleanup() { db()->setDatabase(QString()); }

    void damagedFileRefusesTheStore_data()
    {
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<bool>("passesSqliteCheck");
        QTest::newRow("samples' index out of step with its table")
            << Damage(testkit::damage::samplesIndexOutOfStep) << false;
        QTest::newRow("page of a dive listed as free") << Damage(testkit::damage::pageInUseListedAsFree) << false;
        QTest::newRow("flipped bits in a page of samples")
            << Damage(testkit::damage::firstSamplePageFlipped) << false;
        QTest::newRow("trigger that drops samples") << Damage(testkit::damage::samplesDroppedByATrigger) << true;
    }

    void damagedFileRefusesTheStore()
    {
        QFETCH(Damage, damage);
        QFETCH(bool, passesSqliteCheck);
        const QString error = damage(path());
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(testkit::passesQuickCheck(path()), passesSqliteCheck);
        db()->setDatabase(path());
        const std::map<int, Dive> before = readableDives();
        const QByteArray file = contentsOf(path());

        QCOMPARE(db()->storeDive(newDive()), int(DiveDb::SqlFailed));
        QCOMPARE(db()->lastError(), DiveDb::damagedMessage());
        // Nothing of the dive went in, and no other dive was touched.
        QCOMPARE(contentsOf(path()), file);
        QCOMPARE(db()->getDiveByName("Night dive", "PX1"), -1);
        compareDives(readableDives(), before);
        // Nothing more is written, and the dives still read.
        QCOMPARE(db()->storeDive(testkit::makeDive("Short", "PX1", 3)), int(DiveDb::SqlFailed));
        QCOMPARE(db()->lastError(), DiveDb::damagedMessage());
        QCOMPARE(contentsOf(path()), file);
        compareDives(readableDives(), before);
    }

    // A rewrite that would overwrite a second dive of the same id is refused.
    void rewriteOfASharedIdIsRefused()
    {
        const QString error = testkit::damage::diveIdSharedWithoutKey(path());
        QVERIFY2(error.isEmpty(), qPrintable(error));
        db()->setDatabase(path());
        const QByteArray file = contentsOf(path());
        Dive changed = testkit::makeDive("Wreck", "PX1", 300, 42.0);
        changed.place = "Port-Cros";

        QCOMPARE(db()->updateDiveById(2, changed), int(DiveDb::SqlFailed));
        QCOMPARE(db()->lastError(), DiveDb::damagedMessage());
        QCOMPARE(contentsOf(path()), file);
        RawSqlite raw(path());
        QCOMPARE(raw.rows("SELECT name, place FROM dives WHERE diveid = 2 ORDER BY rowid"),
                 (QList<QList<QVariant>>{{QString("Wreck"), QString("")}, {QString("Second wreck"), QString("")}}));
        QCOMPARE(raw.value("SELECT COUNT(*) FROM profiles WHERE diveid = 2").toInt(), 600);
    }

    // Once a statement says the file is damaged, every write is refused with
    // the same message; the dives that can be read still are.
    void damageFoundByAReadStopsEveryWrite_data()
    {
        QTest::addColumn<QString>("operation");
        for (const char* operation : {"store", "rewrite", "delete", "clear", "rename", "place", "upload mark",
                                      "computer name"})
            QTest::newRow(operation) << operation;
    }

    void damageFoundByAReadStopsEveryWrite()
    {
        QFETCH(QString, operation);
        const QString error = testkit::damage::firstSamplePageFlipped(path());
        QVERIFY2(error.isEmpty(), qPrintable(error));
        db()->setDatabase(path());
        Dive first;
        QVERIFY(!db()->readDive(1, first));
        QCOMPARE(db()->lastError(), DiveDb::damagedMessage());
        const std::map<int, Dive> before = readableDives();
        QCOMPARE(int(before.size()), 2);
        const QByteArray file = contentsOf(path());

        QVERIFY(!perform(operation));
        QCOMPARE(db()->lastError(), DiveDb::damagedMessage());
        QCOMPARE(contentsOf(path()), file);
        compareDives(readableDives(), before);
        QList<DiveInfo> rows;
        int groups = 0;
        db()->getDives(Filter(), rows, groups, SortField::Date, SortOrder::Ascending);
        QCOMPARE(rows.size(), 3);
    }

    // Whatever bits are flipped, a store reported done reads back as it was
    // written and leaves every other dive as it read; a file that fails
    // SQLite's check takes nothing.
    void randomDamageNeverGivesAStoreThatReadsOtherwise_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 60; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }

    void randomDamageNeverGivesAStoreThatReadsOtherwise()
    {
        QFETCH(quint32, seed);
        const QString error = testkit::damage::randomBitsFlipped(path(), seed, 1 + int(seed % 4));
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const bool sound = testkit::passesQuickCheck(path());
        db()->setDatabase(path());
        const std::map<int, Dive> before = readableDives();
        const QByteArray file = contentsOf(path());

        const Dive stored = newDive();
        if (db()->storeDive(stored) == DiveDb::Success) {
            QVERIFY(sound);
            Dive read;
            QVERIFY(db()->readDive(db()->getDiveByName(stored.name, stored.computerSerial), read));
            testkit::compareStoredGasesAndSamples(read, stored);
        } else {
            QVERIFY(!db()->lastError().isEmpty());
            QCOMPARE(contentsOf(path()), file);
        }
        compareDives(readableDives(), before);
    }

private:
    QString path() const { return mFolder->path(); }

    // Stores a dive, or edits dive 3; whether it went through.
    static bool perform(const QString& operation)
    {
        if (operation == "store")
            return db()->storeDive(newDive()) == DiveDb::Success;
        if (operation == "rewrite")
            return db()->updateDiveById(3, testkit::makeDive("Drift", "PX1", 30)) == DiveDb::Success;
        if (operation == "delete")
            return db()->deleteDive(3);
        if (operation == "clear")
            return db()->clearDatabase() == DiveDb::Success;
        if (operation == "rename")
            return db()->renameDive(3, "Blue drift");
        if (operation == "place")
            return db()->storeUserInformation(3, {"Niolon", "", ""}) == DiveDb::Success;
        if (operation == "upload mark")
            return db()->markUploaded(3, true);
        bool changed = false;
        return db()->checkComputerNameBySerial("PX1", "Renamed", changed) == DiveDb::Success;
    }

    std::unique_ptr<testkit::DatabaseFolder> mFolder;
};

MAREVANE_TEST_MAIN(DamagedLogbookTest)
#include "tst_damagedlogbook.moc"

#include "divedb/divedb.h"
#include "divefixtures.h"
#include "rawsqlite.h"
#include "storedvalues.h"
#include "testenvironment.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QTranslator>

#include <sqlite3.h>

using testkit::RawSqlite;

namespace {

int rowsOfDive(RawSqlite& raw, int id)
{
    int rows = 0;
    for (const char* table : {"dives", "gases", "profiles", "divefigures"})
        rows +=
            raw.value(
                   QStringLiteral("SELECT COUNT(*) FROM %1 WHERE diveid = %2").arg(table).arg(id))
                .toInt();
    return rows;
}

// A lock held by another program makes the database answer at once instead
// of waiting.
void failAtOnceWhenBusy()
{
    const QVariant handle = QSqlDatabase::database().driver()->handle();
    QVERIFY(handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0);
    sqlite3_busy_timeout(*static_cast<sqlite3* const*>(handle.data()), 0);
}

// An interface language in which every text reads otherwise.
class EveryTextTranslated : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char*, int) const override
    {
        return QStringLiteral("~%1~").arg(QString::fromUtf8(source));
    }
};

// A model-1 dive with a value in every stored field.
Dive fullDive()
{
    Dive dive;
    dive.name = QString::fromUtf8("Étoile reef");
    dive.computerName = "Marine's computer";
    dive.computerSerial = "PX-0042";
    dive.firmwareVersion = "1.2.3";
    dive.place = "Port-Cros";
    dive.site = "La Gabinière";
    dive.buddy = "Ana";
    dive.beginTime = 2190000000; // June 2039
    dive.samplePeriod = 4;
    dive.diverMode = 0;
    dive.divemode = 4;
    dive.ocdivemode = 2;
    dive.gfLow = 30;
    dive.gfHigh = 85;
    dive.density = 1;
    dive.surfacePressure = 1008;
    dive.computerModel = 1;
    dive.diveNumber = 65535;
    dive.alertsAI = 0xa5;
    dive.uploaded = 1;
    dive.gasSet = 1536;
    dive.alertsQuelm = 0xc000000cu;
    for (int i = 0; i < 16; ++i) {
        dive.diverN2[i] = quint16(0x1234 + 0x0f0f * i);
        dive.diverHe[i] = quint16(0xffff - i);
    }
    DiveGas nitrox;
    nitrox.setFractionO2(0.32);
    DiveGas trimix;
    trimix.setFractionO2(0.18);
    trimix.setFractionHe(0.45);
    trimix.setLegacyGasClass(1);
    dive.gases = {DiveGas(), nitrox, trimix};
    for (int i = 0; i < 6; ++i) {
        DiveLine line;
        line.timeSec = 4.0 * i;
        line.depth = 1.5 * i + 0.25;
        line.ambientTemp = 21.0 - 0.5 * i;
        line.otu = 0.1 * i;
        line.cns = 0.2 * i;
        line.decoCeiling = i == 3 ? 3.0 : 0.0;
        line.gradientFactor = 0.6 + 0.01 * i;
        line.alertFlag = quint8(0x11 * i);
        line.alertFlagTransmitter = quint8(0x81 >> i);
        line.gasIndex = i - 1;
        line.battery = quint16(3900 - i);
        line.tankPressure = quint16(210 - 7 * i);
        line.gfLow = quint8(30 + i);
        line.gfHigh = quint8(85 - i);
        line.ppO2 = 0.21 + 0.05 * i;
        line.tankPressureTxIndex = i == 0 ? quint8(255) : quint8(i);
        dive.lines.append(line);
    }
    return dive;
}

} // namespace

// Storing, reading and rewriting whole dives: every stored field comes back,
// and a dive is written whole or not at all.
class DiveStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        mFolder = std::make_unique<testkit::DatabaseFolder>();
        QCOMPARE(db()->setDatabase(path()), int(DiveDb::Success));
    }

    void everyStoredFieldReadsBack()
    {
        const Dive stored = fullDive();
        QCOMPARE(db()->storeDive(stored), int(DiveDb::Success));
        Dive read;
        read.computerManufacturer = "Kept";
        QVERIFY(db()->readDive(1, read));

        QCOMPARE(read.name, stored.name);
        QCOMPARE(read.computerName, stored.computerName);
        QCOMPARE(read.computerSerial, stored.computerSerial);
        QCOMPARE(read.firmwareVersion, stored.firmwareVersion);
        QCOMPARE(read.place, stored.place);
        QCOMPARE(read.site, stored.site);
        QCOMPARE(read.buddy, stored.buddy);
        QCOMPARE(read.beginTime, stored.beginTime);
        QCOMPARE(read.samplePeriod, stored.samplePeriod);
        QCOMPARE(read.diverMode, stored.diverMode);
        QCOMPARE(read.divemode, stored.divemode);
        QCOMPARE(read.ocdivemode, stored.ocdivemode);
        QCOMPARE(read.gfLow, stored.gfLow);
        QCOMPARE(read.gfHigh, stored.gfHigh);
        QCOMPARE(read.density, stored.density);
        QCOMPARE(read.surfacePressure, stored.surfacePressure);
        QCOMPARE(read.computerModel, stored.computerModel);
        QCOMPARE(read.diveNumber, stored.diveNumber);
        QCOMPARE(read.alertsAI, stored.alertsAI);
        QCOMPARE(read.uploaded, stored.uploaded);
        QCOMPARE(read.gasSet, stored.gasSet);
        QCOMPARE(read.alertsQuelm, stored.alertsQuelm);
        QCOMPARE(read.computerManufacturer, QString("Kept"));
        for (int i = 0; i < 16; ++i) {
            QCOMPARE(read.diverN2[i], stored.diverN2[i]);
            QCOMPARE(read.diverHe[i], stored.diverHe[i]);
        }

        testkit::compareStoredGasesAndSamples(read, stored);
        // What the samples give is computed on reading.
        QCOMPARE(read.maxTime, 20.0);
        QCOMPARE(read.maxDepth, 7.75);
        QCOMPARE(read.lines.at(1).speed, 60.0 * 1.5 / 4.0);
        QVERIFY(!read.ceilingPoints.isEmpty());

        // The file keeps the date in 64 bits, the tissues low byte first and
        // "none" of the transmitter as -1.
        RawSqlite raw(path());
        QCOMPARE(raw.value("SELECT datetime FROM dives").toLongLong(), qint64(2190000000));
        const QByteArray n2 = raw.value("SELECT diverN2 FROM dives").toByteArray();
        QCOMPARE(n2.size(), 32);
        QCOMPARE(n2.left(2), QByteArray("\x34\x12"));
        QCOMPARE(raw.value("SELECT tankPressureTxIndex FROM profiles WHERE pointid = 0").toInt(),
                 -1);
        QCOMPARE(raw.value("SELECT alerts FROM dives").toLongLong(), qint64(0xc000000c));
    }

    void beginTimesSurviveInSixtyFourBits_data()
    {
        QTest::addColumn<qint64>("beginTime");
        QTest::newRow("2039") << qint64(2190000000);
        QTest::newRow("last 32-bit second") << qint64(2147483647);
        QTest::newRow("first second after it") << qint64(2147483648);
        QTest::newRow("before 1901") << qint64(-2200000000);
        QTest::newRow("epoch") << qint64(0);
    }

    void beginTimesSurviveInSixtyFourBits()
    {
        QFETCH(qint64, beginTime);
        QCOMPARE(db()->storeDive(testkit::makeDive("Reef", "S1", 4, 10.0, beginTime)),
                 int(DiveDb::Success));
        Dive read;
        QVERIFY(db()->readDive(1, read));
        QCOMPARE(read.beginTime, beginTime);
        DiveInfo info;
        QVERIFY(db()->getDiveInfo(1, info));
        QCOMPARE(info.dateTime.toSecsSinceEpoch(), beginTime);
    }

    void emptyIdentityTextsAreStoredAsTheirSubstitutes_data()
    {
        QTest::addColumn<QString>("computer");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("storedComputer");
        QTest::addColumn<QString>("storedSerial");
        QTest::newRow("both given") << "Pelavix"
                                    << "PX1"
                                    << "Pelavix"
                                    << "PX1";
        QTest::newRow("no name") << ""
                                 << "PX1"
                                 << "No name"
                                 << "PX1";
        QTest::newRow("no serial") << "Pelavix"
                                   << ""
                                   << "Pelavix"
                                   << "No serial number";
        QTest::newRow("neither") << QString() << QString() << "No name"
                                 << "No serial number";
    }

    void emptyIdentityTextsAreStoredAsTheirSubstitutes()
    {
        QFETCH(QString, computer);
        QFETCH(QString, serial);
        QFETCH(QString, storedComputer);
        QFETCH(QString, storedSerial);
        // The stand-ins do not follow the interface language.
        EveryTextTranslated translator;
        QCoreApplication::installTranslator(&translator);
        Dive dive = testkit::makeDive("Reef", serial, 3);
        dive.computerName = computer;
        QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        Dive read;
        QVERIFY(db()->readDive(1, read));
        QCOMPARE(read.computerName, storedComputer);
        QCOMPARE(read.computerSerial, storedSerial);
        // The duplicate check looks for the serial as it is stored.
        QCOMPARE(db()->storeDive(dive), int(DiveDb::AlreadyStored));
        QCOMPARE(db()->getNbDives(), 1);
    }

    void sameNameOnAnotherComputerIsAnotherDive()
    {
        QCOMPARE(db()->storeDive(testkit::makeDive("Reef", "S1", 3)), int(DiveDb::Success));
        QCOMPARE(db()->storeDive(testkit::makeDive("Reef", "S2", 3)), int(DiveDb::Success));
        QCOMPARE(db()->storeDive(testkit::makeDive("", "S2", 3)), int(DiveDb::Success));
        QCOMPARE(db()->storeDive(testkit::makeDive("", "S2", 3)), int(DiveDb::AlreadyStored));
        QCOMPARE(db()->getNbDives(), 3);
    }

    void idsFollowTheLargestStoredId()
    {
        QCOMPARE(db()->storeDive(testkit::makeDive("A", "S1", 3)), int(DiveDb::Success));
        QCOMPARE(db()->getMaxDiveId(), 1);
        QCOMPARE(db()->storeDive(testkit::makeDive("B", "S1", 3)), int(DiveDb::Success));
        QCOMPARE(db()->storeDive(testkit::makeDive("C", "S1", 3)), int(DiveDb::Success));
        {
            RawSqlite raw(path());
            QVERIFY(raw.exec("UPDATE dives SET diveid = 7 WHERE diveid = 3"));
        }
        QCOMPARE(db()->storeDive(testkit::makeDive("D", "S1", 3)), int(DiveDb::Success));
        QCOMPARE(db()->getDiveByName("D", "S1"), 8);
        QCOMPARE(db()->getDiveByName("E", "S1"), -1);
    }

    void diveWithoutGasesOrSamplesIsOneRow()
    {
        Dive dive = testkit::makeDive("Empty", "S1", 0);
        dive.gases.clear();
        QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        RawSqlite raw(path());
        QCOMPARE(raw.value("SELECT COUNT(*) FROM dives").toInt(), 1);
        QCOMPARE(raw.value("SELECT COUNT(*) FROM gases").toInt() +
                     raw.value("SELECT COUNT(*) FROM profiles").toInt(),
                 0);
        Dive read;
        QVERIFY(db()->readDive(1, read));
        QVERIFY(read.lines.isEmpty());
        QVERIFY(read.gases.isEmpty());
    }

    void gasPercentages_data()
    {
        QTest::addColumn<double>("o2");
        QTest::addColumn<double>("he");
        QTest::addColumn<int>("gasClass");
        QTest::addColumn<int>("storedO2");
        QTest::addColumn<int>("storedHe");
        QTest::newRow("air of 20.94 %") << 0.2094 << 0.0 << 0 << 21 << 0;
        QTest::newRow("nitrox 50") << 0.50 << 0.0 << 0 << 50 << 0;
        QTest::newRow("trimix diluent") << 0.10 << 0.70 << 1 << 10 << 70;
        QTest::newRow("oxygen bailout") << 1.0 << 0.0 << 2 << 100 << 0;
    }

    void gasPercentages()
    {
        QFETCH(double, o2);
        QFETCH(double, he);
        QFETCH(int, gasClass);
        QFETCH(int, storedO2);
        QFETCH(int, storedHe);
        Dive dive = testkit::makeDive("Gas", "S1", 2);
        DiveGas gas;
        gas.setFractionO2(o2);
        gas.setFractionHe(he);
        gas.setLegacyGasClass(gasClass);
        dive.gases = {gas};
        QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        RawSqlite raw(path());
        const QList<QVariant> row = raw.rows("SELECT gasid, o2, he, gasClass FROM gases").value(0);
        QCOMPARE(row, QList<QVariant>(
                          {qint64(1), qint64(storedO2), qint64(storedHe), qint64(gasClass)}));
        Dive read;
        QVERIFY(db()->readDive(1, read));
        QCOMPARE(read.gases.size(), 1);
        QCOMPARE(read.gases.at(0).fO2, float(storedO2 / 100.0));
        QCOMPARE(read.gases.at(0).fHe, float(storedHe / 100.0));
        QCOMPARE(read.gases.at(0).legacyGasClass(), gasClass);
    }

    void diveAlertWordByComputerModel_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<quint32>("storedColumn");
        QTest::addColumn<quint32>("readQuelm");
        QTest::addColumn<quint32>("readPelavix");
        // The Quelm word keeps its top bits; the Pelavix word is summed up
        // again from the samples; another maker's computer has neither.
        QTest::newRow("Quelm family") << 1 << 0xc0400008u << 0xc0400008u << 0u;
        QTest::newRow("Pelavix") << 2 << 0xabcdefu << 0u << 0xf00502u;
        QTest::newRow("another maker") << 4 << 0xabcdefu << 0u << 0u;
    }

    void diveAlertWordByComputerModel()
    {
        QFETCH(int, model);
        QFETCH(quint32, storedColumn);
        QFETCH(quint32, readQuelm);
        QFETCH(quint32, readPelavix);
        Dive dive = testkit::makeDive("Alerts", "S1", 3);
        dive.computerModel = model;
        dive.alertsQuelm = 0xc0400008u;
        dive.alertsPelavix = 0xabcdefu;
        // Levels 1 and 2 of the ceiling field, a fast ascent, level 1 of the
        // battery, and second-word alerts (only their low byte is kept).
        dive.lines[0].pelavixAlerts = 0x0001;
        dive.lines[1].pelavixAlerts = 0x0402;
        dive.lines[1].pelavixAlerts2 = 0x0f00;
        dive.lines[2].pelavixAlerts = 0x0100;
        dive.lines[2].pelavixAlerts2 = 0x00f0;
        QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        RawSqlite raw(path());
        QCOMPARE(quint32(raw.value("SELECT alerts FROM dives").toLongLong()), storedColumn);
        Dive read;
        QVERIFY(db()->readDive(1, read));
        QCOMPARE(read.alertsQuelm, readQuelm);
        QCOMPARE(quint32(read.alertsPelavix), readPelavix);
        if (model == 2) {
            QCOMPARE(raw.value("SELECT alertPelavix FROM profiles WHERE pointid = 2").toLongLong(),
                     qint64(0xf00100));
            QCOMPARE(read.lines.at(1).pelavixAlerts, quint16(0x0402));
            QCOMPARE(read.lines.at(1).pelavixAlerts2, quint16(0));
            QCOMPARE(read.lines.at(2).pelavixAlerts2, quint16(0x00f0));
        } else {
            QCOMPARE(read.lines.at(1).pelavixAlerts, quint16(0));
        }
    }

    void pelavixAlertOfAnOlderSampleComesFromItsQuelmBits_data()
    {
        QTest::addColumn<int>("flag");
        QTest::addColumn<int>("transmitter");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("none") << 0x00 << 0x00 << 0x000000u;
        QTest::newRow("bit 1 ceiling") << 0x02 << 0x00 << 0x000003u;
        QTest::newRow("bit 2") << 0x04 << 0x00 << 0x00000cu;
        QTest::newRow("bit 3") << 0x08 << 0x00 << 0x000030u;
        QTest::newRow("bit 6") << 0x40 << 0x00 << 0x0000c0u;
        QTest::newRow("bit 7") << 0x80 << 0x00 << 0x000300u;
        QTest::newRow("bit 0 fast ascent") << 0x01 << 0x00 << 0x000400u;
        QTest::newRow("bit 4") << 0x10 << 0x00 << 0x000800u;
        QTest::newRow("bit 5") << 0x20 << 0x00 << 0x001000u;
        QTest::newRow("transmitters 0 and 3") << 0x00 << 0x81 << 0x410000u;
        QTest::newRow("transmitters 2 and 5") << 0x00 << 0x24 << 0x140000u;
        QTest::newRow("all") << 0xff << 0xff << 0x551fffu;
    }

    void pelavixAlertOfAnOlderSampleComesFromItsQuelmBits()
    {
        QFETCH(int, flag);
        QFETCH(int, transmitter);
        QFETCH(quint32, expected);
        Dive dive = testkit::makeDive("Old samples", "S1", 2);
        dive.computerModel = 2;
        dive.lines[0].pelavixAlerts = 0xffff; // replaced below by an older row
        QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        {
            RawSqlite raw(path());
            QVERIFY(
                raw.exec(QStringLiteral("UPDATE profiles SET alertPelavix = NULL, alertFlag = %1, "
                                        "alertAI = %2 WHERE pointid = 0")
                             .arg(flag)
                             .arg(transmitter)));
        }
        Dive read;
        QVERIFY(db()->readDive(1, read));
        const DiveLine& line = read.lines.at(0);
        QCOMPARE(quint32(line.pelavixAlerts) | (quint32(line.pelavixAlerts2) << 16), expected);
    }

    void unknownIdLeavesTheDiveAsItWas()
    {
        Dive dive = testkit::makeDive("Untouched", "S1", 3);
        QVERIFY(!db()->readDive(42, dive));
        QCOMPARE(dive.name, QString("Untouched"));
        QCOMPARE(dive.lines.size(), 3);
    }

    void readThatFailsLeavesTheDiveAsItWas_data()
    {
        QTest::addColumn<QString>("breakage");
        QTest::newRow("gases table gone") << "ALTER TABLE gases RENAME TO gases_gone";
        QTest::newRow("samples table gone") << "ALTER TABLE profiles RENAME TO profiles_gone";
        // The sixth sample cannot be read: the first five come back, the dive
        // is not whole.
        QTest::newRow("sample that cannot be read")
            << "ALTER TABLE profiles RENAME TO profiles_data;"
               "CREATE VIEW profiles AS SELECT diveid, pointid, time, "
               "CASE WHEN pointid = 5 THEN abs(-9223372036854775803 - pointid) ELSE depth END AS "
               "depth, "
               "temperature, OTU, CNS, decoCeiling, gradientFactor, alertFlag, gasindex, battery, "
               "tankPressure, gfLow, gfHigh, ppo2, alertAI, alertPelavix, tankPressureTxIndex "
               "FROM profiles_data";
    }

    void readThatFailsLeavesTheDiveAsItWas()
    {
        QFETCH(QString, breakage);
        QCOMPARE(db()->storeDive(testkit::makeDive("Whole", "S1", 20)), int(DiveDb::Success));
        Dive dive;
        QVERIFY(db()->readDive(1, dive)); // the statements are prepared now
        {
            RawSqlite raw(path());
            QVERIFY2(raw.exec(breakage), qPrintable(raw.lastError()));
        }
        dive = testkit::makeDive("Shown before", "S9", 3);
        QVERIFY(!db()->readDive(1, dive));
        QCOMPARE(dive.name, QString("Shown before"));
        QCOMPARE(dive.lines.size(), 3);
        QCOMPARE(dive.gases.size(), 2);
        QVERIFY(!db()->lastError().isEmpty());
    }

    // A long dive gives the window its turn now and then; a store started
    // from there fails and the dive under way is written whole.
    void longDiveCallsTheProgressHookAndIsWrittenWhole()
    {
        const Dive other = testkit::makeDive("Wall", "PX1", 10);
        int calls = 0;
        int nestedResult = -1;
        db()->setWriteProgress([&] {
            if (++calls == 1)
                nestedResult = db()->storeDive(other);
        });
        const Dive dive = testkit::makeDive("Long", "PX1", 5000);
        QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        QCOMPARE(db()->updateDiveById(1, dive), int(DiveDb::Success));
        db()->setWriteProgress(nullptr);

        QCOMPARE(calls, 4); // after samples 2048 and 4096, twice
        QCOMPARE(nestedResult, int(DiveDb::SqlFailed));
        QCOMPARE(db()->getNbDives(), 1);
        Dive read;
        QVERIFY(db()->readDive(1, read));
        QCOMPARE(read.lines.size(), 5000);
    }

    void updateRewritesTheDive()
    {
        Dive dive = testkit::makeDive("Reef", "", 40, 20.0);
        dive.diverMode = 1;
        QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
        Dive changed = testkit::makeDive("Reef", "", 10, 35.0);
        changed.diverMode = 0;
        changed.place = "Niolon";
        changed.gases.removeLast();
        // Found by name and by the serial as it is stored.
        QCOMPARE(db()->updateDive(changed), int(DiveDb::Success));
        Dive read;
        QVERIFY(db()->readDive(1, read));
        QCOMPARE(read.lines.size(), 10);
        QCOMPARE(read.gases.size(), 1);
        QCOMPARE(read.place, QString("Niolon"));
        QCOMPARE(read.diverMode, quint8(1)); // a rewrite keeps the diver mode
        DiveInfo info;
        QVERIFY(db()->getDiveInfo(1, info));
        QCOMPARE(info.maxDepth, 35.0);
        QCOMPARE(info.maxTime, 18.0);
        QCOMPARE(db()->updateDive(testkit::makeDive("Unknown", "", 3)), int(DiveDb::NotFound));
    }

    void updateOfAnUnknownIdWritesNothing()
    {
        QCOMPARE(db()->storeDive(testkit::makeDive("Reef", "S1", 5)), int(DiveDb::Success));
        RawSqlite raw(path());
        const QString before = raw.snapshot();
        QCOMPARE(db()->updateDiveById(99, testkit::makeDive("Ghost", "S1", 5)),
                 int(DiveDb::NotFound));
        QCOMPARE(db()->updateDiveById(-1, testkit::makeDive("Ghost", "S1", 5)),
                 int(DiveDb::NotFound));
        QCOMPARE(raw.snapshot(), before);
        // No orphan rows stand in the way of the next dive.
        QCOMPARE(db()->storeDive(testkit::makeDive("Next", "S1", 5)), int(DiveDb::Success));
        QCOMPARE(rowsOfDive(raw, 2), 1 + 2 + 5 + 1);
    }

    void refusedStatementLeavesEveryTableAsItWas_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("message");
        const QString sixthSample =
            "CREATE TRIGGER refuse BEFORE INSERT ON profiles "
            "WHEN NEW.pointid = 5 BEGIN SELECT RAISE(ABORT, 'sixth sample refused'); END";
        const QString diveRow = "CREATE TRIGGER refuse BEFORE DELETE ON dives "
                                "BEGIN SELECT RAISE(ABORT, 'dive row refused'); END";
        QTest::newRow("store") << "store" << sixthSample << "sixth sample refused";
        QTest::newRow("update") << "update" << sixthSample << "sixth sample refused";
        QTest::newRow("delete") << "delete" << diveRow << "dive row refused";
        QTest::newRow("clear") << "clear" << diveRow << "dive row refused";
    }

    void refusedStatementLeavesEveryTableAsItWas()
    {
        QFETCH(QString, operation);
        QFETCH(QString, trigger);
        QFETCH(QString, message);
        QCOMPARE(db()->storeDive(testkit::makeDive("Kept", "S1", 20)), int(DiveDb::Success));
        RawSqlite raw(path());
        QVERIFY(raw.exec(trigger));
        const QString before = raw.snapshot();

        QCOMPARE(perform(operation), false);
        QVERIFY2(db()->lastError().contains(message), qPrintable(db()->lastError()));
        QCOMPARE(raw.snapshot(), before);
        QCOMPARE(rowsOfDive(raw, 2), 0);

        // No transaction was left open: once the trigger is gone the same
        // operation goes through.
        QVERIFY(raw.exec("DROP TRIGGER refuse"));
        QCOMPARE(perform(operation), true);
    }

    void lockedFileLeavesEveryTableAsItWas_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("lock");
        // Another program writing: the transaction cannot begin. Another
        // program reading: the commit cannot take the file.
        for (const char* operation : {"store", "update", "delete", "clear"}) {
            QTest::addRow("%s, writer", operation) << operation << "BEGIN IMMEDIATE";
            QTest::addRow("%s, reader", operation)
                << operation << "BEGIN; SELECT COUNT(*) FROM profiles";
        }
    }

    void lockedFileLeavesEveryTableAsItWas()
    {
        QFETCH(QString, operation);
        QFETCH(QString, lock);
        QCOMPARE(db()->storeDive(testkit::makeDive("Kept", "S1", 20)), int(DiveDb::Success));
        failAtOnceWhenBusy();
        RawSqlite raw(path());
        const QString before = raw.snapshot();
        {
            RawSqlite other(path());
            QVERIFY(other.exec(lock));
            QCOMPARE(perform(operation), false);
            QVERIFY2(db()->lastError().contains("locked"), qPrintable(db()->lastError()));
        }
        QCOMPARE(raw.snapshot(), before);
        QVERIFY(!QFile::exists(path() + "-journal"));
        QCOMPARE(perform(operation), true);
    }

private:
    static DiveDb* db() { return DiveDb::instance(); }
    QString path() const { return mFolder->path(); }

    // Stores a second dive, rewrites, deletes or clears the first; whether it
    // went through.
    static bool perform(const QString& operation)
    {
        if (operation == "store")
            return db()->storeDive(testkit::makeDive("New", "S1", 20)) == DiveDb::Success;
        if (operation == "update")
            return db()->updateDiveById(1, testkit::makeDive("Kept", "S1", 30, 12.0)) ==
                   DiveDb::Success;
        if (operation == "delete")
            return db()->deleteDive(1);
        return db()->clearDatabase() == DiveDb::Success;
    }

    std::unique_ptr<testkit::DatabaseFolder> mFolder;
};

MAREVANE_TEST_MAIN(DiveStoreTest)
#include "tst_divestore.moc"

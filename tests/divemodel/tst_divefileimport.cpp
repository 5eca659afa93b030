#include "diveprofiles.h"
#include "testenvironment.h"

#include "divemodel/diveanalysis.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

// One sample line of the CSV import.
QByteArray importLine(double time, double depth, double temperature)
{
    DiveLine line = testkit::diveLine(time, depth);
    line.ambientTemp = temperature;
    return testkit::csvImportText({line});
}

// A dive with something in every part that a read must not keep.
Dive shownDive()
{
    Dive dive = testkit::diveOfDepths({0, 42, 0});
    dive.name = QStringLiteral("Shown");
    dive.computerName = QStringLiteral("Owner");
    dive.computerSerial = QStringLiteral("S1");
    dive.computerManufacturer = QStringLiteral("Maker");
    dive.place = QStringLiteral("Port");
    dive.buddy = QStringLiteral("Ana");
    dive.gases = {DiveGas()};
    dive.ceilingPoints = {CeilPoint{1, 2, 0}};
    dive.format = qint32(DiveFormat::Binary);
    dive.maxDepth = 42;
    dive.uploaded = 1;
    dive.diverMode = 0;
    dive.gasSet = 1280;
    return dive;
}

} // namespace

// Reading and writing a dive file in one call, by the file's suffix.
class DiveFileImportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(mFolder.isValid()); }

    void importReplacesTheDive()
    {
        const QString path =
            write(QStringLiteral("second.csv"), importLine(0, 0, 20) + importLine(60, 12, 18) + importLine(120, 6, 17));
        Dive dive = shownDive();
        QVERIFY(DiveAnalysis::importDiveFile(dive, path));

        QCOMPARE(dive.lines.size(), 3);
        QCOMPARE(dive.lines.at(1).depth, 12.0);
        QCOMPARE(dive.name, QStringLiteral("second"));
        QCOMPARE(dive.format, qint32(DiveFormat::Csv));
        // Statistics and speeds come with the read.
        QCOMPARE(dive.maxDepth, 12.0);
        QCOMPARE(dive.maxTime, 120.0);
        QCOMPARE(dive.minTemperature, 17.0);
        QCOMPARE(dive.lines.at(1).speed, 12.0);
        QCOMPARE(dive.lines.at(2).speed, -6.0);
        // Nothing of the earlier dive stays but what clearing keeps.
        QVERIFY(dive.computerName.isEmpty());
        QVERIFY(dive.computerSerial.isEmpty());
        QVERIFY(dive.place.isEmpty());
        QVERIFY(dive.buddy.isEmpty());
        QVERIFY(dive.gases.isEmpty());
        QVERIFY(dive.ceilingPoints.isEmpty());
        QCOMPARE(dive.computerManufacturer, QStringLiteral("Maker"));
        QCOMPARE(dive.uploaded, quint8(1));
        QCOMPARE(dive.diverMode, quint8(0));
        QCOMPARE(dive.gasSet, quint16(1280));
    }

    void failedImportLeavesTheDive_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("unknown suffix") << QStringLiteral("dive.txt") << importLine(0, 5, 20);
        QTest::newRow("no sample line") << QStringLiteral("empty.csv") << QByteArray("a\tb\n");
        QTest::newRow("missing file") << QStringLiteral("missing.csv") << QByteArray();
        QTest::newRow("unreadable UDDF") << QStringLiteral("dive.uddf") << QByteArray("<uddf");
    }
    void failedImportLeavesTheDive()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        const QString path = contents.isNull() ? mFolder.filePath(name) : write(name, contents);
        Dive dive = shownDive();
        QVERIFY(!DiveAnalysis::importDiveFile(dive, path));
        const Dive shown = shownDive();
        QCOMPARE(dive.lines.size(), shown.lines.size());
        QCOMPARE(dive.name, shown.name);
        QCOMPARE(dive.computerSerial, shown.computerSerial);
        QCOMPARE(dive.place, shown.place);
        QCOMPARE(dive.gases.size(), 1);
        QCOMPARE(dive.format, shown.format);
        QCOMPARE(dive.maxDepth, 42.0);
    }

    void exportBySuffix()
    {
        Dive dive = shownDive();
        const QString path = mFolder.filePath(QStringLiteral("out.CSV"));
        QVERIFY(DiveAnalysis::exportDiveFile(dive, path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> records = file.readAll().split('\n');
        QVERIFY(records.size() > 4);
        // Written by a CSV writer fresh from the factory: comma separated.
        QVERIFY(records.at(1).startsWith("Owner,Shown,KRV-M,"));
    }

    void exportFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("unknown suffix") << QStringLiteral("out.txt");
        QTest::newRow("binary dive file") << QStringLiteral("out.divebin");
        QTest::newRow("missing folder") << QStringLiteral("missing/out.csv");
    }
    void exportFailures()
    {
        QFETCH(QString, name);
        Dive dive = shownDive();
        const QString path = mFolder.filePath(name);
        QVERIFY(!DiveAnalysis::exportDiveFile(dive, path));
        QVERIFY(!QFile::exists(path));
    }

private:
    QString write(const QString& name, const QByteArray& contents)
    {
        return testkit::writeTestFile(mFolder.filePath(name), contents);
    }

    QTemporaryDir mFolder;
};

MAREVANE_TEST_MAIN(DiveFileImportTest)
#include "tst_divefileimport.moc"

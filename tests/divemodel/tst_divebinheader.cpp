// The dive computer's legacy header record: 218 raw little-endian bytes,
// read whatever the stream's byte order; a record cut short, without its
// magic or holding a number that is not finite leaves the header alone.

#include "jsondives.h"
#include "legacyrecord.h"
#include "testenvironment.h"

#include "divemodel/diveheader.h"

#include <QDataStream>

#include <limits>

namespace {

using testkit::kRecordSize;
using testkit::LegacyRecord;

// A header whose every field differs from the record's.
DiveHeader earlierHeader()
{
    DiveHeader header = testkit::everyFieldDive();
    header.computerModel = 4;
    header.activeGas = 7;
    header.alertFlags16 = 0x1234;
    for (int k = 8; k < 12; ++k) {
        header.gasPO2[k] = quint8(90 + k);
        header.gasPHe[k] = quint8(70 + k);
    }
    return header;
}

// The earlier header with the record's values.
DiveHeader recordHeader()
{
    DiveHeader header = earlierHeader();
    header.diveNumber = 51234;
    header.activeGasSetPoint = 2;
    header.divemode = 6;
    header.gfLow = 40;
    header.gfHigh = 85;
    header.density = 1;
    header.surfacePressure = 1008;
    for (int k = 0; k < 16; ++k) {
        header.diverN2[k] = quint16(0x1100 + k);
        header.diverHe[k] = quint16(0x2200 + k);
    }
    header.gasEnabled = 0x00ff;
    for (int k = 0; k < 8; ++k) {
        header.gasPO2[k] = quint8(21 + k);
        header.gasPHe[k] = quint8(35 + k);
    }
    header.setpoint[0] = 70;
    header.setpoint[1] = 130;
    header.setpoint[2] = 140;
    header.sampleCount = 3000000001u;
    header.alertFlags = 0x89abcdefu;
    header.beginTime = 2208988800;
    header.cnsBegin = 17;
    header.maxDepth = 45.75;
    header.avgDepth = 21.125;
    header.minTemperature = 12.5;
    header.maxTemperature = 19.25;
    header.ndl = 4000000002u;
    header.deepestStop = 9;
    header.totalDecoTime = 840.5;
    header.ascentTime = 660.25;
    header.cnsMax = 44;
    header.pO2Min = 19;
    header.pO2Max = 155;
    header.endTime = 2208994200;
    header.desatTime = 4100000003u;
    header.otu = 23.5f;
    header.iss = 1.75f;
    header.samplePeriod = 4;
    return header;
}

// What the record does not carry and the JSON comparison leaves out.
QString otherFieldsDifference(const DiveHeader& read, const DiveHeader& expected)
{
    testkit::FirstDifference d;
    d.check("place", read.place, expected.place)
        .check("ocdivemode", read.ocdivemode, expected.ocdivemode)
        .check("minTankPressure", read.minTankPressure, expected.minTankPressure)
        .check("maxTankPressure", read.maxTankPressure, expected.maxTankPressure)
        .checkArray("reservedBlock", read.reservedBlock, expected.reservedBlock);
    return d.text();
}

} // namespace

class DivebinHeaderTest : public QObject
{
    Q_OBJECT

private slots:
    void recordIsRead_data()
    {
        QTest::addColumn<QDataStream::ByteOrder>("byteOrder");
        QTest::newRow("big-endian stream") << QDataStream::BigEndian;
        QTest::newRow("little-endian stream") << QDataStream::LittleEndian;
    }
    void recordIsRead()
    {
        QFETCH(QDataStream::ByteOrder, byteOrder);
        QDataStream stream(LegacyRecord().bytes() + "after");
        stream.setByteOrder(byteOrder);
        DiveHeader header = earlierHeader();
        QVERIFY(header.readFromFile(stream));
        QCOMPARE(stream.device()->pos(), qint64(kRecordSize));
        const DiveHeader expected = recordHeader();
        QString difference = testkit::headerDifference(header, expected);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        difference = otherFieldsDifference(header, expected);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void refusedRecords_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray record = LegacyRecord().bytes();
        QTest::newRow("wrong magic") << QByteArray(record).replace(18, 1, "f");
        QTest::newRow("magic only") << record.left(19);
        QTest::newRow("200 bytes") << record.left(200);
        QTest::newRow("217 bytes") << record.left(217);
        QTest::newRow("nothing") << QByteArray();
        LegacyRecord nanDepth;
        nanDepth.put<double>(137, std::numeric_limits<double>::quiet_NaN());
        QTest::newRow("NaN depth") << nanDepth.bytes();
        LegacyRecord infiniteAscent;
        infiniteAscent.put<double>(183, -std::numeric_limits<double>::infinity());
        QTest::newRow("infinite ascent time") << infiniteAscent.bytes();
        LegacyRecord nanIss;
        nanIss.put<float>(213, std::numeric_limits<float>::quiet_NaN());
        QTest::newRow("NaN iss") << nanIss.bytes();
    }
    void refusedRecords()
    {
        QFETCH(QByteArray, bytes);
        QDataStream stream(bytes);
        DiveHeader header = earlierHeader();
        QVERIFY(!header.readFromFile(stream));
        const DiveHeader expected = earlierHeader();
        QString difference = testkit::headerDifference(header, expected);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        difference = otherFieldsDifference(header, expected);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }
};

MAREVANE_TEST_MAIN(DivebinHeaderTest)
#include "tst_divebinheader.moc"

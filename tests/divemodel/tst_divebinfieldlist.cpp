// The field-list layout of a dive on a data stream: a round trip in either
// byte order, the head word, and streams whose counts, numbers or length
// cannot be a dive's, which leave the dive as it was.

#include "jsondives.h"
#include "testenvironment.h"

#include "divemodel/dive.h"
#include "divemodel/planificator.h"

#include <QDataStream>
#include <QtEndian>

#include <limits>

namespace {

// What the field list carries of a dive, on a dive that held `target`.
Dive carried(const Dive& written, const Dive& target)
{
    Dive expected = target;
    expected.name = written.name;
    expected.computerName = written.computerName;
    expected.computerManufacturer = written.computerManufacturer;
    expected.computerSerial = written.computerSerial;
    expected.beginTime = written.beginTime;
    expected.format = written.format;
    expected.maxTime = written.maxTime;
    expected.maxDepth = written.maxDepth;
    expected.avgDepth = written.avgDepth;
    expected.maxTemperature = written.maxTemperature;
    expected.divemode = written.divemode;
    expected.samplePeriod = written.samplePeriod;
    expected.alertsQuelm = written.alertsQuelm;
    expected.gfLow = written.gfLow;
    expected.gfHigh = written.gfHigh;
    expected.gases.clear();
    for (const DiveGas& gas : written.gases)
        expected.gases.append(
            testkit::jsonGas(gas.mId, gas.mName, gas.o2Percent(), gas.hePercent(), gas.pO2Max, 0xffffff, 0));
    expected.lines = written.lines;
    for (DiveLine& line : expected.lines)
        line.tag = 0;
    return expected;
}

QByteArray fieldList(Dive dive, QDataStream::ByteOrder byteOrder = QDataStream::BigEndian)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setByteOrder(byteOrder);
    if (!Planificator().write(stream, dive))
        qFatal("cannot write a field list");
    return bytes;
}

// The bytes with the big-endian 32-bit word at `offset` replaced.
QByteArray withWord(QByteArray bytes, qsizetype offset, quint32 word)
{
    qToBigEndian(word, bytes.data() + offset);
    return bytes;
}

// A dive without gases and samples: its gas count lies 19 bytes before the
// end, its sample count in the last four.
Dive emptyListsDive()
{
    Dive dive = testkit::everyFieldDive(0);
    dive.gases.clear();
    return dive;
}

} // namespace

class DivebinFieldListTest : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QDataStream::ByteOrder>("byteOrder");
        QTest::newRow("big-endian") << QDataStream::BigEndian;
        QTest::newRow("little-endian") << QDataStream::LittleEndian;
    }
    void roundTrip()
    {
        QFETCH(QDataStream::ByteOrder, byteOrder);
        Dive written = testkit::everyFieldDive();
        // 32.4 % goes out as the byte 32.
        written.gases[0].setFractionO2(0.324);
        const QByteArray bytes = fieldList(written, byteOrder);

        Dive read = testkit::everyFieldDive(2);
        read.gases.removeLast();
        const Dive expected = carried(written, read);
        QDataStream stream(bytes);
        stream.setByteOrder(byteOrder);
        Planificator reader;
        QVERIFY2(reader.read(stream, read), qPrintable(reader.errorString()));
        QVERIFY(stream.atEnd());
        const QString difference = testkit::jsonFormDifference(read, expected);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(read.gases.first().fO2, 0.32f);
        QCOMPARE(read.lines.first().battery, quint16(65535));
        QCOMPARE(read.site, expected.site);
        QCOMPARE(read.decoLines.size(), expected.decoLines.size());
    }

    void ccrIsAnyByteButZero()
    {
        Dive dive;
        dive.lines = {testkit::everyFieldLine(0)};
        QVERIFY(dive.lines.first().ccr);
        QByteArray bytes = fieldList(dive);
        // The sample ends with ccr, battery, tank pressure and two
        // gradient-factor bytes.
        QCOMPARE(bytes.at(bytes.size() - 7), char(1));
        bytes[bytes.size() - 7] = char(2);
        QDataStream stream(bytes);
        Dive read;
        QVERIFY(Planificator().read(stream, read));
        QCOMPARE(read.lines.first().ccr, true);
    }

    // The low 24 bits of the head word are the layout; the top byte is not
    // looked at.
    void headWord_data()
    {
        QTest::addColumn<quint32>("head");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("written") << 0xff000002u << true;
        QTest::newRow("layout 1") << 0x00000001u << true;
        QTest::newRow("other top byte") << 0xab000002u << true;
        QTest::newRow("layout 3") << 0xff000003u << false;
    }
    void headWord()
    {
        QFETCH(quint32, head);
        QFETCH(bool, accepted);
        const Dive written = testkit::everyFieldDive(2);
        QDataStream stream(withWord(fieldList(written), 0, head));
        Dive read;
        Planificator reader;
        QCOMPARE(reader.read(stream, read), accepted);
        if (accepted) {
            QCOMPARE(read.name, written.name);
        } else {
            QCOMPARE(reader.errorString(),
                     QString("The stream holds a field list of layout 3, which this program does not read."));
            QCOMPARE(stream.device()->pos(), qint64(4));
            QVERIFY(read.name.isEmpty());
        }
    }

    // Counts are believed only as far as the stream holds what they count:
    // nothing is reserved from them.
    void refusedStreams_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray empty = fieldList(emptyListsDive());
        const qsizetype gasCount = empty.size() - 19;
        const qsizetype sampleCount = empty.size() - 4;
        const QString cutShort = "The stream is cut short.";
        QTest::newRow("gas count -1") << withWord(empty, gasCount, 0xffffffff)
                                      << "The stream holds a negative count (-1).";
        QTest::newRow("2^31 - 1 gases, none there") << withWord(empty, gasCount, 0x7fffffff).left(gasCount + 4)
                                                    << cutShort;
        QTest::newRow("sample count -1") << withWord(empty, sampleCount, 0xffffffff)
                                         << "The stream holds a negative count (-1).";
        QTest::newRow("2^31 - 1 samples, none there") << withWord(empty, sampleCount, 0x7fffffff) << cutShort;

        Dive dive = testkit::everyFieldDive(3);
        const QByteArray whole = fieldList(dive);
        QTest::newRow("nothing") << QByteArray() << cutShort;
        QTest::newRow("head only") << whole.left(4) << cutShort;
        QTest::newRow("cut in the name") << whole.left(10) << cutShort;
        QTest::newRow("cut in a gas") << whole.left(gasCount + 10) << cutShort;
        QTest::newRow("cut in the last sample") << whole.left(whole.size() - 1) << cutShort;
        dive.lines[1].depth = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("NaN depth") << fieldList(dive) << "The stream holds a number that is not finite.";
        dive.lines[1].depth = 11000.5;
        QTest::newRow("depth beyond any sea") << fieldList(dive) << "Sample 2: the depth 11000.5 is out of range.";
        dive = testkit::everyFieldDive(3);
        dive.maxDepth = std::numeric_limits<double>::infinity();
        QTest::newRow("infinite maximum depth") << fieldList(dive) << "The stream holds a number that is not finite.";
        dive = testkit::everyFieldDive(3);
        dive.gases[1].pO2Max = std::numeric_limits<float>::quiet_NaN();
        QTest::newRow("NaN oxygen pressure") << fieldList(dive) << "The stream holds a number that is not finite.";
    }
    void refusedStreams()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const Dive before = testkit::everyFieldDive(2);
        Dive dive = before;
        QDataStream stream(bytes);
        Planificator reader;
        QVERIFY(!reader.read(stream, dive));
        QCOMPARE(reader.errorString(), reason);
        const QString difference = testkit::jsonFormDifference(dive, before);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }
};

MAREVANE_TEST_MAIN(DivebinFieldListTest)
#include "tst_divebinfieldlist.moc"

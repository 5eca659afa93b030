// Binary dive files (".divebin"): the layout, round trips through streams
// and files, files encoded another way than ours, refusals that leave the
// dive as it was, and a write cut short by the file system.

#include "diveprofiles.h"
#include "filesizelimit.h"
#include "jsondives.h"
#include "testenvironment.h"

#include "divemodel/binaryfile.h"
#include "divemodel/diveanalysis.h"
#include "divemodel/dive.h"

#include <QBuffer>
#include <QCborArray>
#include <QCborMap>
#include <QCborStreamWriter>
#include <QCborValue>
#include <QDataStream>
#include <QDir>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cmath>
#include <limits>

namespace {

const QByteArray kMagic = "BrenmokBinaryFile";

// The payload as the JSON conversion gives it.
QByteArray jsonConversionPayload(const Dive& dive)
{
    return QCborValue::fromJsonValue(dive.toJson()).toCbor();
}

// A file of the three items, written with Qt's own byte-array encoding.
QByteArray fileOf(const QByteArray& magic, qint32 version, const QByteArray& payload)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_6_0);
    stream << magic << version << payload;
    return bytes;
}

QByteArray fileOf(const QByteArray& payload)
{
    return fileOf(kMagic, 1, payload);
}

// The dive's JSON form as a CBOR value, changed by `change`.
template<typename Change>
QByteArray changedPayload(const Dive& dive, Change change)
{
    QCborMap map = QCborValue::fromJsonValue(dive.toJson()).toMap();
    change(map);
    return QCborValue(map).toCbor();
}

void setInFirstLine(QCborMap& dive, const QString& key, const QCborValue& value)
{
    QCborArray lines = dive.value("lines").toArray();
    QCborMap line = lines.at(0).toMap();
    line.insert(key, value);
    lines[0] = line;
    dive.insert(QStringLiteral("lines"), lines);
}

// The value written with its keys in reverse order and every map and
// array of unknown length, as another encoder may write it.
void writeReversed(QCborStreamWriter& writer, const QCborValue& value)
{
    if (value.isMap()) {
        const QCborMap map = value.toMap();
        writer.startMap();
        for (auto it = map.constEnd(); it != map.constBegin();) {
            --it;
            it.key().toCbor(writer);
            writeReversed(writer, it.value());
        }
        writer.endMap();
    } else if (value.isArray()) {
        writer.startArray();
        for (const QCborValue& element : value.toArray())
            writeReversed(writer, element);
        writer.endArray();
    } else {
        value.toCbor(writer);
    }
}

} // namespace

class DivebinFileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(mDir.isValid()); }

    void streamRoundTrip_data()
    {
        QTest::addColumn<QDataStream::ByteOrder>("byteOrder");
        QTest::newRow("big-endian") << QDataStream::BigEndian;
        QTest::newRow("little-endian") << QDataStream::LittleEndian;
    }
    void streamRoundTrip()
    {
        QFETCH(QDataStream::ByteOrder, byteOrder);
        Dive written = testkit::everyFieldDive();
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setByteOrder(byteOrder);
        QVERIFY(BinaryFile().write(out, written));
        QCOMPARE(out.version(), 20);

        QDataStream in(bytes);
        in.setByteOrder(byteOrder);
        Dive read;
        BinaryFile reader;
        QVERIFY2(reader.read(in, read), qPrintable(reader.errorString()));
        const QString difference = testkit::jsonFormDifference(read, written);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QVERIFY(in.atEnd());
    }

    // The magic, the layout version 1, then the JSON conversion's bytes.
    void layoutIsTheJsonConversion()
    {
        Dive dive = testkit::everyFieldDive();
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QDataStream stream(&buffer);
        QVERIFY(BinaryFile().write(stream, dive));
        QCOMPARE(buffer.data(), fileOf(jsonConversionPayload(dive)));
        QVERIFY(buffer.data().startsWith(QByteArray::fromHex("00000011") + kMagic + QByteArray::fromHex("00000001")));
    }

    // Files encoded another way read the same dive: keys in any order,
    // containers of unknown length, whole numbers and floats of any width,
    // keys and tags the form does not know.
    void otherEncodingsReadTheSame_data()
    {
        QTest::addColumn<QByteArray>("payload");
        const Dive dive = testkit::everyFieldDive();
        const QCborValue value = QCborValue::fromJsonValue(dive.toJson());
        QTest::newRow("the JSON conversion") << value.toCbor();
        QTest::newRow("half-precision floats") << value.toCbor(QCborValue::UseFloat16);
        QTest::newRow("doubles only") << value.toCbor(QCborValue::NoTransformation);
        QByteArray reversed;
        {
            QCborStreamWriter writer(&reversed);
            writeReversed(writer, value);
        }
        QTest::newRow("keys reversed, lengths unknown") << reversed;
        QTest::newRow("unknown keys and a tag") << changedPayload(dive, [](QCborMap& map) {
            map.insert(QStringLiteral("future"), QCborMap{{1, QCborArray{QCborMap{{"x", qQNaN()}}}}});
            map.insert(42, QStringLiteral("a key that is not text"));
            map.insert(QStringLiteral("name"), QCborValue(QCborTag(1000), QStringLiteral("Épave du Donator")));
        });
    }
    void otherEncodingsReadTheSame()
    {
        QFETCH(QByteArray, payload);
        QDataStream stream(fileOf(payload));
        Dive read;
        BinaryFile reader;
        QVERIFY2(reader.read(stream, read), qPrintable(reader.errorString()));
        const QString difference = testkit::jsonFormDifference(read, testkit::everyFieldDive());
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void wholeNumbersAsIntegersOrFloats()
    {
        Dive dive;
        dive.lines = {testkit::diveLine(60.0, 12.0)};
        const QByteArray payload = jsonConversionPayload(dive);
        // The JSON conversion writes 60.0 as the integer 60.
        QVERIFY(payload.contains(QByteArray("timeSec") + char(0x18) + char(60)));
        QByteArray asDoubles = payload;
        asDoubles.replace(QByteArray("timeSec") + char(0x18) + char(60),
                          QByteArray("timeSec") + QByteArray::fromHex("fb404e000000000000"));
        for (const QByteArray& bytes : {payload, asDoubles}) {
            QDataStream stream(fileOf(bytes));
            Dive read;
            QVERIFY(BinaryFile().read(stream, read));
            QCOMPARE(read.lines.size(), 1);
            QCOMPARE(read.lines.first().timeSec, 60.0);
        }
    }

    void fileRoundTrip()
    {
        const QString path = mDir.filePath("dive.divebin");
        Dive written = testkit::everyFieldDive();
        QVERIFY(BinaryFile().write(path, written));
        Dive read;
        QVERIFY(BinaryFile().read(path, read));
        QString difference = testkit::jsonFormDifference(read, written);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        // The ceiling area comes from the samples, as from the database.
        Dive fromSamples = written;
        DiveAnalysis::createCeilPointsFromLines(fromSamples);
        QVERIFY(fromSamples.ceilingPoints.size() > 4);
        QCOMPARE(read.ceilingPoints.size(), fromSamples.ceilingPoints.size());
        for (qsizetype i = 0; i < read.ceilingPoints.size(); ++i) {
            QCOMPARE(read.ceilingPoints.at(i).time, fromSamples.ceilingPoints.at(i).time);
            QCOMPARE(read.ceilingPoints.at(i).depth, fromSamples.ceilingPoints.at(i).depth);
        }

        // As the window opens it: the format and statistics are the file's.
        Dive imported = testkit::everyFieldDive(2);
        QString reason;
        QVERIFY2(DiveAnalysis::importDiveFile(imported, path, &reason), qPrintable(reason));
        QCOMPARE(imported.format, int(DiveFormat::Binary));
        QCOMPARE(imported.name, written.name);
        QCOMPARE(imported.gases.size(), 3);
        QCOMPARE(imported.maxTime, written.lines.last().timeSec);
        QCOMPARE(imported.lines.size(), written.lines.size());
        for (qsizetype i = 0; i < imported.lines.size(); ++i) {
            DiveLine expected = written.lines.at(i);
            expected.speed = imported.lines.at(i).speed;
            difference = testkit::lineDifference(imported.lines.at(i), expected);
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
        }
    }

    // Samples closer in time than any computer records give no speed rather
    // than an infinite one.
    void speedsOfSamplesAlmostAtOnce()
    {
        Dive dive;
        dive.lines = {testkit::diveLine(0.0, 0.0), testkit::diveLine(5e-324, 10.0), testkit::diveLine(1e-300, 0.0),
                      testkit::diveLine(60.0, 3.0)};
        const QString path = mDir.filePath("instant.divebin");
        QVERIFY(BinaryFile().write(path, dive));
        Dive imported;
        QVERIFY(DiveAnalysis::importDiveFile(imported, path));
        for (const DiveLine& line : std::as_const(imported.lines))
            QVERIFY2(std::isfinite(line.speed), qPrintable(QString::number(line.speed)));
        QCOMPARE(imported.lines.last().speed, 3.0);
    }

    void versionZeroIsRead()
    {
        const Dive dive = testkit::everyFieldDive();
        QDataStream stream(fileOf(kMagic, 0, jsonConversionPayload(dive)));
        Dive read;
        QVERIFY(BinaryFile().read(stream, read));
        QCOMPARE(read.name, dive.name);
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("reason");
        const Dive dive = testkit::everyFieldDive();
        const QByteArray payload = jsonConversionPayload(dive);
        const QByteArray good = fileOf(payload);
        const QString notBinary = "The file is not a binary dive file.";
        const QString cutShort = "The file is cut short.";

        QTest::newRow("magic in another case") << fileOf("brenmokBinaryFile", 1, payload) << notBinary;
        QTest::newRow("16-byte magic") << fileOf("BrenmokBinaryFil", 1, payload) << notBinary;
        QTest::newRow("UDDF text") << QByteArray("<?xml version=\"1.0\"?><uddf/>") << notBinary;
        QTest::newRow("empty") << QByteArray() << notBinary;
        QTest::newRow("version 2") << fileOf(kMagic, 2, payload)
                                   << "The file's layout version 2 is not one this program reads.";
        QTest::newRow("version -1") << fileOf(kMagic, -1, payload)
                                    << "The file's layout version -1 is not one this program reads.";
        QTest::newRow("cut in the magic") << good.left(12) << notBinary;
        QTest::newRow("cut in the version") << good.left(4 + 17 + 2) << cutShort;
        QTest::newRow("cut in the payload's length") << good.left(4 + 17 + 4 + 3) << cutShort;
        QTest::newRow("cut in the payload") << good.left(good.size() - 1) << cutShort;
        QTest::newRow("payload longer than the file")
            << good.left(4 + 17 + 4) + QByteArray::fromHex("7fffffff") + payload << cutShort;
        QTest::newRow("CBOR cut short") << fileOf(payload.left(payload.size() / 2))
                                        << QString("The dive data is damaged at byte %1.").arg(payload.size() / 2);
        const QCborArray array{QCborValue::fromJsonValue(dive.toJson())};
        QTest::newRow("CBOR array") << fileOf(array.toCborValue().toCbor()) << "The file holds no dive.";
        QTest::newRow("CBOR text") << fileOf(QCborValue(QStringLiteral("dive")).toCbor()) << "The file holds no dive.";
        QTest::newRow("no CBOR") << fileOf(QByteArray()) << "The file holds no dive.";
        QTest::newRow("NaN depth")
            << fileOf(changedPayload(dive, [](QCborMap& map) { setInFirstLine(map, "depth", qQNaN()); }))
            << "The dive data holds a value of \"depth\" that is not a finite number.";
        QTest::newRow("infinite header otu") << fileOf(changedPayload(dive, [](QCborMap& map) {
            QCborMap header = map.value("header").toMap();
            header.insert(QStringLiteral("otu"), qInf());
            map.insert(QStringLiteral("header"), header);
        })) << "The dive data holds a value of \"otu\" that is not a finite number.";
        QTest::newRow("NaN in a tissue array") << fileOf(changedPayload(dive, [](QCborMap& map) {
            QCborMap header = map.value("header").toMap();
            header.insert(QStringLiteral("diverN2"), QCborArray{1, -qInf()});
            map.insert(QStringLiteral("header"), header);
        })) << "The dive data holds a value of \"diverN2\" that is not a finite number.";
        QTest::newRow("NaN surface pressure")
            << fileOf(changedPayload(dive, [](QCborMap& map) { map.insert(QStringLiteral("pSurf"), qQNaN()); }))
            << "The dive data holds a value of \"pSurf\" that is not a finite number.";
        QTest::newRow("depth beyond any sea")
            << fileOf(changedPayload(dive, [](QCborMap& map) { setInFirstLine(map, "depth", 12000.5); }))
            << "Sample 1: the depth 12000.5 is out of range.";
        QTest::newRow("ceiling beyond any sea")
            << fileOf(changedPayload(dive, [](QCborMap& map) { setInFirstLine(map, "decoCeiling", -11001); }))
            << "Sample 1: the deco ceiling -11001 is out of range.";
        QTest::newRow("time beyond 2^31 s")
            << fileOf(changedPayload(dive, [](QCborMap& map) { setInFirstLine(map, "timeSec", 3e9); }))
            << "Sample 1: the time 3000000000 is out of range.";
        QByteArray deep(200000, char(0x81)); // arrays of one element, each in the one before
        deep.prepend(QByteArray::fromHex("a1") + QCborValue(QStringLiteral("lines")).toCbor());
        // The first sample starts at byte 8; nesting ends 17 levels into it.
        QTest::newRow("deep nesting") << fileOf(deep) << QString("The dive data is damaged at byte %1.").arg(8 + 17);
        QTest::newRow("list of 2^60 samples") << fileOf(QByteArray::fromHex("a1") + QCborValue("lines").toCbor()
                                                         + QByteArray::fromHex("9b1000000000000000"))
                                               << QString("The dive data is damaged at byte 16.");
        QTest::newRow("string of 2^32 bytes") << fileOf(QByteArray::fromHex("a1") + QCborValue("name").toCbor()
                                                         + QByteArray::fromHex("7b0000000100000000") + "Epave")
                                               << QString("The dive data is damaged at byte 6.");
    }
    void refusedFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, reason);
        const Dive before = testkit::everyFieldDive(3);
        Dive dive = before;
        QDataStream stream(file);
        BinaryFile reader;
        QVERIFY(!reader.read(stream, dive));
        QCOMPARE(reader.errorString(), reason);
        const QString difference = testkit::jsonFormDifference(dive, before);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(dive.decoLines.size(), 1);
        QCOMPARE(dive.invalidReason, before.invalidReason);

        // Opened as a file, it says the same and leaves the dive alone.
        const QString path = testkit::writeTestFile(mDir.filePath("refused.divebin"), file);
        QString importReason;
        QVERIFY(!DiveAnalysis::importDiveFile(dive, path, &importReason));
        QCOMPARE(importReason, reason);
        QVERIFY(testkit::jsonFormDifference(dive, before).isEmpty());
    }

    // Each byte of a list could become a whole gas or sample: a list longer
    // than any dive's is refused before it fills the memory.
    void longestList()
    {
        for (const qsizetype count : {qsizetype(1000000), qsizetype(1000001)}) {
            const QByteArray payload = QByteArray::fromHex("a1") + QCborValue(QStringLiteral("gases")).toCbor()
                + QByteArray::fromHex("9f") + QByteArray(count, '\0') + QByteArray::fromHex("ff");
            QDataStream stream(fileOf(payload));
            Dive dive;
            BinaryFile reader;
            const bool read = reader.read(stream, dive);
            QCOMPARE(read, count == 1000000);
            QCOMPARE(dive.gases.size(), read ? count : 0);
            if (!read)
                QCOMPARE(reader.errorString(), QString("The dive holds more than 1000000 samples or gases."));
        }
    }

    void missingFileGivesNoReason()
    {
        Dive dive;
        BinaryFile reader;
        QVERIFY(!reader.read(mDir.filePath("missing.divebin"), dive));
        QVERIFY(reader.errorString().isEmpty());
    }

    // The earlier file stays whole until the new one is written; a write the
    // file system cuts short is a failure.
    void writeCutByAFileSizeLimit()
    {
        const QString path = mDir.filePath("limited.divebin");
        Dive earlier = testkit::everyFieldDive();
        QVERIFY(BinaryFile().write(path, earlier));
        const QByteArray earlierBytes = testkit::fileBytes(path);
        Dive longer = testkit::everyFieldDive(4000);

        constexpr rlim_t limit = 64 * 1024;
        const std::optional<bool> written =
            testkit::writeUnderFileSizeLimit(limit, [&] { return BinaryFile().write(path, longer); });
        if (!written)
            QSKIP("the file size limit is already below the test's");

        QVERIFY(!*written);
        QCOMPARE(testkit::fileBytes(path), earlierBytes);
        QCOMPARE(QDir(mDir.path()).entryList({"limited*"}, QDir::Files), QStringList{"limited.divebin"});
        QVERIFY(BinaryFile().write(path, longer));
        QVERIFY(testkit::fileBytes(path).size() > qint64(limit));
    }

    void writeToAFolderThatDoesNotExist()
    {
        Dive dive = testkit::everyFieldDive();
        QVERIFY(!BinaryFile().write(mDir.filePath("missing/dive.divebin"), dive));
    }

private:
    QTemporaryDir mDir;
};

MAREVANE_TEST_MAIN(DivebinFileTest)
#include "tst_divebinfile.moc"

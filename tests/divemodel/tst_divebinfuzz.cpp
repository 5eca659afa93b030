// Reads damaged binary layouts: ".divebin" files opened as the window opens
// them, field-list streams and legacy header records, cut short, with bytes
// flipped, numbers that are not finite, huge counts and lengths, and deep
// CBOR nesting. Every read either refuses, leaving the dive or header as it
// was (with a reason for the two dive readers), or gives finite values that
// the analyses can work on.

#include "diveprofiles.h"
#include "fuzzchecks.h"
#include "jsondives.h"
#include "testenvironment.h"

#include "divemodel/binaryfile.h"
#include "divemodel/diveanalysis.h"
#include "divemodel/dive.h"
#include "divemodel/planificator.h"

#include <QDataStream>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr quint32 kSeed = 20241219;
constexpr int kRounds = 400;
constexpr int kCuts = 400;

constexpr qsizetype kEnvelopeSize = 4 + 17 + 4 + 4; // magic, version, payload length

const double kBadNumbers[] = {std::numeric_limits<double>::quiet_NaN(),
                              -std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::max(),
                              -std::numeric_limits<double>::max(),
                              std::numeric_limits<double>::denorm_min(),
                              1e300,
                              -1e19};

// Heads of CBOR items declaring more than any file holds: arrays, maps,
// text and byte strings of 2^32 and more.
const QByteArray kHugeHeads[] = {QByteArray::fromHex("9bffffffffffffffff"), QByteArray::fromHex("9a7fffffff"),
                                 QByteArray::fromHex("bb7fffffffffffffff"), QByteArray::fromHex("ba80000000"),
                                 QByteArray::fromHex("7b0000000100000000"), QByteArray::fromHex("5bffffffffffffffff"),
                                 QByteArray::fromHex("9f9f9f9f9f"),         QByteArray::fromHex("7f7f7f")};

const qint32 kHugeCounts[] = {-1, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), 1 << 30,
                              1000, 1 << 20};

QByteArray envelope(const QByteArray& payload)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_6_0);
    stream << QByteArray("BrenmokBinaryFile") << qint32(1) << payload;
    return bytes;
}

class Mutator
{
public:
    explicit Mutator(quint32 seed)
        : mRandom(seed)
    {
    }

    qsizetype index(qsizetype count) { return qsizetype(mRandom.bounded(quint32(std::max<qsizetype>(count, 1)))); }

    template<typename T, std::size_t n>
    const T& pick(const T (&values)[n])
    {
        return values[index(qsizetype(n))];
    }

    QByteArray flipped(QByteArray bytes, qsizetype from = 0)
    {
        const int flips = 1 + int(mRandom.bounded(8));
        for (int i = 0; i < flips && bytes.size() > from; ++i)
            bytes[from + index(bytes.size() - from)] ^= char(1 + mRandom.bounded(255));
        return bytes;
    }

    QByteArray cut(const QByteArray& bytes) { return bytes.left(index(bytes.size())); }

    // A number no dive holds over eight bytes at one of `offsets`, in the
    // byte order given.
    QByteArray withBadNumber(QByteArray bytes, const QList<qsizetype>& offsets, bool bigEndian)
    {
        const qsizetype offset = offsets.at(index(offsets.size()));
        if (offset + 8 > bytes.size())
            return bytes;
        const double number = pick(kBadNumbers);
        if (bigEndian)
            qToBigEndian(number, bytes.data() + offset);
        else
            qToLittleEndian(number, bytes.data() + offset);
        return bytes;
    }

    // A CBOR head declaring a huge item in place of one byte.
    QByteArray withHugeHead(QByteArray bytes) { return bytes.replace(index(bytes.size()), 1, pick(kHugeHeads)); }

    // Arrays or maps of one element nested up to a hundred thousand deep.
    QByteArray withDeepNesting(QByteArray bytes)
    {
        const qsizetype depth = 10 + index(100000);
        const QByteArray level = mRandom.bounded(2) ? QByteArray("\x81") : QByteArray("\xa1\x60", 2);
        return bytes.insert(index(bytes.size()), level.repeated(depth) + '\0');
    }

    // A copy of one stretch of the bytes put in at another place.
    QByteArray withStretchTwice(QByteArray bytes)
    {
        const qsizetype from = index(bytes.size());
        const QByteArray stretch = bytes.mid(from, 1 + index(64));
        return bytes.insert(index(bytes.size()), stretch);
    }

    QByteArray withWord(QByteArray bytes, qsizetype offset, qint32 word)
    {
        if (offset + 4 <= bytes.size())
            qToBigEndian(word, bytes.data() + offset);
        return bytes;
    }

    qint32 anyWord() { return qint32(mRandom.generate()); }

private:
    QRandomGenerator mRandom;
};

// Where a byte of `bytes` is `value`: with CBOR, where a double may start.
QList<qsizetype> offsetsOf(const QByteArray& bytes, char value, qsizetype skip)
{
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == value)
            offsets.append(i + skip);
    }
    return offsets;
}

QString refusedDiveFault(const Dive& dive, const Dive& before, const QString& reason)
{
    if (reason.isEmpty())
        return QStringLiteral("refused without a reason");
    const QString difference = testkit::jsonFormDifference(dive, before);
    if (!difference.isEmpty())
        return QStringLiteral("the refused read changed the dive: ") + difference;
    if (dive.decoLines.size() != before.decoLines.size() || dive.invalidReason != before.invalidReason)
        return QStringLiteral("the refused read changed the dive's computed values");
    return QString();
}

QString headerNonFinite(const DiveHeader& header)
{
    for (const double value : {header.maxDepth, header.avgDepth, header.minTemperature, header.maxTemperature,
                               header.totalDecoTime, header.ascentTime, double(header.otu), double(header.iss)}) {
        if (!std::isfinite(value))
            return QStringLiteral("a header number is %1").arg(value);
    }
    return QString();
}

} // namespace

class DivebinFuzzTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
        mBefore = testkit::everyFieldDive(3);
        mWritten = testkit::everyFieldDive(12);
    }

    void cleanupTestCase()
    {
        qInfo("%lld damaged binary dive files read (%lld accepted), %lld field lists (%lld accepted), "
              "%lld header records (%lld accepted): %lld reads",
              mFiles.reads, mFiles.accepted, mFieldLists.reads, mFieldLists.accepted, mHeaders.reads,
              mHeaders.accepted, mFiles.reads + mFieldLists.reads + mHeaders.reads);
    }

    void damagedBinaryDiveFiles()
    {
        QByteArray file;
        {
            QDataStream stream(&file, QIODevice::WriteOnly);
            QVERIFY(BinaryFile().write(stream, mWritten));
        }
        const QByteArray payload = file.mid(kEnvelopeSize);
        QCOMPARE(envelope(payload), file);
        const QList<qsizetype> doubles = offsetsOf(payload, char(0xfb), 1);
        QVERIFY(doubles.size() > 100);

        Mutator mutator(kSeed);
        for (int i = 0; i < kCuts; ++i)
            QVERIFY(fileReadsSafely(file.left(i * file.size() / kCuts)));
        for (int round = 0; round < kRounds; ++round) {
            QVERIFY(fileReadsSafely(envelope(mutator.flipped(payload))));
            QVERIFY(fileReadsSafely(envelope(mutator.withBadNumber(payload, doubles, true))));
            QVERIFY(fileReadsSafely(envelope(mutator.withHugeHead(payload))));
            QVERIFY(fileReadsSafely(envelope(mutator.withDeepNesting(payload))));
            QVERIFY(fileReadsSafely(envelope(mutator.withStretchTwice(payload))));
            QVERIFY(fileReadsSafely(envelope(mutator.cut(payload))));
            QVERIFY(fileReadsSafely(mutator.flipped(file.left(kEnvelopeSize)) + payload));
            QVERIFY(fileReadsSafely(mutator.withWord(file, kEnvelopeSize - 4, mutator.anyWord())));
        }
    }

    void damagedFieldLists()
    {
        QByteArray stream;
        {
            QDataStream out(&stream, QIODevice::WriteOnly);
            QVERIFY(Planificator().write(out, mWritten));
        }
        // The counts: the gas count after the identity, the sample count
        // after the gases and settings.
        Dive withoutLists = mWritten;
        withoutLists.gases.clear();
        withoutLists.lines.clear();
        QByteArray empty;
        {
            QDataStream out(&empty, QIODevice::WriteOnly);
            QVERIFY(Planificator().write(out, withoutLists));
        }
        const qsizetype gasCount = empty.size() - 19;
        withoutLists.gases = mWritten.gases;
        QByteArray noSamples;
        {
            QDataStream out(&noSamples, QIODevice::WriteOnly);
            QVERIFY(Planificator().write(out, withoutLists));
        }
        const qsizetype sampleCount = noSamples.size() - 4;
        QList<qsizetype> anywhere;
        for (qsizetype i = 0; i < stream.size(); ++i)
            anywhere.append(i);

        Mutator mutator(kSeed + 1);
        for (qsizetype length = 0; length < stream.size(); ++length)
            QVERIFY(fieldListReadsSafely(stream.left(length)));
        for (int round = 0; round < kRounds; ++round) {
            QVERIFY(fieldListReadsSafely(mutator.flipped(stream)));
            QVERIFY(fieldListReadsSafely(mutator.withBadNumber(stream, anywhere, true)));
            QVERIFY(fieldListReadsSafely(mutator.withWord(stream, gasCount, mutator.pick(kHugeCounts))));
            QVERIFY(fieldListReadsSafely(mutator.withWord(stream, sampleCount, mutator.pick(kHugeCounts))));
            QVERIFY(fieldListReadsSafely(mutator.withWord(stream, mutator.index(stream.size()), mutator.anyWord())));
            QVERIFY(fieldListReadsSafely(mutator.withStretchTwice(stream)));
        }
    }

    void damagedHeaderRecords()
    {
        // A record of noise behind its magic, with finite numbers and times
        // and pressures a dive can have.
        QByteArray record(218, Qt::Uninitialized);
        QRandomGenerator noise(kSeed + 2);
        for (char& byte : record)
            byte = char(noise.bounded(256));
        std::memcpy(record.data(), "QuelmDiveBinaryFile", 19);
        const QList<qsizetype> doubles{137, 145, 153, 161, 175, 183};
        for (const qsizetype offset : doubles)
            qToLittleEndian(12.5 + double(offset) / 100.0, record.data() + offset);
        qToLittleEndian(quint16(1013), record.data() + 28);
        qToLittleEndian(qint64(1700000000), record.data() + 127);
        qToLittleEndian(qint64(1700003600), record.data() + 197);
        qToLittleEndian(1.5f, record.data() + 209);
        qToLittleEndian(2.5f, record.data() + 213);
        QVERIFY(headerReadsSafely(record));
        QCOMPARE(mHeaders.accepted, qint64(1));

        Mutator mutator(kSeed + 3);
        for (qsizetype length = 0; length <= record.size(); ++length)
            QVERIFY(headerReadsSafely(record.left(length)));
        for (int round = 0; round < kRounds; ++round) {
            QVERIFY(headerReadsSafely(mutator.flipped(record)));
            QVERIFY(headerReadsSafely(mutator.withBadNumber(record, doubles, false)));
            QByteArray badFloat = record;
            qToLittleEndian(float(mutator.pick(kBadNumbers)), badFloat.data() + (round % 2 ? 209 : 213));
            QVERIFY(headerReadsSafely(badFloat));
        }
    }

private:
    struct Counts
    {
        qint64 reads = 0;
        qint64 accepted = 0;
    };

    bool fileReadsSafely(const QByteArray& contents)
    {
        const QString path = testkit::writeTestFile(mDir.filePath(QStringLiteral("damaged.divebin")), contents);
        Dive dive = mBefore;
        QString reason;
        const bool accepted = DiveAnalysis::importDiveFile(dive, path, &reason);
        return judged(mFiles, contents, accepted,
                      accepted ? testkit::nonFiniteValue(dive) : refusedDiveFault(dive, mBefore, reason));
    }

    bool fieldListReadsSafely(const QByteArray& contents)
    {
        QDataStream stream(contents);
        Dive dive = mBefore;
        Planificator reader;
        const bool accepted = reader.read(stream, dive);
        if (accepted) {
            // What the import would compute of it.
            DiveAnalysis::calculateMaxTimeDepth(dive);
            DiveAnalysis::calculateSpeeds(dive, false);
        }
        return judged(mFieldLists, contents, accepted,
                      accepted ? testkit::nonFiniteValue(dive)
                               : refusedDiveFault(dive, mBefore, reader.errorString()));
    }

    bool headerReadsSafely(const QByteArray& contents)
    {
        QDataStream stream(contents);
        DiveHeader header = mBefore;
        const bool accepted = header.readFromFile(stream);
        return judged(mHeaders, contents, accepted,
                      accepted ? headerNonFinite(header) : testkit::headerDifference(header, mBefore));
    }

    bool judged(Counts& counts, const QByteArray& contents, bool accepted, const QString& fault)
    {
        ++counts.reads;
        counts.accepted += accepted ? 1 : 0;
        if (fault.isEmpty())
            return true;
        const QString kept = mDir.filePath(QStringLiteral("failing.bin"));
        testkit::writeTestFile(kept, contents);
        qWarning("%s (input kept as %s)", qPrintable(fault), qPrintable(kept));
        mDir.setAutoRemove(false);
        return false;
    }

    QTemporaryDir mDir;
    Dive mBefore;
    Dive mWritten;
    Counts mFiles;
    Counts mFieldLists;
    Counts mHeaders;
};

MAREVANE_TEST_MAIN(DivebinFuzzTest)
#include "tst_divebinfuzz.moc"

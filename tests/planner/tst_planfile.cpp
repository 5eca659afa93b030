#include "testenvironment.h"

#include "diveprofiles.h"
#include "planfilekit.h"
#include "plantestsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <bit>
#include <cmath>
#include <limits>

using namespace planfilekit;

namespace {

// A plan file put together byte by byte at the offsets of the layout, least
// significant byte first, without the codec.
class HandMadeFile
{
public:
    explicit HandMadeFile(int count)
        : mBytes(4 + 150 * count, '\0')
    {
        putWord(0, quint32(count));
    }

    // Sets a field of the record of dive k (from 0).
    void putFloat(int k, int offset, float value) { putWord(record(k) + offset, std::bit_cast<quint32>(value)); }
    void putInt(int k, int offset, qint32 value) { putWord(record(k) + offset, quint32(value)); }
    void putByte(int k, int offset, quint8 value) { mBytes[record(k) + offset] = char(value); }

    const QByteArray& bytes() const { return mBytes; }

private:
    static int record(int k) { return 4 + 150 * k; }
    void putWord(int at, quint32 word)
    {
        for (int i = 0; i < 4; ++i)
            mBytes[at + i] = char((word >> (8 * i)) & 0xff);
    }

    QByteArray mBytes;
};

// The values of the hand-made file, dive by dive.
struct GoldenDive
{
    float n2(int j) const { return n2First + n2Step * float(j); }
    float he(int j) const { return heStep * float(j); }

    float n2First, n2Step, heStep, cns;
    quint8 helium, reduction, padding0, padding1;
    float factor;
    qint32 interval;
    quint8 effort, water;
    float pressure;
};

const GoldenDive kGolden[] = {
    {0.75f, 0.0625f, 0.0f, 0.125f, 0, 1, 0xab, 0xcd, 0.54f, 0, 1, 0, 0.875f},
    {1.5f, -0.03125f, 0.0078125f, 0.5f, 1, 3, 0xff, 0x01, 0.18f, 5400, 0, 1, 1.125f},
};

QByteArray goldenFile()
{
    HandMadeFile file(2);
    for (int k = 0; k < 2; ++k) {
        const GoldenDive& dive = kGolden[k];
        for (int j = 0; j < 16; ++j) {
            file.putFloat(k, 4 * j, dive.n2(j));
            file.putFloat(k, 64 + 4 * j, dive.he(j));
        }
        file.putFloat(k, 128, dive.cns);
        file.putByte(k, 132, dive.helium);
        file.putByte(k, 133, dive.reduction);
        file.putByte(k, 134, dive.padding0);
        file.putByte(k, 135, dive.padding1);
        file.putFloat(k, 136, dive.factor);
        file.putInt(k, 140, dive.interval);
        file.putByte(k, 144, dive.effort);
        file.putByte(k, 145, dive.water);
        file.putFloat(k, 146, dive.pressure);
    }
    return file.bytes();
}

// A valid file of `count` dives as the plan writes it.
QByteArray writtenFile(const QString& folder, int count)
{
    plantest::RecordedPlan plan;
    fillDistinct(plan, count);
    const QString path = folder + QStringLiteral("/written.diveplan");
    return plan.savePlan(path) ? testkit::fileBytes(path) : QByteArray();
}

template<typename T>
QByteArray withValue(QByteArray bytes, qsizetype offset, T value)
{
    qToLittleEndian(value, bytes.data() + offset);
    return bytes;
}

constexpr qsizetype kRecord1 = 4;
constexpr qsizetype kRecord2 = 4 + 150;

} // namespace

class PlanFileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(mFolder.isValid()); }

    void roundTrips_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("size");
        for (int count = 0; count <= 3; ++count)
            QTest::addRow("%d dives", count) << count << qint64(4 + 150 * count);
    }

    void roundTrips()
    {
        QFETCH(int, count);
        QFETCH(qint64, size);
        plantest::RecordedPlan saved;
        fillDistinct(saved, count);
        const QString path = mFolder.filePath(QStringLiteral("round.diveplan"));
        QVERIFY(saved.savePlan(path));
        QVERIFY(saved.lastError().isEmpty());

        const QByteArray bytes = testkit::fileBytes(path);
        QCOMPARE(qint64(bytes.size()), size);
        QCOMPARE(bytes.left(4), QByteArray::fromHex("0" + QByteArray::number(count) + "000000"));

        // Loaded over another plan, which goes.
        plantest::RecordedPlan loaded;
        fillDistinct(loaded, 3 - count);
        QVERIFY(loaded.loadPlan(path));
        QVERIFY(loaded.lastError().isEmpty());
        QCOMPARE(loadedPlanProblem(loaded, count), QString());
        for (int slot = 0; slot < count; ++slot) {
            const PlannedDive& before = *saved.plannedDive(slot);
            const PlannedDive& after = *loaded.plannedDive(slot);
            QCOMPARE(tissueImage(after.tissues), tissueImage(before.tissues));
            QCOMPARE(after.surfaceInterval, before.surfaceInterval);
            QCOMPARE(after.effortMode, before.effortMode);
            QCOMPARE(after.waterType, before.waterType);
            QCOMPARE(bitsOf(after.surfacePressureBar), bitsOf(before.surfacePressureBar));
        }
    }

    void goldenFile()
    {
        const QByteArray golden = ::goldenFile();
        // The hand-made bytes themselves: the count, then each value least
        // significant byte first.
        QCOMPARE(golden.size(), 304);
        QCOMPARE(golden.left(4).toHex(), QByteArray("02000000"));
        QCOMPARE(golden.mid(kRecord1 + 136, 4).toHex(), QByteArray("713d0a3f")); // 0.54
        QCOMPARE(golden.mid(kRecord1 + 146, 4).toHex(), QByteArray("0000603f")); // 0.875
        QCOMPARE(golden.mid(kRecord2 + 132, 4).toHex(), QByteArray("0103ff01"));
        QCOMPARE(golden.mid(kRecord2 + 140, 4).toHex(), QByteArray("18150000")); // 5400
        QCOMPARE(golden.mid(kRecord2 + 146, 4).toHex(), QByteArray("0000903f")); // 1.125

        const QString path = mFolder.filePath(QStringLiteral("golden.diveplan"));
        testkit::writeTestFile(path, golden);
        plantest::RecordedPlan plan;
        QVERIFY(plan.loadPlan(path));
        QCOMPARE(loadedPlanProblem(plan, 2), QString());
        for (int k = 0; k < 2; ++k) {
            const GoldenDive& expected = kGolden[k];
            const PlannedDive& dive = *plan.plannedDive(k);
            for (int j = 0; j < 16; ++j) {
                QCOMPARE(dive.tissues.N2[j], expected.n2(j));
                QCOMPARE(dive.tissues.He[j], expected.he(j));
            }
            QCOMPARE(dive.tissues.CNS, expected.cns);
            QCOMPARE(dive.tissues.helium, expected.helium);
            QCOMPARE(int(dive.tissues.reduction), int(expected.reduction));
            QCOMPARE(dive.tissues.reduction_factor, expected.factor);
            QCOMPARE(dive.surfaceInterval, expected.interval);
            QCOMPARE(dive.effortMode, expected.effort);
            QCOMPARE(dive.waterType, expected.water);
            QCOMPARE(dive.surfacePressureBar, expected.pressure);
        }

        // Written again: the same bytes, the padding as zeros.
        QByteArray again = golden;
        for (const qsizetype record : {kRecord1, kRecord2})
            again[record + 134] = again[record + 135] = '\0';
        const QString copy = mFolder.filePath(QStringLiteral("golden-again.diveplan"));
        QVERIFY(plan.savePlan(copy));
        QCOMPARE(testkit::fileBytes(copy).toHex(), again.toHex());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("file");  // the file's name in the test folder
        QTest::addColumn<QByteArray>("bytes"); // what it holds; null: written otherwise
        QTest::addColumn<QString>("reason");

        const QString folder = mFolder.path();
        const QByteArray none = writtenFile(folder, 0);
        const QByteArray one = writtenFile(folder, 1);
        const QByteArray two = writtenFile(folder, 2);
        const QByteArray three = writtenFile(folder, 3);
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const QString plan = QStringLiteral("plan.diveplan");

        QTest::newRow("missing file") << QStringLiteral("missing.diveplan") << QByteArray()
                                      << "The file does not exist";
        QTest::newRow("a folder") << QStringLiteral("folder.diveplan") << QByteArray() << "It is a folder, not a file";
        QTest::newRow("0 bytes") << plan << QByteArray("") << "The file ends before the count of its dives";
        QTest::newRow("3 bytes") << plan << none.left(3) << "The file ends before the count of its dives";
        QTest::newRow("count 4") << plan << withValue(three, 0, qint32(4))
                                 << "The file counts 4 dives; a plan holds 0 to 3";
        QTest::newRow("count -1") << plan << withValue(none, 0, qint32(-1))
                                  << "The file counts -1 dives; a plan holds 0 to 3";
        QTest::newRow("303 bytes") << plan << two.left(303)
                                   << "The file holds 303 bytes where a plan of 2 dives takes 304";
        QTest::newRow("a byte after a count of 0")
            << plan << none + '\0' << "The file holds 5 bytes where a plan of 0 dives takes 4";
        QTest::newRow("a byte after three dives")
            << plan << three + '\0' << "The file is larger than a plan of three dives (454 bytes)";
        QTest::newRow("a device without end") << QStringLiteral("/dev/zero") << QByteArray()
                                              << "The file is larger than a plan of three dives (454 bytes)";
        QTest::newRow("a gigabyte") << QStringLiteral("huge.diveplan") << QByteArray()
                                    << "The file is larger than a plan of three dives (454 bytes)";
        QTest::newRow("NaN CNS") << plan << withValue(one, kRecord1 + 128, nan)
                                 << "Dive 1: its tissue state is not valid";
        QTest::newRow("negative N2") << plan << withValue(two, kRecord2 + 4 * 5, -0.25f)
                                     << "Dive 2: its tissue state is not valid";
        QTest::newRow("more gas than any dive")
            << plan << withValue(two, kRecord2 + 64 + 4 * 15, 40.0f)
            << "Dive 2: its tissues hold more gas than any dive the planner computes";
        QTest::newRow("helium flag 2") << plan << withValue(one, kRecord1 + 132, quint8(2))
                                       << "Dive 1: its helium flag is neither 0 nor 1";
        QTest::newRow("reduction level 4") << plan << withValue(one, kRecord1 + 133, quint8(4))
                                           << "Dive 1: its surface reduction is not valid";
        QTest::newRow("factor of another level") << plan << withValue(two, kRecord2 + 136, 0.32f)
                                                 << "Dive 2: its surface reduction is not valid";
        QTest::newRow("surface pressure 0") << plan << withValue(one, kRecord1 + 146, 0.0f)
                                            << "Dive 1: its surface pressure lies outside 600 to 1200 mbar";
        QTest::newRow("surface pressure 1.5 bar") << plan << withValue(two, kRecord2 + 146, 1.5f)
                                                  << "Dive 2: its surface pressure lies outside 600 to 1200 mbar";
        QTest::newRow("surface pressure 1.2006 bar") << plan << withValue(one, kRecord1 + 146, 1.2006f)
                                                     << "Dive 1: its surface pressure lies outside 600 to 1200 mbar";
        QTest::newRow("surface pressure NaN") << plan << withValue(one, kRecord1 + 146, nan)
                                              << "Dive 1: its surface pressure is not a finite number";
        QTest::newRow("interval -1") << plan << withValue(two, kRecord2 + 140, qint32(-1))
                                     << "Dive 2: its surface interval is negative";
        // The tab's editor shows the hours and minutes of a day.
        QTest::newRow("interval of a day") << plan << withValue(two, kRecord2 + 140, qint32(86400))
                                           << "Dive 2: its surface interval is a day or more";
        QTest::newRow("interval 100000 s") << plan << withValue(one, kRecord1 + 140, qint32(100000))
                                           << "Dive 1: its surface interval is a day or more";
        QTest::newRow("effort flag 2") << plan << withValue(one, kRecord1 + 144, quint8(2))
                                       << "Dive 1: its effort flag is neither 0 nor 1";
    }

    // Each refused with its reason, the plan left as it was.
    void refusals()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString path = QDir::isAbsolutePath(file) ? file : mFolder.filePath(file);
        if (!QFileInfo::exists(path) && file == QLatin1String("/dev/zero"))
            QSKIP("no /dev/zero here");
        if (file == QLatin1String("folder.diveplan"))
            QVERIFY(QDir(mFolder.path()).mkpath(file));
        if (file == QLatin1String("huge.diveplan")) {
            // Sparse: it takes no room, yet reading it would take a gigabyte.
            QFile huge(path);
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(1) << 30));
        }
        if (!bytes.isNull())
            testkit::writeTestFile(path, bytes);

        plantest::RecordedPlan plan;
        fillDistinct(plan, 2);
        plan.current = 0;
        const QString before = fingerprint(plan);
        QVERIFY(!plan.loadPlan(path));
        QCOMPARE(plan.lastError(), reason);
        QCOMPARE(fingerprint(plan), before);
    }

    void acceptedLimits_data()
    {
        QTest::addColumn<qsizetype>("offset");
        QTest::addColumn<float>("value");
        QTest::newRow("surface pressure 599.5 mbar") << kRecord1 + 146 << 0.5995f;
        QTest::newRow("surface pressure 1200.4 mbar") << kRecord1 + 146 << 1.2004f;
        QTest::newRow("CNS 9.99") << kRecord1 + 128 << 9.99f;
        QTest::newRow("31 bar in a compartment") << kRecord1 + 4 * 3 << 31.0f;
    }

    // The edges of what a file may hold are taken.
    void acceptedLimits()
    {
        QFETCH(qsizetype, offset);
        QFETCH(float, value);
        const QString path = mFolder.filePath(QStringLiteral("edge.diveplan"));
        testkit::writeTestFile(path, withValue(writtenFile(mFolder.path(), 1), offset, value));
        plantest::RecordedPlan plan;
        QVERIFY2(plan.loadPlan(path), qPrintable(plan.lastError()));
        QCOMPARE(loadedPlanProblem(plan, 1), QString());
    }

    void shorterPlanOverALongerFile()
    {
        const QString path = mFolder.filePath(QStringLiteral("shorter.diveplan"));
        plantest::RecordedPlan longer;
        fillDistinct(longer, 3);
        QVERIFY(longer.savePlan(path));
        plantest::RecordedPlan shorter;
        fillDistinct(shorter, 1);
        QVERIFY(shorter.savePlan(path));
        const QString fresh = mFolder.filePath(QStringLiteral("fresh.diveplan"));
        QVERIFY(shorter.savePlan(fresh));
        QCOMPARE(testkit::fileBytes(path).size(), 154);
        QCOMPARE(testkit::fileBytes(path), testkit::fileBytes(fresh));
    }

    void failedSaves_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << QStringLiteral("missing/plan.diveplan")
                                        << QStringLiteral("The folder %1 does not exist")
                                               .arg(QDir::toNativeSeparators(mFolder.filePath("missing")));
        QTest::newRow("onto a folder") << QStringLiteral("taken.diveplan") << "It is a folder, not a file";
    }

    // Each fails with its reason and leaves what was there.
    void failedSaves()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QVERIFY(QDir(mFolder.path()).mkpath(QStringLiteral("taken.diveplan")));
        const QString kept = mFolder.filePath(QStringLiteral("taken.diveplan/kept.txt"));
        testkit::writeTestFile(kept, "kept");
        const QStringList entries = QDir(mFolder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        plantest::RecordedPlan plan;
        fillDistinct(plan, 2);
        QVERIFY(!plan.savePlan(mFolder.filePath(target)));
        QCOMPARE(plan.lastError(), reason);
        QCOMPARE(QDir(mFolder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), entries);
        QVERIFY(QFileInfo(mFolder.filePath(QStringLiteral("taken.diveplan"))).isDir());
        QCOMPARE(testkit::fileBytes(kept), QByteArray("kept"));
    }

private:
    QTemporaryDir mFolder;
};

MAREVANE_TEST_MAIN(PlanFileTest)
#include "tst_planfile.moc"

// Loads damaged plan files: a valid three-dive file cut at every length and
// with each byte set in turn to 0x00, 0xFF and 0x80, and seeded random
// files up to 600 bytes. Every load either refuses, with a reason, leaving
// the plan exactly as it was, or gives a plan of new dives whose tissues and
// settings the planner takes; a sample of the accepted plans is computed,
// each dive from the tissues the file gave the one before it.

#include "testenvironment.h"

#include "diveprofiles.h"
#include "fuzzchecks.h"
#include "planfilekit.h"
#include "plantestsupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace planfilekit;

namespace {

constexpr quint32 kSeed = 20250611;
constexpr int kRandomFiles = 3000;
constexpr qsizetype kLongestRandomFile = 600;
// Accepted plans computed, dive by dive.
constexpr int kComputedPlans = 40;

// Numbers a tissue state or a setting may hold once a file is damaged.
const float kOddNumbers[] = {std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(),
                             std::numeric_limits<float>::max(),
                             -std::numeric_limits<float>::max(),
                             std::numeric_limits<float>::denorm_min(),
                             std::numeric_limits<float>::min(),
                             3.0e38f,
                             1.0e30f,
                             1.0e6f,
                             400.0f,
                             31.6f, // more than any dive gives a compartment
                             31.4f,
                             15.7f,
                             -0.0f,
                             0.0f,
                             9.99f,
                             10.0f};

// The bytes of a file with its padding as the plan writes it: zeros.
QByteArray withZeroPadding(QByteArray bytes)
{
    for (qsizetype record = planfile::countSize; record + planfile::recordSize <= bytes.size();
         record += planfile::recordSize) {
        bytes[record + 134] = '\0';
        bytes[record + 135] = '\0';
    }
    return bytes;
}

// What is wrong with a computed dive's run table; empty when every number
// in it is finite and it ends.
QString runProblem(const plantest::RunRecorder& recorder)
{
    if (recorder.rows.size() < 2 || recorder.end().kind != LinePlan::endOfTable)
        return QStringLiteral("no end row");
    for (const LinePlan& row : recorder.rows) {
        for (const float value : {row.depth, row.duration, row.runTime, row.cns, row.otu})
            if (!std::isfinite(value))
                return QStringLiteral("a row holds %1").arg(value);
    }
    return {};
}

} // namespace

class PlanFileFuzzTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mFolder.isValid());
        mPath = mFolder.filePath(QStringLiteral("damaged.diveplan"));
        plantest::RecordedPlan plan;
        fillDistinct(plan, 3);
        const QString valid = mFolder.filePath(QStringLiteral("valid.diveplan"));
        QVERIFY(plan.savePlan(valid));
        mValid = testkit::fileBytes(valid);
        QCOMPARE(mValid.size(), planfile::largestFileSize);
        setUpPreviousPlan();
    }

    void cutAtEveryLength()
    {
        for (qsizetype length = 0; length < mValid.size(); ++length) {
            const QString problem = load(mValid.left(length));
            QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("%1 bytes: %2").arg(length).arg(problem)));
        }
        QCOMPARE(mAccepted.size(), 0);
    }

    void everyByteSet()
    {
        for (qsizetype offset = 0; offset < mValid.size(); ++offset) {
            for (const char value : {'\x00', '\xff', '\x80'}) {
                QByteArray bytes = mValid;
                bytes[offset] = value;
                const QString problem = load(bytes);
                const QString where = QStringLiteral("byte %1 set to %2: ").arg(offset).arg(quint8(value));
                QVERIFY2(problem.isEmpty(), qPrintable(where + problem));
            }
        }
    }

    void randomFiles()
    {
        QRandomGenerator random(kSeed);
        for (int round = 0; round < kRandomFiles; ++round) {
            const QByteArray bytes = randomFile(random, round % 4);
            const QString problem = load(bytes);
            QVERIFY2(problem.isEmpty(),
                     qPrintable(QStringLiteral("file %1 (%2): %3").arg(round).arg(QString::fromLatin1(bytes.toHex()),
                                                                                   problem)));
        }
    }

    // A sample of the accepted plans: written again as they were read, then
    // each dive computed from the last to the first, so that each starts from
    // the tissues the file gave the one before it.
    void acceptedPlansCompute()
    {
        QVERIFY(mAccepted.size() >= kComputedPlans);
        const qsizetype step = mAccepted.size() / kComputedPlans;
        int computed = 0;
        for (qsizetype k = 0; k < mAccepted.size() && computed < kComputedPlans; k += step, ++computed) {
            testkit::writeTestFile(mPath, mAccepted.at(k));
            QVERIFY(mPlan.loadPlan(mPath));
            // What was taken is what the plan writes again.
            const QString again = mFolder.filePath(QStringLiteral("again.diveplan"));
            QVERIFY(mPlan.savePlan(again));
            QCOMPARE(testkit::fileBytes(again), withZeroPadding(mAccepted.at(k)));
            for (int slot = PlanificationPlan::slotCount - 1; slot >= 0; --slot) {
                if (!mPlan.plannedDive(slot))
                    continue;
                mPlan.current = slot;
                mPlan.recompute();
                const QString where = QStringLiteral("plan %1, dive %2: ").arg(k).arg(slot + 1);
                QVERIFY2(runProblem(mPlan.recorder).isEmpty(), qPrintable(where + runProblem(mPlan.recorder)));
                const QString values = testkit::nonFiniteValue(*mPlan.plannedDive(slot));
                QVERIFY2(values.isEmpty(), qPrintable(where + values));
                QVERIFY2(mPlan.plannedDive(slot)->tissues.valid(), qPrintable(where + QStringLiteral("end tissues")));
            }
        }
        qInfo("%d loads, %d refused, %d accepted, %d accepted plans computed", mLoads, mRefused,
              int(mAccepted.size()), computed);
    }

private:
    // The plan a file replaces: two dives of edited points, the first current.
    void setUpPreviousPlan()
    {
        mPlan.clear();
        fillDistinct(mPlan, 2);
        mPlan.current = 0;
    }

    // Loads the bytes as a plan file; what went wrong, empty when nothing.
    QString load(const QByteArray& bytes)
    {
        testkit::writeTestFile(mPath, bytes);
        ++mLoads;
        const QString before = fingerprint(mPlan);
        if (!mPlan.loadPlan(mPath)) {
            ++mRefused;
            if (mPlan.lastError().isEmpty())
                return QStringLiteral("refused without a reason");
            if (fingerprint(mPlan) != before)
                return QStringLiteral("refused (%1), yet the plan changed").arg(mPlan.lastError());
            return {};
        }
        const int count = qFromLittleEndian<qint32>(bytes.constData());
        if (const QString problem = loadedPlanProblem(mPlan, count); !problem.isEmpty())
            return QStringLiteral("accepted: %1").arg(problem);
        mAccepted.append(bytes);
        setUpPreviousPlan();
        return {};
    }

    // A random file of one of four kinds: random bytes of any length; a
    // count of 0 to 3 with as many records of random bytes; the valid file
    // with a few bytes changed; the valid file with odd numbers in place of
    // some of its values.
    QByteArray randomFile(QRandomGenerator& random, int kind)
    {
        const auto index = [&random](qsizetype count) { return qsizetype(random.bounded(quint32(count))); };
        switch (kind) {
        case 0: {
            QByteArray bytes(index(kLongestRandomFile + 1), '\0');
            for (char& byte : bytes)
                byte = char(random.bounded(256));
            return bytes;
        }
        case 1: {
            const int count = int(random.bounded(4));
            QByteArray bytes(planfile::countSize + planfile::recordSize * count, '\0');
            for (char& byte : bytes)
                byte = char(random.bounded(256));
            qToLittleEndian(qint32(count), bytes.data());
            return bytes;
        }
        case 2: {
            QByteArray bytes = mValid;
            for (int flips = 1 + int(random.bounded(8)); flips > 0; --flips)
                bytes[index(bytes.size())] ^= char(1 + random.bounded(255));
            return bytes;
        }
        default: {
            QByteArray bytes = mValid;
            for (int numbers = 1 + int(random.bounded(4)); numbers > 0; --numbers) {
                // A float of a record: a tissue value, the reduction factor or
                // the surface pressure.
                const qsizetype record = planfile::countSize + planfile::recordSize * index(3);
                const qsizetype field = random.bounded(2) ? 4 * index(34) : (random.bounded(2) ? 136 : 146);
                qToLittleEndian(kOddNumbers[index(std::size(kOddNumbers))], bytes.data() + record + field);
            }
            return bytes;
        }
        }
    }

    QTemporaryDir mFolder;
    QString mPath;
    QByteArray mValid;
    plantest::RecordedPlan mPlan;
    QList<QByteArray> mAccepted;
    int mLoads = 0;
    int mRefused = 0;
};

MAREVANE_TEST_MAIN(PlanFileFuzzTest)
#include "tst_planfilefuzz.moc"

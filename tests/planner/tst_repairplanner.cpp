#include "testenvironment.h"

#include "diveprofiles.h"
#include "plantestsupport.h"
#include "planner/planlimits.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace plantest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Every number a computation hands out is finite, and the run time never
// runs backwards.
void verifyFiniteRun(const RunRecorder& recorder, const PlannedDive& dive)
{
    float runTime = 0.0f;
    for (const LinePlan& row : recorder.rows) {
        QVERIFY(std::isfinite(row.depth) && std::isfinite(row.duration) && std::isfinite(row.runTime));
        QVERIFY(std::isfinite(row.cns) && std::isfinite(row.otu));
        if (row.kind == LinePlan::startOfTable)
            runTime = 0.0f;
        if (row.kind == LinePlan::row) {
            QVERIFY2(row.runTime >= runTime - 1e-3f, qPrintable(QString::number(row.runTime)));
            runTime = row.runTime;
        }
    }
    for (const DiveLine& line : dive.decoLines)
        QVERIFY(line.hasFiniteValues());
    for (const CeilPoint& point : dive.ceilingPoints)
        QVERIFY(std::isfinite(point.time) && std::isfinite(point.depth));
    for (int j = 0; j < 16; ++j)
        QVERIFY(std::isfinite(dive.tissues.N2[j]));
}

} // namespace

// Repairs of the planner: a dive beyond what it computes is refused with a
// reason as it enters the plan, and not computed once edited beyond it;
// every plan it accepts computes in bounded time.
class RepairPlannerTest : public QObject
{
    Q_OBJECT

private slots:
    void limits()
    {
        // The deepest stop of the default configuration: stop 100 in 3 m steps.
        QCOMPARE(planlimits::deepestDepth(), 300.0);
    }

    void refusedDivesDoNotEnterThePlan_data()
    {
        QTest::addColumn<QList<DiveLine>>("lines");
        QTest::addColumn<QString>("reason");
        const QList<DiveLine> normal = points({{0, 0}, {60, 20}, {600, 20}, {900, 0}});
        auto with = [&normal](int index, auto change) {
            QList<DiveLine> lines = normal;
            change(lines[index]);
            return lines;
        };
        QTest::newRow("time not a number") << with(2, [](DiveLine& l) { l.timeSec = kNaN; })
                                           << "Point 3 holds a value that is not a finite number";
        QTest::newRow("infinite depth") << with(1, [](DiveLine& l) { l.depth = kInfinity; })
                                        << "Point 2 holds a value that is not a finite number";
        QTest::newRow("temperature not a number") << with(3, [](DiveLine& l) { l.ambientTemp = kNaN; })
                                                  << "Point 4 holds a value that is not a finite number";
        QTest::newRow("a second over 24 hours") << with(3, [](DiveLine& l) { l.timeSec = 86401; })
                                                << "Point 4 lies more than 24 hours after the start of the dive";
        QTest::newRow("a year") << with(3, [](DiveLine& l) { l.timeSec = 3.15e7; })
                                << "Point 4 lies more than 24 hours after the start of the dive";
        QTest::newRow("deeper than the stop table") << with(2, [](DiveLine& l) { l.depth = 300.5; })
                                                    << "Point 3 lies deeper than 300 m, the deepest stop the planner computes";
        QTest::newRow("far above the surface") << with(3, [](DiveLine& l) { l.depth = -1e300; })
                                               << "Point 4 lies more than 300 m above the surface";
        QTest::newRow("before the start") << with(0, [](DiveLine& l) { l.timeSec = -1; })
                                          << "Point 1 lies before the start of the dive";
        QTest::newRow("time going back") << with(2, [](DiveLine& l) { l.timeSec = 30; })
                                         << "Point 3 lies before the point ahead of it";
    }

    void refusedDivesDoNotEnterThePlan()
    {
        QFETCH(QList<DiveLine>, lines);
        QFETCH(QString, reason);
        RecordedPlan plan;
        QCOMPARE(addDive(plan, points({{0, 0}, {60, 10}, {300, 10}})), 0);
        plan.recorder.reset();

        QCOMPARE(addDive(plan, lines), -3);
        QCOMPARE(plan.lastError(), reason);
        QCOMPARE(plan.current, 0);
        QVERIFY(plan.plannedDive(1) == nullptr);
        QVERIFY(plan.recorder.rows.isEmpty());
        QCOMPARE(plan.findFirstFreeIndex(), 1);

        // The next good dive takes the slot, and the reason is gone.
        QCOMPARE(addDive(plan, points({{0, 0}, {60, 10}, {300, 10}})), 1);
        QVERIFY(plan.lastError().isEmpty());
    }

    // The same limits for a dive from a file.
    void refusedFileDoesNotEnterThePlan()
    {
        QTemporaryDir folder;
        const QString path = testkit::writeTestFile(
            folder.filePath("deep.csv"), testkit::csvImportText(testkit::diveLines({{0, 0}, {120, 320}, {600, 320}})));
        RecordedPlan plan;
        QCOMPARE(plan.newPlanification(path), -3);
        QCOMPARE(plan.lastError(), QStringLiteral("Point 2 lies deeper than 300 m, the deepest stop the planner computes"));
        QCOMPARE(plan.current, -1);
        QVERIFY(plan.plannedDive(0) == nullptr);

        // A file the reader refuses: -2 with the reader's reason.
        testkit::writeTestFile(path, "Time\tDepth\n");
        QCOMPARE(plan.newPlanification(path), -2);
        QVERIFY(plan.lastError().startsWith("The file holds no sample"));
    }

    // The limits themselves are accepted: 24 hours, 300 m, times that stay.
    void diveAtTheLimitsIsAccepted()
    {
        RecordedPlan plan;
        QCOMPARE(addDive(plan, points({{0, 0}, {0, 5}, {60, 20}, {60, 20}, {86400, 20}})), 0);
        QVERIFY(plan.lastError().isEmpty());
        QCOMPARE(plan.recorder.rows.constLast().kind, LinePlan::endOfTable);
        verifyFiniteRun(plan.recorder, *plan.plannedDive(0));
    }

    // Points edited beyond the limits once the dive is planned (the point
    // table and the graph change them in place): nothing is computed, the
    // log says why, and nothing of the earlier run is left.
    void editedBeyondTheLimitsIsNotComputed_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("time");
        QTest::addColumn<double>("depth");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a week") << 2 << 604800.0 << 40.0
                                << "Point 3 lies more than 24 hours after the start of the dive";
        QTest::newRow("a kilometre deep") << 2 << 1500.0 << 1000.0
                                          << "Point 3 lies deeper than 300 m, the deepest stop the planner computes";
        QTest::newRow("time not a number") << 1 << kNaN << 40.0 << "Point 2 holds a value that is not a finite number";
    }

    void editedBeyondTheLimitsIsNotComputed()
    {
        QFETCH(int, index);
        QFETCH(double, time);
        QFETCH(double, depth);
        QFETCH(QString, reason);
        RecordedPlan plan;
        QCOMPARE(addDive(plan, decoPoints()), 0);
        PlannedDive& dive = *plan.plannedDive(0);
        QVERIFY(!dive.decoLines.isEmpty());
        QVERIFY(!dive.ceilingPoints.isEmpty());

        dive.lines[index].timeSec = time;
        dive.lines[index].depth = depth;
        plan.recompute();
        QCOMPARE(plan.recorder.rows.size(), 2);
        QCOMPARE(plan.recorder.rows.first().kind, LinePlan::startOfTable);
        QCOMPARE(plan.recorder.end().kind, LinePlan::endOfTable);
        QCOMPARE(plan.recorder.logs, QStringList({QString(), "The dive is not computed: " + reason}));
        QVERIFY(dive.decoLines.isEmpty());
        QVERIFY(dive.ceilingPoints.isEmpty());
    }

    // The longest and deepest dive the planner accepts: computed, in bounded
    // time, with finite results.
    void deepestLongestPlanComputes()
    {
        RecordedPlan plan;
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(addDive(plan, points({{0, 0}, {600, 300}, {86400, 300}})), 0);
        const QList<LinePlan> rows = plan.recorder.body();
        qInfo("300 m for 24 hours: %lld ms, %lld rows, surfacing at %.0f min", qlonglong(timer.elapsed()),
              qlonglong(rows.size()), rows.constLast().runTime);
        verifyFiniteRun(plan.recorder, *plan.plannedDive(0));
        QCOMPARE(plan.plannedDive(0)->decoLines.constLast().depth, 0.0);
    }

    // Random plans, most inside the limits and some beyond: each is either
    // refused with a reason or computed with finite results, whatever the
    // gradient factors, water, surface pressure and slot.
    void randomPlans()
    {
        QRandomGenerator random(20241214);
        const double odd[] = {kNaN, kInfinity, -kInfinity, 1e300, -1e300, 3e7, -5, 301, 0};
        int refused = 0;
        int computed = 0;
        for (int run = 0; run < 40; ++run) {
            RecordedPlan plan;
            for (int dive = 0; dive < 3; ++dive) {
                QList<DiveLine> lines;
                double time = 0;
                const int count = random.bounded(1, 8);
                const double deepest = random.bounded(8) == 0 ? 100.0 + random.generateDouble() * 200.0 : random.bounded(60.0);
                for (int i = 0; i < count; ++i) {
                    DiveLine line;
                    line.timeSec = time;
                    line.depth = i == 0 ? 0.0 : random.generateDouble() * deepest;
                    line.gasIndex = random.bounded(-1, 6);
                    if (random.bounded(30) == 0)
                        line.setAlertFlag(QuelmAlertType::Yoyo, quint8(random.bounded(4)));
                    if (random.bounded(25) == 0)
                        (random.bounded(2) ? line.timeSec : line.depth) = odd[random.bounded(int(std::size(odd)))];
                    lines.append(line);
                    time += random.bounded(0, 900);
                }
                const int added = plan.newPlanification([&](Dive& dive) {
                    dive.lines = lines;
                    auto& planned = static_cast<PlannedDive&>(dive);
                    planned.waterType = quint8(random.bounded(2));
                    planned.effortMode = quint8(random.bounded(2));
                    planned.surfacePressureBar = float(0.4 + random.generateDouble() * 0.8);
                    planned.surfaceInterval = random.bounded(0, 100000);
                    return true;
                });
                if (added == -3) {
                    ++refused;
                    QVERIFY(!plan.lastError().isEmpty());
                    continue;
                }
                QCOMPARE(added, plan.current);
                ++computed;
                verifyFiniteRun(plan.recorder, *plan.plannedDive(added));
                gfs_t gfs(uchar(random.bounded(10, 101)), uchar(random.bounded(10, 101)));
                plan.recompute(&gfs);
                verifyFiniteRun(plan.recorder, *plan.plannedDive(added));
            }
        }
        qInfo("%d plans computed, %d refused", computed, refused);
        QVERIFY(refused > 0 && computed > 0);
    }
};

MAREVANE_TEST_MAIN(RepairPlannerTest)
#include "tst_repairplanner.moc"

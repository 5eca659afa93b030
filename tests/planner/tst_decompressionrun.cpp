#include "testenvironment.h"

#include "plantestsupport.h"

#include "deco/diver.h"
#include "deco/settings.h"
#include "deco/zhl16.h"

#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(DiveLine)

using namespace plantest;

namespace {

constexpr float kSurface = 1.013f;
constexpr float kSaltBarPerMetre = 1.03f * 9.80665f / 100.0f;
constexpr float kAscentRate = 1.1f;       // bar/min, the default configuration's
constexpr float kBetweenStopsRate = 0.6f; // bar/min
constexpr float kDescentRate = 2.2f;      // bar/min

float saltPressure(float depth)
{
    return kSurface + kSaltBarPerMetre * depth;
}

bool sameRows(const QList<LinePlan>& a, const QList<LinePlan>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const LinePlan& x = a.at(i);
        const LinePlan& y = b.at(i);
        if (x.kind != y.kind || x.direction != y.direction || x.computed != y.computed ||
            x.depth != y.depth || x.duration != y.duration || x.runTime != y.runTime ||
            x.gasIndex != y.gasIndex || x.cns != y.cns || x.otu != y.otu)
            return false;
    }
    return true;
}

// A row of the table on gas 0, to a tenth of a second.
bool isRow(const LinePlan& row, qint32 direction, quint8 computed, float depth, float duration, float runTime)
{
    return row.kind == LinePlan::row && row.direction == direction && row.computed == computed &&
           std::abs(row.depth - depth) < 1e-4f && std::abs(row.duration - duration) < 1e-4f &&
           std::abs(row.runTime - runTime) < 1e-4f && row.gasIndex == 0 && row.cns == 0.0f && row.otu == 0.0f;
}

const char* describe(const LinePlan& row)
{
    static QByteArray text;
    text = QStringLiteral("kind %1 direction %2 computed %3 depth %4 duration %5 run time %6 gas %7")
               .arg(row.kind).arg(row.direction).arg(row.computed).arg(row.depth).arg(row.duration)
               .arg(row.runTime).arg(row.gasIndex).toUtf8();
    return text.constData();
}

int stopRows(const RunRecorder& recorder)
{
    int count = 0;
    for (const LinePlan& row : recorder.computedRows())
        count += row.direction == LinePlan::levelOrAscending ? 1 : 0;
    return count;
}

// The rows of a plan of one dive with these points, under these settings.
QList<LinePlan> rowsOf(const QList<DiveLine>& lines, gfs_t* gfs, quint8 effort = 0)
{
    RecordedPlan plan;
    addDive(plan, lines);
    plan.currentPlannedDive()->effortMode = effort;
    plan.recompute(gfs);
    return plan.recorder.rows;
}

// Adds the default dive as the first of the plan, with fresh rows after it;
// returns its start nitrogen loads and its end tissues.
std::pair<std::array<float, 16>, diver_t> addDefaultFirstDive(RecordedPlan& plan)
{
    plan.newPlanification(QString());
    plan.recorder.reset();
    return {plan.startN2, plan.plannedDive(0)->tissues};
}

// The run table after planned points, computed rows and the end row: times
// never go back, each run time is the sum of the durations before it, and the
// computed ascent lines sit at the computed rows' run times and depths.
void checkRunTable(const RunRecorder& recorder, const PlannedDive& dive)
{
    QCOMPARE(recorder.rows.constFirst().kind, LinePlan::startOfTable);
    QCOMPARE(recorder.end().kind, LinePlan::endOfTable);
    double sum = dive.lines.constFirst().timeSec / 60.0;
    float previous = 0.0f;
    for (const LinePlan& row : recorder.body()) {
        QCOMPARE(row.kind, LinePlan::row);
        QVERIFY2(row.duration >= 0.0f, qPrintable(QString::number(row.duration)));
        QVERIFY(row.runTime >= previous);
        sum += row.duration;
        QVERIFY2(std::abs(row.runTime - sum) < 1e-3, qPrintable(QString::number(row.runTime - sum)));
        previous = row.runTime;
    }

    const QList<LinePlan> computed = recorder.computedRows();
    QCOMPARE(dive.decoLines.size(), computed.size() + 1);
    QCOMPARE(dive.decoLines.constFirst().timeSec, dive.lines.constLast().timeSec);
    for (qsizetype i = 0; i < computed.size(); ++i) {
        const DiveLine& line = dive.decoLines.at(i + 1);
        QVERIFY(std::abs(line.timeSec - computed.at(i).runTime * 60.0) < 0.05);
        QVERIFY(std::abs(line.depth - computed.at(i).depth) < 1e-4);
    }

    for (const CeilPoint& point : dive.ceilingPoints) {
        QVERIFY(std::isfinite(point.time));
        QVERIFY(std::isfinite(point.depth));
    }
    for (const DiveLine& line : dive.decoLines)
        QVERIFY(std::isfinite(line.speed));
}

} // namespace

class TestDecompressionRun : public QObject
{
    Q_OBJECT

private slots:
    void defaultPlanGivesItsRows();
    void decoPlanListsStopsAndTravels();
    void noDecompressionLimitBoundary();
    void gradientFactorSwitches_data();
    void gradientFactorSwitches();
    void thirdDiveRules_data();
    void thirdDiveRules();
    void thirdDiveRuleUsesTheCurrentPoints();
    void surfacePressure_data();
    void surfacePressure();
    void absurdSurfacePressuresAreRefused_data();
    void absurdSurfacePressuresAreRefused();
    void freshWater();
    void secondDiveStartsFromTheFirstsEnd();
    void zeroDurationRunsTakeTheEndState_data();
    void zeroDurationRunsTakeTheEndState();
    void ceilingDepthsUseTheDivesSurfaceAndWater_data();
    void ceilingDepthsUseTheDivesSurfaceAndWater();
    void planEndingAboveTheFirstStopDescendsToIt();
    void planEndingAtTheSurface();
    void diveWithoutPointsGivesAnEmptyTable();
};

void TestDecompressionRun::defaultPlanGivesItsRows()
{
    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    QCOMPARE(plan.newPlanification(QString()), 0);

    // Worked by hand: 20 m of salt water is 2.0202 bar above 1.013 bar; the
    // ascent at 1.1 bar/min takes 1.8365 min. The bottom breathes a pO2 of
    // 0.21 x 3.0332 = 0.6370 bar: the NOAA limit between 720 min (0.60) and
    // 645 min (0.65) is 664.55 min, so nine minutes give 1.3543 % CNS, and
    // ((0.6370 - 0.5) / 0.5)^(5/6) = 0.33991 OTU a minute give 3.0592 OTU.
    // The descent and the ascent stay below 0.5 bar and count nothing.
    QCOMPARE(recorder.rows.size(), 5);
    QCOMPARE(recorder.logs, QStringList{QString()});
    const LinePlan& start = recorder.rows.at(0);
    QCOMPARE(start.kind, LinePlan::startOfTable);
    QVERIFY(sameRows({start}, {LinePlan()}));

    QVERIFY2(isRow(recorder.rows.at(1), LinePlan::descending, 0, 20.0f, 1.0f, 1.0f), describe(recorder.rows.at(1)));
    QVERIFY2(isRow(recorder.rows.at(2), LinePlan::levelOrAscending, 0, 20.0f, 9.0f, 10.0f),
             describe(recorder.rows.at(2)));
    QVERIFY2(isRow(recorder.rows.at(3), LinePlan::computedTravel, 1, 0.0f, 1.83652f, 11.83652f),
             describe(recorder.rows.at(3)));

    const LinePlan& end = recorder.rows.at(4);
    QCOMPARE(end.kind, LinePlan::endOfTable);
    QVERIFY2(std::abs(end.cns - 1.35430f) < 1e-3, qPrintable(QString::number(end.cns)));
    QVERIFY2(std::abs(end.otu - 3.05922f) < 1e-3, qPrintable(QString::number(end.otu)));
    QCOMPARE(end.depth, 0.0f);
    QCOMPARE(end.runTime, 0.0f);

    const PlannedDive& dive = *plan.currentPlannedDive();
    checkRunTable(recorder, dive);
    QCOMPARE(dive.decoLines.constLast().depth, 0.0);
    QCOMPARE(dive.otuTotal, end.otu);
    QVERIFY(!dive.decoNotTerminated);
    QVERIFY(dive.ceilingPoints.isEmpty());
    // The statistics take the computed ascent in.
    QVERIFY(std::abs(dive.maxTime - 11.83652 * 60.0) < 0.01);
    QCOMPARE(dive.maxDepth, 20.0);
    QVERIFY(dive.decoLines.constLast().speed < 0.0);
}

void TestDecompressionRun::decoPlanListsStopsAndTravels()
{
    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    QCOMPARE(addDive(plan, decoPoints()), 0);
    const PlannedDive& dive = *plan.currentPlannedDive();
    checkRunTable(recorder, dive);

    // Ascent, then the first stop, then travel and stop pairs, then the final ascent.
    const QList<LinePlan> computed = recorder.computedRows();
    QVERIFY(computed.size() >= 4);
    QCOMPARE(computed.size() % 2, 1);
    const LinePlan& ascent = computed.constFirst();
    QCOMPARE(ascent.direction, LinePlan::computedTravel);
    const float firstStop = ascent.depth;
    QVERIFY(firstStop >= 6.0f);
    QCOMPARE(std::fmod(firstStop + 1e-3f, 3.0f) < 2e-3f, true);
    QVERIFY(std::abs(ascent.duration - (saltPressure(40) - saltPressure(firstStop)) / kAscentRate) < 1e-3);

    for (qsizetype i = 1; i + 1 < computed.size(); ++i) {
        const LinePlan& row = computed.at(i);
        if (i % 2 == 1) {
            QCOMPARE(row.direction, LinePlan::levelOrAscending);
            QCOMPARE(row.depth, computed.at(i - 1).depth);
        } else {
            // 3 m of salt water, 0.3030 bar, at 0.6 bar/min: 0.5050 min.
            QCOMPARE(row.direction, LinePlan::computedTravel);
            QVERIFY(std::abs(row.depth - (computed.at(i - 1).depth - 3.0f)) < 1e-3);
            QVERIFY(std::abs(row.duration - 0.505042f) < 1e-4);
        }
    }
    const LinePlan& lastStop = computed.at(computed.size() - 2);
    QVERIFY(std::abs(lastStop.depth - 3.0f) < 1e-3);
    QVERIFY(lastStop.duration > 0.0f);
    const LinePlan& final = computed.constLast();
    QCOMPARE(final.direction, LinePlan::computedTravel);
    QCOMPARE(final.depth, 0.0f);
    QVERIFY(std::abs(final.duration - 0.505042f) < 1e-4);
    QCOMPARE(dive.decoLines.constLast().gasIndex, -1);

    QVERIFY(!dive.decoNotTerminated);
    QVERIFY(!dive.ceilingPoints.isEmpty());
    // The outline follows the computed ascent too, down to the last stop.
    QVERIFY(dive.ceilingPoints.constLast().time > 1500.0f);
    QVERIFY(dive.ceilingPoints.constLast().time <= lastStop.runTime * 60.0f + 0.01f);
    QVERIFY(recorder.end().cns > 0.0f);
    QVERIFY(recorder.end().otu > 0.0f);
}

void TestDecompressionRun::noDecompressionLimitBoundary()
{
    // The engine's limit at 20 m after the one-minute descent.
    zhl16_t::initZhl16C();
    config_t config;
    diver_t diver;
    diver.begin(kSurface);
    diver.load_inert(kSurface, saltPressure(20), 1.0f, gas_t::air, setpoint_t::none);
    const float limit = zhl16_t::Tndl(model_t::tndl_max, config, diver, saltPressure(20));
    QVERIFY(limit > 10.0f && limit < 60.0f);

    for (const float bottom : {limit - 1.0f, limit + 1.0f}) {
        RecordedPlan plan;
        RunRecorder& recorder = plan.recorder;
        addDive(plan, points({{0, 0}, {60, 20}, {60.0 + bottom * 60.0, 20}}));
        checkRunTable(recorder, *plan.currentPlannedDive());
        const QList<LinePlan> computed = recorder.computedRows();
        if (bottom < limit) {
            QCOMPARE(computed.size(), 1);
            QCOMPARE(computed.constFirst().depth, 0.0f);
        } else {
            QCOMPARE(stopRows(recorder), 1);
            QCOMPARE(computed.size(), 3);
            QVERIFY(std::abs(computed.constFirst().depth - 3.0f) < 1e-3);
        }
    }
}

void TestDecompressionRun::gradientFactorSwitches_data()
{
    QTest::addColumn<quint8>("effort");
    QTest::addColumn<bool>("givePair");
    QTest::addColumn<int>("yoyoLevel");
    QTest::addColumn<int>("expectedLow");
    QTest::addColumn<int>("expectedHigh");

    QTest::newRow("default") << quint8(0) << false << 0 << 80 << 80;
    QTest::newRow("given pair") << quint8(0) << true << 0 << 30 << 85;
    QTest::newRow("effort over the given pair") << quint8(1) << true << 0 << 68 << 68;
    QTest::newRow("effort over the default") << quint8(1) << false << 0 << 68 << 68;
    QTest::newRow("yoyo level 3") << quint8(0) << true << 3 << 68 << 68;
    QTest::newRow("yoyo level 2 switches nothing") << quint8(0) << true << 2 << 30 << 85;
}

void TestDecompressionRun::gradientFactorSwitches()
{
    QFETCH(quint8, effort);
    QFETCH(bool, givePair);
    QFETCH(int, yoyoLevel);
    QFETCH(int, expectedLow);
    QFETCH(int, expectedHigh);

    QList<DiveLine> lines = decoPoints();
    lines[1].setAlertFlag(QuelmAlertType::Yoyo, quint8(yoyoLevel));
    gfs_t given(30, 85);
    const QList<LinePlan> rows = rowsOf(lines, givePair ? &given : nullptr, effort);

    gfs_t expected{quint8(expectedLow), quint8(expectedHigh)};
    QVERIFY(sameRows(rows, rowsOf(decoPoints(), &expected)));
    // The three pairs give three different tables on this dive.
    for (const auto& [low, high] : {std::pair{80, 80}, {30, 85}, {68, 68}}) {
        if (low == expectedLow && high == expectedHigh)
            continue;
        gfs_t other{quint8(low), quint8(high)};
        QVERIFY(!sameRows(rows, rowsOf(decoPoints(), &other)));
    }
}

void TestDecompressionRun::thirdDiveRules_data()
{
    QTest::addColumn<qint32>("surfaceInterval");
    QTest::addColumn<float>("tenthCompartment");
    QTest::addColumn<qint32>("invalidReason");
    QTest::addColumn<bool>("effortFactors");

    QTest::newRow("within a day, too much nitrogen") << 86399 << 0.81f << 2 << true;
    QTest::newRow("within a day, at the limit") << 86399 << 0.8f << 0 << true;
    QTest::newRow("a day later") << 86400 << 0.81f << 0 << false;
}

void TestDecompressionRun::thirdDiveRules()
{
    QFETCH(qint32, surfaceInterval);
    QFETCH(float, tenthCompartment);
    QFETCH(qint32, invalidReason);
    QFETCH(bool, effortFactors);

    // Three dives; the third starts from the tissues the second one left.
    auto thirdDiveRows = [&](qint32 interval, gfs_t* gfs, qint32* reason) {
        RecordedPlan plan;
        plan.newPlanification(QString());
        plan.newPlanification(QString());
        plan.plannedDive(1)->tissues.N2[9] = tenthCompartment;
        addDive(plan, decoPoints());
        plan.currentPlannedDive()->surfaceInterval = interval;
        plan.recompute(gfs);
        if (reason != nullptr)
            *reason = plan.currentPlannedDive()->invalidReason;
        return plan.recorder.rows;
    };

    qint32 reason = -1;
    const QList<LinePlan> rows = thirdDiveRows(surfaceInterval, nullptr, &reason);
    QCOMPARE(reason, invalidReason);
    gfs_t effort(68, 68);
    QCOMPARE(sameRows(rows, thirdDiveRows(86400, &effort, nullptr)), effortFactors);
    QCOMPARE(sameRows(rows, thirdDiveRows(86400, nullptr, nullptr)), !effortFactors);
}

void TestDecompressionRun::thirdDiveRuleUsesTheCurrentPoints()
{
    // A third dive planned at 5 m, then deepened to 40 m: the rule for dives
    // below 6 m applies at the first computation of the deeper points.
    auto thirdDive = [](PlanificationPlan& plan) {
        plan.newPlanification(QString());
        plan.newPlanification(QString());
        addDive(plan, points({{0, 0}, {30, 5}, {600, 5}}));
        plan.currentPlannedDive()->lines = decoPoints();
    };
    RecordedPlan edited;
    thirdDive(edited);
    edited.recompute();

    RecordedPlan reference;
    thirdDive(reference);
    gfs_t effort(68, 68);
    reference.currentPlannedDive()->surfaceInterval = 86400;
    reference.recompute(&effort);
    QVERIFY(sameRows(edited.recorder.rows, reference.recorder.rows));
}

void TestDecompressionRun::surfacePressure_data()
{
    QTest::addColumn<float>("surfacePressure");
    QTest::addColumn<float>("ascentMinutes");
    QTest::addColumn<float>("ascentDepth");

    // Over the whole range the tab offers the computation's surface is the
    // dive's: 2.0202 bar at 1.1 bar/min from 20 m to the surface.
    QTest::newRow("0.6") << 0.6f << 1.83652f << 0.0f;
    QTest::newRow("0.9") << 0.9f << 1.83652f << 0.0f;
    QTest::newRow("1.049") << 1.049f << 1.83652f << 0.0f;
    QTest::newRow("1.05") << 1.05f << 1.83652f << 0.0f;
    QTest::newRow("1.2") << 1.2f << 1.83652f << 0.0f;
}

void TestDecompressionRun::surfacePressure()
{
    QFETCH(float, surfacePressure);
    QFETCH(float, ascentMinutes);
    QFETCH(float, ascentDepth);

    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    plan.newPlanification(QString());
    plan.currentPlannedDive()->surfacePressureBar = surfacePressure;
    plan.recompute();

    const QList<LinePlan> computed = recorder.computedRows();
    QCOMPARE(computed.size(), 1);
    QVERIFY2(std::abs(computed.constFirst().duration - ascentMinutes) < 1e-4,
             qPrintable(QString::number(computed.constFirst().duration)));
    QVERIFY(std::abs(computed.constFirst().depth - ascentDepth) < 1e-4);
    // The first dive starts saturated at the stored value, whatever the configuration takes.
    const float saturated = (surfacePressure - 0.0627f) * 0.79f;
    for (const float load : plan.startN2)
        QVERIFY(std::abs(load - saturated) < 1e-5);
}

void TestDecompressionRun::absurdSurfacePressuresAreRefused_data()
{
    QTest::addColumn<float>("surfacePressure");
    QTest::newRow("0.5 bar") << 0.5f;
    QTest::newRow("599.4 mbar") << 0.5994f;
    QTest::newRow("1200.6 mbar") << 1.2006f;
    QTest::newRow("1e30 bar") << 1e30f;
    QTest::newRow("infinite") << std::numeric_limits<float>::infinity();
    QTest::newRow("minus infinite") << -std::numeric_limits<float>::infinity();
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN();
}

// A surface pressure the planner does not take, given through the plan's
// interface, gives an empty run table and says why: the computation never
// runs on it (it would take without end).
void TestDecompressionRun::absurdSurfacePressuresAreRefused()
{
    QFETCH(float, surfacePressure);
    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    addDive(plan, decoPoints());
    plan.currentPlannedDive()->surfacePressureBar = surfacePressure;
    plan.recompute();
    QCOMPARE(recorder.rows.size(), 2);
    QCOMPARE(recorder.rows.at(1).kind, LinePlan::endOfTable);
    QCOMPARE(recorder.logs.size(), 2);
    QCOMPARE(recorder.logs.at(1),
             QStringLiteral("The dive is not computed: The surface pressure lies outside 600 to 1200 mbar"));
    QVERIFY(plan.currentPlannedDive()->decoLines.isEmpty());

    // A new dive of that pressure is refused.
    RecordedPlan other;
    const int slot = other.newPlanification([surfacePressure](Dive& dive) {
        dive.lines = decoPoints();
        static_cast<PlannedDive&>(dive).surfacePressureBar = surfacePressure;
        return true;
    });
    QCOMPARE(slot, -3);
    QCOMPARE(other.lastError(), QStringLiteral("The surface pressure lies outside 600 to 1200 mbar"));
}

void TestDecompressionRun::freshWater()
{
    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    plan.newPlanification(QString());
    PlannedDive& dive = *plan.currentPlannedDive();
    QCOMPARE(dive.density, quint8(0));

    dive.waterType = 1;
    plan.recompute();
    // 20 m of fresh water is 1.9613 bar: 1.7830 min at 1.1 bar/min.
    QVERIFY(std::abs(recorder.computedRows().constFirst().duration - 1.78303f) < 1e-4);
    QCOMPARE(dive.density, quint8(1));

    dive.waterType = 0;
    plan.recompute();
    QVERIFY(std::abs(recorder.computedRows().constFirst().duration - 1.83652f) < 1e-4);
    QCOMPARE(dive.density, quint8(0));
}

void TestDecompressionRun::secondDiveStartsFromTheFirstsEnd()
{
    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    const auto [firstStart, firstEnd] = addDefaultFirstDive(plan);
    QCOMPARE(plan.newPlanification(QString()), 1);
    for (int j = 0; j < 16; ++j) {
        QCOMPARE(plan.startN2[size_t(j)], firstEnd.N2[j]);
        QVERIFY(firstEnd.N2[j] > firstStart[size_t(j)]);
    }
    const PlannedDive& second = *plan.plannedDive(1);
    // The slow compartments keep gaining over the two dives.
    QVERIFY(second.tissues.N2[15] > firstEnd.N2[15]);
    QCOMPARE(stopRows(recorder), 0);

    // CNS: the first dive's 1.3543 % halves every 90 minutes below 0.6 bar
    // through its 1.8365-minute ascent and the second descent, then the
    // second bottom adds 1.3543 % again: 2.6793 %. The OTU add up: 6.1184.
    QVERIFY2(std::abs(recorder.end().cns - 2.67933f) < 2e-3, qPrintable(QString::number(recorder.end().cns)));
    QVERIFY(std::abs(recorder.end().otu - 6.11844f) < 2e-3);
    QCOMPARE(second.otuTotal, recorder.end().otu);

    // Editing the first dive does not recompute the second.
    plan.current = 0;
    plan.plannedDive(0)->lines = decoPoints();
    plan.recompute();
    QCOMPARE(plan.plannedDive(1)->tissues.N2[15], second.tissues.N2[15]);
}

void TestDecompressionRun::zeroDurationRunsTakeTheEndState_data()
{
    QTest::addColumn<QList<DiveLine>>("lines");
    QTest::addColumn<int>("gfLow");
    QTest::addColumn<int>("gfHigh");
    QTest::addColumn<bool>("zeroMinuteStop");

    QTest::newRow("two points at the same time")
        << points({{0, 0}, {120, 40}, {120, 42}, {1500, 42}}) << 80 << 80 << false;
    QTest::newRow("zero-minute stop") << points({{0, 0}, {90, 30}, {1200, 30}}) << 10 << 90 << true;
}

void TestDecompressionRun::zeroDurationRunsTakeTheEndState()
{
    QFETCH(QList<DiveLine>, lines);
    QFETCH(int, gfLow);
    QFETCH(int, gfHigh);
    QFETCH(bool, zeroMinuteStop);

    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    addDive(plan, lines);
    gfs_t gfs{quint8(gfLow), quint8(gfHigh)};
    plan.recompute(&gfs);

    const PlannedDive& dive = *plan.currentPlannedDive();
    checkRunTable(recorder, dive);
    bool sawZeroStop = false;
    float lastZeroRun = -1.0f; // s
    for (const LinePlan& row : recorder.body()) {
        if (row.duration != 0.0f)
            continue;
        sawZeroStop |= row.computed == 1 && row.direction == LinePlan::levelOrAscending;
        lastZeroRun = row.runTime * 60.0f;
    }
    QVERIFY(lastZeroRun >= 0.0f);
    QCOMPARE(sawZeroStop, zeroMinuteStop);
    // The ceiling goes on after the zero-duration run, finite and below the surface.
    const auto after = std::find_if(dive.ceilingPoints.cbegin(), dive.ceilingPoints.cend(),
                                    [lastZeroRun](const CeilPoint& point) { return point.time > lastZeroRun; });
    QVERIFY(std::distance(after, dive.ceilingPoints.cend()) > 10);
    for (auto point = after; point != dive.ceilingPoints.cend(); ++point)
        QVERIFY(point->depth > 0.0f);
}

void TestDecompressionRun::ceilingDepthsUseTheDivesSurfaceAndWater_data()
{
    QTest::addColumn<float>("surfacePressure");
    QTest::addColumn<quint8>("waterType");

    QTest::newRow("sea level, salt") << 1.013f << quint8(0);
    QTest::newRow("altitude, fresh") << 0.9f << quint8(1);
}

void TestDecompressionRun::ceilingDepthsUseTheDivesSurfaceAndWater()
{
    QFETCH(float, surfacePressure);
    QFETCH(quint8, waterType);

    RecordedPlan plan;
    addDive(plan, decoPoints());
    PlannedDive& dive = *plan.currentPlannedDive();
    dive.surfacePressureBar = surfacePressure;
    dive.waterType = waterType;
    plan.recompute();

    // The engine's own ceiling at the last point, loaded along the same segments.
    config_t config;
    config.surface_pressure = surfacePressure;
    config.setDensityType(waterType != 0 ? DensityType::fresh : DensityType::salt);
    const float barPerMetre = config.water_density() * 9.80665f / 100.0f;
    const float bottom = surfacePressure + barPerMetre * 40.0f;
    diver_t diver;
    diver.begin(surfacePressure);
    diver.load_inert(surfacePressure, bottom, 2.0f, gas_t::air, setpoint_t::none);
    diver.load_inert(bottom, bottom, 23.0f, gas_t::air, setpoint_t::none);
    zhl16_t solver;
    solver.begin(config);
    solver.solve(config, diver, bottom, 0.0f);
    const float expected = (solver.ceiling - surfacePressure) / barPerMetre;
    QVERIFY(expected > 3.0f);

    const auto atLastPoint = std::find_if(dive.ceilingPoints.cbegin(), dive.ceilingPoints.cend(),
                                          [](const CeilPoint& point) { return point.time == 1500.0f; });
    QVERIFY(atLastPoint != dive.ceilingPoints.cend());
    QVERIFY2(std::abs(atLastPoint->depth - expected) < 0.05f,
             qPrintable(QStringLiteral("%1 %2").arg(atLastPoint->depth).arg(expected)));
}

void TestDecompressionRun::planEndingAboveTheFirstStopDescendsToIt()
{
    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    addDive(plan, points({{0, 0}, {120, 40}, {1500, 40}, {1620, 3}}));
    const PlannedDive& dive = *plan.currentPlannedDive();
    checkRunTable(recorder, dive);

    const LinePlan toFirstStop = recorder.computedRows().constFirst();
    QVERIFY2(toFirstStop.depth > 3.0f, "the first stop lies below the last point");
    QCOMPARE(toFirstStop.direction, LinePlan::descending);
    QVERIFY(std::abs(toFirstStop.duration - (saltPressure(toFirstStop.depth) - saltPressure(3)) / kDescentRate) <
            1e-4);
    QVERIFY(std::abs(toFirstStop.runTime - (27.0f + toFirstStop.duration)) < 1e-4);
}

void TestDecompressionRun::planEndingAtTheSurface()
{
    // Surfacing straight from 40 m: no ascent, stop or travel rows, but the
    // solver still lists stops, so one final ascent from the last stop follows
    // and the decompression is not terminated.
    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    addDive(plan, points({{0, 0}, {120, 40}, {1500, 40}, {1560, 0}}));
    const PlannedDive& dive = *plan.currentPlannedDive();
    const QList<LinePlan> computed = recorder.computedRows();
    QCOMPARE(computed.size(), 1);
    QCOMPARE(computed.constFirst().depth, 0.0f);
    QVERIFY(std::abs(computed.constFirst().duration - (saltPressure(3) - kSurface) / kBetweenStopsRate) < 1e-4);
    QVERIFY(std::abs(computed.constFirst().runTime - (26.0f + computed.constFirst().duration)) < 1e-4);
    QVERIFY(dive.decoNotTerminated);
    // The outline closes at the surface.
    QCOMPARE(dive.ceilingPoints.constLast().depth, 0.0f);
    QVERIFY(dive.ceilingPoints.at(dive.ceilingPoints.size() - 2).depth > 0.0f);

    // A gentle dive that surfaces without stops is terminated.
    RecordedPlan gentle;
    addDive(gentle, points({{0, 0}, {60, 12}, {600, 12}, {720, 0}}));
    QCOMPARE(gentle.recorder.rows.size(), 5);
    QVERIFY(gentle.recorder.computedRows().isEmpty());
    QVERIFY(!gentle.currentPlannedDive()->decoNotTerminated);
    QVERIFY(gentle.currentPlannedDive()->decoLines.isEmpty());
}

void TestDecompressionRun::diveWithoutPointsGivesAnEmptyTable()
{
    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    const auto [firstStart, firstEnd] = addDefaultFirstDive(plan);
    QCOMPARE(plan.newPlanification([](Dive&) { return true; }), 1);
    QCOMPARE(recorder.rows.size(), 2);
    QCOMPARE(recorder.rows.at(0).kind, LinePlan::startOfTable);
    QCOMPARE(recorder.rows.at(1).kind, LinePlan::endOfTable);
    QVERIFY(sameRows({recorder.rows.at(1)}, {[] { LinePlan end; end.kind = LinePlan::endOfTable; return end; }()}));
    QCOMPARE(recorder.logs, QStringList{QString()});
    // Nothing is computed: the tissues it holds (as a plan file gives them) stay.
    const PlannedDive& empty = *plan.plannedDive(1);
    QCOMPARE(empty.tissues.N2[0], diver_t().N2[0]);
    QVERIFY(plan.startN2 == firstStart);
    QVERIFY(empty.decoLines.isEmpty());
    QVERIFY(empty.ceilingPoints.isEmpty());
    QCOMPARE(plan.plannedDive(0)->tissues.N2[0], firstEnd.N2[0]);
}

MAREVANE_TEST_MAIN(TestDecompressionRun)
#include "tst_decompressionrun.moc"

#include "testenvironment.h"

#include "diveprofiles.h"
#include "plantestsupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace plantest;

namespace {

// Runs one step of a slot script on the plan and returns its result (0 for
// the steps that return nothing).
int runStep(PlanificationPlan& plan, const QString& step, const QString& folder)
{
    if (step == QLatin1String("add"))
        return plan.newPlanification(QString());
    if (step == QLatin1String("add-missing-file"))
        return plan.newPlanification(folder + QStringLiteral("/missing.csv"));
    if (step == QLatin1String("add-unknown-format"))
        return plan.newPlanification(folder + QStringLiteral("/plan.txt"));
    if (step == QLatin1String("add-failing-filler"))
        return plan.newPlanification([](Dive&) { return false; });
    if (step == QLatin1String("add-empty-filler"))
        return plan.newPlanification(std::function<bool(Dive&)>());
    if (step == QLatin1String("remove"))
        return plan.removeCurrentDive() ? 1 : 0;
    if (step == QLatin1String("replace")) {
        plan.replaceCurrentByNew();
        return 0;
    }
    if (step == QLatin1String("clear")) {
        plan.clear();
        return 0;
    }
    if (step.startsWith(QLatin1String("select:"))) {
        plan.current = step.mid(7).toInt();
        return 0;
    }
    qFatal("unknown step %s", qPrintable(step));
}

QStringList namesOf(const PlanificationPlan& plan)
{
    QStringList names;
    for (int slot = 0; slot < PlanificationPlan::slotCount; ++slot)
        names.append(plan.plannedDive(slot) != nullptr ? plan.plannedDive(slot)->name : QStringLiteral("-"));
    return names;
}

} // namespace

class TestPlanificationPlan : public QObject
{
    Q_OBJECT

private slots:
    void emptyPlan();
    void slotOperations_data();
    void slotOperations();
    void newDiveDefaults();
    void replaceKeepsThePlannersSettings();
    void diveFromAFile();
    void fillerFillsTheDive();
    void noCurrentDive_data();
    void noCurrentDive();
    void surfaceIntervalAndEffort();
    void emptyCallbacksAreSkipped();
};

void TestPlanificationPlan::emptyPlan()
{
    PlanificationPlan plan;
    QCOMPARE(plan.current, -1);
    QCOMPARE(plan.findFirstFreeIndex(), 0);
    QCOMPARE(plan.currentDiveProfile(), nullptr);
    QCOMPARE(plan.plannedDive(0), nullptr);
}

void TestPlanificationPlan::slotOperations_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("results");
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("firstFree");

    const QStringList full{QStringLiteral("Dive 1"), QStringLiteral("Dive 2"), QStringLiteral("Dive 3")};
    QTest::newRow("four adds") << QStringList{"add", "add", "add", "add"} << QList<int>{0, 1, 2, -1} << 2
                               << full << -1;
    QTest::newRow("remove the last") << QStringList{"add", "add", "add", "remove"} << QList<int>{0, 1, 2, 1}
                                     << 1 << QStringList{"Dive 1", "Dive 2", "-"} << 2;
    QTest::newRow("remove the middle, the last moves in")
        << QStringList{"add", "add", "add", "select:1", "remove"} << QList<int>{0, 1, 2, 0, 1} << 1
        << QStringList{"Dive 1", "Dive 3", "-"} << 2;
    QTest::newRow("remove slot 1 of two") << QStringList{"add", "add", "remove"} << QList<int>{0, 1, 1} << 0
                                          << QStringList{"Dive 1", "-", "-"} << 1;
    QTest::newRow("remove slot 0 of two") << QStringList{"add", "add", "select:0", "remove"}
                                          << QList<int>{0, 1, 0, 1} << 0 << QStringList{"Dive 2", "-", "-"} << 1;
    QTest::newRow("remove slot 0 of one") << QStringList{"add", "remove"} << QList<int>{0, 1} << -1
                                          << QStringList{"-", "-", "-"} << 0;
    QTest::newRow("remove from an empty plan") << QStringList{"remove"} << QList<int>{0} << -1
                                               << QStringList{"-", "-", "-"} << 0;
    QTest::newRow("replace slot 1") << QStringList{"add", "add", "replace"} << QList<int>{0, 1, 0} << 1
                                    << QStringList{"Dive 1", "Dive 2", "-"} << 2;
    QTest::newRow("clear keeps the index") << QStringList{"add", "add", "clear"} << QList<int>{0, 1, 0} << 1
                                           << QStringList{"-", "-", "-"} << 0;
    QTest::newRow("add after clear") << QStringList{"add", "add", "clear", "add"} << QList<int>{0, 1, 0, 0}
                                     << 0 << QStringList{"Dive 1", "-", "-"} << 1;
    // A failed add leaves the plan as it was, current dive included.
    QTest::newRow("missing file") << QStringList{"add", "add-missing-file"} << QList<int>{0, -2} << 0
                                  << QStringList{"Dive 1", "-", "-"} << 1;
    QTest::newRow("no reader for the file") << QStringList{"add-unknown-format"} << QList<int>{-2} << -1
                                            << QStringList{"-", "-", "-"} << 0;
    QTest::newRow("failed filler keeps the current dive")
        << QStringList{"add", "add", "select:0", "add-failing-filler"} << QList<int>{0, 1, 0, -2} << 0
        << QStringList{"Dive 1", "Dive 2", "-"} << 2;
    QTest::newRow("empty filler") << QStringList{"add-empty-filler"} << QList<int>{-2} << -1
                                  << QStringList{"-", "-", "-"} << 0;
    QTest::newRow("full plan refuses a filler")
        << QStringList{"add", "add", "add", "add-failing-filler"} << QList<int>{0, 1, 2, -1} << 2 << full << -1;
}

void TestPlanificationPlan::slotOperations()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, results);
    QFETCH(int, current);
    QFETCH(QStringList, names);
    QFETCH(int, firstFree);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    RecordedPlan plan;
    QList<int> got;
    for (const QString& step : steps)
        got.append(runStep(plan, step, folder.path()));
    QCOMPARE(got, results);
    QCOMPARE(plan.current, current);
    QCOMPARE(namesOf(plan), names);
    QCOMPARE(plan.findFirstFreeIndex(), firstFree);
    QCOMPARE(plan.currentDiveProfile(), static_cast<Dive*>(plan.plannedDive(current)));
}

void TestPlanificationPlan::newDiveDefaults()
{
    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    for (int slot = 0; slot < PlanificationPlan::slotCount; ++slot) {
        recorder.reset();
        QCOMPARE(plan.newPlanification(QString()), slot);
        QCOMPARE(plan.current, slot);
        const PlannedDive& dive = *plan.plannedDive(slot);
        QCOMPARE(dive.surfaceInterval, slot > 0 ? 7200 : 0);
        QCOMPARE(dive.effortMode, quint8(0));
        QCOMPARE(dive.waterType, quint8(0));
        QCOMPARE(dive.surfacePressureBar, 1.013f);
        QCOMPARE(dive.format, qint32(DiveFormat::Plan));
        QCOMPARE(dive.gases.size(), 6);
        const float oxygen[6] = {0.21f, 0.30f, 0.40f, 1.0f, 1.0f, 1.0f};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(dive.gases.at(i).fO2, oxygen[i]);
            QCOMPARE(dive.gases.at(i).fHe, 0.0f);
            QVERIFY(dive.gases.at(i).mName.isEmpty());
        }
        QCOMPARE(dive.lines.size(), 3);
        const double times[3] = {0, 60, 600};
        const double depths[3] = {0, 20, 20};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(dive.lines.at(i).timeSec, times[i]);
            QCOMPARE(dive.lines.at(i).depth, depths[i]);
            QCOMPARE(dive.lines.at(i).gasIndex, 0);
        }
        QCOMPARE(dive.lines.at(1).speed, 20.0);
        // Computed at once (the third without a day's rest gets stops).
        QCOMPARE(recorder.rows.constFirst().kind, LinePlan::startOfTable);
        QCOMPARE(recorder.rows.constLast().kind, LinePlan::endOfTable);
        if (slot < 2)
            QCOMPARE(recorder.rows.size(), 5);
        QVERIFY(dive.decoLines.size() >= 2);
    }
}

void TestPlanificationPlan::replaceKeepsThePlannersSettings()
{
    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    plan.newPlanification(QString());
    addDive(plan, decoPoints());
    PlannedDive& dive = *plan.currentPlannedDive();
    dive.surfaceInterval = 3600;
    dive.effortMode = 1;
    dive.waterType = 1;
    dive.surfacePressureBar = 0.9f;
    const diver_t tissues = dive.tissues;
    const float otu = dive.otuTotal;
    QVERIFY(!dive.decoLines.isEmpty());

    recorder.reset();
    plan.replaceCurrentByNew();
    // Named after its slot like a new dive, not after the slot before it.
    QCOMPARE(dive.name, QStringLiteral("Dive 2"));
    QCOMPARE(dive.format, qint32(DiveFormat::Plan));
    QVERIFY(dive.gases.isEmpty());
    QCOMPARE(dive.lines.size(), 3);
    QCOMPARE(dive.lines.at(2).depth, 20.0);
    QVERIFY(dive.decoLines.isEmpty());
    QCOMPARE(dive.surfaceInterval, 3600);
    QCOMPARE(dive.effortMode, quint8(1));
    QCOMPARE(dive.waterType, quint8(1));
    QCOMPARE(dive.surfacePressureBar, 0.9f);
    QCOMPARE(dive.otuTotal, otu);
    QCOMPARE(dive.tissues.N2[15], tissues.N2[15]);
    // Not computed: the caller recomputes.
    QVERIFY(recorder.rows.isEmpty());
}

void TestPlanificationPlan::diveFromAFile()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = testkit::writeTestFile(
        folder.filePath(QStringLiteral("reef.csv")),
        testkit::csvImportText(testkit::diveLines({{0, 0}, {60, 12}, {900, 12}, {1020, 0}})));

    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    QCOMPARE(plan.newPlanification(path), 0);
    const PlannedDive& dive = *plan.currentPlannedDive();
    QCOMPARE(dive.lines.size(), 4);
    QCOMPARE(dive.format, qint32(DiveFormat::Plan));
    QCOMPARE(dive.gases.size(), 6);
    // Samples without a gas take the first one; speeds and statistics are computed.
    for (const DiveLine& line : dive.lines)
        QCOMPARE(line.gasIndex, 0);
    QCOMPARE(dive.lines.at(1).speed, 12.0);
    QCOMPARE(dive.maxDepth, 12.0);
    QCOMPARE(recorder.rows.size(), 5);
}

void TestPlanificationPlan::fillerFillsTheDive()
{
    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    QCOMPARE(addDive(plan, decoPoints()), 0);
    const PlannedDive& dive = *plan.currentPlannedDive();
    // A filler's dive gets no gases and keeps the unknown format.
    QVERIFY(dive.gases.isEmpty());
    QCOMPARE(dive.format, qint32(DiveFormat::Unknown));
    QCOMPARE(dive.name, QStringLiteral("Dive 1"));
    QVERIFY(recorder.rows.size() > 5);
}

void TestPlanificationPlan::noCurrentDive_data()
{
    QTest::addColumn<QStringList>("steps");

    QTest::newRow("after clear") << QStringList{"add", "add", "clear"};
    QTest::newRow("index past the dives") << QStringList{"add", "select:1"};
    QTest::newRow("index past the slots") << QStringList{"add", "select:3"};
    QTest::newRow("negative index") << QStringList{"add", "select:-2"};
}

void TestPlanificationPlan::noCurrentDive()
{
    QFETCH(QStringList, steps);

    QTemporaryDir folder;
    RecordedPlan plan;
    RunRecorder& recorder = plan.recorder;
    for (const QString& step : steps)
        runStep(plan, step, folder.path());
    const QStringList names = namesOf(plan);

    // Every operation on the current dive does nothing.
    recorder.reset();
    QCOMPARE(plan.currentDiveProfile(), nullptr);
    QCOMPARE(plan.currentPlannedDive(), nullptr);
    plan.calculateDecoStages(nullptr, nullptr);
    plan.setCurrentSurfaceInterval(QTime(1, 0));
    plan.setCurrentEffortMode(true);
    plan.initializePointsOfCurrent(0);
    plan.replaceCurrentByNew();
    QVERIFY(!plan.removeCurrentDive());
    QVERIFY(recorder.rows.isEmpty());
    QVERIFY(recorder.logs.isEmpty());
    QCOMPARE(namesOf(plan), names);
    if (PlannedDive* first = plan.plannedDive(0)) {
        QCOMPARE(first->lines.size(), 3);
        QCOMPARE(first->surfaceInterval, 0);
        QCOMPARE(first->effortMode, quint8(0));
    }
}

void TestPlanificationPlan::surfaceIntervalAndEffort()
{
    PlanificationPlan plan;
    plan.newPlanification(QString());
    plan.newPlanification(QString());
    plan.setCurrentSurfaceInterval(QTime(1, 30, 15));
    QCOMPARE(plan.currentPlannedDive()->surfaceInterval, 5415);
    plan.setCurrentEffortMode(true);
    QCOMPARE(plan.currentPlannedDive()->effortMode, quint8(1));
    plan.setCurrentEffortMode(false);
    QCOMPARE(plan.currentPlannedDive()->effortMode, quint8(0));
    QCOMPARE(plan.plannedDive(0)->surfaceInterval, 0);

    // The later dives keep their own surface interval when they move down.
    plan.current = 0;
    QVERIFY(plan.removeCurrentDive());
    QCOMPARE(plan.plannedDive(0)->surfaceInterval, 5415);
}

void TestPlanificationPlan::emptyCallbacksAreSkipped()
{
    PlanificationPlan plan;
    QCOMPARE(plan.newPlanification(QString()), 0);
    QCOMPARE(addDive(plan, decoPoints()), 1);
    plan.calculateDecoStages(nullptr, nullptr);
    QVERIFY(!plan.currentPlannedDive()->decoLines.isEmpty());

    // One installed, the other not.
    QStringList logs;
    plan.logCallback = [&logs](const QString& text) { logs.append(text); };
    plan.calculateDecoStages(nullptr, nullptr);
    QCOMPARE(logs, QStringList{QString()});
}

MAREVANE_TEST_MAIN(TestPlanificationPlan)
#include "tst_planificationplan.moc"

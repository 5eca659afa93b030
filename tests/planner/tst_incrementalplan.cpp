#include "testenvironment.h"

#include "plantestsupport.h"

#include <QtTest>

#include <array>
#include <bit>
#include <cstring>
#include <optional>
#include <random>

using namespace plantest;

namespace {

// Bit for bit: no tolerance, -0 and 0 differ.
quint64 bits(double value)
{
    return std::bit_cast<quint64>(value);
}

quint32 bits(float value)
{
    return std::bit_cast<quint32>(value);
}

QString pointDifference(const DiveLine& a, const DiveLine& b)
{
    const std::pair<const char*, bool> fields[] = {
        {"time", bits(a.timeSec) == bits(b.timeSec)},
        {"depth", bits(a.depth) == bits(b.depth)},
        {"pressure", bits(a.pressure) == bits(b.pressure)},
        {"speed", bits(a.speed) == bits(b.speed)},
        {"temperature", bits(a.ambientTemp) == bits(b.ambientTemp)},
        {"ceiling", bits(a.decoCeiling) == bits(b.decoCeiling)},
        {"ndl", a.ndl == b.ndl},
        {"gradient factor", bits(a.gradientFactor) == bits(b.gradientFactor)},
        {"otu", bits(a.otu) == bits(b.otu)},
        {"cns", bits(a.cns) == bits(b.cns)},
        {"ppO2", bits(a.ppO2) == bits(b.ppO2)},
        {"gas", a.gasIndex == b.gasIndex},
        {"setpoint", a.setpointIndex == b.setpointIndex},
        {"ccr", a.ccr == b.ccr},
        {"alerts", a.alertFlag == b.alertFlag && a.alertFlagTransmitter == b.alertFlagTransmitter &&
                       a.pelavixAlerts == b.pelavixAlerts && a.pelavixAlerts2 == b.pelavixAlerts2},
        {"battery", a.battery == b.battery},
        {"tank", a.tankPressure == b.tankPressure && a.tankPressureTxIndex == b.tankPressureTxIndex},
        {"point factors", a.gfLow == b.gfLow && a.gfHigh == b.gfHigh},
        {"tag", a.tag == b.tag},
        {"deepest mark", a.isMaxDepth == b.isMaxDepth},
    };
    for (const auto& [name, same] : fields)
        if (!same)
            return QString::fromLatin1(name);
    return {};
}

QString pointsDifference(const char* what, const QList<DiveLine>& a, const QList<DiveLine>& b)
{
    if (a.size() != b.size())
        return QStringLiteral("%1: %2 points instead of %3").arg(what).arg(a.size()).arg(b.size());
    for (qsizetype i = 0; i < a.size(); ++i)
        if (const QString field = pointDifference(a.at(i), b.at(i)); !field.isEmpty())
            return QStringLiteral("%1: point %2, %3").arg(what).arg(i).arg(field);
    return {};
}

QString rowsDifference(const QList<LinePlan>& a, const QList<LinePlan>& b)
{
    if (a.size() != b.size())
        return QStringLiteral("%1 rows instead of %2").arg(a.size()).arg(b.size());
    for (qsizetype i = 0; i < a.size(); ++i) {
        const LinePlan& x = a.at(i);
        const LinePlan& y = b.at(i);
        if (x.kind != y.kind || x.direction != y.direction || x.computed != y.computed ||
            bits(x.depth) != bits(y.depth) || bits(x.duration) != bits(y.duration) ||
            bits(x.runTime) != bits(y.runTime) || x.gasIndex != y.gasIndex || bits(x.cns) != bits(y.cns) ||
            bits(x.otu) != bits(y.otu))
            return QStringLiteral("row %1").arg(i);
    }
    return {};
}

QString ceilingDifference(const QList<CeilPoint>& a, const QList<CeilPoint>& b)
{
    if (a.size() != b.size())
        return QStringLiteral("%1 ceiling points instead of %2").arg(a.size()).arg(b.size());
    for (qsizetype i = 0; i < a.size(); ++i)
        if (bits(a.at(i).time) != bits(b.at(i).time) || bits(a.at(i).depth) != bits(b.at(i).depth) ||
            a.at(i).value != b.at(i).value)
            return QStringLiteral("ceiling point %1").arg(i);
    return {};
}

bool sameTissues(const diver_t& a, const diver_t& b)
{
    return std::memcmp(a.N2, b.N2, sizeof a.N2) == 0 && std::memcmp(a.He, b.He, sizeof a.He) == 0 &&
           bits(a.CNS) == bits(b.CNS) && a.helium == b.helium && a.reduction == b.reduction &&
           bits(a.reduction_factor) == bits(b.reduction_factor);
}

// What a computation of the current dive gives.
struct Computed
{
    QList<LinePlan> rows;
    QStringList logs;
    PlannedDive dive;
    std::array<float, zhl16_t::compartments> startN2{};
};

// The first thing in which the two computations differ; empty when none.
QString difference(const Computed& got, const Computed& whole)
{
    const PlannedDive& a = got.dive;
    const PlannedDive& b = whole.dive;
    const auto unless = [](bool same, const char* what) { return same ? QString() : QString::fromLatin1(what); };
    const QString differences[] = {
        rowsDifference(got.rows, whole.rows),
        unless(got.logs == whole.logs, "log"),
        pointsDifference("points", a.lines, b.lines),
        pointsDifference("ascent", a.decoLines, b.decoLines),
        ceilingDifference(a.ceilingPoints, b.ceilingPoints),
        unless(sameTissues(a.tissues, b.tissues), "tissues"),
        unless(std::memcmp(got.startN2.data(), whole.startN2.data(), sizeof got.startN2) == 0, "start nitrogen"),
        unless(bits(a.otuTotal) == bits(b.otuTotal), "otu"),
        unless(a.invalidReason == b.invalidReason, "reason"),
        unless(a.decoNotTerminated == b.decoNotTerminated, "not terminated"),
        unless(bits(a.maxDepth) == bits(b.maxDepth), "deepest"),
        unless(bits(a.maxTime) == bits(b.maxTime), "longest"),
        unless(bits(a.avgDepth) == bits(b.avgDepth), "mean depth"),
        unless(a.density == b.density, "density"),
    };
    for (const QString& text : differences)
        if (!text.isEmpty())
            return text;
    return {};
}

using Slots = std::array<std::optional<PlannedDive>, PlanificationPlan::slotCount>;

// A plan that has never computed anything, with these dives, computes its
// current one: the whole dive from its first point.
Computed computeWhole(const Slots& dives, int current, const std::optional<gfs_t>& given)
{
    RecordedPlan plan;
    for (int slot = 0; slot < PlanificationPlan::slotCount && dives[size_t(slot)]; ++slot) {
        addDive(plan, {});
        *plan.plannedDive(slot) = *dives[size_t(slot)];
    }
    plan.current = current;
    gfs_t factors = given.value_or(gfs_t());
    plan.recompute(given ? &factors : nullptr);
    return {plan.recorder.rows, plan.recorder.logs, *plan.currentPlannedDive(), plan.startN2};
}

Slots slotsOf(const PlanificationPlan& plan)
{
    Slots dives;
    for (int slot = 0; slot < PlanificationPlan::slotCount; ++slot)
        if (const PlannedDive* dive = plan.plannedDive(slot))
            dives[size_t(slot)] = *dive;
    return dives;
}

// Random plans and random edits of them.
class Planner
{
public:
    explicit Planner(quint32 seed) : mRandom(seed) {}

    int number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(mRandom); }
    double real(double low, double high) { return std::uniform_real_distribution<double>(low, high)(mRandom); }
    bool chance(double p) { return std::bernoulli_distribution(p)(mRandom); }

    DiveLine point(double time, double depth)
    {
        DiveLine line;
        line.timeSec = time;
        line.depth = depth;
        line.gasIndex = 0;
        // Yoyos, tolerated (levels 1 and 2) and not (3).
        if (chance(0.004))
            line.setAlertFlag(QuelmAlertType::Yoyo, quint8(number(1, 3)));
        return line;
    }

    // A dive of that many points down to `deepest` m, at times that may repeat.
    QList<DiveLine> points(int count, double deepest)
    {
        QList<DiveLine> lines{point(0.0, 0.0)};
        double time = 0.0;
        double depth = 0.0;
        for (int i = 1; i < count; ++i) {
            time += chance(0.01) ? 0.0 : double(number(1, 20));
            depth = chance(0.02) ? real(0.0, deepest) : std::clamp(depth + real(-1.5, 1.5), 0.0, deepest);
            lines.append(point(time, depth));
        }
        return lines;
    }

    void randomSettings(PlannedDive& dive, int slot)
    {
        dive.effortMode = chance(0.25) ? 1 : 0;
        dive.waterType = chance(0.5) ? 1 : 0;
        dive.surfacePressureBar =
            chance(0.5) ? PlannedDive::defaultSurfacePressure : float(number(700, 1150)) / 1000.0f;
        if (slot > 0)
            dive.surfaceInterval = chance(0.3) ? 90000 : number(600, 20000);
    }

    std::optional<gfs_t> randomFactors()
    {
        switch (number(0, 3)) {
        case 0:
            return std::nullopt;
        case 1:
            return gfs_t(30, 85);
        case 2:
            return gfs_t(80, 80);
        default:
            return gfs_t(68, 68);
        }
    }

    static int filledSlots(const PlanificationPlan& plan)
    {
        const int free = plan.findFirstFreeIndex();
        return free < 0 ? PlanificationPlan::slotCount : free;
    }

    // A point at or next to one after which a computation keeps its state,
    // where taking up the walk one point too late or too early shows.
    int nearKeptState(int last)
    {
        const int kept = int(KeptRun::stateInterval) * number(1, std::max(1, last / int(KeptRun::stateInterval)));
        return std::clamp(kept + number(-1, 1), 0, last);
    }

    // One edit of the current dive, or of what its computation starts from.
    QString edit(PlanificationPlan& plan, std::optional<gfs_t>& given)
    {
        PlannedDive& dive = *plan.currentPlannedDive();
        QList<DiveLine>& lines = dive.lines;
        const int last = int(lines.size()) - 1;
        const int i = chance(0.4) ? nearKeptState(last) : number(0, last);
        switch (number(0, 11)) {
        case 0:
        case 1:
        case 2:
            lines[i].depth = std::clamp(lines[i].depth + real(-6.0, 6.0), 0.0, 60.0);
            return QStringLiteral("depth of point %1").arg(i);
        case 3:
            if (i > 0) {
                const double next = i < last ? lines[i + 1].timeSec : lines[i].timeSec + 60.0;
                lines[i].timeSec = real(lines[i - 1].timeSec, next);
            }
            return QStringLiteral("time of point %1").arg(i);
        case 4:
            if (i > 0) {
                lines[i].timeSec = i < last ? lines[i + 1].timeSec : lines[i].timeSec + 30.0;
                lines[i].depth = real(0.0, 50.0);
            }
            return QStringLiteral("depth and time of point %1").arg(i);
        case 5:
            if (i > 0)
                lines.insert(i, point((lines[i - 1].timeSec + lines[i].timeSec) / 2.0, real(0.0, 50.0)));
            return QStringLiteral("point inserted at %1").arg(i);
        case 6:
            if (last > 1)
                lines.removeAt(i);
            return QStringLiteral("point %1 removed").arg(i);
        case 7:
            lines[i].setAlertFlag(QuelmAlertType::Yoyo, quint8(number(0, 3)));
            return QStringLiteral("yoyo at point %1").arg(i);
        case 8:
            randomSettings(dive, plan.current);
            return QStringLiteral("settings");
        case 9:
            given = randomFactors();
            return QStringLiteral("gradient factors");
        case 10:
            plan.current = number(0, filledSlots(plan) - 1);
            return QStringLiteral("dive %1").arg(plan.current + 1);
        default:
            return QStringLiteral("nothing");
        }
    }

private:
    std::mt19937 mRandom;
};

} // namespace

class TestIncrementalPlan : public QObject
{
    Q_OBJECT

private slots:
    void editsComputeAsTheWholeDive_data();
    void editsComputeAsTheWholeDive();
};

void TestIncrementalPlan::editsComputeAsTheWholeDive_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 12; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

// A plan that computes after every edit gives what a plan computing the
// edited dive whole gives, on every point and to the bit.
void TestIncrementalPlan::editsComputeAsTheWholeDive()
{
    QFETCH(quint32, seed);
    Planner planner(seed);
    RecordedPlan plan;
    const int diveCount = planner.number(1, 3);
    for (int slot = 0; slot < diveCount; ++slot) {
        // The third dive is computed as such below 6 m only, which edits cross.
        const double deepest = slot == 2 && planner.chance(0.5) ? 5.5 : 45.0;
        QCOMPARE(addDive(plan, planner.points(planner.number(500, 2000), deepest)), slot);
        planner.randomSettings(*plan.plannedDive(slot), slot);
        plan.recompute();
    }

    std::optional<gfs_t> given;
    for (int step = 0; step < 30; ++step) {
        const QString edit = planner.edit(plan, given);
        const Slots before = slotsOf(plan);
        gfs_t factors = given.value_or(gfs_t());
        plan.recompute(given ? &factors : nullptr);
        const Computed got{plan.recorder.rows, plan.recorder.logs, *plan.currentPlannedDive(), plan.startN2};
        const QString different = difference(got, computeWhole(before, plan.current, given));
        QVERIFY2(different.isEmpty(), qPrintable(QStringLiteral("step %1 (%2): %3").arg(step).arg(edit, different)));
    }
}

MAREVANE_TEST_MAIN(TestIncrementalPlan)
#include "tst_incrementalplan.moc"

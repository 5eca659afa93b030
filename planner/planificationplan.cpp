#include "planner/planificationplan.h"

#include "deco/dive.h"
#include "divemodel/diveanalysis.h"
#include "divemodel/divelinesio.h"
#include "planner/decorun.h"
#include "planner/planfile.h"
#include "planner/planlimits.h"
#include "planner/planneddive.h"

#include <QCoreApplication>

#include <utility>

namespace {

constexpr qint32 kLaterDiveSurfaceInterval = 7200; // s

QList<DiveGas> makeQuelmGases()
{
    QList<DiveGas> gases;
    for (const int o2 : {21, 30, 40, 100, 100, 100}) {
        DiveGas gas;
        static_cast<divecore::Gas&>(gas) = divecore::Gas(o2, 0);
        gases.append(gas);
    }
    return gases;
}

// The gases of the Quelm computers, which every dive planned from a file or
// from the default points gets.
const QList<DiveGas> QuelmGases = makeQuelmGases();

static_assert(PlanificationPlan::slotCount == planfile::largestCount);

QString diveName(int slot)
{
    return QCoreApplication::translate("PlanificationPlan", "Dive ") + QString::number(slot + 1);
}

// A new dive of that slot, as every dive of the plan starts.
std::unique_ptr<PlannedDive> makePlannedDive(int slot)
{
    auto dive = std::make_unique<PlannedDive>();
    dive->name = diveName(slot);
    dive->surfaceInterval = slot > 0 ? kLaterDiveSurfaceInterval : 0;
    return dive;
}

// What a dive that the planner makes, rather than one given to it, gets.
void makeOwnDive(Dive& dive)
{
    dive.gases = QuelmGases;
    dive.format = qint32(DiveFormat::Plan);
}

// The first gas index of a default engine configuration.
int defaultFirstGas()
{
    dive_t config;
    config.reset_config();
    return config.first_gas();
}

void appendDefaultPoints(Dive& dive, int gasIndex)
{
    for (const auto& [time, depth] : {std::pair{0.0, 0.0}, {60.0, 20.0}, {600.0, 20.0}}) {
        DiveLine point;
        point.timeSec = time;
        point.depth = depth;
        point.gasIndex = gasIndex;
        dive.lines.append(point);
    }
    DiveAnalysis::calculateMaxTimeDepth(dive);
    DiveAnalysis::calculateSpeeds(dive, false);
}

bool readDiveFile(const QString& fileName, Dive& dive, QString& reason)
{
    const std::unique_ptr<DiveLinesIO> reader = DiveLinesIO::getReader(fileName);
    if (!reader)
        return false;
    if (!reader->read(fileName, dive)) {
        reason = reader->errorString();
        return false;
    }
    DiveAnalysis::fixNonDefinedGas(dive);
    DiveAnalysis::calculateSpeeds(dive, false);
    return true;
}

} // namespace

PlanificationPlan::PlanificationPlan() = default;
PlanificationPlan::~PlanificationPlan() = default;

PlannedDive* PlanificationPlan::plannedDive(int slot) const
{
    return slot >= 0 && slot < slotCount ? dives[size_t(slot)].get() : nullptr;
}

Dive* PlanificationPlan::currentDiveProfile() const
{
    return currentPlannedDive();
}

int PlanificationPlan::findFirstFreeIndex() const
{
    for (int slot = 0; slot < slotCount; ++slot)
        if (!dives[size_t(slot)])
            return slot;
    return -1;
}

int PlanificationPlan::newPlanification(const QString& fileName)
{
    return addPlannedDive([this, &fileName](PlannedDive& dive) {
        if (fileName.isEmpty()) {
            makeOwnDive(dive);
            appendDefaultPoints(dive, defaultFirstGas());
            return true;
        }
        // The file's points name the file's gases: the planner's own come
        // only to a file that gives none.
        dive.format = qint32(DiveFormat::Plan);
        if (!readDiveFile(fileName, dive, mLastError))
            return false;
        if (dive.gases.isEmpty())
            dive.gases = QuelmGases;
        return true;
    });
}

int PlanificationPlan::newPlanification(const std::function<bool(Dive&)>& fill)
{
    return addPlannedDive([&fill](PlannedDive& dive) { return fill && fill(dive); });
}

int PlanificationPlan::addPlannedDive(const std::function<bool(PlannedDive&)>& fill)
{
    mLastError.clear();
    const int slot = findFirstFreeIndex();
    if (slot < 0)
        return -1;

    auto& place = dives[size_t(slot)];
    place = makePlannedDive(slot);
    const qint32 previousCurrent = std::exchange(current, slot);
    const bool filled = fill(*place);
    if (filled)
        mLastError = planlimits::refusal(*place);
    if (!filled || !mLastError.isEmpty()) {
        // Nothing changes: the view still shows the dive that was current.
        place.reset();
        current = previousCurrent;
        return filled ? -3 : -2;
    }
    calculateDecoStages(nullptr, nullptr);
    return slot;
}

void PlanificationPlan::initializePointsOfCurrent(int gasIndex)
{
    if (PlannedDive* dive = currentPlannedDive())
        appendDefaultPoints(*dive, gasIndex);
}

void PlanificationPlan::replaceCurrentByNew()
{
    PlannedDive* dive = currentPlannedDive();
    if (dive == nullptr)
        return;
    Dive fresh;
    fresh.name = diveName(current);
    fresh.format = qint32(DiveFormat::Plan);
    static_cast<Dive&>(*dive) = std::move(fresh);
    appendDefaultPoints(*dive, defaultFirstGas());
}

void PlanificationPlan::setCurrentSurfaceInterval(QTime t)
{
    if (PlannedDive* dive = currentPlannedDive())
        dive->surfaceInterval = QTime(0, 0).secsTo(t);
}

void PlanificationPlan::setCurrentEffortMode(bool on)
{
    if (PlannedDive* dive = currentPlannedDive())
        dive->effortMode = on ? 1 : 0;
}

void PlanificationPlan::clear()
{
    for (auto& dive : dives)
        dive.reset();
    for (KeptRun& kept : mKeptRuns)
        kept.clear();
}

bool PlanificationPlan::removeCurrentDive()
{
    if (currentPlannedDive() == nullptr)
        return false;
    for (int slot = current; slot + 1 < slotCount; ++slot) {
        dives[size_t(slot)] = std::move(dives[size_t(slot + 1)]);
        mKeptRuns[size_t(slot)] = std::move(mKeptRuns[size_t(slot + 1)]);
    }
    dives[slotCount - 1].reset();
    mKeptRuns[slotCount - 1].clear();
    if (!dives[size_t(current)])
        --current;
    return true;
}

bool PlanificationPlan::savePlan(const QString& fileName)
{
    QList<planfile::DiveRecord> records;
    for (const auto& dive : dives) {
        if (!dive)
            break;
        records.append({dive->tissues, dive->surfaceInterval, dive->effortMode, dive->waterType,
                        dive->surfacePressureBar});
    }
    mLastError.clear();
    return planfile::write(fileName, records, mLastError);
}

bool PlanificationPlan::loadPlan(const QString& fileName)
{
    mLastError.clear();
    QList<planfile::DiveRecord> records;
    if (!planfile::read(fileName, records, mLastError))
        return false;

    // The file holds no points: each dive starts with the default ones.
    std::array<std::unique_ptr<PlannedDive>, slotCount> loaded;
    for (int slot = 0; slot < records.size(); ++slot) {
        const planfile::DiveRecord& record = records.at(slot);
        auto dive = makePlannedDive(slot);
        makeOwnDive(*dive);
        appendDefaultPoints(*dive, defaultFirstGas());
        dive->tissues = record.tissues;
        dive->surfaceInterval = record.surfaceInterval;
        dive->effortMode = record.effortMode;
        dive->waterType = record.waterType;
        dive->surfacePressureBar = record.surfacePressureBar;
        loaded[size_t(slot)] = std::move(dive);
    }
    dives = std::move(loaded);
    for (KeptRun& kept : mKeptRuns)
        kept.clear();
    current = records.isEmpty() ? -1 : 0;
    return true;
}

void PlanificationPlan::calculateDecoStages(gfs_t* gfs, float* /*reduction*/)
{
    PlannedDive* dive = currentPlannedDive();
    if (dive == nullptr)
        return;

    // A dive without points (as a plan file gives it) has nothing to
    // compute. One whose points were edited beyond the limits is not
    // computed either: its run could take without end.
    if (dive->lines.isEmpty()) {
        emitEmptyRun(*dive, QString());
        return;
    }
    if (const QString refusal = planlimits::refusal(*dive); !refusal.isEmpty()) {
        emitEmptyRun(*dive,
                     QCoreApplication::translate("PlanificationPlan", "The dive is not computed: %1").arg(refusal));
        return;
    }

    DecoRun run(*dive, plannedDive(current - 1), current, gfs);
    startN2 = run.startNitrogen();
    emitRow(LinePlan()); // the start of the table, all fields 0
    emitLog(QString());
    run.run([this](const LinePlan& row) { emitRow(row); }, &mKeptRuns[size_t(current)]);
}

void PlanificationPlan::emitEmptyRun(PlannedDive& dive, const QString& reason)
{
    mKeptRuns[size_t(current)].clear();
    dive.decoLines.clear();
    dive.ceilingPoints.clear();
    dive.decoNotTerminated = false;
    emitRow(LinePlan());
    emitLog(QString());
    if (!reason.isEmpty())
        emitLog(reason);
    LinePlan end;
    end.kind = LinePlan::endOfTable;
    emitRow(end);
}

void PlanificationPlan::emitRow(const LinePlan& row) const
{
    if (lineCallback)
        lineCallback(row);
}

void PlanificationPlan::emitLog(const QString& text) const
{
    if (logCallback)
        logCallback(text);
}

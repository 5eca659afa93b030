// The planning tab of the main window: up to three planned dives edited on a
// profile view and in a point table, each change recomputed at once into the
// run table, the profile and the tissue bar graph.
#include "app/mainwindow.h"

#include "common/timetexts.h"
#include "common/transientmenu.h"
#include "common/widgethelpers.h"
#include "common/wholenumbers.h"
#include "divedb/divedb.h"
#include "divemodel/diveanalysis.h"
#include "divemodel/pointlimits.h"
#include "graphics/divepoint.h"
#include "graphics/graphview.h"
#include "graphics/tissuesgraph.h"
#include "planner/decorun.h"
#include "planner/planlimits.h"
#include "planner/planneddive.h"
#include "planner/pointtablecolumns.h"

#include "divelisttable.h"
#include "userprompt.h"

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QUiLoader>

#include <algorithm>
#include <cmath>

namespace {

const QString kEffortOnIcon = QStringLiteral(":/TestGraphics/icons/effortOn.png");
const QString kEffortIcon = QStringLiteral(":/TestGraphics/icons/effort.png");
const QString kMeasureForm = QStringLiteral(":/Form/formMeasureTwoPoints.ui");

// The columns of the dive table.
constexpr int kEffortColumn = 0;
constexpr int kNameColumn = 1;
// The gas entries of the open-circuit diver that the other diver types do not have.
constexpr int kOpenCircuitOnlyGases = 2;

const char* const kPlanFileFilter = QT_TRANSLATE_NOOP("MainWindow", "Dive plan file (*.diveplan)");

int millibarOf(float bar)
{
    return int(std::lround(double(bar) * 1000.0));
}

// The depth at a time of the segment between two points.
double depthBetween(const DiveLine& a, const DiveLine& b, double time)
{
    if (!(b.timeSec > a.timeSec))
        return b.depth;
    const double f = std::clamp((time - a.timeSec) / (b.timeSec - a.timeSec), 0.0, 1.0);
    return a.depth + f * (b.depth - a.depth);
}

// A message with its reason, when there is one, on a line of its own.
QString withReason(const QString& text, const QString& reason)
{
    return reason.isEmpty() ? text : text + '\n' + reason;
}

} // namespace

void MainWindow::initUiDivePlanification()
{
    DiveProfileItem::setEffortIconResource(kEffortOnIcon);
    createPlanningView();
    connectPlanningButtons();
    createExistingDiveMenu();
    connect(ui.btAddDivePoint, &QPushButton::clicked, this, &MainWindow::addDivePoint);
    connect(ui.btRemoveDivePoint, &QPushButton::clicked, this, [this] { removeDivePoint(FromTable, 0); });
    setUpPointTable();
    setUpDiveTable();
    connect(ui.cbDiverType, &QComboBox::currentIndexChanged, this, &MainWindow::diverTypeChanged);
    DiveProfileItem::setLog([](const QString& line) { logText(line.toStdString()); });
    createPointMenu();
    mPlan.logCallback = [this](const QString& text) { logPlanif(text); };
    mPlan.lineCallback = [this](const LinePlan& row) { lineOfPlan(row); };
    mRunTableDocument = std::make_unique<RunTableDocument>(*ui.runtime->document());
    connectPlanSettings();
    createTissuesGraph();
    for (QWidget* unused : {ui.btTestPlanif, ui.btTestRR, ui.btSolve})
        unused->hide();
}

void MainWindow::createPlanningView()
{
    mPlanningView = new GraphView(nullptr);
    insertWidget(ui.widgetSimul, mPlanningView, QMargins());
    mPlanningView->mSelectTimeRange = true;
    DiveProfileItem* item = mPlanningView->mProfile;
    item->mEditable = true;
    item->mPlanningTitle = 1;
    // The points show as the button says from the start.
    item->setShowDivePoints(ui.btShowHidePoints->isChecked());
    // Planned points carry no temperature: a curve would read 0°C throughout.
    item->setItemFlag(&ShowItemsState::temperature, false);
    connect(item, &DiveProfileItem::onAddDivePoint, this, &MainWindow::onAddDivePoint);
    connect(item, &DiveProfileItem::onUpdateDivePoint, this, &MainWindow::updateDivePoint);
    connect(mPlanningView, &GraphView::mouseMove, this, &MainWindow::graphViewPlanificationMouseMove);
    // A drag ends on the computation of its last position.
    mMovedPointRecomputation.flushBeforeReleaseOn(*mPlanningView->viewport());
    connect(mPlanningView, &GraphView::selectInRect, this,
            [item](const QRectF& rect) { item->selectPointsInRect(rect); });
}

void MainWindow::connectPlanningButtons()
{
    DiveProfileItem* item = mPlanningView->mProfile;
    connect(ui.btNewSimulation, &QPushButton::clicked, this, &MainWindow::newPlanification);
    connect(ui.btSaveSimulation, &QPushButton::clicked, this, &MainWindow::savePlanification);
    connect(ui.btLoadSimulation, &QPushButton::clicked, this, &MainWindow::loadPlanification);
    connect(ui.btFitAll, &QPushButton::clicked, item, &DiveProfileItem::fitAll);
    connect(ui.btShowHidePoints, &QPushButton::clicked, this, [this, item](bool shown) {
        item->setShowDivePoints(shown);
        mPlanningView->viewport()->update();
    });
    connect(ui.btAddDive, &QPushButton::clicked, this, &MainWindow::newPlanificationDive);
    connect(ui.btNewReplace, &QPushButton::clicked, this, &MainWindow::replaceNewPlanificationDive);
    connect(ui.btRemoveDive, &QPushButton::clicked, this, &MainWindow::removeCurrentDivePlanification);
}

void MainWindow::createExistingDiveMenu()
{
    auto* menu = new QMenu(ui.btAddExistingDive);
    addDeferredAction(*menu, tr("Add dive"), this, [this] { addPlanificationFromExistingDive(false); });
    mReplaceFromFileAction =
        addDeferredAction(*menu, tr("Replace current dive"), this, [this] { addPlanificationFromExistingDive(true); });
    connect(menu, &QMenu::aboutToShow, this,
            [this] { mReplaceFromFileAction->setEnabled(mPlan.currentDiveProfile() != nullptr); });
    ui.btAddExistingDive->setMenu(menu);
}

void MainWindow::setUpPointTable()
{
    mPointsModel.setPlan(&mPlan);
    mPointsModel.setView(ui.tblViewlDivePoints);
    QTableView* table = ui.tblViewlDivePoints;
    table->setModel(&mPointsModel);
    table->verticalHeader()->setMinimumWidth(20);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionResizeMode(TblDivePointsModel::DeleteColumn, QHeaderView::Fixed);
    header->resizeSection(TblDivePointsModel::DeleteColumn, 40);
    // The depth and the time take the room their texts need, the gas
    // column the rest: no column is cut while the table has room.
    new PointTableColumns(*table, {TblDivePointsModel::DepthColumn, TblDivePointsModel::TimeColumn});
    header->setSectionResizeMode(TblDivePointsModel::GasColumn, QHeaderView::Stretch);
    header->setSectionsClickable(false);
    table->setItemDelegateForColumn(TblDivePointsModel::DepthColumn, &mPointsDelegate);
    table->setItemDelegateForColumn(TblDivePointsModel::TimeColumn, &mPointsDelegate);
    mPointsDelegate.depthCallback = [this](int row, double& depth) { return divePointDepthChanged2(row, depth); };
    mPointsDelegate.timeCallback = [this](int row, double& time) { return divePointTimeChanged2(row, time); };
    connect(table, &QTableView::clicked, this, &MainWindow::pointTableClicked);
}

void MainWindow::setUpDiveTable()
{
    connect(ui.tblDives, &QTableWidget::cellDoubleClicked, this, &MainWindow::changeCurrentPlanifDive);
    ui.tblDives->setColumnWidth(kEffortColumn, 30);
}

void MainWindow::createPointMenu()
{
    mDeletePointAction = addDeferredAction(mPointMenu, tr("Delete this point"), this,
                                           [this] { removeDivePoint(FromGraph, 0); });
    mDtrStartAction = addDeferredAction(mPointMenu, tr("Set start of DTR"), this, [this] { setStartOfDtr(); });
    mMeasureAction = addDeferredAction(mPointMenu, tr("Measure between 2 points"), this,
                                       [this] { measureBetweenTwoPoints(); });
    connect(&mPointMenu, &QMenu::aboutToShow, this, &MainWindow::preparePointMenu);
    DivePoint::contextMenu = &mPointMenu;
}

void MainWindow::connectPlanSettings()
{
    connect(ui.spSurfPressure, &QSpinBox::valueChanged, this, [this](int millibar) {
        if (PlannedDive* dive = mPlan.currentPlannedDive()) {
            dive->surfacePressureBar = float(millibar) / 1000.0f;
            updateDeco();
            mPlanningView->mProfile->update();
        }
    });
    connect(ui.cbWaterType, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (PlannedDive* dive = mPlan.currentPlannedDive()) {
            dive->waterType = index != 0 ? 1 : 0;
            updateDeco();
            mPlanningView->mProfile->update();
        }
    });
    connect(ui.edSurfaceInterval, &QTimeEdit::timeChanged, this, [this](QTime time) {
        if (mPlan.currentDiveProfile()) {
            mPlan.setCurrentSurfaceInterval(time);
            updateDeco();
            mPlanningView->mProfile->update();
        }
    });
    const auto recompute = [this] {
        if (mPlan.currentDiveProfile()) {
            updateDeco();
            mPlanningView->mProfile->update();
        }
    };
    connect(ui.cbGases, &QComboBox::currentIndexChanged, this, recompute);
    for (QSpinBox* addOn : {ui.spGfLow, ui.spGfhigh, ui.spReduction})
        connect(addOn, &QSpinBox::valueChanged, this, recompute);
}

void MainWindow::createTissuesGraph()
{
    mTissuesGraph = new TissuesGraph;
    insertWidget(ui.tissuesGraph, mTissuesGraph, QMargins());
    for (QRadioButton* button : {ui.rbStartOfDive, ui.rbEndOfDive})
        connect(button, &QRadioButton::clicked, this, &MainWindow::updateTissuesGraphData);
}

MainWindow::PlanningTeardown::~PlanningTeardown()
{
    window->releasePlanningTab();
}

void MainWindow::releasePlanningTab()
{
    // The library's statics must not reach into a window that is gone, and
    // the view must not keep a planned dive that the plan frees.
    DiveProfileItem::setLog(nullptr);
    if (DivePoint::contextMenu == &mPointMenu)
        DivePoint::contextMenu = nullptr;
    mPlanningView->setDiveProfile(nullptr);
}

// --- Computing and showing the plan ---

void MainWindow::updateDeco()
{
    mMovedPointRecomputation.drop();
    if (mPlanificationAddOn) {
        mAddOnGradientFactors = gfs_t(static_cast<unsigned char>(ui.spGfLow->value()),
                                      static_cast<unsigned char>(ui.spGfhigh->value()));
        mAddOnReduction = float(ui.spReduction->value()) / 100.0f;
        mPlan.calculateDecoStages(&mAddOnGradientFactors, &mAddOnReduction);
    } else {
        mPlan.calculateDecoStages(nullptr, nullptr);
    }
    updateTissuesGraphData();
}

void MainWindow::lineOfPlan(const LinePlan& row)
{
    mRunTable.add(row);
    if (row.kind != LinePlan::endOfTable)
        return;
    mRunTableDocument->show(mRunTable);
    // What the computation said (why it did not compute the dive) stays
    // under its table.
    for (const QString& line : std::as_const(mPlanLog))
        logText(line.toStdString());
}

void MainWindow::logPlanif(const QString& text)
{
    if (text.isEmpty()) {
        mPlanLog.clear();
        return;
    }
    // Every log line comes before the end row, which writes the pane anew.
    mPlanLog.append(text);
}

void MainWindow::updateTissuesGraphData()
{
    const PlannedDive* dive = mPlan.currentPlannedDive();
    if (!dive)
        return;
    if (ui.rbStartOfDive->isChecked())
        mTissuesGraph->setValues(mPlan.startN2);
    else
        mTissuesGraph->setValues(dive->tissues.N2);
}

void MainWindow::updateDivePointsTable()
{
    mPointsModel.updateView(-1);
}

void MainWindow::showCurrentPlanifDive()
{
    const PlannedDive* dive = mPlan.currentPlannedDive();
    mPlanningView->setDiveProfile(mPlan.currentDiveProfile());
    // The effort icon follows the dive shown, not the one shown before.
    mPlanningView->mProfile->mEffortMode = dive && dive->effortMode == 1;
}

void MainWindow::showPlanifDiveSettings()
{
    const PlannedDive* dive = mPlan.currentPlannedDive();
    if (!dive)
        return;
    const QSignalBlocker intervalBlocker(ui.edSurfaceInterval);
    const QSignalBlocker pressureBlocker(ui.spSurfPressure);
    const QSignalBlocker waterBlocker(ui.cbWaterType);
    ui.edSurfaceInterval->setTime(qtimeFromSecondes(dive->surfaceInterval));
    ui.edSurfaceInterval->setEnabled(mPlan.current > 0);
    ui.spSurfPressure->setValue(millibarOf(dive->surfacePressureBar));
    ui.cbWaterType->setCurrentIndex(dive->waterType != 0 ? 1 : 0);
}

void MainWindow::enablePlanSettings(bool enabled)
{
    for (QWidget* control : {static_cast<QWidget*>(ui.spSurfPressure), static_cast<QWidget*>(ui.cbWaterType),
                             static_cast<QWidget*>(ui.cbGases)})
        control->setEnabled(enabled);
    ui.btNewReplace->setEnabled(enabled);
    if (!enabled)
        ui.edSurfaceInterval->setEnabled(false);
}

void MainWindow::initializeNewPlanification(bool fromFile)
{
    enablePlanSettings(true);
    showPlanifDiveSettings();
    showCurrentPlanifDive();
    updatePlanifDiveList();
    updateDivePointsTable();
    if (fromFile)
        DiveAnalysis::calculateSpeeds(*mPlan.currentDiveProfile(), false);
    updateDeco();
    mPlanningView->mProfile->update();
}

void MainWindow::showEmptyPlan()
{
    enablePlanSettings(false);
    showCurrentPlanifDive();
    updatePlanifDiveList();
    updateDivePointsTable();
    ui.runtime->clear();
    mPlanningView->mProfile->update();
    mTissuesGraph->reset();
}

void MainWindow::updatePlanifDiveList()
{
    for (int row = 0; row < PlanificationPlan::slotCount; ++row) {
        const PlannedDive* dive = mPlan.plannedDive(row);
        updateEffortButton(row, dive);
        QTableWidgetItem* name = ui.tblDives->item(row, kNameColumn);
        if (!name) {
            name = new QTableWidgetItem;
            ui.tblDives->setItem(row, kNameColumn, name);
        }
        name->setText(dive ? dive->name : QString());
        const bool current = dive && row == mPlan.current;
        name->setBackground(QBrush(current ? QColor(0, 255, 0) : QColor(Qt::white)));
    }
}

void MainWindow::updateEffortButton(int row, const PlannedDive* dive)
{
    auto* button = qobject_cast<QPushButton*>(ui.tblDives->cellWidget(row, kEffortColumn));
    if (!dive) {
        if (button)
            ui.tblDives->removeCellWidget(row, kEffortColumn);
        return;
    }
    if (!button) {
        button = new QPushButton;
        button->setCheckable(true);
        button->setToolTip(tr("Activate on/off effort mode"));
        connect(button, &QPushButton::clicked, this, &MainWindow::enabledDisabledEffortMode);
        ui.tblDives->setCellWidget(row, kEffortColumn, button);
    }
    // A button kept from a dive that moved or was replaced shows this one.
    const bool effort = dive->effortMode == 1;
    const QSignalBlocker blocker(button);
    button->setChecked(effort);
    button->setIcon(QIcon(effort ? kEffortOnIcon : kEffortIcon));
    button->setEnabled(row == mPlan.current);
}

// --- The planned dive changed ---

void MainWindow::onAddDivePoint()
{
    giveInsertedPointsTheirGas();
    updateDivePointsTable();
    updateDeco();
}

void MainWindow::giveInsertedPointsTheirGas()
{
    // A point the graph inserts has no gas yet; the diver changed none there.
    const Dive* dive = mPlan.currentDiveProfile();
    if (!dive)
        return;
    for (int i = 1; i < dive->lines.size(); ++i)
        if (dive->lines.at(i).gasIndex < 0)
            mPlanningView->mProfile->modifyGasOfDivePoint(i, dive->lines.at(i - 1).gasIndex);
}

void MainWindow::updateDivePoint(int index)
{
    // The point and its row follow each move at once; the computation runs
    // when the event loop comes round, on the last position.
    mPointsModel.updateView(index);
    mMovedPointRecomputation.request();
}

void MainWindow::recomputeMovedPoint()
{
    updateDeco();
    mPlanningView->mProfile->computedLinesChanged();
}

bool MainWindow::divePointDepthChanged2(int row, double depth)
{
    const Dive* dive = mPlan.currentDiveProfile();
    if (!dive || row <= 0 || row >= dive->lines.size())
        return false;
    moveTablePoint(row, dive->lines.at(row).timeSec, depth);
    return false;
}

bool MainWindow::divePointTimeChanged2(int row, double& time)
{
    const Dive* dive = mPlan.currentDiveProfile();
    if (!dive || row <= 0 || row >= dive->lines.size())
        return false;
    const double asked = time;
    time = moveTablePoint(row, time, dive->lines.at(row).depth);
    return time != asked;
}

double MainWindow::moveTablePoint(int row, double time, double depth)
{
    DiveProfileItem* item = mPlanningView->mProfile;
    const Dive& dive = *mPlan.currentDiveProfile();
    // As a drag keeps it: in order, within the speed limits.
    double kept = pointlimits::timeWithinLimits(dive.lines, row, time, depth,
                                               {DiveProfileItem::vascSpeedLimit, DiveProfileItem::vdscSpeedLimit});
    item->modifyDepthOfDivePoint(row, depth);
    item->modifyTimeOfDivePoint(row, kept);
    mPointsModel.updateView(row);
    // A point beyond the shown range stays on the graph.
    if (depth > item->shownMaxDepth() || kept < item->startTime() || kept > item->endTime())
        item->fitAll();
    updateDeco();
    return kept;
}

void MainWindow::divePointDepthChanged(double value)
{
    if (const QObject* editor = sender())
        divePointDepthChanged2(editor->property("id").toInt(), value);
}

void MainWindow::divePointTimeChanged(QTime time)
{
    auto* editor = qobject_cast<QTimeEdit*>(sender());
    if (!editor)
        return;
    double seconds = QTime(0, 0).secsTo(time);
    if (divePointTimeChanged2(editor->property("id").toInt(), seconds)) {
        const QSignalBlocker blocker(editor);
        editor->setTime(qtimeFromSecondes(truncatedInt(seconds)));
    }
}

// --- The dives of the plan ---

void MainWindow::newPlanification()
{
    mMovedPointRecomputation.flush();
    if (!mPlan.currentDiveProfile())
        return;
    if (UserPrompt::current().question(this, tr("New planification"),
                                       tr("Are you sure to create new planification?")) != QMessageBox::Yes)
        return;
    mPlan.clear();
    showEmptyPlan();
}

void MainWindow::newPlanificationDive()
{
    mMovedPointRecomputation.flush();
    if (mPlan.newPlanification(QString()) < 0) {
        UserPrompt::current().critical(this, tr("Error"), tr("No free location fro a new dive"));
        return;
    }
    initializeNewPlanification(false);
}

void MainWindow::replaceNewPlanificationDive()
{
    mMovedPointRecomputation.flush();
    if (!mPlan.currentDiveProfile())
        return;
    if (UserPrompt::current().question(this, tr("Replace dive"), tr("Are you sure to replace current dive?")) !=
        QMessageBox::Yes)
        return;
    mPlan.replaceCurrentByNew();
    initializeNewPlanification(false);
}

void MainWindow::removeCurrentDivePlanification()
{
    mMovedPointRecomputation.flush();
    if (!mPlan.removeCurrentDive())
        return;
    if (!mPlan.currentDiveProfile()) {
        showEmptyPlan();
        return;
    }
    showCurrentPlanifDive();
    updatePlanifDiveList();
    updateDivePointsTable();
    showPlanifDiveSettings();
    updateDeco();
    mPlanningView->mProfile->update();
}

void MainWindow::savePlanification()
{
    mMovedPointRecomputation.flush();
    const QString path = UserPrompt::current().saveFileName(this, tr("Save Plan"), mSettings->lastPlanFile(),
                                                            tr(kPlanFileFilter));
    if (path.isEmpty())
        return;
    mSettings->setLastPlanFile(QFileInfo(path).absolutePath());
    if (!mPlan.savePlan(path))
        UserPrompt::current().critical(this, tr("Error"), withReason(tr("Impossible to save plan"), mPlan.lastError()));
}

void MainWindow::loadPlanification()
{
    mMovedPointRecomputation.flush();
    const QString path = UserPrompt::current().openFileName(this, tr("Load plan"), mSettings->lastPlanFile(),
                                                            tr(kPlanFileFilter));
    if (path.isEmpty())
        return;
    // A file that is not a plan leaves the plan and the tab as they were.
    if (!mPlan.loadPlan(path)) {
        UserPrompt::current().critical(this, tr("Error"), withReason(tr("Impossible to load plan"), mPlan.lastError()));
        return;
    }
    if (mPlan.currentDiveProfile())
        initializeNewPlanification(true);
    else
        showEmptyPlan();
}

void MainWindow::changeCurrentPlanifDive(int index, int /*column*/)
{
    mMovedPointRecomputation.flush();
    if (!mPlan.plannedDive(index))
        return;
    mPlan.current = index;
    updatePlanifDiveList();
    showCurrentPlanifDive();
    updateDivePointsTable();
    updateDeco();
    mPlanningView->mProfile->update();
    showPlanifDiveSettings();
}

void MainWindow::enabledDisabledEffortMode()
{
    auto* button = qobject_cast<QPushButton*>(sender());
    if (!button || !mPlan.currentDiveProfile())
        return;
    const bool effort = button->isChecked();
    button->setIcon(QIcon(effort ? kEffortOnIcon : kEffortIcon));
    mPlan.setCurrentEffortMode(effort);
    updateDeco();
    mPlanningView->mProfile->mEffortMode = effort;
    mPlanningView->mProfile->update();
}

void MainWindow::diverTypeChanged(int index)
{
    static const char* const openCircuitGases[] = {"Air + OxyAR", "Air + OxySR", "CF Oxy"};
    if (index != 0) {
        while (ui.cbGases->count() > kOpenCircuitOnlyGases)
            ui.cbGases->removeItem(ui.cbGases->count() - 1);
    } else if (ui.cbGases->count() == kOpenCircuitOnlyGases) {
        for (const char* gas : openCircuitGases)
            ui.cbGases->addItem(QCoreApplication::translate("MainWindowClass", gas));
    }
    if (mPlan.currentDiveProfile()) {
        updateDeco();
        mPlanningView->mProfile->update();
    }
}

// --- Points ---

int MainWindow::selectedPointRow() const
{
    const QModelIndexList selected = ui.tblViewlDivePoints->selectionModel()->selectedIndexes();
    int row = -1;
    for (const QModelIndex& index : selected)
        row = row < 0 ? index.row() : std::min(row, index.row());
    return row;
}

void MainWindow::addDivePoint()
{
    if (!mPlan.currentDiveProfile())
        return;
    const int row = selectedPointRow();
    if (row < 0) {
        UserPrompt::current().critical(this, tr("Error"), tr("Select a line after which insert a point"));
        return;
    }
    mPlanningView->mProfile->addDivePointAfter(row);
}

bool MainWindow::deletePointOfRow(int row)
{
    DiveProfileItem* item = mPlanningView->mProfile;
    if (!item->deleteDivePoint(item->getDivePointAtIndex(row))) {
        UserPrompt::current().critical(this, tr("Error"), tr("A dive keeps at least one point"));
        return false;
    }
    return true;
}

void MainWindow::removeDivePoint(DeleteDivePointFrom deleteFrom, int rowNum)
{
    if (!mPlan.currentDiveProfile())
        return;
    DiveProfileItem* item = mPlanningView->mProfile;
    bool removed = false;
    if (deleteFrom == FromTable) {
        const int row = selectedPointRow();
        if (row <= 0) {
            UserPrompt::current().critical(this, tr("Error"), tr("Select the dive point to remove"));
            return;
        }
        removed = deletePointOfRow(row);
    } else if (deleteFrom == FromGraph) {
        if (item->nbSelectedPoints() > 1) {
            item->deleteSelectedPoints();
            removed = true;
        } else if (DivePoint::currentPoint) {
            removed = item->deleteDivePoint(DivePoint::currentPoint);
        }
    } else {
        removed = deletePointOfRow(rowNum);
    }
    if (removed) {
        updateDivePointsTable();
        updateDeco();
    }
}

void MainWindow::pointTableClicked(const QModelIndex& index)
{
    if (index.column() != TblDivePointsModel::DeleteColumn || !mPlan.currentDiveProfile())
        return;
    if (deletePointOfRow(index.row())) {
        updateDivePointsTable();
        updateDeco();
    }
}

void MainWindow::preparePointMenu()
{
    const int selected = mPlanningView->mProfile->nbSelectedPoints();
    mDeletePointAction->setText(selected > 1 ? tr("Delete selected points") : tr("Delete this point"));
    mDtrStartAction->setEnabled(selected < 2);
    mMeasureAction->setEnabled(selected == 2);
}

void MainWindow::setStartOfDtr()
{
    Dive* dive = mPlan.currentDiveProfile();
    if (!dive || !DivePoint::currentPoint)
        return;
    if (dive->format == qint32(DiveFormat::Plan)) {
        UserPrompt::current().critical(this, tr("Error"), tr("Impossible to set start of DTR on planified profile"));
        return;
    }
    dive->dtrStartIndex = DivePoint::currentPoint->mLineInfo.index;
    mPlanningView->viewport()->update();
}

void MainWindow::graphViewPlanificationMouseMove(QPointF pScenePoint, int pTime)
{
    if (pTime < 0) {
        ui.edInfoPlanif->clear();
        return;
    }
    const PlannedDive* dive = mPlan.currentPlannedDive();
    DivePosition position;
    if (!dive || !mPlanningView->getInfosOnPosition(pScenePoint, pTime, position))
        return;
    const double depth = depthBetween(*position.prevLine, *position.nextLine, pTime);
    const QStringList lines = {
        tr("Time: ") + formatTimeSecondes(pTime),
        tr("Depth: %1m").arg(std::abs(depth), 0, 'f', 1),
        tr("Speed: %1m/mn").arg(std::abs(position.nextLine->speed), 0, 'f', 1),
        tr("PpO2: %1").arg(DecoRun::breathedPpO2(*dive, depth), 0, 'f', 2),
        tr("Ceil: %1").arg(position.decoCeiling, 0, 'f', 2),
    };
    ui.edInfoPlanif->setPlainText(lines.join('\n'));
}

// --- The measurement between two points ---

void MainWindow::measureBetweenTwoPoints()
{
    const Dive* dive = mPlan.currentDiveProfile();
    if (!dive)
        return;
    const auto [a, b] = mPlanningView->mProfile->getSelectedPair();
    if (a < 0 || b < 0 || a >= dive->lines.size() || b >= dive->lines.size())
        return;
    if (!mMeasureWindow) {
        QFile form(kMeasureForm);
        form.open(QIODevice::ReadOnly);
        mMeasureWindow = QUiLoader().load(&form, this);
        mMeasureWindow->setWindowTitle(tr("Measure between two points"));
        mMeasureWindow->setWindowFlag(Qt::Tool);
        mMeasureWindow->setWindowModality(Qt::ApplicationModal);
        mMeasurePoints = mMeasureWindow->findChild<QTableWidget*>(QStringLiteral("tblPoints"));
        mMeasureValues = mMeasureWindow->findChild<QTableWidget*>(QStringLiteral("tblValues"));
    }
    const DiveLine& first = dive->lines.at(a);
    const DiveLine& second = dive->lines.at(b);
    const auto metres = [](double depth) {
        return QStringLiteral("%1m").arg(QString::number(depth, 'g', QLocale::FloatingPointShortest));
    };
    const auto setText = [](QTableWidget* table, int row, int column, const QString& text) {
        QTableWidgetItem* cell = table->item(row, column);
        if (!cell) {
            cell = new QTableWidgetItem;
            cell->setTextAlignment(Qt::AlignCenter);
            table->setItem(row, column, cell);
        }
        cell->setText(text);
    };
    setText(mMeasurePoints, 0, 0, metres(first.depth));
    setText(mMeasurePoints, 0, 1, formatTimeSecondes(wholeSeconds(first.timeSec)));
    setText(mMeasurePoints, 1, 0, metres(second.depth));
    setText(mMeasurePoints, 1, 1, formatTimeSecondes(wholeSeconds(second.timeSec)));
    setText(mMeasureValues, 0, 0, metres(std::abs(first.depth - second.depth)));
    setText(mMeasureValues, 1, 0, formatTimeSecondes(wholeSeconds(std::abs(first.timeSec - second.timeSec))));
    setText(mMeasureValues, 2, 0,
            QStringLiteral("%1m/mn").arg(DiveAnalysis::averageSpeedOnSegment(*dive, a, b), 0, 'F', 1));
    mMeasureWindow->show();
}

// --- Dives from files and from the dive list ---

void MainWindow::reportUnplannableDive(const QString& reason)
{
    UserPrompt::current().critical(this, tr("Error"), withReason(tr("This dive cannot be planned"), reason));
}

bool MainWindow::reportPlanRefusal(int slot, const QString& unreadableTitle, const QString& unreadable,
                                   const QString& readReason)
{
    switch (slot) {
    case -1:
        UserPrompt::current().critical(this, tr("Error"), tr("No free location for a new dive"));
        return true;
    case -2:
        UserPrompt::current().critical(this, unreadableTitle, withReason(unreadable, readReason));
        return true;
    case -3:
        reportUnplannableDive(mPlan.lastError());
        return true;
    default:
        return slot < 0;
    }
}

bool MainWindow::replaceCurrentPlanifDive(const std::function<bool(Dive&, QString&)>& read)
{
    PlannedDive* planned = mPlan.currentPlannedDive();
    if (!planned)
        return false;
    Dive dive;
    QString reason;
    if (!read(dive, reason)) {
        reportDatabaseError(withReason(tr("Impossible to read profile"), reason));
        return false;
    }
    DiveAnalysis::fixNonDefinedGas(dive);
    // Refused as the plan refuses a new dive beyond what it computes.
    if (const QString refusal = planlimits::refusal(dive); !refusal.isEmpty()) {
        reportUnplannableDive(refusal);
        return false;
    }
    // The planner's own settings of the dive stay.
    static_cast<Dive&>(*planned) = std::move(dive);
    return true;
}

void MainWindow::addPlanificationFromExistingDive(bool replace)
{
    mMovedPointRecomputation.flush();
    const QString path = UserPrompt::current().openFileName(
        this, tr("Open Dive File"), mSettings->lastDiveFile(),
        tr("Dive file (*.csv *.uddf *.divebin);;Csv file (*.csv);;UDDF file (*.uddf);;Binary dive file (*.divebin)"));
    if (path.isEmpty())
        return;
    if (replace) {
        const auto readFile = [&path](Dive& dive, QString& reason) {
            return DiveAnalysis::importDiveFile(dive, path, &reason);
        };
        if (!replaceCurrentPlanifDive(readFile))
            return;
    } else {
        const int slot = mPlan.newPlanification(path);
        // A file the plan could not read gives the reader's reason.
        if (reportPlanRefusal(slot, tr("Error"), tr("Impossible to load dive file"), mPlan.lastError()))
            return;
    }
    initializeNewPlanification(true);
}

void MainWindow::addPlanificationFromExistingDBDive(QTableWidgetItem* item, bool replace)
{
    const int id = DiveListTable(*ui.diveList).diveIdOf(item);
    if (id >= 0)
        mWriteQueue.run([this, id, replace] { addStoredDiveToPlan(id, replace); });
}

void MainWindow::addStoredDiveToPlan(int id, bool replace)
{
    mMovedPointRecomputation.flush();
    if (replace) {
        const auto readStored = [id](Dive& dive, QString& reason) {
            if (!DiveDb::instance()->readDive(id, dive)) {
                reason = DiveDb::instance()->lastError();
                return false;
            }
            dive.format = qint32(DiveFormat::Plan);
            return true;
        };
        if (!replaceCurrentPlanifDive(readStored))
            return;
    } else {
        const int slot = mPlan.newPlanification([id](Dive& dive) {
            if (!DiveDb::instance()->readDive(id, dive))
                return false;
            DiveAnalysis::fixNonDefinedGas(dive);
            return true;
        });
        if (reportPlanRefusal(slot, tr("Database Error"), tr("Impossible to read profile"),
                              DiveDb::instance()->lastError()))
            return;
    }
    ui.tabMain->setCurrentWidget(ui.tabDivePlanification);
    initializeNewPlanification(true);
}

void MainWindow::addPlanificationActions(QMenu& menu, int id)
{
    // Only while the planning tab is shown.
    if (!ui.tabMain->isTabVisible(ui.tabMain->indexOf(ui.tabDivePlanification)))
        return;
    // The actions find the dive's row when chosen: the list may have been
    // rebuilt while the menu was open.
    const auto handDive = [this, id](bool replace) {
        if (QTableWidgetItem* row = DiveListTable(*ui.diveList).itemOfDive(id))
            addPlanificationFromExistingDBDive(row, replace);
    };
    menu.addSeparator();
    addDeferredAction(menu, tr("Add to planification"), this, [handDive] { handDive(false); });
    if (mPlan.currentDiveProfile())
        addDeferredAction(menu, tr("Replace current in planification"), this, [handDive] { handDive(true); });
}

#include "mainwindow.h"

#include "common/applicationversion.h"
#include "divedb/divedb.h"
#include "graphics/graphview.h"
#include "graphics/marker.h"

#include "appoptions.h"
#include "divelisttable.h"
#include "floatinginformation.h"
#include "inputdialogmulti.h"
#include "userprompt.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QIcon>
#include <QShowEvent>
#include <QStandardPaths>
#include <QTextCursor>

#include <algorithm>

MainWindow* MainWindow::instance = nullptr;

namespace {

// The marker and icon kinds without an image keep these names empty.
const QString sMarkerYoyoInfoFilename;
const QString sMarkerYoyoWarningFilename;
const QString sMarkerYoyoErrorFilename;
const QString sMarkerAlertYoyoFilename;
const QString sMarkerAlertSecurityFilename;
const QString sMarkerAlert24HFilename;
const QString sMarkerDTR;

// Appends `text` as one paragraph, exactly as written: a log line is never
// taken for markup.
void appendLine(QTextEdit& pane, const QString& text)
{
    QTextCursor cursor(pane.document());
    cursor.movePosition(QTextCursor::End);
    if (!pane.document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(text);
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setMarkerImages();
    registerInstance();
    setUpForm();
    setApplicationIcon();
    connectFormSignals();
    createDiveLogView();
    initUiDivePlanification();
    locateDataFolder();
    openSettings();
    applyOptions();
    readServiceConfig();
    openDatabase();
    setUpDiveList();
    setInputDialogIcons();
    hideTestButton();
    buildComputerMenu();
    setWindowTitleText();
    setUpSimulationControls();
    createConnectDialog();
    connectProfileButtons();
    setGasClassTexts();
    setUpInformationTabs();
    connectUserInformation();
    createFloatingInformation();
}

MainWindow::~MainWindow()
{
    if (instance == this)
        instance = nullptr;
}

void MainWindow::setMarkerImages()
{
    // Every profile item loads the images when it is built, so the names are
    // handed over before any view exists.
    const QString icons = QStringLiteral(":/TestGraphics/icons/");
    using M = MarkerType;
    Marker::setMarkerIconFileName(M::Info, icons + "mark_info.png");
    Marker::setMarkerIconFileName(M::Error, icons + "mark_error.png");
    Marker::setMarkerIconFileName(M::Warning, icons + "mark_warning.png");
    Marker::setMarkerIconFileName(M::Gas, icons + "mark_gas.png");
    Marker::setMarkerIconFileName(M::Diver, icons + "diver.png");
    Marker::setMarkerIconFileName(M::AlertCeil, icons + "alertCeil.png");
    Marker::setMarkerIconFileName(M::AlertRR, icons + "alertRR.png");
    Marker::setMarkerIconFileName(M::AlertYoyo, sMarkerAlertYoyoFilename);
    Marker::setMarkerIconFileName(M::AlertSecurity, sMarkerAlertSecurityFilename);
    Marker::setMarkerIconFileName(M::Alert24H, sMarkerAlert24HFilename);

    using I = IconType;
    Marker::setIconFilename(I::OxygenTank, icons + "oxygen-tank.png");
    Marker::setIconFilename(I::DTR, sMarkerDTR);
    Marker::setIconFilename(I::AlertPmax, icons + "alertPmax.png");
    Marker::setIconFilename(I::YoyoInfo, sMarkerYoyoInfoFilename);
    Marker::setIconFilename(I::YoyoWarning, sMarkerYoyoWarningFilename);
    Marker::setIconFilename(I::YoyoError, sMarkerYoyoErrorFilename);
    Marker::setIconFilename(I::AlertO2Hyperoxic, icons + "alertO2Hyperoxic.png");
    Marker::setIconFilename(I::AlertO2Hypoxic, icons + "alertO2Hypoxic.png");
    Marker::setIconFilename(I::AlertN2, icons + "alertN2.png");
    Marker::setIconFilename(I::AlertBattery, icons + "alertBattery.png");
    Marker::setIconFilename(I::AlertCNS, icons + "alertCNS.png");
    Marker::setIconFilename(I::AlertDensity, icons + "alertDensity.png");

    for (int slot = 0; slot < Marker::kGasIconCount; ++slot)
        Marker::setGasIconFilename(slot, icons + QStringLiteral("gas%1.png").arg(slot + 1));
}

void MainWindow::registerInstance()
{
    instance = this;
}

void MainWindow::setUpForm()
{
    ui.setupUi(this);
    ui.tabMain->setCurrentIndex(0);
}

void MainWindow::setApplicationIcon()
{
    setWindowIcon(QIcon(":/AppIcon/VorneSystemsDiveIcon.ico"));
}

void MainWindow::connectFormSignals()
{
    connect(ui.actionOpen, &QAction::triggered, this, &MainWindow::openDiveProfile);
    connect(ui.actionAbout, &QAction::triggered, this, &MainWindow::about);
    connect(ui.btImportDive, &QPushButton::clicked, this, &MainWindow::openDiveProfile);
    connect(ui.btStoreDive, &QPushButton::clicked, this, &MainWindow::storeCurrentDive);
    connect(ui.diveList, &QTableWidget::itemDoubleClicked, this, &MainWindow::openDiveProfileItem);
    connect(ui.diveList, &QWidget::customContextMenuRequested, this,
            &MainWindow::onDiveListContextMenu);
    for (QCheckBox* box : {ui.ckPoints, ui.ckTemperature, ui.ckGases, ui.ckDeco, ui.ckAlerts, ui.ckMaxDepth,
                           ui.ckTankPressure})
        connect(box, &QCheckBox::clicked, this, &MainWindow::showItems);
    connect(ui.btMaxMinProfile, &QPushButton::clicked, this, &MainWindow::maxMinProfile);
    connectComputerImage();
}

void MainWindow::createDiveLogView()
{
    mDiveLogView = new GraphView(nullptr);
    auto* layout = new QHBoxLayout(ui.widgetGraph);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mDiveLogView);
    mDiveLogView->mSelectTimeRange = true;
    connect(mDiveLogView, &GraphView::mouseMove, this, &MainWindow::graphViewMouseMove);
    connect(mDiveLogView, &GraphView::dragDropFiles, this, &MainWindow::dropFiles);
    mDiveLogView->mContextMenuFiller = [this](QMenu& menu) { return fillDiveLogMenu(menu); };
}

void MainWindow::locateDataFolder()
{
    // The whole path is created: on a fresh account even ~/.local/share may
    // not exist yet.
    const QString folder =
        QStandardPaths::standardLocations(QStandardPaths::AppLocalDataLocation).value(0);
    mDataFolder = folder.toStdString();
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        UserPrompt::current().warning(
            this, tr("Data Folder Error"),
            tr("Impossible to create the data folder %1\nSettings and dives will not be saved.")
                .arg(QDir::toNativeSeparators(folder)));
    }
}

void MainWindow::openSettings()
{
    mSettings = std::make_unique<AppSettings>(QString::fromStdString(mDataFolder));
    mCsvSeparator = mSettings->csvSeparator();
}

void MainWindow::applyOptions()
{
    const AppOptions options = AppOptions::read(QString::fromStdString(mDataFolder));
    if (!options.simulation) {
        ui.tabProfile->setTabVisible(ui.tabProfile->indexOf(ui.tabConsole), false);
        ui.tabProfile->setTabVisible(ui.tabProfile->indexOf(ui.tabSimulationPage), false);
    }
    mPlanificationAddOn = options.planificationAddOn;
    if (!options.planificationAddOn)
        ui.wdPlanifAddOn->hide();
    if (!options.planification)
        ui.tabMain->setTabVisible(ui.tabMain->indexOf(ui.tabDivePlanification), false);
    if (!options.import) {
        ui.btImportDive->hide();
        ui.btStoreDive->hide();
        ui.actionOpen->setEnabled(false);
    }
}

void MainWindow::readServiceConfig()
{
    mServiceConfig = ServiceConfig::read(QString::fromStdString(mDataFolder));
    configureFirmwareRepository();
}

void MainWindow::openDatabase()
{
    // Without a data folder there is no file to open.
    const QString folder = QString::fromStdString(mDataFolder);
    const QString path = folder.isEmpty() ? QString() : QDir(folder).filePath("diveDB.db");
    DiveDb* db = DiveDb::instance();
    const int result = db->setDatabase(path);
    // Said once: the first dive list does not repeat why it cannot be read.
    mDatabaseFailureShown = result != DiveDb::Success;
    if (result == DiveDb::NotOpen) {
        UserPrompt::current().critical(this, tr("Database Error"),
                                       tr("Impossible to open database"));
    } else if (result == DiveDb::SqlFailed && db->isOlderFile()) {
        UserPrompt::current().warning(
            this, tr("Database Error"),
            tr("The logbook could not be upgraded: its dives are listed as they are, and the "
               "upgrade is tried again later.\n") +
                db->lastError());
    } else if (result == DiveDb::SqlFailed) {
        UserPrompt::current().critical(
            this, tr("Database Error"), tr("Impossible to create database \n") + db->lastError());
    }
}

void MainWindow::setUpDiveList()
{
    ui.diveList->setSortingEnabled(false);
    for (const int column : {DiveListTable::DateColumn, DiveListTable::DurationColumn, DiveListTable::DepthColumn})
        ui.diveList->setProperty(DiveListTable::sortOrderProperty(column), 1);
    ui.diveList->setProperty(DiveListTable::kSortColumnProperty, 1);
    ui.diveList->horizontalHeader()->setSortIndicatorShown(true);
    connect(ui.diveList->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &MainWindow::sortDiveList);
    updateDiveList();
    ui.splitVert->setStretchFactor(1, 1);
    ui.splitVert->setSizes({400, 1000});
    ui.diveList->horizontalHeader()->setStretchLastSection(true);
    ui.btStoreDive->setEnabled(false);
    ui.diveList->setColumnWidth(0, 80);
    ui.diveList->setColumnWidth(1, 140);
    ui.diveList->setColumnWidth(2, 80);
}

void MainWindow::fitDiveList()
{
    // The columns take the width of their texts, and the list the width of
    // its columns as far as the graph's side can spare; what it cannot spare
    // now comes when the window grows.
    DiveListTable table(*ui.diveList);
    table.fitColumns();
    const QList<int> sizes = ui.splitVert->sizes();
    const int list = std::max(sizes.value(0), table.fittingWidth());
    ui.splitVert->setSizes({list, sizes.value(0) + sizes.value(1) - list});
}

void MainWindow::setInputDialogIcons()
{
    InputDialogMulti::sOkIcon = QStringLiteral(":/TestGraphics/icons/ok.png");
    InputDialogMulti::sCancelIcon = QStringLiteral(":/TestGraphics/icons/cancel.png");
}

void MainWindow::hideTestButton()
{
    ui.btTest->hide();
}

void MainWindow::setWindowTitleText()
{
    setWindowTitle(applicationWindowTitle("Marevane"));
}

void MainWindow::connectProfileButtons()
{
    connect(ui.btFitAllVisu, &QPushButton::clicked, this, [this] { mDiveLogView->mProfile->fitAll(); });
    connect(ui.btFilter, &QPushButton::clicked, this, &MainWindow::setFilter);
}

void MainWindow::setGasClassTexts()
{
    mGasClassOpenCircuit = tr("OC");
    mGasClassClosedCircuit = tr("CC");
    mGasClassBailOut = tr("BO");
}

void MainWindow::setUpInformationTabs()
{
    // Summary, User information and Computer wait for a dive.
    for (QWidget* tab : {ui.tabSummary, ui.tabUserInformation, ui.tabComputer})
        ui.tabProfile->setTabEnabled(ui.tabProfile->indexOf(tab), false);
    ui.tabProfile->setCurrentIndex(0);
    keepInformationAreaLow();
}

void MainWindow::connectUserInformation()
{
    for (QLineEdit* edit : {ui.edPlace, ui.edSite, ui.edBuddy})
        connect(edit, &QLineEdit::textChanged, this, [this] { userInformationChanged(true); });
    connect(ui.btSaveUserInformation, &QPushButton::clicked, this, &MainWindow::storeUserInformation);
}

void MainWindow::createFloatingInformation()
{
    mFloatingInformation = std::make_unique<FloatingInformation>();
}

void MainWindow::userInformationChanged(bool changed)
{
    mUserInformationChanged = changed;
    ui.btSaveUserInformation->setEnabled(changed);
}

void MainWindow::showCurrentDive()
{
    // A simulation plays the dive shown: another dive ends it first, as its
    // stop button does, so that the computer gets no pressure of a dive that
    // is gone from view.
    if (simulationTimer)
        endSimulation();
    mDiveLogView->setDiveProfile(&mCurrentDive);
    showFloatingInformationWhileMaximised();
}

void MainWindow::highlightLoadedItem(QTableWidgetItem* item)
{
    DiveListTable(*ui.diveList).highlight(item);
}

void MainWindow::logText(const std::string& text)
{
    if (instance && instance->ui.runtime)
        appendLine(*instance->ui.runtime, QString::fromStdString(text));
}

void MainWindow::logTrace(const QString& text, bool clear)
{
    if (!ui.console)
        return;
    if (clear)
        ui.console->clear();
    appendLine(*ui.console, text);
}

void MainWindow::setCsvSeparator(CsvSeparator separator)
{
    mCsvSeparator = separator;
    mSettings->setCsvSeparator(separator);
}

void MainWindow::showEvent(QShowEvent* event)
{
    // Shown by the program, not restored by the window system: the dive list
    // leaves the starting widths of its columns for those of its texts.
    if (!event->spontaneous())
        fitDiveList();
    loadTocFile();
    armUpdateCheck();
    QMainWindow::showEvent(event);
}

void MainWindow::armUpdateCheck()
{
    // One check per show, a few seconds on, once the window is up.
    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("updateCheckTimer"));
    timer->setSingleShot(true);
    timer->setTimerType(Qt::CoarseTimer);
    timer->setInterval(4000);
    connect(timer, &QTimer::timeout, this, &MainWindow::checkNewVersionAvailable);
    connect(timer, &QTimer::timeout, timer, &QObject::deleteLater);
    timer->start();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closed during a write, or while other work waits or is part-way
    // through, the window closes once that work has run.
    if (mWriteQueue.holdsBack()) {
        event->ignore();
        mWriteQueue.run([this] { close(); });
        return;
    }
    checkUserInformationToSave();
    event->accept();
}

void MainWindow::on_actionQuit_triggered()
{
    close();
}

void logText(const std::string& text)
{
    MainWindow::logText(text);
}

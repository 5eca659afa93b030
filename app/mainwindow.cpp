#include "mainwindow.h"

#include "app/common/applicationversion.h"
#include "divedb/divedb.h"

#include "appoptions.h"
#include "userprompt.h"

#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QIcon>
#include <QShowEvent>
#include <QStandardPaths>
#include <QTextCursor>

MainWindow* MainWindow::instance = nullptr;

namespace {

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
    // The profile markers' image names are handed to the graphics library
    // here, before any profile item exists.
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
    // The menu actions, the dive list, the show boxes and the computer image
    // are connected here, before the views exist.
}

void MainWindow::createDiveLogView()
{
    // The dive-log profile view is created here and placed on widgetGraph.
}

void MainWindow::initUiDivePlanification()
{
    // The planning tab (its profile view, tissue graph and the graphics
    // library's log hook) is built here.
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

void MainWindow::openDatabase()
{
    // Without a data folder there is no file to open.
    const QString folder = QString::fromStdString(mDataFolder);
    const QString path = folder.isEmpty() ? QString() : QDir(folder).filePath("diveDB.db");
    DiveDb* db = DiveDb::instance();
    switch (db->setDatabase(path)) {
    case DiveDb::NotOpen:
        UserPrompt::current().critical(this, tr("Database Error"),
                                       tr("Impossible to open database"));
        break;
    case DiveDb::SqlFailed:
        UserPrompt::current().critical(
            this, tr("Database Error"), tr("Impossible to create database \n") + db->lastError());
        break;
    default:
        break;
    }
}

void MainWindow::setUpDiveList()
{
    ui.diveList->setSortingEnabled(false);
    for (const char* property : {"sortOrderDate", "sortOrderDuration", "sortOrderDepth", "sortColumn"})
        ui.diveList->setProperty(property, 1);
    ui.diveList->horizontalHeader()->setSortIndicatorShown(true);
    // The header's sort handler and the filling of the list plug in here.
    ui.splitVert->setStretchFactor(1, 1);
    ui.splitVert->setSizes({400, 1000});
    ui.diveList->horizontalHeader()->setStretchLastSection(true);
    ui.btStoreDive->setEnabled(false);
    ui.diveList->setColumnWidth(0, 80);
    ui.diveList->setColumnWidth(1, 140);
    ui.diveList->setColumnWidth(2, 80);
}

void MainWindow::setInputDialogIcons()
{
    // The multi-field input dialog gets its Ok and Cancel icons here.
}

void MainWindow::hideTestButton()
{
    ui.btTest->hide();
}

void MainWindow::buildComputerMenu()
{
    // The dive computer menu of btImportPelavix (download, owner name,
    // firmware, system logs) is built here.
}

void MainWindow::setWindowTitleText()
{
    setWindowTitle(applicationWindowTitle("Marevane"));
}

void MainWindow::setUpSimulationControls()
{
    // Only connecting a computer makes the pressure controls usable.
    ui.btConnectBluetooth->setEnabled(true);
    ui.btStartStopSimul->setEnabled(false);
    ui.tbPressure->setEnabled(false);
    ui.spPressure->setEnabled(false);
    ui.btAscent->setEnabled(false);
}

void MainWindow::createConnectDialog()
{
    // The dive computer connection dialog is created here.
}

void MainWindow::connectProfileButtons()
{
    // "Fit to all" of the dive-log view and the filter button are connected
    // here.
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
}

void MainWindow::connectUserInformation()
{
    for (QLineEdit* edit : {ui.edPlace, ui.edSite, ui.edBuddy})
        connect(edit, &QLineEdit::textChanged, this, &MainWindow::userInformationEdited);
    // Saving the user information of the shown dive plugs in here.
}

void MainWindow::createFloatingInformation()
{
    // The floating information panel, shown while the profile is maximised,
    // is created here.
}

void MainWindow::userInformationEdited()
{
    mUserInformationChanged = true;
    ui.btSaveUserInformation->setEnabled(true);
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
    startFirmwareListDownload();
    armUpdateCheck();
    QMainWindow::showEvent(event);
}

void MainWindow::startFirmwareListDownload()
{
    // Each show starts the download of the firmware table of contents here.
}

void MainWindow::armUpdateCheck()
{
    // Each show arms the 4 s single-shot check for a newer program here.
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    offerToSaveUserInformation();
    event->accept();
}

void MainWindow::offerToSaveUserInformation()
{
    // Unsaved user information of the shown dive is offered for saving here.
}

void MainWindow::on_actionQuit_triggered()
{
    close();
}

void logText(const std::string& text)
{
    MainWindow::logText(text);
}

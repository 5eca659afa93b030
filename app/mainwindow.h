#pragma once

#include "appsettings.h"
#include "serviceconfig.h"
#include "ui_mainwindow.h"
#include "writequeue.h"

#include "divedb/diveinfo.h"
#include "divemodel/dive.h"
#include "graphics/profilesimulationhelper.h"
#include "planner/coalescedcall.h"
#include "planner/planificationplan.h"
#include "planner/runtabledocument.h"
#include "planner/runtabletext.h"
#include "planner/spinboxdelegate.h"
#include "planner/tbldivepointsmodel.h"
#include "tessal/quelmtypes.h"

#include <QJsonObject>
#include <QList>
#include <QLowEnergyService>
#include <QMainWindow>
#include <QMenu>
#include <QMetaObject>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class FirmwareDownloader;
class FloatingInformation;
class FormBluetoothConnect;
class FormFilter;
class GenericFileDownloader;
class GraphView;
struct PlannedDive;
class QCloseEvent;
class QProgressBar;
class QProgressDialog;
class QShowEvent;
class QTableWidget;
class QTableWidgetItem;
class QUrl;
class QuelmSession;
class TissuesGraph;
namespace testkit {
struct SimulationProbe;
}

// The one main window: the dive log, the planning tab and the dive computer's
// actions. Its constructor builds the whole program in a fixed order, one
// named step each, so that every capability plugs in at its place.
class MainWindow : public QMainWindow
{
    Q_OBJECT

    // --- The frame (mainwindow.cpp) ---

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The main window while it exists (from the start of its construction),
    // else null.
    static MainWindow* instance;

    // Appends one line (UTF-8) to the "runtime" pane of the planning tab;
    // does nothing when there is no main window.
    static void logText(const std::string& text);
    // Appends one line to the "console" pane, emptying it first when `clear`.
    void logTrace(const QString& text, bool clear);

    // The data folder (UTF-8), which holds the settings, the options and the
    // dive database.
    const std::string& dataFolder() const { return mDataFolder; }
    AppSettings& settings() { return *mSettings; }

    CsvSeparator csvSeparator() const { return mCsvSeparator; }
    void setCsvSeparator(CsvSeparator separator);

    // The dive the dive log shows: one loaded from a file or opened from the
    // list.
    const Dive& currentDive() const { return mCurrentDive; }
    // The database id of the current dive; -1 when it is not a stored dive.
    int shownDatabaseId() const { return mShownDatabaseId; }

    // The profile view of the dive log.
    GraphView* diveLogView() const { return mDiveLogView; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void on_actionQuit_triggered();

private:
    // The construction steps, in their order.
    void setMarkerImages();
    void registerInstance();
    void setUpForm();
    void setApplicationIcon();
    void connectFormSignals();
    void createDiveLogView();
    void initUiDivePlanification();
    void locateDataFolder();
    void openSettings();
    void applyOptions();
    void readServiceConfig();
    void openDatabase();
    void setUpDiveList();
    void fitDiveList();
    void setInputDialogIcons();
    void hideTestButton();
    void buildComputerMenu();
    void setWindowTitleText();
    void setUpSimulationControls();
    void createConnectDialog();
    void connectProfileButtons();
    void setGasClassTexts();
    void setUpInformationTabs();
    void connectUserInformation();
    void createFloatingInformation();

    // What showing the window starts besides the firmware table.
    void armUpdateCheck();

    // What showing another current dive updates.
    void showCurrentDive();
    void updateSimulationButton();
    void highlightLoadedItem(QTableWidgetItem* item);
    // Whether the place, site and buddy fields hold edits not yet stored;
    // the save button follows.
    void userInformationChanged(bool changed);

    // --- The dive list (mainwindowdivelist.cpp) ---

public:
    // Rebuilds the dive list with the filter and the sort of the header, and
    // highlights the shown dive.
    void updateDiveList();
    // The SortOrder that the next fetch for the header column uses.
    int getSortOrder(int column) const;

public slots:
    // The dive list's actions. Each takes any cell of a dive row; a group
    // row does nothing. Like every action of the window on the database, the
    // list or the shown dive, they wait while a dive is being written.
    void openDiveProfileItem(QTableWidgetItem* item);
    void onDiveListContextMenu(const QPoint& position);
    void deleteSelectedDiveProfiles();
    void renameDiveProfileItem(QTableWidgetItem* item);
    // Asks for a name and stores the shown dive under it.
    void storeCurrentDive();
    // Runs the filter dialog and lists what it keeps.
    void setFilter();

    // Saves the place, site and buddy of the shown dive.
    void storeUserInformation();
    // Offers to save unsaved user information of the shown dive.
    void checkUserInformationToSave();

private:
    // The header's sort: section 0 only clears the indicator; 1 to 3 reverse
    // that column's direction and list again.
    void sortDiveList(int section);
    // The dive list's context menu for the item's row (parent: the window).
    // A group row offers no dive action.
    QMenu* createDiveListMenu(QTableWidgetItem* item);
    void addDiveActions(QMenu& menu, int id);
    void addCsvSeparatorMenu(QMenu& menu);
    // Asks for a dive's name, starting from `name`; nothing when cancelled
    // or refused (blank, or unchanged when it must change), which is reported.
    std::optional<QString> askDiveName(const QString& name, bool mustChange);
    void reportDatabaseError(const QString& text);
    // A stored dive that could not be read, with the database's reason.
    void reportReadFailure();
    // A dive list that could not be read, with the database's reason; the
    // list shown before stays.
    void reportListFailure();
    // The actions on stored dives, by database id: the list may have been
    // rebuilt since they were asked for.
    void openStoredDive(int id);
    void deleteStoredDives(const QList<int>& ids);
    void renameStoredDive(int id);

    // --- Dive files (mainwindowfiles.cpp) ---

public:
    // Reads a dive file, by its suffix, into a new dive that becomes the
    // current one, and remembers its folder for the next open dialog. A file
    // that cannot be read is reported and changes nothing.
    bool loadDiveProfile(const QString& path);
    // Stores the dive in the database and lists it; a failure is reported.
    // A dive handed over while another is being written is stored after it.
    // The shown dive, stored, becomes the stored dive shown.
    void storeDive(const Dive& dive);
    // Stores the dive as storeDive does, failure message included, but
    // leaves the list and "Store dive" as they are; true when stored.
    bool storeDiveUnlisted(const Dive& dive);
    // Shows the current dive again: the view, the details and the list's
    // highlight on `item` (any cell of its row); a dive not from the list
    // (null) can be stored.
    void updateData(QTableWidgetItem* item);

public slots:
    // Asks for a dive file and loads it.
    void openDiveProfile();
    // Loads the first of the files dropped on the dive-log view; only UDDF
    // and binary dive files are taken.
    void dropFiles(const QList<QString>& files);
    void exportDiveProfileItem(QTableWidgetItem* item);
    // Asks for a file name and writes the time range chosen on the dive-log
    // view there as a new dive; a failed write is reported.
    void saveSelection();

private:
    void reportWriteFailure(const QString& path);
    // Loads a dropped dive file; only UDDF and binary dive files are taken.
    void dropFile(const QString& path);
    void exportStoredDive(int id);
    // The dive-log view's context menu: "Save selection" while a time range
    // is shown.
    bool fillDiveLogMenu(QMenu& menu);

    // --- Dive details (mainwindowdetails.cpp) ---

public:
    // The panel that takes the position read-out while the profile is
    // maximised.
    FloatingInformation* floatingInformation() const { return mFloatingInformation.get(); }

public slots:
    // Hands the show boxes' choice to the dive-log view.
    void showItems();
    // Hides or shows the information area under the profile; while it is
    // hidden the floating panel takes the position read-out.
    void maxMinProfile();
    // The position read-out of the dive-log view's mouse.
    void graphViewMouseMove(QPointF pScenePoint, int pTime);
    // Opens a new about box.
    void about();

private:
    // Fills every pane of the information area from the current dive; the
    // user information then counts as stored.
    void updateDiveInfos();
    void showSummary();
    void showAlertLamps();
    void showUserInformation();
    void showComputer();
    void showGases();
    // The gas class text of the gases table.
    const QString& gasClassText(const DiveGas& gas) const;
    // Whether the maximise button has not hidden the information area, be
    // the window on screen or not.
    bool informationAreaShown() const;
    // The information area takes no more height than its panes need: the
    // rest of the column goes to the profile.
    void keepInformationAreaLow();
    // While the profile is maximised and the view holds a dive, the floating
    // panel is on screen; it first appears at the view's top-right corner.
    void showFloatingInformationWhileMaximised();

    // --- The planning tab (planner/mainwindowplanning.cpp) ---

public:
    // Where a point to remove is chosen.
    enum DeleteDivePointFrom {
        FromGraph = 0, // the point menu's point, or the selected points
        FromTable = 1, // the point table's selected row
        FromRow = 2,   // any other value: the point of the given row
    };

    const PlanificationPlan& plan() const { return mPlan; }
    GraphView* planningView() const { return mPlanningView; }
    TissuesGraph* tissuesGraph() const { return mTissuesGraph; }

    // A row of the run table the computation hands out; the end row shows
    // the whole table in the "runtime" pane, with the computation's log
    // lines under it.
    void lineOfPlan(const LinePlan& row);
    // A log line of the computation, kept for the end row to show under the
    // run table; an empty one forgets the kept lines and clears the pane.
    void logPlanif(const QString& text);
    // Recomputes the current dive, with the gradient-factor row when
    // "options.ini" shows it, and shows its tissues; a recomputation still
    // pending from a drag is then done.
    void updateDeco();
    // The recomputation after the moves of a drag, on the last position:
    // the run table, the tissues and the graph's computed ascent.
    void recomputeMovedPoint();

public slots:
    // The planned dive changed on the graph.
    void onAddDivePoint();
    void updateDivePoint(int index);
    // Editors of the point table that carry their row in the property "id".
    void divePointDepthChanged(double value);
    void divePointTimeChanged(QTime time);
    // Makes the dive of row `index` of the dive table current; an empty row
    // changes nothing.
    void changeCurrentPlanifDive(int index, int column);
    void removeDivePoint(MainWindow::DeleteDivePointFrom deleteFrom, int rowNum = 0);
    // Asks, then empties the plan.
    void newPlanification();
    // Asks for a plan file and writes the plan there; a failed write is
    // reported and leaves an existing file as it was.
    void savePlanification();
    // Asks for a plan file and shows its plan in place of this one, its
    // first dive computed; a file that is not a plan is reported and changes
    // nothing.
    void loadPlanification();
    // An effort button of the dive table.
    void enabledDisabledEffortMode();
    // Inserts a point after the point table's selected row.
    void addDivePoint();
    void graphViewPlanificationMouseMove(QPointF pScenePoint, int pTime);
    // Shows the depths, times and mean speed between the two selected points.
    void measureBetweenTwoPoints();
    // A new default dive in the first free slot; replacing the current one by
    // a default dive after a question; removing the current dive.
    void newPlanificationDive();
    void replaceNewPlanificationDive();
    void removeCurrentDivePlanification();
    // A dive file added to the plan, or in place of the current dive.
    void addPlanificationFromExistingDive(bool replace);
    // A dive of the dive list (any cell of its row) added to the plan, or in
    // place of the current dive.
    void addPlanificationFromExistingDBDive(QTableWidgetItem* item, bool replace);

private:
    // The construction steps of the tab.
    void createPlanningView();
    void connectPlanningButtons();
    void createExistingDiveMenu();
    void setUpPointTable();
    void setUpDiveTable();
    void createPointMenu();
    void connectPlanSettings();
    void createTissuesGraph();
    // The dive list's entries that hand a dive to the plan.
    void addPlanificationActions(QMenu& menu, int id);

    // What showing another current dive, or another plan, updates.
    void initializeNewPlanification(bool fromFile);
    void showCurrentPlanifDive();
    void showPlanifDiveSettings();
    void updatePlanifDiveList();
    void updateEffortButton(int row, const PlannedDive* dive);
    void updateDivePointsTable();
    void updateTissuesGraphData();
    void enablePlanSettings(bool enabled);
    // The start state of a plan without dives: no dive shown, nothing
    // computed, the controls that write to the current dive disabled.
    void showEmptyPlan();

    // The editors' callbacks: the depth or time of a row's point changed.
    bool divePointDepthChanged2(int row, double depth);
    bool divePointTimeChanged2(int row, double& time);
    // Puts the point of a table row at that time and depth, within the
    // limits a drag keeps, and refits the graph when it leaves the shown
    // range; the time kept.
    double moveTablePoint(int row, double time, double depth);
    // Points the graph inserted take the gas of the point before them.
    void giveInsertedPointsTheirGas();
    // A click in the point table: its delete icon removes the row's point.
    void pointTableClicked(const QModelIndex& index);
    bool deletePointOfRow(int row);
    int selectedPointRow() const;
    void diverTypeChanged(int index);
    void setStartOfDtr();
    void preparePointMenu();
    // A dive added from a file or the dive list: the plan's answer, shown
    // when it refused the dive (a full plan, a dive it could not read, with
    // `readReason`, or one beyond what it computes); true then.
    bool reportPlanRefusal(int slot, const QString& unreadableTitle, const QString& unreadable,
                           const QString& readReason);
    void reportUnplannableDive(const QString& reason);
    void addStoredDiveToPlan(int id, bool replace);
    // Puts the dive that `read` fills (saying why it could not) in place of
    // the current planned dive, whose planner settings stay; a failed read is
    // reported and changes nothing.
    bool replaceCurrentPlanifDive(const std::function<bool(Dive&, QString& reason)>& read);
    void releasePlanningTab();

    // --- The dive computer (device/mainwindowdevice.cpp) ---

public:
    // Makes sure a dive computer is connected, running the connection dialog
    // when none is: 1 when one is connected on return, else the dialog's
    // result (0).
    int connectQuelmBle();

public slots:
    // The computer menu: "Download dives" (its "id" 1) and "Install
    // firmware/bootloader" (0), "Program name" and "Get system logs".
    void connectAndImportDive();
    void connectAndProgramName();
    void connectAndGetSyslogs();
    // "Close Connection" and "Reset Computer" for a connected computer.
    void onImgPelavixContextualMenu(const QPoint& position);
    // The session's messages and errors go to the console; a lost link
    // shows the computer disconnected.
    void onSessionMessageChanged();
    void onDisconnectController();
    void onServiceError(QLowEnergyService::ServiceError error);
    // The answer to a table-of-contents request (device/mainwindowfirmware.cpp).
    void tocFileLoaded();

protected:
    // A double click on the computer image offers to disconnect it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    // The Simulation tab (mainwindowsimulation.cpp). Connects the computer
    // and readies the pressure controls at its ambient pressure.
    void on_btConnectBluetooth_clicked();
    // Plays the dive of the dive log to the computer, one step a second, or
    // stops the one playing.
    void on_btStartStopSimul_clicked();
    // The slider (millibar) and the spin box (bar) follow each other and send
    // the pressure to the computer.
    void on_tbPressure_valueChanged(int value);
    void on_spPressure_valueChanged(double value);
    // Starts a steady ascent to a target depth, or offers to stop the one
    // under way.
    void on_btAscent_clicked();
    // The simulation timer's tick: plays the next step.
    void timeOutSimulation();
    // The ascent timer's tick: lowers the pressure by one step.
    void ascentTick();

private:
    // Stops the simulation and takes its marker off the profile; the
    // computer keeps the last pressure sent.
    void endSimulation();
    // Sends `bar` in whole millibars to the computer while it is connected.
    void sendPressure(double bar);
    void connectComputerImage();
    void showConnectedComputer();
    // Asks for the owner name, starting from `presetName`, and writes a
    // non-empty one to the computer.
    void programName(const QString& presetName);
    // Downloads dives, stores them in order and lists them once.
    void downloadDives(bool computerNamesChanged);
    // Asks for a file and writes the system log that `command` brought.
    void saveSysLog(PelavixCommandIn command, const QString& startFolder);
    void askDisconnectComputer();
    void askResetComputer();

    // The firmware (device/mainwindowfirmware.cpp).
    // Hands the repository's address and credentials from "services.ini"
    // to the firmware downloads.
    void configureFirmwareRepository();
    // Fetches the repository's table of contents (on every show), so that
    // a computer with an older firmware is reported once.
    void loadTocFile();
    // Reports a newer listed firmware than the computer's, once per table.
    void checkForNewFirmwareBootloader();
    // Runs the firmware manager on the connected computer.
    void runFirmwareManager();

    // --- The application update (mainwindowupdate.cpp) ---

public:
    // Asks the maker's web site for its update archives when "site/root" of
    // "services.ini" is an https address; the listing goes to mediaListReady.
    void checkNewVersionAvailable();
    // Opens the installer and quits; an installer that cannot be started is
    // reported and the program goes on.
    void runInstallerAndExit(const QString& installerPath);

public slots:
    // Offers the update that the site's media listing holds: on any answer
    // but No, downloads the archive, unpacks it beside itself and runs the
    // installer. A listing that comes while an update is under way is
    // dropped; one that comes while a dive is being written waits for it.
    void mediaListReady(const QList<QJsonObject>& list);

private:
    void downloadUpdate(const QUrl& archiveUrl);
    // The progress dialog of the download, showing `bar` (which it takes).
    QProgressDialog* createUpdateProgress(QProgressBar* bar);
    void endUpdateDownload(QProgressDialog* progress, GenericFileDownloader* downloader);
    void installUpdate(const QString& archivePath);

    // --- Members ---

    Ui::MainWindowClass ui{};
    // Every entry point of the window that reaches the database, the dive
    // list or the shown dive hands its work to mWriteQueue.run(), so that what
    // arrives while a dive is being written waits until it is stored.
    WriteQueue mWriteQueue{this};
    std::string mDataFolder;
    std::unique_ptr<AppSettings> mSettings;
    // The database id of the dive last opened from the list, -1 for none.
    int mShownDatabaseId = -1;
    // The database could not be opened or brought up to date, which the
    // window said at start.
    bool mDatabaseFailureShown = false;
    GraphView* mDiveLogView = nullptr;
    Dive mCurrentDive;
    CsvSeparator mCsvSeparator = CsvSeparator::Dot;
    // Made on first use and kept, so that it remembers its last state.
    FormFilter* mFilterDialog = nullptr;
    Filter mFilter;

    // The gas class texts of the gases table: open circuit, closed circuit,
    // bail-out.
    QString mGasClassOpenCircuit;
    QString mGasClassClosedCircuit;
    QString mGasClassBailOut;
    bool mUserInformationChanged = false;

    // Dive details.
    // The addresses of the maker's services, from "services.ini".
    ServiceConfig mServiceConfig;
    // Made without a parent, so that it floats over the window; freed with it.
    std::unique_ptr<FloatingInformation> mFloatingInformation;

    // The planning tab.
    // The gradient-factor row of the planning tab, from "options.ini".
    bool mPlanificationAddOn = false;
    PlanificationPlan mPlan;
    GraphView* mPlanningView = nullptr;
    TissuesGraph* mTissuesGraph = nullptr;
    TblDivePointsModel mPointsModel;
    SpinBoxDelegate mPointsDelegate;
    // The menu of the planning graph's points, DivePoint::contextMenu while
    // the window lives.
    QMenu mPointMenu;
    QAction* mDeletePointAction = nullptr;
    QAction* mDtrStartAction = nullptr;
    QAction* mMeasureAction = nullptr;
    // "Replace current dive" of the existing-dive button's menu.
    QAction* mReplaceFromFileAction = nullptr;
    RunTableText mRunTable;
    std::unique_ptr<RunTableDocument> mRunTableDocument;
    // The log lines of the computation under way, shown again under its table.
    QStringList mPlanLog;
    // A drag's moves are recomputed once per pass of the event loop; what
    // reads the results of the current dive, or changes the dive, flushes first.
    CoalescedCall mMovedPointRecomputation{[this] { recomputeMovedPoint(); }};
    // The measurement window and its two tables, made on first use.
    QWidget* mMeasureWindow = nullptr;
    QTableWidget* mMeasurePoints = nullptr;
    QTableWidget* mMeasureValues = nullptr;
    // The gradient-factor row's values, taken before each computation.
    gfs_t mAddOnGradientFactors;
    float mAddOnReduction = 0.0f;
    // Takes back what the tab handed to the graphics library before the
    // members it points at go.
    struct PlanningTeardown
    {
        MainWindow* window;
        ~PlanningTeardown();
    } mPlanningTeardown{this};

    // The dive computer.
    // Made at the first connection attempt and kept.
    QuelmSession* session = nullptr;
    FormBluetoothConnect* connectDialog = nullptr;
    // The handler of the owner-name request under way; one at a time.
    QMetaObject::Connection mOwnerNameRequest;
    // The downloader of the last table-of-contents request while it runs.
    FirmwareDownloader* tocDownloader = nullptr;
    // The newest listed firmware; 0 when none is known or it was reported.
    unsigned latestFirmwareVersion = 0;
    // The pressure simulation and the ascent tool of the Simulation tab.
    QTimer ascentTimer;
    QTimer* simulationTimer = nullptr;
    std::vector<StepSimulation> simulationSteps;
    int simulationIndex = 0;
    int simulationMarkerId = 0;
    double simulationProgressStep = 0.0;
    int minimumPressure = 1013;  // millibar
    float ascentTargetPressure = 0.0f;
    float ascentStep = 0.0f;
    // The pressure the ascent has reached, finer than the spin box's
    // millibar, so that rounding never changes the ascent's speed.
    double ascentPressure = 0.0;
    bool ascentTimerConnected = false;

    // The application update.
    // From the update question until the download has been dealt with.
    bool mUpdateUnderWay = false;

    // Sets up a current dive as the dive list would open one.
    friend class MainWindowFilesTest;
    // Shows dives with every field set.
    friend class DetailsPanesTest;
    // Calls the simulation's timer slots and reads its timers.
    friend class PressureSimulationTest;
    friend class SimulationWindowTest;
    friend struct testkit::SimulationProbe;
};

// The program's log entry point for outside code: forwards to
// MainWindow::logText.
__attribute__((visibility("default"))) void logText(const std::string& text);

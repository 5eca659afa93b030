#pragma once

#include "appsettings.h"
#include "ui_mainwindow.h"

#include "divedb/diveinfo.h"
#include "divemodel/dive.h"
#include "planner/planificationplan.h"
#include "planner/runtabletext.h"
#include "planner/spinboxdelegate.h"
#include "planner/tbldivepointsmodel.h"

#include <QMainWindow>
#include <QMenu>
#include <QString>
#include <QTime>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class FormFilter;
class GraphView;
struct PlannedDive;
class QCloseEvent;
class QShowEvent;
class QTableWidget;
class QTableWidgetItem;
class TissuesGraph;

// The one main window: the dive log, the planning tab and the dive computer's
// actions. Its constructor builds the whole program in a fixed order, one
// named step each, so that every capability plugs in at its place.
class MainWindow : public QMainWindow
{
    Q_OBJECT

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

    // --- The dive list (mainwindowdivelist.cpp) ---

    // Rebuilds the dive list with the filter and the sort of the header, and
    // highlights the shown dive.
    void updateDiveList();
    // The SortOrder that the next fetch for the header column uses.
    int getSortOrder(int column) const;

    // --- Dive files (mainwindowfiles.cpp) ---

    // Reads a dive file, by its suffix, into a new dive that becomes the
    // current one, and remembers its folder for the next open dialog. A file
    // that cannot be read is reported and changes nothing.
    bool loadDiveProfile(const QString& path);
    // Stores the dive in the database and lists it; a failure is reported.
    void storeDive(const Dive& dive);

public slots:
    // --- The dive list (mainwindowdivelist.cpp) ---

    // The dive list's actions. Each takes any cell of a dive row; a group
    // row does nothing.
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

    // --- Dive files (mainwindowfiles.cpp) ---

    // Asks for a dive file and loads it.
    void openDiveProfile();
    // Loads the first of the files dropped on the dive-log view; only UDDF
    // and binary dive files are taken.
    void dropFiles(const QList<QString>& files);
    void exportDiveProfileItem(QTableWidgetItem* item);
    // Asks for a file name and writes the time range chosen on the dive-log
    // view there as a new dive; a failed write is reported.
    void saveSelection();

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
    void openDatabase();
    void setUpDiveList();
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

    // What showing and closing the window start.
    void startFirmwareListDownload();
    void armUpdateCheck();

    // What showing another current dive updates.
    void showCurrentDive();
    void updateDiveInfos();
    void showUserInformation();
    void updateSimulationButton();
    void highlightLoadedItem(QTableWidgetItem* item);

    // --- The dive list (mainwindowdivelist.cpp) ---

    // Whether the place, site and buddy fields hold edits not yet stored;
    // the save button follows.
    void userInformationChanged(bool changed);
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

    // --- Dive files (mainwindowfiles.cpp) ---

    void reportWriteFailure(const QString& path);
    // The dive-log view's context menu: "Save selection" while a time range
    // is shown.
    bool fillDiveLogMenu(QMenu& menu);

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
    // the whole table in the "runtime" pane.
    void lineOfPlan(const LinePlan& row);
    // A log line of the computation into the "runtime" pane; an empty one
    // clears the pane.
    void logPlanif(const QString& text);
    // Recomputes the current dive, with the gradient-factor row when
    // "options.ini" shows it, and shows its tissues.
    void updateDeco();

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
    // Back to the start state: no dive shown, nothing computed.
    void showEmptyPlan();

    // The editors' callbacks: the depth or time of a row's point changed.
    bool divePointDepthChanged2(int row, double depth);
    bool divePointTimeChanged2(int row, double& time);
    // A click in the point table: its delete icon removes the row's point.
    void pointTableClicked(const QModelIndex& index);
    bool deletePointOfRow(int row);
    int selectedPointRow() const;
    void diverTypeChanged(int index);
    void setStartOfDtr();
    void preparePointMenu();
    // A dive added from a file or the dive list: the plan's answer, shown
    // when it refused the dive.
    bool reportPlanRefusal(int slot, const QString& unreadable, const QString& unreadableTitle);
    // Puts the dive that `read` fills (saying why it could not) in place of
    // the current planned dive, whose planner settings stay; a failed read is
    // reported and changes nothing.
    bool replaceCurrentPlanifDive(const std::function<bool(Dive&, QString& reason)>& read);
    void releasePlanningTab();

    // --- The dive computer (device/mainwindowdevice.cpp) ---

    // --- Members ---

    Ui::MainWindowClass ui{};
    std::string mDataFolder;
    std::unique_ptr<AppSettings> mSettings;
    // The database id of the dive last opened from the list, -1 for none.
    int mShownDatabaseId = -1;
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
    unsigned latestFirmwareVersion = 0;
    // The pressure simulation and the ascent tool of the Simulation tab.
    QTimer ascentTimer;
    QTimer* simulationTimer = nullptr;
    int simulationIndex = 0;
    int simulationMarkerId = 0;
    double simulationProgressStep = 0.0;
    int minimumPressure = 1013;  // millibar
    float ascentTargetPressure = 0.0f;
    float ascentStep = 0.0f;
    bool ascentTimerConnected = false;

    // Sets up a current dive as the dive list would open one.
    friend class MainWindowFilesTest;
};

// The program's log entry point for outside code: forwards to
// MainWindow::logText.
__attribute__((visibility("default"))) void logText(const std::string& text);

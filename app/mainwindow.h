#pragma once

#include "appsettings.h"
#include "ui_mainwindow.h"
#include "writequeue.h"

#include "divedb/diveinfo.h"
#include "divemodel/dive.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>

class FormFilter;
class GraphView;
class QCloseEvent;
class QMenu;
class QShowEvent;
class QTableWidgetItem;

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
    // A dive handed over while another is being written is stored after it.
    void storeDive(const Dive& dive);
    // Shows the current dive again: the view, the details and the list's
    // highlight on `item` (any cell of its row); a dive not from the list
    // (null) can be stored.
    void updateData(QTableWidgetItem* item);

public slots:
    // --- The dive list (mainwindowdivelist.cpp) ---

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
    // The actions on stored dives, by database id: the list may have been
    // rebuilt since they were asked for.
    void openStoredDive(int id);
    void deleteStoredDives(const QList<int>& ids);
    void renameStoredDive(int id);

    // --- Dive files (mainwindowfiles.cpp) ---

    void reportWriteFailure(const QString& path);
    // Loads a dropped dive file; only UDDF and binary dive files are taken.
    void dropFile(const QString& path);
    void exportStoredDive(int id);
    // The dive-log view's context menu: "Save selection" while a time range
    // is shown.
    bool fillDiveLogMenu(QMenu& menu);

    // --- The planning tab (planner/mainwindowplanning.cpp) ---

    // --- The dive computer (device/mainwindowdevice.cpp) ---

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

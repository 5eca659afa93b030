#include "testenvironment.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QMainWindow>

// The form "MainWindowClass" as it is set up, before the window changes it:
// the objects that the program addresses by name and their starting state.
class MainFormTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        mWindow = std::make_unique<QMainWindow>();
        mUi = std::make_unique<Ui::MainWindowClass>();
        mUi->setupUi(mWindow.get());
    }

    void namedObjectExists_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        const QList<std::pair<const char*, QStringList>> objects{
            {"QAction", {"actionOpen", "actionQuit", "actionAbout", "action"}},
            {"QMenu", {"menuFile", "menuHelp"}},
            {"QToolBar", {"mainToolBar"}},
            {"QStatusBar", {"statusBar"}},
            {"QTabWidget", {"tabMain", "tabProfile", "tabSimulation"}},
            {"QSplitter", {"splitVert"}},
            {"QTableWidget", {"diveList", "tblGases", "tblDives"}},
            {"QTableView", {"tblViewlDivePoints"}},
            {"QTextEdit", {"edPositionInformation", "console", "runtime", "edInfoPlanif"}},
            {"QGroupBox", {"gbAlerts"}},
            {"QSlider", {"tbPressure"}},
            {"QDoubleSpinBox", {"spPressure"}},
            {"QSpinBox", {"spSurfPressure", "spGfLow", "spGfhigh", "spReduction"}},
            {"QComboBox", {"cbDiverType", "cbWaterType", "cbGases"}},
            {"QTimeEdit", {"edSurfaceInterval"}},
            {"QProgressBar", {"progressSimul"}},
            {"QRadioButton", {"rbStartOfDive", "rbEndOfDive"}},
            {"QLabel", {"lbFilter", "lbSimNdlCeil", "imgPelavix"}},
            {"QCheckBox",
             {"ckPoints", "ckTemperature", "ckGases", "ckDeco", "ckAlerts", "ckMaxDepth",
              "ckTankPressure"}},
            {"QPushButton",
             {"btImportDive", "btStoreDive", "btImportPelavix", "btTest", "btFilter",
              "btFitAllVisu", "btMaxMinProfile", "alertCeil", "alertDpdt", "alertHighO2",
              "alertBattery", "alertAI", "btSaveUserInformation", "btConnectBluetooth",
              "btAscent", "btStartStopSimul", "btAddDive", "btNewReplace", "btRemoveDive",
              "btAddExistingDive", "btAddDivePoint", "btRemoveDivePoint", "btNewSimulation",
              "btLoadSimulation", "btSaveSimulation", "btFitAll", "btShowHidePoints",
              "btTestPlanif", "btTestRR", "btSolve"}},
            {"QLineEdit",
             {"edDiveName", "edDateTime", "edDuration", "edMaxDepth", "edAverageDepth",
              "edDiveMode", "edWaterType", "edSurfacePressure", "edGFs", "edPlace", "edSite",
              "edBuddy", "edComputerName", "edSampleInterval", "edComputerSerial",
              "edSimPointNumber", "edSimTime", "edSimDepth", "edSimNdlCeil"}},
            {"QWidget", {"widgetGraph", "wdInformations", "wdPlanifAddOn", "widgetSimul", "tissuesGraph"}},
        };
        for (const auto& [type, names] : objects) {
            for (const QString& name : names)
                QTest::newRow(qPrintable(name)) << name << QString(type);
        }
    }
    void namedObjectExists()
    {
        QFETCH(QString, name);
        QFETCH(QString, type);
        const QList<QObject*> found = mWindow->findChildren<QObject*>(name);
        QCOMPARE(found.size(), 1);
        QVERIFY2(found.first()->inherits(qPrintable(type)), found.first()->metaObject()->className());
    }

    void texts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const QList<std::pair<const char*, const char*>> texts{
            {"actionOpen", "Open"}, {"actionQuit", "Quit"}, {"actionAbout", "About"},
            {"action", "---"}, {"btImportDive", "Import dive"}, {"btStoreDive", "Store dive"},
            {"btImportPelavix", "Connect Pelavix"}, {"btTest", "Test"}, {"btFilter", "Filter"},
            {"lbFilter", "0 Computers/0 Dives"}, {"btFitAllVisu", "Fit to all"},
            {"ckPoints", "Points"}, {"ckTemperature", "Temperature"}, {"ckGases", "Gases"},
            {"ckDeco", "Deco"}, {"ckAlerts", "Alerts"}, {"ckMaxDepth", "Max depth"},
            {"ckTankPressure", "Tank pressure"}, {"btMaxMinProfile", "Show profile maximized"},
            {"alertCeil", "Ceil"}, {"alertDpdt", "Ascent"}, {"alertHighO2", "High O2"},
            {"alertBattery", "Battery"}, {"alertAI", "AI"}, {"btAscent", "Ascent"},
            {"lbSimNdlCeil", "NDL/Ceil:"}, {"btFitAll", "Fit to all"},
            {"btShowHidePoints", "Hide/Show points"}, {"btTestPlanif", "Test YOYO"},
            {"btTestRR", "Test RR"}, {"btSolve", "Solve"}, {"rbStartOfDive", "Start of dive"},
            {"rbEndOfDive", "End of dive"},
        };
        for (const auto& [name, text] : texts)
            QTest::newRow(name) << QString(name) << QString(text);
    }
    void texts()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        const QObject* object = mWindow->findChild<QObject*>(name);
        QVERIFY(object);
        QCOMPARE(object->property("text").toString(), text);
    }

    void tabsInOrder()
    {
        QCOMPARE(tabTitles(mUi->tabMain), QStringList({"Dives management", "Dive planification"}));
        QCOMPARE(tabTitles(mUi->tabProfile),
                 QStringList({"Summary", "User information", "Computer", "Gases", "Console",
                              "Simulation"}));
        QCOMPARE(tabTitles(mUi->tabSimulation), QStringList({"Manual", "Profile"}));
        QVERIFY(mUi->tabProfile->widget(4)->isAncestorOf(mUi->console));
        QVERIFY(mUi->tabProfile->widget(5)->isAncestorOf(mUi->tabSimulation));
        QVERIFY(mUi->tabMain->widget(1)->isAncestorOf(mUi->runtime));
        QVERIFY(mUi->tabSimulation->widget(0)->isAncestorOf(mUi->tbPressure));
        QVERIFY(mUi->tabSimulation->widget(1)->isAncestorOf(mUi->btStartStopSimul));
    }

    void startingState()
    {
        QCOMPARE(mWindow->size(), QSize(1274, 763));
        QCOMPARE(mUi->tabMain->currentIndex(), 0);
        QCOMPARE(mUi->tabProfile->currentIndex(), 0);
        QCOMPARE(mUi->tabSimulation->currentIndex(), 0);
        QVERIFY(!mUi->ckPoints->isChecked());
        for (const QCheckBox* box : {mUi->ckTemperature, mUi->ckGases, mUi->ckDeco, mUi->ckAlerts,
                                     mUi->ckMaxDepth, mUi->ckTankPressure})
            QVERIFY2(box->isChecked(), qPrintable(box->objectName()));
        QVERIFY(!mUi->btSaveUserInformation->isEnabled());
        QVERIFY(mUi->imgPelavix->styleSheet().contains(":/TestGraphics/icons/Pelavix-power-off.png"));
        QVERIFY(mUi->imgPelavix->toolTip().contains("Computer Disconnected"));
        QCOMPARE(mUi->widgetGraph->styleSheet(), QString("background-color: rgb(255, 255, 255);"));
        QCOMPARE(mUi->actionOpen->shortcut(), QKeySequence());
        QCOMPARE(mUi->actionQuit->shortcut(), QKeySequence());
    }

    void menus()
    {
        QCOMPARE(mUi->menuFile->title(), QString("File"));
        QCOMPARE(mUi->menuHelp->title(), QString("Help"));
        const QList<QAction*> file = mUi->menuFile->actions();
        QCOMPARE(file.size(), 3);
        QCOMPARE(file.at(0), mUi->actionOpen);
        QVERIFY(file.at(1)->isSeparator());
        QCOMPARE(file.at(2), mUi->actionQuit);
        QCOMPARE(mUi->menuHelp->actions(), QList<QAction*>{mUi->actionAbout});
        QVERIFY(mUi->action->associatedObjects().isEmpty());
    }

    void diveList()
    {
        const QTableWidget* list = mUi->diveList;
        QCOMPARE(headers(list), QStringList({"Name", "Date/Time", "Duration", "Depth"}));
        QCOMPARE(list->contextMenuPolicy(), Qt::CustomContextMenu);
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(list->verticalHeader()->isHidden());
        QCOMPARE(headers(mUi->tblGases), QStringList({"Name", "O2", "He", "Type"}));
        QCOMPARE(mUi->tblGases->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(mUi->tblGases->selectionBehavior(), QAbstractItemView::SelectRows);
    }

    void simulationControls()
    {
        QCOMPARE(mUi->tbPressure->orientation(), Qt::Horizontal);
        QCOMPARE(mUi->tbPressure->minimum(), 1013);
        QCOMPARE(mUi->tbPressure->maximum(), 15000);
        QCOMPARE(mUi->tbPressure->pageStep(), 2);
        QCOMPARE(mUi->tbPressure->tickPosition(), QSlider::TicksBelow);
        QCOMPARE(mUi->spPressure->decimals(), 3);
        QCOMPARE(mUi->spPressure->minimum(), 1.013);
        QCOMPARE(mUi->spPressure->maximum(), 15.0);
        QCOMPARE(mUi->spPressure->singleStep(), 0.01);
        QCOMPARE(mUi->spPressure->value(), 1.013);
        QVERIFY(mUi->spPressure->alignment() & Qt::AlignRight);
        QCOMPARE(mUi->spPressure->toolTip(), QString("Ambient Pressure"));
        QCOMPARE(mUi->progressSimul->value(), 0);
    }

    void planningControls()
    {
        QCOMPARE(items(mUi->cbDiverType), QStringList({"Open Circuit", "Closed Circuit"}));
        QCOMPARE(items(mUi->cbWaterType), QStringList({"Salt", "Fresh"}));
        QCOMPARE(items(mUi->cbGases),
                 QStringList({"Air", "Nx40", "Air + OxyAR", "Air + OxySR", "CF Oxy"}));
        QCOMPARE(mUi->spSurfPressure->minimum(), 600);
        QCOMPARE(mUi->spSurfPressure->maximum(), 1200);
        QCOMPARE(mUi->spSurfPressure->value(), 1013);
        for (const QWidget* control : {static_cast<QWidget*>(mUi->spSurfPressure),
                                       static_cast<QWidget*>(mUi->cbWaterType),
                                       static_cast<QWidget*>(mUi->edSurfaceInterval),
                                       static_cast<QWidget*>(mUi->cbGases),
                                       static_cast<QWidget*>(mUi->btNewReplace)})
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        QCOMPARE(mUi->edSurfaceInterval->displayFormat(), QString("HH'H'mm'mn'"));
        for (const QSpinBox* gf : {mUi->spGfLow, mUi->spGfhigh}) {
            QCOMPARE(gf->minimum(), 5);
            QCOMPARE(gf->maximum(), 100);
            QCOMPARE(gf->value(), 80);
        }
        QCOMPARE(mUi->spReduction->maximum(), 100);
        QCOMPARE(mUi->spReduction->value(), 50);
        QCOMPARE(headers(mUi->tblDives), QStringList({"Designation", "Delete"}));
        QCOMPARE(mUi->tblDives->rowCount(), 3);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(mUi->tblDives->verticalHeaderItem(row)->text(), QString::number(row + 1));
        QCOMPARE(mUi->tblDives->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(mUi->tblDives->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(mUi->btShowHidePoints->isCheckable());
        QVERIFY(mUi->btShowHidePoints->isChecked());
        QVERIFY(mUi->rbEndOfDive->isChecked());
        QVERIFY(!mUi->rbStartOfDive->isChecked());
        QVERIFY(mUi->runtime->isReadOnly());
        QVERIFY(mUi->edInfoPlanif->isReadOnly());
        QVERIFY(mUi->runtime->minimumWidth() >= 320);
        QVERIFY(mUi->runtime->maximumWidth() <= 400);
        QCOMPARE(mUi->btAddDive->toolTip(), QString("Add dive"));
        QCOMPARE(mUi->btNewReplace->toolTip(), QString("Replace current dive by a new one"));
        QCOMPARE(mUi->btRemoveDive->toolTip(), QString("Remove active dive"));
        QCOMPARE(mUi->btAddExistingDive->toolTip(), QString("Add existing dive"));
        QCOMPARE(mUi->btAddDivePoint->toolTip(), QString("Add dive point"));
        QCOMPARE(mUi->btRemoveDivePoint->toolTip(), QString("Remove selected dive point"));
        QCOMPARE(mUi->btNewSimulation->toolTip(), QString("Create new simulation"));
        QCOMPARE(mUi->btLoadSimulation->toolTip(), QString("Open simulation"));
        QCOMPARE(mUi->btSaveSimulation->toolTip(), QString("Save simulation"));
    }

    void iconsComeFromTheResources()
    {
        for (const QAbstractButton* button :
             {static_cast<QAbstractButton*>(mUi->btImportDive), static_cast<QAbstractButton*>(mUi->btStoreDive),
              static_cast<QAbstractButton*>(mUi->btImportPelavix), static_cast<QAbstractButton*>(mUi->btFilter),
              static_cast<QAbstractButton*>(mUi->btFitAllVisu), static_cast<QAbstractButton*>(mUi->btMaxMinProfile),
              static_cast<QAbstractButton*>(mUi->alertAI), static_cast<QAbstractButton*>(mUi->btStartStopSimul)})
            QVERIFY2(!button->icon().pixmap(16, 16).isNull(), qPrintable(button->objectName()));
    }

private:
    static QStringList tabTitles(const QTabWidget* tabs)
    {
        QStringList titles;
        for (int i = 0; i < tabs->count(); ++i)
            titles.append(tabs->tabText(i));
        return titles;
    }

    static QStringList headers(const QTableWidget* table)
    {
        QStringList texts;
        for (int column = 0; column < table->columnCount(); ++column)
            texts.append(table->horizontalHeaderItem(column)->text());
        return texts;
    }

    static QStringList items(const QComboBox* box)
    {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts.append(box->itemText(i));
        return texts;
    }

    std::unique_ptr<QMainWindow> mWindow;
    std::unique_ptr<Ui::MainWindowClass> mUi;
};

MAREVANE_TEST_MAIN(MainFormTest)
#include "tst_mainform.moc"

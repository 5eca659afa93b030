#include "devicekit.h"

#include "../app/divelistopen.h"
#include "../divemodel/diveprofiles.h"
#include "computerkit.h"
#include "divelisttable.h"
#include "graphics/graphview.h"
#include "mainwindow.h"
#include "menuclick.h"

#include "divedb/divedb.h"

#include <QDialog>
#include <QDoubleSpinBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

namespace testkit {

namespace {

constexpr int kStillRunning = -1;

} // namespace

Dive simulatorDive(const QString& name, const QList<DiveLine>& lines)
{
    Dive dive;
    dive.name = name;
    dive.computerSerial = QStringLiteral("PX-1");
    dive.computerName = QStringLiteral("Pelavix");
    dive.beginTime = 1700000000;
    dive.lines = lines;
    return dive;
}

Dive dive250Steps()
{
    return simulatorDive(QStringLiteral("Long"), {diveLine(0, 0, 20, -20), diveLine(248, 10, 18, -20)});
}

// The window's simulation state that the steps below check.
struct SimulationProbe
{
    static QTimer* simulationTimer(const MainWindow& window) { return window.simulationTimer; }
    static int simulationIndex(const MainWindow& window) { return window.simulationIndex; }
    static int markerId(const MainWindow& window) { return window.simulationMarkerId; }
    static const QTimer& ascentTimer(const MainWindow& window) { return window.ascentTimer; }
};

DialogScript runDialog(std::function<void(QDialog&)> act)
{
    return [act](QDialog& dialog) {
        dialog.setResult(kStillRunning);
        settle();
        if (act && dialog.result() == kStillRunning)
            act(dialog);
        settle();
        return dialog.result() == kStillRunning ? int(QDialog::Rejected) : dialog.result();
    };
}

bool chooseComputerMenu(MainWindow& window, const QString& entry)
{
    auto* button = window.findChild<QPushButton*>("btImportPelavix");
    if (!button)
        return false;
    // The button's menu waits in an event loop of its own.
    bool clicked = false;
    clickInNextMenu(entry, &clicked);
    QTest::mouseClick(button, Qt::LeftButton);
    return clicked;
}

bool connectWindow(MainWindow& window, PromptRecorder& prompts)
{
    prompts.answerDialog(runDialog());
    return window.connectQuelmBle() == 1;
}

bool showSimulationTab(MainWindow& window)
{
    auto* tabs = window.findChild<QTabWidget*>("tabProfile");
    tabs->setCurrentWidget(window.findChild<QWidget*>("tabSimulationPage"));
    window.findChild<QTabWidget*>("tabSimulation")->setCurrentWidget(window.findChild<QWidget*>("tabSimProfile"));
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

bool connectSimulationTab(MainWindow& window, PromptRecorder& prompts)
{
    auto* connect = window.findChild<QPushButton*>("btConnectBluetooth");
    prompts.answerDialog(runDialog());
    QTest::mouseClick(connect, Qt::LeftButton);
    return !connect->isEnabled();
}

bool showConnectedSimulationTab(MainWindow& window, PromptRecorder& prompts)
{
    return showSimulationTab(window) && connectSimulationTab(window, prompts);
}

bool openStoredDive(MainWindow& window, const Dive& dive)
{
    window.storeDive(dive);
    const int id = DiveDb::instance()->getDiveByName(dive.name, dive.computerSerial);
    QTableWidgetItem* item = DiveListTable(*list(window)).itemOfDive(id);
    if (!item)
        return false;
    doubleClickCell(*item);
    return window.shownDatabaseId() == id;
}

bool startSimulation(MainWindow& window)
{
    QTest::mouseClick(window.findChild<QPushButton*>("btStartStopSimul"), Qt::LeftButton);
    QTimer* timer = SimulationProbe::simulationTimer(window);
    if (!timer || !timer->isActive() || timer->interval() != 1000 || SimulationProbe::simulationIndex(window) != 0)
        return false;
    timer->stop();
    return true;
}

bool playStoredDive(MainWindow& window, PromptRecorder& prompts, const Dive& dive)
{
    if (!openStoredDive(window, dive))
        return false;
    prompts.clear();
    return startSimulation(window);
}

bool simulationEnded(MainWindow& window)
{
    return !SimulationProbe::simulationTimer(window) && window.findChild<QProgressBar*>("progressSimul")->value() == 0
        && !profileMarker(window, SimulationProbe::markerId(window))
        && showsIcon(*window.findChild<QPushButton*>("btStartStopSimul"),
                     QStringLiteral(":/TestGraphics/icons/run_simulation.png"));
}

DialogScript ascentDefinition(int targetDepth, int speed)
{
    return [targetDepth, speed](QDialog& dialog) {
        const QList<QSpinBox*> fields = dialog.findChildren<QSpinBox*>();
        if (fields.size() != 2)
            return int(QDialog::Rejected);
        fields.at(0)->setValue(targetDepth);
        fields.at(1)->setValue(speed);
        return int(QDialog::Accepted);
    };
}

bool ascendFrom(MainWindow& window, PromptRecorder& prompts, double start, int targetDepth, int speed)
{
    window.findChild<QDoubleSpinBox*>("spPressure")->setValue(start);
    prompts.answerDialog(ascentDefinition(targetDepth, speed));
    QTest::mouseClick(window.findChild<QPushButton*>("btAscent"), Qt::LeftButton);
    const QTimer& timer = SimulationProbe::ascentTimer(window);
    return timer.isActive() && timer.interval() == 1000;
}

const Marker* profileMarker(MainWindow& window, int id)
{
    for (const Marker& marker : window.diveLogView()->mProfile->markers()) {
        if (marker.mId == id)
            return &marker;
    }
    return nullptr;
}

bool showsIcon(const QAbstractButton& button, const QString& path)
{
    return button.icon().pixmap(24).toImage() == QIcon(path).pixmap(24).toImage();
}

} // namespace testkit

// The Simulation tab of the main window: the computer's pressure set by hand
// with the slider and the spin box, as a steady ascent, or by playing the
// dive of the dive log one step a second while a diver marker walks along
// its profile.
#include "app/mainwindow.h"

#include "common/wholenumbers.h"
#include "graphics/graphview.h"
#include "graphics/profilesimulationhelper.h"
#include "inputdialogmulti.h"
#include "tessal/quelmsession.h"
#include "userprompt.h"

#include <QGraphicsScene>
#include <QIcon>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTickMs = 1000;
// A computer reporting less than this is at altitude: its pressure becomes
// the lowest that the controls allow.
constexpr int kAltitudeAmbient = 1101; // mbar
// The ascent rate's conversion uses its own rounded gravity.
constexpr float kAscentGravity = 9.81f;
constexpr double kHalfMillibar = 0.0005; // bar

const char* const kRunIcon = ":/TestGraphics/icons/run_simulation.png";
const char* const kPauseIcon = ":/TestGraphics/icons/pause.png";

// The nearest whole millibars: 1.013 bar, held as 1.01299..., is 1013.
unsigned millibars(double bar)
{
    return unsigned(std::max<qint64>(0, qRound64(bar * 1000.0)));
}

// "mm:ss" of the whole seconds.
QString stepTimeText(double time)
{
    const qint64 seconds = wholeSeconds(time);
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

void MainWindow::setUpSimulationControls()
{
    // Only connecting a computer makes the pressure controls usable.
    ui.btConnectBluetooth->setEnabled(true);
    ui.btStartStopSimul->setEnabled(false);
    ui.tbPressure->setEnabled(false);
    ui.spPressure->setEnabled(false);
    ui.btAscent->setEnabled(false);
}

void MainWindow::updateSimulationButton()
{
    // Any shown dive can be played while a computer is connected.
    if (session && session->connected)
        ui.btStartStopSimul->setEnabled(true);
}

void MainWindow::on_btConnectBluetooth_clicked()
{
    if (connectQuelmBle() != 1)
        return;
    ui.btConnectBluetooth->setEnabled(false);
    ui.btStartStopSimul->setEnabled(true);
    ui.tbPressure->setEnabled(true);
    ui.spPressure->setEnabled(true);
    ui.btAscent->setEnabled(true);

    // The controls take the computer's pressure; nothing is sent.
    const QSignalBlocker sliderBlocker(ui.tbPressure);
    const QSignalBlocker spinBlocker(ui.spPressure);
    const int ambient = session->ambientPressure;
    // At altitude the surface lies below the usual minimum, and stays the
    // minimum for later connections.
    if (ambient < kAltitudeAmbient)
        minimumPressure = ambient;
    ui.tbPressure->setMinimum(minimumPressure);
    ui.spPressure->setMinimum(minimumPressure / 1000.0);
    ui.tbPressure->setValue(ambient);
    ui.spPressure->setValue(ambient / 1000.0);
}

void MainWindow::on_tbPressure_valueChanged(int value)
{
    {
        const QSignalBlocker blocker(ui.spPressure);
        ui.spPressure->setValue(value / 1000.0);
    }
    sendPressure(ui.spPressure->value());
    logTrace(QString::number(ui.spPressure->value(), 'g', 6), false);
}

void MainWindow::on_spPressure_valueChanged(double value)
{
    {
        const QSignalBlocker blocker(ui.tbPressure);
        ui.tbPressure->setValue(int(millibars(value)));
    }
    sendPressure(ui.spPressure->value());
}

void MainWindow::sendPressure(double bar)
{
    // Nothing goes to a lost link.
    if (session && session->connected)
        session->startSetPressure(millibars(bar));
}

void MainWindow::on_btStartStopSimul_clicked()
{
    if (simulationTimer) {
        endSimulation();
        return;
    }
    if (!session || !session->connected)
        return;
    const Dive* dive = mDiveLogView->getDiveProfile();
    // The water of the computer, at the surface pressure it reports.
    BleConfig water = session->config;
    water.surfacePressure = session->surfacePressure;
    ProfileSimulationHelper helper;
    helper.mDepthToPressure = [water](const float& depth) { return water.pressureAtDepth(depth); };
    simulationSteps.clear();
    if (dive)
        helper.prepareSimulation(*dive, kTickMs, simulationSteps, water.surfacePressure / 1000.0f);
    // A dive without samples has nothing to play.
    if (simulationSteps.empty()) {
        UserPrompt::current().critical(this, tr("Simulation Error"), tr("No dive profile loaded"));
        return;
    }

    simulationIndex = 0;
    simulationProgressStep = 100.0 / double(simulationSteps.size());
    simulationMarkerId = mDiveLogView->mProfile->addMarkerAt(0, true, MarkerType::Diver, QString());
    simulationTimer = new QTimer(this);
    simulationTimer->setInterval(kTickMs);
    connect(simulationTimer, &QTimer::timeout, this, &MainWindow::timeOutSimulation);
    ui.btStartStopSimul->setIcon(QIcon(QString::fromLatin1(kPauseIcon)));
    simulationTimer->start();
}

void MainWindow::timeOutSimulation()
{
    if (!simulationTimer || simulationIndex >= int(simulationSteps.size()))
        return;
    const StepSimulation& step = simulationSteps[size_t(simulationIndex)];
    ui.edSimPointNumber->setText(QString::number(simulationIndex));
    ui.edSimTime->setText(stepTimeText(step.time));
    ui.edSimDepth->setText(QStringLiteral("%1m").arg(step.depth / 10.0, 0, 'f', 1));
    // A negative ceiling is the no-decompression time in minutes.
    if (step.ceiling < 0) {
        ui.lbSimNdlCeil->setText(QStringLiteral("NDL"));
        ui.edSimNdlCeil->setText(QStringLiteral("%1mn").arg(std::abs(step.ceiling), 0, 'f', 0));
    } else {
        ui.lbSimNdlCeil->setText(QStringLiteral("Ceiling"));
        ui.edSimNdlCeil->setText(QStringLiteral("%1m").arg(step.ceiling, 0, 'f', 1));
    }
    sendPressure(step.pressure);
    mDiveLogView->mProfile->setMarkerAt(simulationMarkerId, step.time, -1.0);

    ++simulationIndex;
    const int progress = int(simulationIndex * simulationProgressStep);
    if (progress != ui.progressSimul->value())
        ui.progressSimul->setValue(progress);
    if (simulationIndex == int(simulationSteps.size()))
        endSimulation();
}

void MainWindow::endSimulation()
{
    // Its timeout may be running: the timer goes once the event loop has it.
    simulationTimer->stop();
    simulationTimer->deleteLater();
    simulationTimer = nullptr;
    mDiveLogView->mProfile->removeMarker(simulationMarkerId);
    ui.btStartStopSimul->setIcon(QIcon(QString::fromLatin1(kRunIcon)));
    ui.progressSimul->setValue(0);
    mDiveLogView->scene()->update();
}

void MainWindow::on_btAscent_clicked()
{
    if (ascentTimer.isActive()) {
        ascentTimer.stop();
        const QMessageBox::StandardButton answer =
            UserPrompt::current().question(this, tr("Stop ascent"), tr("Are you sure to stop ascent?"));
        // The link may have dropped while the question was open: its
        // controls stay off and the ascent stays stopped.
        if (!session || !session->connected)
            return;
        if (answer == QMessageBox::Yes) {
            // The form's text, in the language the form shows it.
            ui.btAscent->setText(QCoreApplication::translate("MainWindowClass", "Ascent"));
            ui.tbPressure->setEnabled(true);
            ui.spPressure->setEnabled(true);
        } else {
            ascentTimer.start();
        }
        return;
    }

    InputDialogMulti dialog(QStringLiteral("Ascent definition"), this);
    dialog.addIntField(QStringLiteral("Target depth"), 0, 60, 1, 0);
    dialog.addIntField(QStringLiteral("Ascent speed"), 1, 30, 1, 10);
    if (dialog.Exec() != QDialog::Accepted || !session || !session->connected)
        return;
    const int targetDepth = dialog.value<int>(0);
    const int speed = dialog.value<int>(1); // m/min
    ascentTargetPressure = session->config.pressureAtDepth(float(targetDepth));
    ascentStep = float(speed) * session->config.getDensity() * kAscentGravity / 6000.0f; // bar a second
    if (!ascentTimerConnected) {
        connect(&ascentTimer, &QTimer::timeout, this, &MainWindow::ascentTick);
        ascentTimerConnected = true;
    }
    ascentPressure = ui.spPressure->value();
    ascentTimer.setInterval(kTickMs);
    ascentTimer.start();
}

void MainWindow::ascentTick()
{
    // The spin box holds whole millibars: the ascent goes on from its own
    // finer value, unless the person has moved the pressure meanwhile.
    const double shown = ui.spPressure->value();
    const double current = std::abs(shown - ascentPressure) < kHalfMillibar ? ascentPressure : shown;
    const double next = current - double(ascentStep);
    const double target = ascentTargetPressure;
    const double bound = next <= target ? target : next;
    if (ui.spPressure->minimum() >= bound) {
        ascentPressure = ui.spPressure->minimum();
        ascentTimer.stop();
    } else if (target >= next) {
        ascentPressure = target;
        ascentTimer.stop();
    } else {
        ascentPressure = next;
    }
    // Setting the spin box moves the slider and sends the pressure.
    ui.spPressure->setValue(ascentPressure);
}

// The dive computer's side of the main window: its menu, the connection
// dialog, the pressure simulation controls and the firmware list.
#include "app/mainwindow.h"

void MainWindow::buildComputerMenu()
{
    // The dive computer menu of btImportPelavix (download, owner name,
    // firmware, system logs) is built here.
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

void MainWindow::updateSimulationButton()
{
    // The simulation's start button is enabled here while a computer is connected.
}

void MainWindow::startFirmwareListDownload()
{
    // Each show starts the download of the firmware table of contents here.
}


#pragma once

#include "promptrecorder.h"

#include <QString>

#include <functional>

#include "divemodel/dive.h"

class MainWindow;
class Marker;
class QAbstractButton;
class QDialog;

namespace testkit {

// A stored dive of the simulated computer with the given samples.
Dive simulatorDive(const QString& name, const QList<DiveLine>& lines);
// 248 steps, the last sample and the surface.
Dive dive250Steps();

// A dialog script that lets the dialog run as the person would watch it:
// what the computer answers arrives, then `act` does what the person does
// (clicks, checks), then whatever that started is answered. The dialog's own
// result when it closed itself or was closed by `act`, else rejected, as
// when the person closes it.
DialogScript runDialog(std::function<void(QDialog&)> act = {});

// Chooses `entry` in the computer menu of the button "btImportPelavix" with
// the mouse; false when the entry was not there.
bool chooseComputerMenu(MainWindow& window, const QString& entry);

// Connects the window to the simulated computer through its connection
// dialog; false when it did not connect.
bool connectWindow(MainWindow& window, PromptRecorder& prompts);

// The Simulation tab, as the person reaches it.

// Shows the window on its Simulation tab, the dive played on "Profile".
bool showSimulationTab(MainWindow& window);
// Clicks the tab's "Connect" with the mouse, the connection dialog left to
// run; true when it connected.
bool connectSimulationTab(MainWindow& window, PromptRecorder& prompts);
// Both of the above.
bool showConnectedSimulationTab(MainWindow& window, PromptRecorder& prompts);
// Stores the dive and opens it from the list with a double click; true when
// it is the one shown.
bool openStoredDive(MainWindow& window, const Dive& dive);
// Starts the simulation with the mouse; true when its timer runs at a step a
// second. The test plays the steps itself: the timer is held.
bool startSimulation(MainWindow& window);
// Opens the dive and starts playing it, what was asked until then forgotten.
bool playStoredDive(MainWindow& window, PromptRecorder& prompts, const Dive& dive);
// Whether the simulation ended as it ends: no timer, the progress bar at 0,
// no diver marker and the start icon back on its button.
bool simulationEnded(MainWindow& window);
// The ascent definition as the person fills it in.
DialogScript ascentDefinition(int targetDepth, int speed);
// Sets the pressure to `start` and starts an ascent with the mouse; true
// when its timer runs at a tick a second.
bool ascendFrom(MainWindow& window, PromptRecorder& prompts, double start, int targetDepth, int speed);

// The marker `id` of the dive-log profile, or null.
const Marker* profileMarker(MainWindow& window, int id);
// Whether the button shows the image of the resource `path`.
bool showsIcon(const QAbstractButton& button, const QString& path);

} // namespace testkit

#pragma once

#include "promptrecorder.h"

#include <QString>

#include <functional>

class MainWindow;
class QDialog;

namespace testkit {

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

} // namespace testkit

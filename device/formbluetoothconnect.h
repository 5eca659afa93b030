#pragma once

#include "tessal/quelmsession.h"
#include "ui_formbluetoothconnect.h"

#include <QDialog>
#include <QLowEnergyController>
#include <QString>

class QTimer;

// The frameless dialog that finds or connects the dive computer and reads
// its firmware version, serial number and ambient pressure (the handshake)
// before it closes as accepted. Each status shows as a line under an
// animated image. Made once with the main window and kept.
class FormBluetoothConnect : public QDialog
{
    Q_OBJECT

public:
    explicit FormBluetoothConnect(QWidget* parent = nullptr);

    // Runs the dialog with the session's signals; 1 when the handshake
    // finished. A run that ends without it stops the search and drops the
    // link, so that no half-read computer stays connected.
    int execute();

    // Not owned; set before the first run.
    QuelmSession* session = nullptr;
    // The animation's timer while it runs, else null.
    QTimer* animationTimer = nullptr;
    // The step image that the next tick shows, 0 to 3.
    int animationStep = 0;

public slots:
    void onCreateControllerStatus(CreateControllerStatusIn status);
    void onConnectControllerStatus(ConnectControllerStatusIn status);
    void onErrorController(QLowEnergyController::Error error);
    void onEndCommand(PelavixCommandIn command);
    void onExchangeError(PelavixCommandIn command, ExchangeErrorIn error);
    // Shows the current step's image and moves to the next: 1, 2, 3, 0, 1…
    void onAnimationTick();

    // Connects the computer found earlier, or searches for one.
    void connectBlueTooth();
    // Starts the stopped animation, or stops the running one.
    void startStopAnimation();
    // Sets the status line.
    void log(const QString& text);

private:
    void showStep(int step);
    void stopAnimation();
    // A status that ends the search or connection: the bottom bar with
    // "Close" shows and the animation toggles.
    void reportFailure(const QString& text);

    Ui::FormBluetoothConnectClass ui{};
};

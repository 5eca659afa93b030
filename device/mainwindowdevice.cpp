// The dive computer's side of the main window: its menu and image, the
// connection, the download, the owner name, the system log, reset and
// disconnection. The firmware and the Simulation tab have files of their own.
#include "app/mainwindow.h"

#include "common/textfiles.h"
#include "common/transientmenu.h"
#include "device/computerroute.h"
#include "device/firmwareversions.h"
#include "device/formbluetoothconnect.h"
#include "device/importbluetooth.h"
#include "device/syslogfile.h"
#include "device/utf8lengthvalidator.h"
#include "divedb/divedb.h"
#include "tessal/quelmbleprotocol.h"
#include "tessal/quelmsession.h"
#include "userprompt.h"

#include <QDateTime>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressDialog>

#include <utility>

namespace {

constexpr int kDownloadMenuId = 1;
constexpr int kFirmwareMenuId = 0;
constexpr quint8 kNormalMode = 1;
constexpr quint8 kBootloaderMode = 2;

const char* const kConnectedImage = "image: url(:/TestGraphics/icons/Pelavix-bluetooth-on.png);";
const char* const kDisconnectedImage = "image: url(:/TestGraphics/icons/Pelavix-power-off.png);";

} // namespace

void MainWindow::connectComputerImage()
{
    ui.imgPelavix->installEventFilter(this);
    ui.imgPelavix->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui.imgPelavix, &QWidget::customContextMenuRequested, this, &MainWindow::onImgPelavixContextualMenu);
}

void MainWindow::buildComputerMenu()
{
    // The menu lives as long as the window; the button does not own it.
    auto* menu = new QMenu(this);
    QAction* download = menu->addAction(tr("Download dives"));
    download->setProperty("id", kDownloadMenuId);
    connect(download, &QAction::triggered, this, &MainWindow::connectAndImportDive);
    connect(menu->addAction(tr("Program name")), &QAction::triggered, this, &MainWindow::connectAndProgramName);
    menu->addSeparator();
    QAction* firmware = menu->addAction(tr("Install firmware/bootloader"));
    firmware->setProperty("id", kFirmwareMenuId);
    connect(firmware, &QAction::triggered, this, &MainWindow::connectAndImportDive);
    menu->addSeparator();
    connect(menu->addAction(tr("Get system logs")), &QAction::triggered, this, &MainWindow::connectAndGetSyslogs);
    ui.btImportPelavix->setMenu(menu);
}

void MainWindow::createConnectDialog()
{
    connectDialog = new FormBluetoothConnect(this);
}

int MainWindow::connectQuelmBle()
{
    if (!session) {
        session = new QuelmSession(this);
        connect(session, &QuelmSession::messageChanged, this, &MainWindow::onSessionMessageChanged);
        connect(session, &QuelmSession::disconnectController, this, &MainWindow::onDisconnectController);
        connect(session, &QuelmSession::serviceError, this, &MainWindow::onServiceError);
        connectDialog->session = session;
    }
    if (session->connected)
        return 1;
    const int result = connectDialog->execute();
    if (result != 1)
        return result;
    showConnectedComputer();
    return 1;
}

void MainWindow::showConnectedComputer()
{
    // The serial comes from the computer: it is shown, never read as markup.
    const QString serial = session->serialNumber.toHtmlEscaped();
    const QString mode = session->mode == kNormalMode ? QStringLiteral("Normal") : QStringLiteral("Firmware");
    ui.imgPelavix->setStyleSheet(QLatin1String(kConnectedImage));
    ui.imgPelavix->setToolTip(
        QStringLiteral("<html><head/><body><p><span style=\" font-weight:700; color:#0055ff; \">%1</span></p>"
                       "<p><span style=\" color:#0055ff; \">%2 %3</span></p>"
                       "<p><span style=\" color:#0055ff; \">%4 %5</span></p></body></html>")
            .arg(tr("Computer Connected"), tr("Serial"), serial, tr("Mode"), mode));
}

void MainWindow::onSessionMessageChanged()
{
    if (session)
        logTrace(QStringLiteral("Log: ") + session->message, false);
}

void MainWindow::onServiceError(QLowEnergyService::ServiceError error)
{
    logTrace(QStringLiteral("Service Error: ") + QuelmBleProtocol::serviceErrorString(error), false);
}

void MainWindow::onDisconnectController()
{
    // An owner-name request of the lost link never ends.
    QObject::disconnect(std::exchange(mOwnerNameRequest, {}));
    // Nothing goes on feeding pressures to the lost computer, and the
    // disabled buttons could no longer stop it.
    if (simulationTimer)
        endSimulation();
    ascentTimer.stop();
    ui.btStartStopSimul->setEnabled(false);
    ui.tbPressure->setEnabled(false);
    ui.spPressure->setEnabled(false);
    ui.btAscent->setEnabled(false);
    ui.btConnectBluetooth->setEnabled(true);
    ui.imgPelavix->setStyleSheet(QLatin1String(kDisconnectedImage));
    ui.imgPelavix->setToolTip(QStringLiteral("Computer Disconnected"));
}

void MainWindow::connectAndImportDive()
{
    // Read before the connection dialog runs its own event loop.
    const int menuId = sender() ? sender()->property("id").toInt() : kFirmwareMenuId;
    if (connectQuelmBle() != 1)
        return;
    bool computerNamesChanged = false;
    DiveDb::instance()->checkComputerNameBySerial(session->serialNumber, session->computerName,
                                                  computerNamesChanged);
    const ComputerRoute route = routeComputerAction(session->firmwareVersion, session->mode, menuId);
    if (route.checkNewerFirmware)
        checkForNewFirmwareBootloader();
    if (route.dialog == ComputerRoute::Dialog::Download) {
        downloadDives(computerNamesChanged);
        return;
    }
    runFirmwareManager();
    if (computerNamesChanged)
        updateDiveList();
}

void MainWindow::downloadDives(bool computerNamesChanged)
{
    QList<Dive> dives;
    bool imported = false;
    {
        ImportBluetooth dialog(this);
        dialog.session = session;
        imported = dialog.execute(&dives);
    }
    // In download order, each with its own message when it fails; the list
    // is rebuilt once for all of them.
    int stored = 0;
    if (imported) {
        for (const Dive& dive : std::as_const(dives))
            stored += storeDiveUnlisted(dive) ? 1 : 0;
    }
    if (stored > 0 || computerNamesChanged)
        updateDiveList();
}

void MainWindow::connectAndProgramName()
{
    if (connectQuelmBle() != 1)
        return;
    if (session->mode != kNormalMode) {
        UserPrompt::current().warning(this, tr("Warning"), tr("The computer is in Bootloader mode"));
        return;
    }
    // One request at a time: asking again while the computer has not
    // answered sends the command again, but one answer opens one dialog.
    if (!mOwnerNameRequest) {
        mOwnerNameRequest = connect(session, &QuelmSession::endCommand, this, [this](PelavixCommandIn command) {
            if (command != PelavixCommand::OwnerName)
                return;
            QObject::disconnect(std::exchange(mOwnerNameRequest, {}));
            programName(session->computerName);
        });
    }
    session->startCommand(PelavixCommand::OwnerName);
}

void MainWindow::programName(const QString& presetName)
{
    QInputDialog dialog(this);
    dialog.setWindowTitle(tr("Set owner"));
    dialog.setLabelText(tr("Owner name"));
    dialog.setTextEchoMode(QLineEdit::Normal);
    dialog.setTextValue(presetName);
    // The computer keeps the name in a field of fixed size: the editor takes
    // no more than fits.
    if (auto* editor = dialog.findChild<QLineEdit*>())
        editor->setValidator(new Utf8LengthValidator(OwnerName::kSize, editor));
    if (UserPrompt::current().exec(dialog) != QDialog::Accepted)
        return;
    const QString name = dialog.textValue();
    if (name.isEmpty())
        return;
    // A name put there by other means than typing is refused, not cut.
    if (!Utf8LengthValidator::fits(name, OwnerName::kSize)) {
        UserPrompt::current().warning(
            this, tr("Set owner"),
            tr("The owner name is too long: the computer keeps at most %1 bytes of it in UTF-8, and \"%2\" takes %3.")
                .arg(OwnerName::kSize)
                .arg(name)
                .arg(name.toUtf8().size()));
        return;
    }
    if (session->connected)
        session->setOwner(name);
}

void MainWindow::connectAndGetSyslogs()
{
    if (connectQuelmBle() != 1)
        return;
    if (session->mode == kBootloaderMode) {
        UserPrompt::current().warning(this, tr("Warning"), tr("The computer is in Bootloader mode"));
        return;
    }
    QProgressDialog busy(tr("Get syslog..."), QString(), 0, 0, this);
    busy.setMinimumWidth(int(busy.width() * 1.5));
    busy.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    busy.setFixedSize(busy.sizeHint());
    const QString startFolder = mSettings->lastSyslogDir();

    // Firmware before 2.0.11 keeps a text log, later ones a binary one.
    const PelavixCommandIn request =
        session->firmwareVersion < kFirmware2_0_11 ? PelavixCommand::SysLogText : PelavixCommand::SysLogBinary;
    bool answered = false;
    const QMetaObject::Connection answer =
        connect(session, &QuelmSession::endCommand, &busy, [&](PelavixCommandIn command) {
            if (command != request)
                return;
            answered = true;
            busy.accept();
        });
    // A lost link never answers.
    const QMetaObject::Connection lost = connect(session, &QuelmSession::disconnectController, &busy, &QDialog::reject);
    session->startCommand(request);
    UserPrompt::current().exec(busy);
    QObject::disconnect(answer);
    QObject::disconnect(lost);
    if (answered)
        saveSysLog(request, startFolder);
}

void MainWindow::saveSysLog(PelavixCommandIn command, const QString& startFolder)
{
    const bool text = command == PelavixCommand::SysLogText;
    if (text && session->sysLogText.isEmpty())
        return;
    const QByteArray content = text ? sysLogTextFile(QDateTime::currentDateTime(), session->computerModelStr(),
                                                     session->serialNumber, session->sysLogText)
                                    : sysLogBinaryFile(session->sysLogRecords);
    const QString path = UserPrompt::current().saveFileName(this, tr("Save Syslog"), startFolder,
                                                            tr("Syslog files (*.syslog)"));
    if (path.isEmpty())
        return;
    const bool written = writeFileAtomically(path, content);
    if (!written)
        reportWriteFailure(path);
    // The folder chosen for a text log is kept even when the file failed.
    if (written || text)
        mSettings->setLastSyslogDir(QFileInfo(path).absolutePath());
}

void MainWindow::onImgPelavixContextualMenu(const QPoint& position)
{
    if (!session || !session->connected)
        return;
    auto* menu = new QMenu(this);
    addDeferredAction(*menu, tr("Close Connection"), this, [this] { askDisconnectComputer(); });
    addDeferredAction(*menu, tr("Reset Computer"), this, [this] { askResetComputer(); });
    popUpTransientMenu(menu, ui.imgPelavix->mapToGlobal(position));
}

void MainWindow::askDisconnectComputer()
{
    const QMessageBox::StandardButton answer = UserPrompt::current().question(
        this, tr("Disconnect Computer"), tr("Are you sure to disconnect the computer?"));
    // The link may have dropped while the question was open.
    if (answer == QMessageBox::Yes && session && session->connected)
        session->controllerDisconnect();
}

void MainWindow::askResetComputer()
{
    const QMessageBox::StandardButton answer =
        UserPrompt::current().question(this, tr("Reset Computer"), tr("Are you sure to reset the computer?"));
    if (answer == QMessageBox::Yes && session && session->connected)
        session->startCommand(PelavixCommand::ResetComputer);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui.imgPelavix && event->type() == QEvent::MouseButtonDblClick) {
        askDisconnectComputer();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

#include "device/firmwaremgt.h"

#include "appsettings.h"
#include "common/textfiles.h"
#include "common/timetexts.h"
#include "common/webaddress.h"
#include "device/firmwaredownloader.h"
#include "tessal/quelmbleprotocol.h"
#include "tessal/quelmsession.h"
#include "userprompt.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace {

enum Step { TocStep = 0, ListingStep = 1, ImageStep = 2 };
constexpr int kDescriptionColumn = 3;

// The suffix of a listed file name: the text after its last dot.
bool hasBinSuffix(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && QStringView(name).sliced(dot + 1) == QLatin1String("bin");
}

} // namespace

FirmwareMgt::FirmwareMgt(QWidget* parent, const std::filesystem::path& folder)
    : QDialog(parent)
    , dataFolder(folder)
    , firmwareFolder(folder / "Firmwares")
{
    ui.setupUi(this);
    ui.progressBar->hide();
    // Failures quote the server's own words: never read as markup.
    ui.lbInfo->setTextFormat(Qt::PlainText);
    downloader = new FirmwareDownloader(this);
    connect(downloader, &FirmwareDownloader::downloaded, this, &FirmwareMgt::fileDownloaded);
    ui.btOpenFolder->hide();
    ui.ckForceSameVersion->hide();
}

void FirmwareMgt::execute(AppSettings* appSettings, QuelmSession* computer)
{
    settings = appSettings;
    session = computer;
    connect(session, &QuelmSession::uploadFirmwareProgress, this, &FirmwareMgt::onUploadFirmwareProgress);
    connect(session, &QuelmSession::endCommand, this, &FirmwareMgt::onEndCommand);
    connect(session, &QuelmSession::exchangeError, this, &FirmwareMgt::onExchangeError);
    connect(session, &QuelmSession::disconnectController, this, &FirmwareMgt::onDisconnectController);
    UserPrompt::current().exec(*this);
    disconnect(session, nullptr, this, nullptr);
}

void FirmwareMgt::showEvent(QShowEvent* event)
{
    // A window restored by the window system is no new opening: the table
    // and a download under way stay.
    if (!event->spontaneous()) {
        if (FirmwareDownloader::isConfigured())
            processDownloadError(downloader->startDownLoad(FirmwareDownloader::getUrl(FirmwareDownloader::UrlTocFile),
                                                           TocStep));
        else
            ui.lbInfo->setText(tr("Firmware repository not configured"));
    }
    QDialog::showEvent(event);
}

void FirmwareMgt::fileDownloaded()
{
    switch (downloader->step) {
    case TocStep:
        processTocFile();
        break;
    case ListingStep:
        processRepositoryContent();
        break;
    case ImageStep:
        processDownloadedFirmware();
        break;
    default:
        break;
    }
}

void FirmwareMgt::processDownloadError(int code)
{
    if (code != 0)
        reportDownloadFailure(downloader->errorText());
}

void FirmwareMgt::reportDownloadFailure(const QString& reason)
{
    const QString text = failedRequestHeading() + QLatin1Char('\n') + reason;
    ui.lbInfo->setText(text);
    UserPrompt::current().critical(this, tr("Download Error"), text);
}

QString FirmwareMgt::failedRequestHeading() const
{
    switch (downloader->step) {
    case TocStep:
        return tr("The table of contents of the firmware could not be downloaded:");
    case ListingStep:
        return tr("The list of firmware images could not be downloaded:");
    default:
        return tr("The firmware image could not be downloaded:");
    }
}

void FirmwareMgt::processTocFile()
{
    if (downloader->errorCode() != 0) {
        processDownloadError(downloader->errorCode());
        return;
    }
    firmwares.clear();
    const QJsonArray entries = downloader->getFirmwareList();
    for (const QJsonValue& value : entries) {
        const QJsonObject entry = value.toObject();
        FirmwareInfo firmware;
        firmware.file = entry.value(QLatin1String("File")).toString();
        firmware.setVersion(entry.value(QLatin1String("Version")).toString());
        firmware.description = entry.value(QLatin1String("Description")).toString();
        firmware.setColor(entry.value(QLatin1String("Color")).toString());
        firmware.setDateTime(entry.value(QLatin1String("DateTime")).toString());
        firmwares.push_back(std::move(firmware));
    }
    processDownloadError(
        downloader->startDownLoad(FirmwareDownloader::getUrl(FirmwareDownloader::UrlRepositoryContents), ListingStep));
}

void FirmwareMgt::processRepositoryContent()
{
    if (downloader->errorCode() != 0) {
        processDownloadError(downloader->errorCode());
        return;
    }
    const QJsonArray listing = QJsonDocument::fromJson(downloader->downloadedData()).array();
    for (const QJsonValue& value : listing) {
        const QJsonObject entry = value.toObject();
        const QString name = entry.value(QLatin1String("name")).toString();
        if (hasBinSuffix(name))
            matchListingEntry(name, QUrl(entry.value(QLatin1String("download_url")).toString()));
    }
    updateList(true);
    ui.lbInfo->setText(tr("%1 Firmwares Available").arg(firmwares.size()));
}

void FirmwareMgt::matchListingEntry(const QString& name, const QUrl& address)
{
    const auto firmware = std::find_if(firmwares.begin(), firmwares.end(),
                                       [&name](const FirmwareInfo& info) { return info.file == name; });
    if (firmware == firmwares.end())
        return;
    // An address that reads something else than the repository's image
    // (a local file, a clear-text host), or a cache name that would land
    // outside the cache folder, leaves the firmware without a download.
    if (!isSecureWebAddress(address) || !firmware->hasPlainBinaryFileName())
        return;
    firmware->downloadUrl = address.toString();
}

void FirmwareMgt::updateList(bool resize)
{
    QTableWidget& table = *ui.tbFirmwares;
    table.setRowCount(int(firmwares.size()));
    for (int row = 0; row < int(firmwares.size()); ++row) {
        const FirmwareInfo& firmware = firmwares[size_t(row)];
        const QBrush background(firmware.color, Qt::SolidPattern);
        const QString texts[] = {firmware.file, firmware.versionText, firmware.dateTime};
        for (int column = 0; column < kDescriptionColumn; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setBackground(background);
            table.setItem(row, column, item);
        }
        auto* cell = new QWidget;
        auto* layout = new QHBoxLayout(cell);
        layout->setContentsMargins(4, 0, 0, 0);
        layout->setSpacing(0);
        // The description comes from the repository: shown, never read as
        // markup.
        auto* description = new QLabel(firmware.description);
        description->setTextFormat(Qt::PlainText);
        layout->addWidget(description);
        auto* button = new QPushButton(QIcon(QStringLiteral(":/TestGraphics/icons/download.png")), QString());
        button->setMaximumWidth(30);
        button->setToolTip(tr("Download Firmware"));
        button->setProperty("id", row);
        button->setEnabled(!mInstalling && !firmware.downloadUrl.isEmpty());
        connect(button, &QPushButton::clicked, this, &FirmwareMgt::downloadFirmware);
        layout->addWidget(button);
        table.setCellWidget(row, kDescriptionColumn, cell);
    }
    if (resize)
        table.resizeColumnsToContents();
}

void FirmwareMgt::downloadFirmware()
{
    if (downloadIndex != -1 || mInstalling || !sender())
        return;
    const int row = sender()->property("id").toInt();
    if (row < 0 || row >= int(firmwares.size()) || firmwares[size_t(row)].downloadUrl.isEmpty())
        return;
    downloadIndex = row;
    const int code = downloader->startDownLoad(QUrl(firmwares[size_t(row)].downloadUrl), ImageStep);
    if (code != 0) {
        downloadIndex = -1;
        processDownloadError(code);
    }
}

void FirmwareMgt::processDownloadedFirmware()
{
    if (downloadIndex < 0 || downloadIndex >= int(firmwares.size()))
        return;
    if (downloader->errorCode() != 0 || downloader->downloadedData().isEmpty()) {
        downloadIndex = -1;
        reportDownloadFailure(downloader->errorCode() != 0 ? downloader->errorText() : tr("The image is empty."));
        return;
    }
    // Written whole or not at all, so that every file of the cache is a
    // whole image and a shorter one leaves no stale tail.
    QDir().mkpath(firmwareFolderText());
    const QString path = QDir(firmwareFolder).filePath(firmwares[size_t(downloadIndex)].getBinaryFileName());
    if (!writeFileAtomically(path, downloader->downloadedData())) {
        downloadIndex = -1;
        UserPrompt::current().critical(this, tr("Error"),
                                       tr("Impossible to write file %1").arg(QDir::toNativeSeparators(path)));
        return;
    }
    // The download has ended: the other rows may download while this one
    // is asked about and installed.
    uploadFirmware(std::exchange(downloadIndex, -1));
}

void FirmwareMgt::uploadFirmware(int row)
{
    // An image that arrives while another one is asked about or installs
    // waits for another press of its button.
    if (uploadIndex != -1 || mInstalling)
        return;
    uploadIndex = row;
    FirmwareInfo& firmware = firmwares[size_t(row)];
    const QMessageBox::StandardButton answer = UserPrompt::current().question(
        this, tr("Confirmation"), tr("Upload firmware ") + firmware.versionText + QLatin1Char('?'));
    if (answer != QMessageBox::Yes) {
        uploadIndex = -1;
        return;
    }
    if (!firmware.loadBinaryFile(firmwareFolder, true)) {
        UserPrompt::current().critical(this, tr("Error"), tr("Impossible to load binary file"));
        uploadIndex = -1;
        return;
    }
    uploadTotal = session->uploadFirmware(firmware.binary, firmware.getFileNameWithVersion(),
                                          ui.ckForceSameVersion->isChecked());
    processNextStepUpload();
}

void FirmwareMgt::processNextStepUpload()
{
    QString refusal;
    switch (uploadTotal) {
    case -4:
        refusal = tr("Update firmware needs bootloader update");
        break;
    case -3:
        refusal = tr("Firmware already installed");
        break;
    case -2:
        refusal = tr("Bootloader already installed");
        break;
    case -1:
        refusal = tr("Too old firmware file");
        break;
    default:
        break;
    }
    if (!refusal.isEmpty())
        UserPrompt::current().critical(this, tr("Error"), refusal);
    if (uploadTotal < 1) {
        uploadIndex = -1;
        return;
    }
    ui.progressBar->show();
    setInstalling(true);
}

void FirmwareMgt::onUploadFirmwareProgress(int sent, int percent)
{
    if (sent == 0 && percent == 100) {
        ui.progressBar->setValue(0);
        ui.lbInfo->setText(QStringLiteral("Nb sent: 0/0"));
        return;
    }
    ui.progressBar->setValue(percent);
    ui.lbInfo->setText(tr("Number of bytes sent: %1/%2").arg(sent).arg(uploadTotal));
}

void FirmwareMgt::onEndCommand(PelavixCommandIn command)
{
    if (command != PelavixCommand::FirmwareInstall)
        return;
    setInstalling(false);
    const QString duration = formatChrono(std::chrono::microseconds(session->installDuration), QString(), false);
    ui.lbInfo->setText(tr("Installation Successfull in %1").arg(duration));
}

void FirmwareMgt::onExchangeError(PelavixCommandIn command, ExchangeErrorIn error)
{
    if (command != PelavixCommand::FirmwareInstall || !mInstalling)
        return;
    setInstalling(false);
    ui.lbInfo->setText(tr("Installation failed: %1").arg(QuelmBleProtocol::exchangeErrorString(error)));
}

void FirmwareMgt::onDisconnectController()
{
    if (!mInstalling)
        return;
    setInstalling(false);
    ui.lbInfo->setText(tr("Computer disconnected"));
}

void FirmwareMgt::setInstalling(bool installing)
{
    mInstalling = installing;
    // An ended installation frees its row for the next one.
    if (!installing)
        uploadIndex = -1;
    ui.btFirmwareFromDisk->setEnabled(!installing);
    for (int row = 0; row < ui.tbFirmwares->rowCount(); ++row) {
        QWidget* cell = ui.tbFirmwares->cellWidget(row, kDescriptionColumn);
        if (auto* button = cell ? cell->findChild<QPushButton*>() : nullptr)
            button->setEnabled(!installing && !firmwares[size_t(row)].downloadUrl.isEmpty());
    }
}

void FirmwareMgt::on_btFirmwareFromDisk_clicked()
{
    if (mInstalling)
        return;
    const QString path = UserPrompt::current().openFileName(this, tr("Open Firmware"), settings->lastFirmwares(),
                                                            tr("Firmware Files (*.bin)"));
    if (path.isEmpty())
        return;
    const QFileInfo chosen(path);
    settings->setLastFirmwares(chosen.absolutePath());
    FirmwareInfo firmware;
    firmware.file = chosen.fileName();
    if (!firmware.loadBinaryFile(chosen.absoluteDir().filesystemAbsolutePath(), false)) {
        UserPrompt::current().critical(this, tr("Error"), tr("Impossible to load binary file"));
        return;
    }
    // An installation may have started while the file dialog was open.
    if (mInstalling)
        return;
    uploadTotal = session->uploadFirmware(firmware.binary, firmware.getFileNameWithVersion(),
                                          ui.ckForceSameVersion->isChecked());
    processNextStepUpload();
}

void FirmwareMgt::on_btOpenFolder_clicked()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(firmwareFolderText()));
}

QString FirmwareMgt::firmwareFolderText() const
{
    return QDir(firmwareFolder).path();
}

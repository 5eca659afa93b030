// The firmware side of the main window: the repository's table of contents
// fetched on every show, the newer-firmware report and the firmware manager.
#include "app/mainwindow.h"

#include "device/firmwaredownloader.h"
#include "device/firmwaremgt.h"
#include "tessal/quelmdata.h"
#include "tessal/quelmsession.h"
#include "userprompt.h"

#include <QJsonArray>
#include <QJsonObject>

void MainWindow::configureFirmwareRepository()
{
    FirmwareDownloader::sContentsUrl = mServiceConfig.firmwareContentsUrl;
    FirmwareDownloader::sUsername = mServiceConfig.firmwareUser;
    FirmwareDownloader::sAccessToken = mServiceConfig.firmwareToken;
    FirmwareDownloader::sDownloadOrigins = mServiceConfig.firmwareDownloadOrigins;
}

void MainWindow::loadTocFile()
{
    // Without a repository address nothing is asked of anyone.
    if (!FirmwareDownloader::isConfigured())
        return;
    auto* downloader = new FirmwareDownloader(this);
    connect(downloader, &FirmwareDownloader::downloaded, this, &MainWindow::tocFileLoaded);
    tocDownloader = downloader;
    if (downloader->startDownLoad(FirmwareDownloader::getUrl(FirmwareDownloader::UrlTocFile), 0) != 0) {
        delete downloader;
        tocDownloader = nullptr;
    }
}

void MainWindow::tocFileLoaded()
{
    // Each request has its own downloader: the answer is the sender's, even
    // when a later show has started another one.
    auto* downloader = qobject_cast<FirmwareDownloader*>(sender());
    if (!downloader)
        return;
    // A failed table leaves the known version as it is.
    if (downloader->errorCode() == 0) {
        const QJsonArray firmwares = downloader->getFirmwareList();
        if (!firmwares.isEmpty()) {
            // The table lists the newest firmware first.
            bool readable = false;
            const unsigned newest =
                firmwares.first().toObject().value(QLatin1String("Version")).toString().toUInt(&readable, 16);
            latestFirmwareVersion = readable ? newest : 0;
        }
    }
    disconnect(downloader, &FirmwareDownloader::downloaded, this, &MainWindow::tocFileLoaded);
    if (tocDownloader == downloader)
        tocDownloader = nullptr;
    // It is still inside its own signal.
    downloader->deleteLater();
}

void MainWindow::checkForNewFirmwareBootloader()
{
    if (latestFirmwareVersion == 0 || latestFirmwareVersion <= session->firmwareVersion)
        return;
    UserPrompt::current().information(
        this, tr("Firmware Update Available"),
        tr("The connected device is using an earlier firmware version %1.\nA more recent version %2 is available.")
            .arg(session->firmwareVersionText, QuelmData::firmwareVersionToString(latestFirmwareVersion)));
    // Reported once per table of contents.
    latestFirmwareVersion = 0;
}

void MainWindow::runFirmwareManager()
{
    FirmwareMgt manager(this, mDataFolder);
    manager.execute(mSettings.get(), session);
}

#include "mainwindow.h"

#include "common/applicationversion.h"
#include "common/webaddress.h"

#include "genericfiledownloader.h"
#include "installerlauncher.h"
#include "updateoffer.h"
#include "userprompt.h"
#include "wordpressclient.h"
#include "ziphelpers.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QProgressDialog>

#include <algorithm>

void MainWindow::checkNewVersionAvailable()
{
    if (!isSecureWebAddress(QUrl(mServiceConfig.siteRoot))) {
        qDebug().noquote() << "The update check is not configured: no https address in"
                           << ServiceConfig::kSiteRoot << "of" << ServiceConfig::kFileName;
        return;
    }
    // Each check has a client of its own, freed once its listing has come or
    // failed.
    auto* client = new WordPressClient(mServiceConfig.siteRoot, this);
    connect(client, &WordPressClient::mediaListReady, this, [this, client](const QList<QJsonObject>& list) {
        const QList<QJsonObject> media = list;
        client->deleteLater();
        mediaListReady(media);
    });
    connect(client, &WordPressClient::mediaListFailed, client, &QObject::deleteLater);
    client->fetchAllMedia(QStringLiteral("application/zip"));
}

void MainWindow::mediaListReady(const QList<QJsonObject>& list)
{
    // A listing that comes while the question is open, or the download under
    // way, asks nothing, neither now nor once the question is answered.
    if (mUpdateUnderWay)
        return;
    // A listing that comes while a dive is being written asks once the dive
    // is stored: the question must not hold the write up.
    mWriteQueue.run([this, list] {
        // One update at a time: another check's listing must not ask again or
        // download the same archive beside the first.
        if (mUpdateUnderWay)
            return;
        const std::optional<UpdateOffer> offer = findUpdateOffer(list, getApplicationVersion(qApp));
        if (!offer)
            return;
        mUpdateUnderWay = true;
        const QMessageBox::StandardButton answer = UserPrompt::current().question(
            this, tr("Application update"),
            tr("A new version %1 is available, do you want to download and install it?").arg(offer->version.text()));
        if (answer == QMessageBox::No) {
            mUpdateUnderWay = false;
            return;
        }
        downloadUpdate(offer->archiveUrl);
    });
}

void MainWindow::downloadUpdate(const QUrl& archiveUrl)
{
    auto* downloader = new GenericFileDownloader(this);
    auto* bar = new QProgressBar;
    QProgressDialog* progress = createUpdateProgress(bar);
    connect(downloader, &GenericFileDownloader::progressChanged, bar, [bar](qint64 received, qint64 total) {
        if (total > 0)
            bar->setValue(int(std::clamp<qint64>(received * 100 / total, 0, 100)));
    });
    // Cancel, Escape and closing the dialog all stop the download, which then
    // fails.
    connect(progress, &QProgressDialog::canceled, downloader, &GenericFileDownloader::abort);
    connect(progress, &QDialog::finished, downloader, &GenericFileDownloader::abort);
    connect(downloader, &GenericFileDownloader::downloadFinished, this,
            [this, progress, bar, downloader](const QString& path) {
                bar->setValue(bar->maximum());
                endUpdateDownload(progress, downloader);
                installUpdate(path);
                mUpdateUnderWay = false;
            });
    connect(downloader, &GenericFileDownloader::downloadFailed, this,
            [this, progress, downloader](const QString& error) {
                UserPrompt::current().critical(this, tr("Download failed"), error);
                endUpdateDownload(progress, downloader);
                mUpdateUnderWay = false;
            });
    downloader->download(archiveUrl, QString());
    // The dialog lives until the download ends, whenever the modal run
    // returns.
    UserPrompt::current().exec(*progress);
}

QProgressDialog* MainWindow::createUpdateProgress(QProgressBar* bar)
{
    auto* progress = new QProgressDialog(this);
    // The bar is driven directly: QProgressDialog::setValue of a modal dialog
    // runs the event loop, here from inside the download's own signals.
    progress->setBar(bar);
    progress->setLabelText(tr("Downloading new version..."));
    progress->setCancelButtonText(tr("Cancel"));
    progress->setRange(0, 100);
    progress->setWindowTitle(tr("Downloading"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setMinimumWidth(int(progress->width() * 1.5));
    return progress;
}

void MainWindow::endUpdateDownload(QProgressDialog* progress, GenericFileDownloader* downloader)
{
    progress->close();
    progress->deleteLater();
    downloader->deleteLater();
}

void MainWindow::installUpdate(const QString& archivePath)
{
    const QString folder = createUnpackFolder(archivePath);
    const QString installer = QDir(folder).filePath(installerNameFor(archivePath));
    ZipExtraction extraction;
    // The installer runs only from an archive that unpacked whole and brought
    // it along; the archive goes only once the installer is there.
    if (!folder.isEmpty() && extractZip(archivePath, folder, {}, &extraction) && extraction.files.contains(installer)) {
        QFile::remove(archivePath);
        runInstallerAndExit(installer);
        return;
    }
    // Nothing half unpacked is left behind. The folder is the update's own.
    if (!folder.isEmpty())
        QDir(folder).removeRecursively();
    if (!extraction.refusal.isEmpty()) {
        QFile::remove(archivePath);
        UserPrompt::current().critical(
            this, tr("Update refused"),
            tr("The downloaded update was refused as unsafe and removed: %1").arg(extraction.refusal));
        return;
    }
    UserPrompt::current().information(this, tr("Download finished"),
                                      tr("The new version has been downloaded to %1").arg(archivePath));
}

void MainWindow::runInstallerAndExit(const QString& installerPath)
{
    InstallerLauncher& launcher = InstallerLauncher::current();
    if (launcher.open(installerPath))
        launcher.quit();
    else
        UserPrompt::current().critical(this, tr("Error"), tr("Erreur on start installation"));
}

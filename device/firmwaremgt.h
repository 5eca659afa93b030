#pragma once

#include "device/firmwareinfo.h"
#include "tessal/quelmtypes.h"
#include "ui_firmwaremgt.h"

#include <QDialog>

#include <filesystem>
#include <vector>

class AppSettings;
class FirmwareDownloader;
class QShowEvent;
class QuelmSession;

// The modal dialog that installs firmware or a bootloader on the connected
// computer: it lists the repository's firmware with their colours,
// downloads the chosen image into the cache folder and uploads it after a
// confirmation, or uploads an image chosen on disk, and shows the upload's
// progress and duration. Only a whole image, exactly as published, is ever
// offered for upload, and one installation runs at a time.
class FirmwareMgt : public QDialog
{
    Q_OBJECT

public:
    FirmwareMgt(QWidget* parent, const std::filesystem::path& dataFolder);

    // Runs the dialog on the connected computer; the last firmware folder
    // is kept in `settings`.
    void execute(AppSettings* settings, QuelmSession* session);

    // Not owned; given to `execute`.
    QuelmSession* session = nullptr;
    AppSettings* settings = nullptr;
    FirmwareDownloader* downloader = nullptr;
    std::filesystem::path dataFolder;
    // The image cache: data folder / "Firmwares".
    std::filesystem::path firmwareFolder;
    // One per table-of-contents entry, in table order: row i is entry i.
    std::vector<FirmwareInfo> firmwares;
    // The rows being downloaded and uploaded; -1 when free.
    int downloadIndex = -1;
    int uploadIndex = -1;
    // The computer's answer to the last upload: above 0 the bytes to send.
    int uploadTotal = 0;

public slots:
    void fileDownloaded();
    // The download button of a row: downloads its image, then offers it for
    // upload.
    void downloadFirmware();
    void on_btOpenFolder_clicked();
    void on_btFirmwareFromDisk_clicked();
    void onUploadFirmwareProgress(int sent, int percent);
    void onEndCommand(PelavixCommandIn command);

protected:
    // Every show fetches the table of contents, then the listing.
    void showEvent(QShowEvent* event) override;

private:
    // A code other than 0 is reported as the downloader's failure.
    void processDownloadError(int code);
    // "Download Error" with what failed and why, in the status line too.
    void reportDownloadFailure(const QString& reason);
    // What the request of the downloader's step was for.
    QString failedRequestHeading() const;
    void processTocFile();
    void processRepositoryContent();
    void processDownloadedFirmware();
    // Gives the image address of a listing entry to the first firmware of
    // that name, when the address and the cache name may be used.
    void matchListingEntry(const QString& name, const QUrl& address);
    void updateList(bool resize);
    // Asks, loads the cached image of `row` and uploads it.
    void uploadFirmware(int row);
    void processNextStepUpload();
    // An installation runs from a start result above 0 until the computer
    // ends it or the link drops; meanwhile no upload starts.
    void setInstalling(bool installing);
    void onExchangeError(PelavixCommandIn command, ExchangeErrorIn error);
    void onDisconnectController();
    QString firmwareFolderText() const;

    Ui::FirmwareMgtClass ui{};
    bool mInstalling = false;
};

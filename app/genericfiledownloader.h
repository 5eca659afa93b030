#pragma once

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

class QNetworkReply;
class QSaveFile;

// Downloads one file at a time into a file on disk. The body goes to a
// temporary file beside the target as it arrives and takes the target's name
// only once it is complete: a failed or aborted download leaves nothing behind
// and an existing file untouched. Every download answers later, with exactly
// one of downloadFinished and downloadFailed.
class GenericFileDownloader : public QObject
{
    Q_OBJECT

public:
    // No update comes near this size: a body that passes it, announced or
    // not, stops the download.
    static constexpr qint64 kMaxDownloadSize = qint64(1) << 30; // 1 GiB

    explicit GenericFileDownloader(QObject* parent = nullptr);
    ~GenericFileDownloader() override;

    // The largest body taken, kMaxDownloadSize unless set; for the next
    // download.
    void setMaxSize(qint64 bytes) { mMaxSize = bytes; }

    // Starts downloading `url` into `path`, aborting a download under way; an
    // empty path means the user's download folder (created when missing) and
    // the file name of the URL.
    void download(const QUrl& url, const QString& path);
    // Aborts the download under way, which then fails; does nothing once it
    // has ended.
    void abort();
    // The request of `url`; it fails after kTransferTimeout of silence, and
    // follows a redirect only to https or to this computer.
    static QNetworkRequest request(const QUrl& url);

signals:
    void downloadFinished(const QString& path);
    void downloadFailed(const QString& error);
    // The bytes written so far, and the whole size (-1 when unknown).
    void progressChanged(qint64 received, qint64 total);

private:
    // The file that `path` (or, when empty, the URL) names; empty when none
    // can be had.
    static QString targetPath(const QUrl& url, const QString& path);
    void failLater(const QString& error);
    void checkAnnouncedSize();
    // Stops the download under way, which then fails with `reason`.
    void stop(const QString& reason);
    QString tooLarge() const;
    QString writeFailure() const;
    void writeArrived();
    void finish();
    // Why the finished download cannot be kept; empty when it can.
    QString failureOf(const QNetworkReply& reply);

    QNetworkAccessManager mNetwork;
    // The reply under way; forgotten before the download's signal goes out.
    QNetworkReply* mReply = nullptr;
    std::unique_ptr<QSaveFile> mFile;
    QString mPath;
    qint64 mWritten = 0;
    qint64 mMaxSize = kMaxDownloadSize;
    // Why the download was stopped before its end (a refused redirect, a body
    // too large, a failed write); empty when it was not.
    QString mRefusal;
};

#include "genericfiledownloader.h"

#include "common/checkedredirects.h"
#include "common/replybody.h"
#include "common/transfertimeout.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QNetworkReply>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <utility>

GenericFileDownloader::GenericFileDownloader(QObject* parent)
    : QObject(parent)
{
}

GenericFileDownloader::~GenericFileDownloader()
{
    // A download cut off by the end of its downloader tells nobody.
    if (mReply)
        mReply->disconnect(this);
}

QString GenericFileDownloader::targetPath(const QUrl& url, const QString& path)
{
    if (!path.isEmpty())
        return path;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    const QString name = url.fileName();
    // The decoded name holds no "/"; it must not name the folder itself or
    // its parent either.
    if (folder.isEmpty() || name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    return QDir(folder).filePath(name);
}

void GenericFileDownloader::download(const QUrl& url, const QString& path)
{
    abort();
    mPath = targetPath(url, path);
    mWritten = 0;
    mRefusal.clear();
    if (mPath.isEmpty() || !QDir().mkpath(QFileInfo(mPath).absolutePath())) {
        failLater(tr("Cannot write output file"));
        return;
    }
    mFile = std::make_unique<QSaveFile>(mPath);
    if (!mFile->open(QIODevice::WriteOnly)) {
        mFile.reset();
        failLater(tr("Cannot write output file"));
        return;
    }
    mReply = mNetwork.get(request(url));
    connect(mReply, &QNetworkReply::metaDataChanged, this, &GenericFileDownloader::checkAnnouncedSize);
    followSecureRedirects(mReply, [this](const QUrl& hop) {
        mRefusal = tr("The download was sent on to %1, which is neither an https address nor this computer")
                       .arg(hop.toDisplayString());
    });
    connect(mReply, &QNetworkReply::readyRead, this, &GenericFileDownloader::writeArrived);
    connect(mReply, &QNetworkReply::finished, this, &GenericFileDownloader::finish);
}

QNetworkRequest GenericFileDownloader::request(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(kTransferTimeout);
    checkEachRedirect(request);
    return request;
}

void GenericFileDownloader::abort()
{
    if (mReply)
        mReply->abort();
}

void GenericFileDownloader::failLater(const QString& error)
{
    QMetaObject::invokeMethod(this, [this, error] { emit downloadFailed(error); }, Qt::QueuedConnection);
}

void GenericFileDownloader::stop(const QString& reason)
{
    mRefusal = reason;
    mReply->abort();
}

QString GenericFileDownloader::tooLarge() const
{
    return tr("The download is larger than %1 MB, more than any update, and was stopped")
        .arg(QLocale().toString(mMaxSize / (1024 * 1024)));
}

QString GenericFileDownloader::writeFailure() const
{
    // Qt often tells a failed write only as an "Unknown error"; the system's
    // reason (a full disk...) is still at hand.
    const int reason = errno;
    return tr("Cannot write output file: %1")
        .arg(reason != 0 ? QString::fromLocal8Bit(std::strerror(reason)) : mFile->errorString());
}

void GenericFileDownloader::checkAnnouncedSize()
{
    if (mReply && announcesMoreThan(*mReply, mMaxSize))
        stop(tooLarge());
}

void GenericFileDownloader::writeArrived()
{
    // Qt may still signal data of a redirected reply once it has finished.
    if (!mReply || !mRefusal.isEmpty())
        return;
    const QByteArray data = mReply->readAll();
    if (data.isEmpty())
        return;
    if (data.size() > mMaxSize - mWritten) {
        stop(tooLarge());
        return;
    }
    mWritten += data.size();
    if (mFile->write(data) != data.size()) {
        stop(writeFailure());
        return;
    }
    const QVariant total = mReply->header(QNetworkRequest::ContentLengthHeader);
    emit progressChanged(mWritten, total.isValid() ? total.toLongLong() : -1);
}

QString GenericFileDownloader::failureOf(const QNetworkReply& reply)
{
    if (!mRefusal.isEmpty())
        return mRefusal;
    // A body cut short of its Content-Length is an error of the reply.
    if (reply.error() != QNetworkReply::NoError)
        return reply.errorString();
    if (!isBodyComplete(reply, mWritten))
        return tr("The download was cut short");
    if (!mFile->commit())
        return writeFailure();
    return {};
}

void GenericFileDownloader::finish()
{
    if (mReply->error() == QNetworkReply::NoError)
        writeArrived();
    QNetworkReply* reply = std::exchange(mReply, nullptr);
    reply->deleteLater();
    const QString error = failureOf(*reply);
    // An uncommitted file takes its temporary away with it.
    mFile.reset();
    if (error.isEmpty())
        emit downloadFinished(mPath);
    else
        emit downloadFailed(error);
}

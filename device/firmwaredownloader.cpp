#include "device/firmwaredownloader.h"

#include "device/firmwareinfo.h"

#include "common/replybody.h"
#include "common/webaddress.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>

#include <utility>

QString FirmwareDownloader::sUsername;
QString FirmwareDownloader::sAccessToken;
QString FirmwareDownloader::sContentsUrl;

FirmwareDownloader::FirmwareDownloader(QObject* parent)
    : QObject(parent)
{
    connect(&mManager, &QNetworkAccessManager::finished, this, &FirmwareDownloader::fileDownloaded);
}

QUrl FirmwareDownloader::getUrl(UrlType type)
{
    return QUrl(type == UrlRepositoryContents ? sContentsUrl : sContentsUrl + QLatin1String("/toc-private.json"));
}

QNetworkRequest FirmwareDownloader::buildRequest(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(kTransferTimeout);
    // A redirect would carry the Authorization header to wherever it
    // points: only the same scheme, host and port are followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    // The credential never travels in clear beyond this machine.
    if (!sAccessToken.isEmpty() && isSecureWebAddress(url)) {
        request.setRawHeader("Authorization",
                             "Basic " + QString(sUsername + QLatin1Char(':') + sAccessToken).toUtf8().toBase64());
    }
    return request;
}

int FirmwareDownloader::startDownLoad(QUrl url, int requestStep)
{
    step = requestStep;
    // One request at a time: the answer of a dropped one is never taken.
    if (QNetworkReply* previous = std::exchange(mReply, nullptr))
        previous->abort();
    if (!isWebAddress(url))
        return QNetworkReply::ProtocolUnknownError;

    mBody.clear();
    mOversized = false;
    mErrorCode = 0;
    QNetworkReply* reply = mManager.get(buildRequest(url));
    if (reply->error() != QNetworkReply::NoError)
        return reply->error();
    mReply = reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { checkAnnouncedSize(reply); });
    connect(reply, &QIODevice::readyRead, this, [this, reply] { receive(reply); });
    return QNetworkReply::NoError;
}

void FirmwareDownloader::checkAnnouncedSize(QNetworkReply* reply)
{
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (reply == mReply && length.isValid() && length.toLongLong() > FirmwareInfo::sSizeLimit)
        refuseOversizedBody(reply);
}

void FirmwareDownloader::receive(QNetworkReply* reply)
{
    if (reply != mReply || mOversized)
        return;
    mBody += reply->read(FirmwareInfo::sSizeLimit + 1 - mBody.size());
    if (mBody.size() > FirmwareInfo::sSizeLimit)
        refuseOversizedBody(reply);
}

void FirmwareDownloader::refuseOversizedBody(QNetworkReply* reply)
{
    mOversized = true;
    mBody.clear();
    // Ended once the reply has left its own signal.
    QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
}

void FirmwareDownloader::fileDownloaded(QNetworkReply* reply)
{
    reply->deleteLater();
    if (reply != mReply)
        return;
    receive(reply);
    mReply = nullptr;
    if (reply->error() != QNetworkReply::NoError)
        qDebug() << "Firmware repository:" << reply->errorString();
    mErrorCode = mOversized ? int(QNetworkReply::UnknownContentError) : replyErrorCode(*reply);
    if (mErrorCode == 0 && !isBodyComplete(*reply, mBody.size()))
        mErrorCode = QNetworkReply::RemoteHostClosedError;
    // A failed reply's body (an error page, half an image) is never taken
    // for the answer.
    data = mErrorCode == 0 ? std::exchange(mBody, {}) : QByteArray();
    mBody.clear();
    emit downloaded();
}

int FirmwareDownloader::replyErrorCode(const QNetworkReply& reply)
{
    if (reply.error() != QNetworkReply::NoError)
        return reply.error();
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0)
        return QNetworkReply::ProtocolFailure;
    return status >= 200 && status < 300 ? 0 : status;
}

QJsonArray FirmwareDownloader::getFirmwareList() const
{
    const QString content = QJsonDocument::fromJson(data).object().value(QLatin1String("content")).toString();
    // The Base64 text is broken into lines, which decoding skips.
    return QJsonDocument::fromJson(QByteArray::fromBase64(content.toUtf8())).array();
}

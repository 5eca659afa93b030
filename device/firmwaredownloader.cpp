#include "device/firmwaredownloader.h"

#include "device/firmwareinfo.h"

#include "common/replybody.h"
#include "common/webaddress.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <utility>

QString FirmwareDownloader::sUsername;
QString FirmwareDownloader::sAccessToken;
QString FirmwareDownloader::sContentsUrl;
QStringList FirmwareDownloader::sDownloadOrigins;

FirmwareDownloader::FirmwareDownloader(QObject* parent)
    : QObject(parent)
{
    connect(&mManager, &QNetworkAccessManager::finished, this, &FirmwareDownloader::fileDownloaded);
}

QUrl FirmwareDownloader::getUrl(UrlType type)
{
    return QUrl(type == UrlRepositoryContents ? sContentsUrl : sContentsUrl + QLatin1String("/toc-private.json"));
}

bool FirmwareDownloader::isRepositoryOrigin(const QUrl& url)
{
    if (isSameOrigin(url, QUrl(sContentsUrl)))
        return true;
    return std::any_of(sDownloadOrigins.cbegin(), sDownloadOrigins.cend(),
                       [&url](const QString& origin) { return isSameOrigin(url, QUrl(origin)); });
}

bool FirmwareDownloader::sendsCredentialTo(const QUrl& url)
{
    // The credential never travels in clear beyond this machine, nor to a
    // host the listing names without the configuration vouching for it.
    return !sAccessToken.isEmpty() && isSecureWebAddress(url) && isRepositoryOrigin(url);
}

QNetworkRequest FirmwareDownloader::buildRequest(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(kTransferTimeout);
    // A redirect would carry the Authorization header to wherever it
    // points: only the same scheme, host and port are followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    if (sendsCredentialTo(url)) {
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
    mBody.clear();
    mOversized = false;
    mWithoutCredential = false;
    setError(0, {});
    if (!isWebAddress(url)) {
        setError(QNetworkReply::ProtocolUnknownError, tr("\"%1\" is not a web address.").arg(url.toDisplayString()));
        return mErrorCode;
    }
    mWithoutCredential = !sAccessToken.isEmpty() && !isRepositoryOrigin(url);
    QNetworkReply* reply = mManager.get(buildRequest(url));
    if (reply->error() != QNetworkReply::NoError) {
        setError(reply->error(), reply->errorString());
        return mErrorCode;
    }
    mReply = reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { checkAnnouncedSize(reply); });
    connect(reply, &QIODevice::readyRead, this, [this, reply] { receive(reply); });
    return QNetworkReply::NoError;
}

void FirmwareDownloader::checkAnnouncedSize(QNetworkReply* reply)
{
    if (reply == mReply && announcesMoreThan(*reply, FirmwareInfo::sSizeLimit))
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
    int code = mOversized ? int(QNetworkReply::UnknownContentError) : replyErrorCode(*reply);
    if (code == 0 && !isBodyComplete(*reply, mBody.size()))
        code = QNetworkReply::RemoteHostClosedError;
    setError(code, code == 0 ? QString() : failureText(*reply, code));
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

QString FirmwareDownloader::failureText(const QNetworkReply& reply, int code) const
{
    if (mOversized)
        return tr("The answer is larger than %1 bytes.").arg(FirmwareInfo::sSizeLimit);
    QString text = replyErrorText(reply, code);
    // What hosting services answer a request that lacks the credential.
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (mWithoutCredential && (status == 401 || status == 403 || status == 404)) {
        text += QLatin1Char(' ')
                + tr("The address lies outside the firmware repository: it was asked without the "
                     "repository's credential.");
    }
    return text;
}

QString FirmwareDownloader::replyErrorText(const QNetworkReply& reply, int code)
{
    if (reply.error() != QNetworkReply::NoError)
        return reply.errorString();
    if (code == QNetworkReply::ProtocolFailure)
        return tr("The answer is no HTTP reply.");
    if (code == QNetworkReply::RemoteHostClosedError)
        return tr("The answer was cut short.");
    return tr("The server answered with status %1.").arg(code);
}

void FirmwareDownloader::setError(int code, const QString& text)
{
    mErrorCode = code;
    mErrorText = text;
}

QJsonArray FirmwareDownloader::getFirmwareList() const
{
    const QString content = QJsonDocument::fromJson(data).object().value(QLatin1String("content")).toString();
    // The Base64 text is broken into lines, which decoding skips.
    return QJsonDocument::fromJson(QByteArray::fromBase64(content.toUtf8())).array();
}

#include "wordpressclient.h"

#include "serviceconfig.h"

#include "common/checkedredirects.h"
#include "common/replybody.h"
#include "common/transfertimeout.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QUrlQuery>

#include <algorithm>

namespace {

constexpr qsizetype kMaxLoggedBody = 1024;

// The page count the site announces: the last "X-WP-TotalPages" header, whose
// name may come in any case (HTTP/2 sends it in lower case); 1 without one.
int totalPages(const QNetworkReply& reply)
{
    QByteArray value = "1";
    for (const auto& [name, headerValue] : reply.rawHeaderPairs())
        if (name.compare("X-WP-TotalPages", Qt::CaseInsensitive) == 0)
            value = headerValue;
    // Repeated headers may arrive folded into one list.
    return value.mid(value.lastIndexOf(',') + 1).trimmed().toInt();
}

} // namespace

WordPressClient::WordPressClient(const QString& baseUrl, QObject* parent)
    : QObject(parent)
    , mBaseUrl(baseUrl)
{
}

void WordPressClient::fetchAllMedia()
{
    fetchAllMedia(QString());
}

void WordPressClient::fetchAllMedia(const QString& mimeType)
{
    mMimeType = mimeType;
    mMedia.clear();
    fetchPage(1);
}

void WordPressClient::fetchPage(int page)
{
    mRefusal.clear();
    QNetworkReply* reply = mNetwork.get(pageRequest(page));
    followSecureRedirects(reply, [this](const QUrl& hop) {
        mRefusal = QStringLiteral("Redirect refused: %1").arg(hop.toDisplayString());
    });
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { checkPageSize(reply); });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { checkPageSize(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply, page] { pageArrived(reply, page); });
}

QNetworkRequest WordPressClient::pageRequest(int page) const
{
    QUrl url(ServiceConfig::joinAddress(mBaseUrl, QStringLiteral("wp-json/wp/v2/media")));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("per_page"), QStringLiteral("100"));
    query.addQueryItem(QStringLiteral("page"), QString::number(page));
    if (!mMimeType.isEmpty())
        query.addQueryItem(QStringLiteral("mime_type"), mMimeType);
    url.setQuery(query);
    QNetworkRequest request(url);
    request.setTransferTimeout(kTransferTimeout);
    checkEachRedirect(request);
    return request;
}

void WordPressClient::checkPageSize(QNetworkReply* reply)
{
    if (!mRefusal.isEmpty())
        return;
    if (reply->bytesAvailable() > kMaxPageSize || announcesMoreThan(*reply, kMaxPageSize)) {
        mRefusal = QStringLiteral("Page refused, larger than %1 bytes").arg(kMaxPageSize);
        reply->abort();
    }
}

void WordPressClient::pageArrived(QNetworkReply* reply, int page)
{
    reply->deleteLater();
    if (!mRefusal.isEmpty()) {
        qWarning().noquote() << mRefusal;
        emit mediaListFailed();
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        qWarning().noquote() << "Network error:" << reply->errorString();
        emit mediaListFailed();
        return;
    }
    const QByteArray body = reply->readAll();
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isArray()) {
        qWarning().noquote() << "Unexpected response:" << QString::fromUtf8(body.left(kMaxLoggedBody));
        emit mediaListFailed();
        return;
    }
    for (const QJsonValue& media : document.array())
        mMedia.append(media.toObject());
    if (page < std::min(totalPages(*reply), kMaxPages))
        fetchPage(page + 1);
    else
        emit mediaListReady(mMedia);
}

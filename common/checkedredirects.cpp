#include "checkedredirects.h"

#include "webaddress.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

void checkEachRedirect(QNetworkRequest& request)
{
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
}

void followSecureRedirects(QNetworkReply* reply, const std::function<void(const QUrl& hop)>& refused)
{
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply, refused](const QUrl& target) {
        const QUrl hop = reply->url().resolved(target);
        if (isSecureWebAddress(hop)) {
            emit reply->redirectAllowed();
            return;
        }
        refused(hop);
        reply->abort();
    });
    // Qt itself stops at a hop to a scheme it does not fetch; that hop is
    // refused all the same.
    QObject::connect(reply, &QNetworkReply::errorOccurred, reply, [reply, refused](QNetworkReply::NetworkError error) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QByteArray location = reply->rawHeader("Location");
        const bool refusedByQt =
            error == QNetworkReply::ProtocolUnknownError || error == QNetworkReply::InsecureRedirectError;
        if (refusedByQt && status >= 300 && status < 400 && !location.isEmpty())
            refused(reply->url().resolved(QUrl::fromEncoded(location)));
    });
}

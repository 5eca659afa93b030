#pragma once

#include "common/transfertimeout.h"

#include <QByteArray>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

// Fetches one resource of the firmware repository at a time and decodes its
// table of contents. The repository's address and credentials are
// configuration ("services.ini"): without an address no request is made.
class FirmwareDownloader : public QObject
{
    Q_OBJECT

public:
    enum UrlType { UrlRepositoryContents = 0, UrlTocFile = 1 };

    // The user and access token of the Basic authorisation, and the contents
    // address of the repository; empty until configured.
    static QString sUsername;
    static QString sAccessToken;
    static QString sContentsUrl;
    // The other origins the repository serves its images from (a hosting
    // service keeps the raw files of a private repository on a host of
    // their own), each an address of which only scheme, host and port count.
    static QStringList sDownloadOrigins;
    // A request that sends or receives nothing for this long fails.
    static constexpr int kTransferTimeout = ::kTransferTimeout;

    explicit FirmwareDownloader(QObject* parent);

    // Whether a repository address is configured.
    static bool isConfigured() { return !sContentsUrl.isEmpty(); }
    // The contents address, or that of the table of contents.
    static QUrl getUrl(UrlType type);
    // Whether `url` lies on the origin of the contents address or on one of
    // the download origins.
    static bool isRepositoryOrigin(const QUrl& url);
    // Whether a request for `url` carries the credential: a token is
    // configured, the address is https or a loopback host, and it lies on
    // the origin of the contents address or on one of the download origins.
    static bool sendsCredentialTo(const QUrl& url);
    // The request for `url`: with the Authorization header when it carries
    // the credential; redirects are followed within the same origin only.
    static QNetworkRequest buildRequest(const QUrl& url);

    // Starts a GET of `url` (http or https) under the step number `step`,
    // dropping a request still under way. 0 when the request is under way,
    // else why it could not start (a QNetworkReply::NetworkError); no
    // `downloaded` follows a failed start.
    int startDownLoad(QUrl url, int step);
    // The body of the last reply; empty when it failed.
    const QByteArray& downloadedData() const { return data; }
    // 0 when the last reply was a whole answer with a 2xx status; else the
    // reply's network error, its HTTP status, or
    // QNetworkReply::UnknownContentError for a body over the size limit.
    int errorCode() const { return mErrorCode; }
    // Why the last request failed, in words (the reply's own error text
    // where it has one); empty when it ended well.
    const QString& errorText() const { return mErrorText; }
    // Whether the last request went without the configured credential, its
    // address lying outside the repository's origins.
    bool askedWithoutCredential() const { return mWithoutCredential; }
    // The table of contents held in the last reply; empty when there is
    // none.
    QJsonArray getFirmwareList() const;

    QByteArray data;
    // The step number given with the last request.
    int step = -1;

signals:
    // The last request ended, successfully or not.
    void downloaded();

public slots:
    void fileDownloaded(QNetworkReply* reply);

private:
    // Takes what has arrived; a body that announces or reaches more than the
    // size limit ends the transfer.
    void receive(QNetworkReply* reply);
    void checkAnnouncedSize(QNetworkReply* reply);
    void refuseOversizedBody(QNetworkReply* reply);
    static int replyErrorCode(const QNetworkReply& reply);
    // Why the reply of error `code` failed, with a word on the credential
    // when a refusal may be owed to its absence.
    QString failureText(const QNetworkReply& reply, int code) const;
    static QString replyErrorText(const QNetworkReply& reply, int code);
    void setError(int code, const QString& text);

    QNetworkAccessManager mManager;
    QPointer<QNetworkReply> mReply;
    QByteArray mBody;
    bool mOversized = false;
    bool mWithoutCredential = false;
    int mErrorCode = 0;
    QString mErrorText;
};

#pragma once

#include <QJsonObject>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QObject>
#include <QString>

class QNetworkReply;

// Reads the media listing of a WordPress site
// ("<root>/wp-json/wp/v2/media"), page after page of 100 items, and hands
// over the whole list once the last page has come.
class WordPressClient : public QObject
{
    Q_OBJECT

public:
    // However many pages the site announces, no more are fetched.
    static constexpr int kMaxPages = 100;
    // A page of 100 media is some hundred kilobytes; a larger body, announced
    // or not, stops the listing.
    static constexpr qint64 kMaxPageSize = qint64(8) << 20; // 8 MiB

    // `baseUrl` is the site's root, with or without a trailing "/".
    WordPressClient(const QString& baseUrl, QObject* parent = nullptr);

    // Fetches the whole listing, of every type or only of `mimeType`.
    void fetchAllMedia();
    void fetchAllMedia(const QString& mimeType);
    // Fetches one page and, unless it is the last, the next.
    void fetchPage(int page);
    // The request of one page; it fails after kTransferTimeout of silence,
    // and follows a redirect only to https or to this computer.
    QNetworkRequest pageRequest(int page) const;

signals:
    // The media objects of every page, in the order received.
    void mediaListReady(const QList<QJsonObject>& media);
    // A page could not be had or was not a list (a warning says why); the
    // listing ends there.
    void mediaListFailed();

private:
    void pageArrived(QNetworkReply* reply, int page);
    // Stops a page that grows past kMaxPageSize.
    void checkPageSize(QNetworkReply* reply);

    QString mBaseUrl;
    QString mMimeType;
    QList<QJsonObject> mMedia;
    // Why the page under way was stopped; empty when it was not.
    QString mRefusal;
    QNetworkAccessManager mNetwork;
};

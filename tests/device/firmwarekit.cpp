#include "firmwarekit.h"

#include "device/firmwaredownloader.h"
#include "device/firmwareinfo.h"
#include "testhttpserver.h"

#include <QJsonDocument>

namespace testkit {

void useTestRepository(const TestHttpServer& server)
{
    FirmwareDownloader::sContentsUrl = server.url("/repos/maker/firmware/contents").toString();
    FirmwareDownloader::sUsername = "user";
    FirmwareDownloader::sAccessToken = "token";
    FirmwareDownloader::sDownloadOrigins.clear();
    FirmwareInfo::sSizeLimit = 16 * 1024 * 1024;
}

QByteArray contentsReply(const QByteArray& fileBytes)
{
    QByteArray base64 = fileBytes.toBase64();
    for (qsizetype at = 60; at < base64.size(); at += 61)
        base64.insert(at, '\n');
    return QJsonDocument(QJsonObject{{"content", QString::fromLatin1(base64)}, {"encoding", "base64"}}).toJson();
}

QJsonObject tocEntry(const QString& file, const QString& version, const QString& color, const QString& dateTime,
                     const QString& description)
{
    return {{"File", file}, {"Version", version}, {"Color", color}, {"DateTime", dateTime},
            {"Description", description}};
}

QByteArray tocReply(const QJsonArray& entries)
{
    return contentsReply(QJsonDocument(entries).toJson());
}

QByteArray listingReply(const QList<QPair<QString, QString>>& files)
{
    QJsonArray listing;
    for (const auto& [name, url] : files)
        listing.append(QJsonObject{{"name", name}, {"download_url", url}, {"type", "file"}});
    return QJsonDocument(listing).toJson();
}

} // namespace testkit

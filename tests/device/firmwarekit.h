#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

namespace testkit {

class TestHttpServer;

// Points the firmware downloads at the repository "/repos/maker/firmware/
// contents" of `server`, as user "user" with the token "token", with no other
// download origin, and sets the program's size limit.
void useTestRepository(const TestHttpServer& server);

// The repository's answer for a file: its bytes in Base64, broken into
// lines as the repository sends them.
QByteArray contentsReply(const QByteArray& fileBytes);

// One entry of the table of contents.
QJsonObject tocEntry(const QString& file, const QString& version, const QString& color = {},
                     const QString& dateTime = {}, const QString& description = {});
// The answer to the table-of-contents address.
QByteArray tocReply(const QJsonArray& entries);

// The repository listing: one object per (name, download address).
QByteArray listingReply(const QList<QPair<QString, QString>>& files);

} // namespace testkit

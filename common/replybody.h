#pragma once

#include <QNetworkReply>

// Whether the reply announces a body of more than `bound` bytes, so that it
// can be stopped before any of it arrives.
inline bool announcesMoreThan(const QNetworkReply& reply, qint64 bound)
{
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    return length.isValid() && length.toLongLong() > bound;
}

// Whether a reply brought the whole body it announced. Qt may end a reply
// without an error and with fewer bytes than its Content-Length: when the
// server closes the connection before Qt has read the answer, it sends the
// request again, and a second answer cut short can then pass for complete.
// A body Qt decompresses is not measured against the compressed length.
inline bool isBodyComplete(const QNetworkReply& reply, qint64 received)
{
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    if (!length.isValid() || !(encoding.isEmpty() || encoding == "identity"))
        return true;
    return length.toLongLong() == received;
}

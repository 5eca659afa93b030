#include "testhttpserver.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace testkit {

namespace {

// Requests without a whole head in this many bytes are dropped.
constexpr qsizetype kMaxHeadSize = 64 * 1024;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 401: return "Unauthorized";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

// The request line and headers of a whole request head.
HttpRequest parseHead(const QByteArray& head)
{
    HttpRequest request;
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        if (line.left(colon).trimmed().compare("authorization", Qt::CaseInsensitive) == 0) {
            request.authorization = line.mid(colon + 1).trimmed();
            request.hasAuthorization = true;
        }
    }
    return request;
}

} // namespace

TestHttpServer::TestHttpServer()
{
    connect(&mServer, &QTcpServer::newConnection, this, &TestHttpServer::accept);
}

TestHttpServer::~TestHttpServer()
{
    mServer.close();
}

bool TestHttpServer::start()
{
    return mServer.listen(QHostAddress::LocalHost, 0);
}

QUrl TestHttpServer::url(const QByteArray& target) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port()) + QString::fromUtf8(target));
}

void TestHttpServer::setRoute(const QByteArray& target, const HttpRoute& route)
{
    mRoutes.insert(target, route);
}

void TestHttpServer::accept()
{
    while (QTcpSocket* socket = mServer.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            mPending.remove(socket);
            socket->deleteLater();
        });
    }
}

void TestHttpServer::readRequest(QTcpSocket* socket)
{
    QByteArray& received = mPending[socket];
    received += socket->readAll();
    const qsizetype end = received.indexOf("\r\n\r\n");
    if (end < 0) {
        if (received.size() > kMaxHeadSize)
            socket->abort();
        return;
    }
    const HttpRequest request = parseHead(received.left(end));
    mPending.remove(socket);
    // One request per connection: what follows the head is not read.
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    mRequests.append(request);
    emit requestReceived(request);
    respond(socket, request);
}

const HttpRoute* TestHttpServer::routeFor(const QByteArray& target) const
{
    if (const auto it = mRoutes.constFind(target); it != mRoutes.constEnd())
        return &it.value();
    const QByteArray path = target.left(target.indexOf('?'));
    if (const auto it = mRoutes.constFind(path); it != mRoutes.constEnd())
        return &it.value();
    return nullptr;
}

void TestHttpServer::respond(QTcpSocket* socket, const HttpRequest& request)
{
    static const HttpRoute notFound{404, {}, {}, HttpRoute::Delivery::Whole};
    const HttpRoute& route = routeFor(request.target) ? *routeFor(request.target) : notFound;

    QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + ' ' + reasonPhrase(route.status) + "\r\n";
    for (const auto& [name, value] : route.headers)
        head += name + ": " + value + "\r\n";
    if (route.announceLength)
        head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);

    const bool whole = route.delivery == HttpRoute::Delivery::Whole;
    const qsizetype sent = whole ? route.body.size() : route.body.size() / 2;
    socket->write(route.body.left(sent));
    switch (route.delivery) {
    case HttpRoute::Delivery::Whole:
    case HttpRoute::Delivery::CutShort:
        socket->disconnectFromHost();
        break;
    case HttpRoute::Delivery::Stall:
        socket->flush();
        mStalled.append({socket, route.body.mid(sent)});
        break;
    }
}

void TestHttpServer::releaseStalled()
{
    for (const auto& [socket, rest] : std::as_const(mStalled)) {
        if (!socket)
            continue;
        socket->write(rest);
        socket->disconnectFromHost();
    }
    mStalled.clear();
}

} // namespace testkit

#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

namespace testkit {

// What the server answers on one path.
struct HttpRoute
{
    enum class Delivery {
        Whole,    // the whole body, then the connection closes
        CutShort, // half the body under the full Content-Length, then the connection closes
        Stall,    // half the body, then nothing until releaseStalled() or the client gives up
    };

    int status = 200;
    // Sent as given, names in any case, after the status line.
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    Delivery delivery = Delivery::Whole;
    // Without it the body has no Content-Length: it ends with the connection.
    bool announceLength = true;
};

// One request as it arrived.
struct HttpRequest
{
    QByteArray method;
    QByteArray target;        // the path with its query, as requested
    QByteArray authorization; // the Authorization header; empty when absent
    bool hasAuthorization = false;
};

// An HTTP/1.1 server on 127.0.0.1 at a port the system chooses, for tests of
// the network code: it serves the routes it is given (any other path gets a
// 404 with an empty body) and records every request.
class TestHttpServer : public QObject
{
    Q_OBJECT

public:
    TestHttpServer();
    ~TestHttpServer() override;

    // Listens; false when no port could be had.
    bool start();
    quint16 port() const { return mServer.serverPort(); }
    // "http://127.0.0.1:<port>" followed by `target` (which starts with "/").
    QUrl url(const QByteArray& target) const;

    // Serves `route` for `target`: the path with its query when a route was
    // given for it, else the path alone.
    void setRoute(const QByteArray& target, const HttpRoute& route);

    const QList<HttpRequest>& requests() const { return mRequests; }
    // Sends the rest of every stalled body and closes those connections.
    void releaseStalled();

signals:
    void requestReceived(const testkit::HttpRequest& request);

private:
    void accept();
    void readRequest(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const HttpRequest& request);
    const HttpRoute* routeFor(const QByteArray& target) const;

    QTcpServer mServer;
    QHash<QByteArray, HttpRoute> mRoutes;
    QList<HttpRequest> mRequests;
    QHash<QTcpSocket*, QByteArray> mPending; // what each connection sent so far
    // Stalled connections and the rest of their body.
    QList<QPair<QPointer<QTcpSocket>, QByteArray>> mStalled;
};

} // namespace testkit

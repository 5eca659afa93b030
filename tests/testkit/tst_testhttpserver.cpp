#include "testenvironment.h"
#include "testhttpserver.h"

#include <QApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>

#include <memory>

using testkit::HttpRoute;

// The loopback server that the network tests talk to.
class TestHttpServerTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        mServer = std::make_unique<testkit::TestHttpServer>();
        QVERIFY(mServer->start());
        QVERIFY(mServer->port() > 0);
    }

    void servesRoutesAndRecordsRequests()
    {
        mServer->setRoute("/media", {200, {{"x-wp-totalpages", "3"}}, "[]", HttpRoute::Delivery::Whole});
        mServer->setRoute("/media?page=2", {200, {}, "[2]", HttpRoute::Delivery::Whole});
        QNetworkRequest request(mServer->url("/media?page=1"));
        request.setRawHeader("Authorization", "Basic dXNlcjp0b2tlbg==");
        std::unique_ptr<QNetworkReply> first = finished(mManager.get(request));
        QCOMPARE(first->error(), QNetworkReply::NoError);
        QCOMPARE(first->readAll(), QByteArray("[]"));
        QCOMPARE(first->rawHeader("X-WP-TotalPages"), QByteArray("3"));
        std::unique_ptr<QNetworkReply> second = finished(mManager.get(QNetworkRequest(mServer->url("/media?page=2"))));
        QCOMPARE(second->readAll(), QByteArray("[2]"));
        std::unique_ptr<QNetworkReply> missing = finished(mManager.get(QNetworkRequest(mServer->url("/other"))));
        QCOMPARE(missing->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 404);

        QCOMPARE(mServer->requests().size(), 3);
        QCOMPARE(mServer->requests().at(0).target, QByteArray("/media?page=1"));
        QCOMPARE(mServer->requests().at(0).authorization, QByteArray("Basic dXNlcjp0b2tlbg=="));
        QVERIFY(mServer->requests().at(0).hasAuthorization);
        QVERIFY(!mServer->requests().at(1).hasAuthorization);
        QCOMPARE(mServer->requests().at(2).method, QByteArray("GET"));
    }

    void bodyCutShortOfItsLength()
    {
        mServer->setRoute("/image.bin", {200, {}, QByteArray(4000, 'x'), HttpRoute::Delivery::CutShort});
        std::unique_ptr<QNetworkReply> reply = finished(mManager.get(QNetworkRequest(mServer->url("/image.bin"))));
        QVERIFY(reply->error() != QNetworkReply::NoError);
        QVERIFY(reply->readAll().size() < 4000);
    }

    void stalledBodyWaitsForItsRelease()
    {
        const QByteArray body(100000, 'z');
        mServer->setRoute("/big", {200, {}, body, HttpRoute::Delivery::Stall});
        QNetworkReply* reply = mManager.get(QNetworkRequest(mServer->url("/big")));
        QSignalSpy arrived(reply, &QNetworkReply::readyRead);
        QSignalSpy done(reply, &QNetworkReply::finished);
        while (reply->bytesAvailable() < body.size() / 2)
            QVERIFY(arrived.wait());
        QVERIFY(done.isEmpty());
        mServer->releaseStalled();
        QVERIFY(done.wait());
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(reply->readAll(), body);
        delete reply;
    }

    void largeBodyArrivesWhole()
    {
        const QByteArray body(20 * 1024 * 1024, 'L');
        mServer->setRoute("/large", {200, {}, body, HttpRoute::Delivery::Whole});
        std::unique_ptr<QNetworkReply> reply = finished(mManager.get(QNetworkRequest(mServer->url("/large"))));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(reply->readAll().size(), body.size());
    }

    void bodyWithoutLengthEndsWithTheConnection()
    {
        HttpRoute route{200, {}, QByteArray(5000, 'u'), HttpRoute::Delivery::Whole};
        route.announceLength = false;
        mServer->setRoute("/unannounced", route);
        std::unique_ptr<QNetworkReply> reply = finished(mManager.get(QNetworkRequest(mServer->url("/unannounced"))));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QVERIFY(!reply->hasRawHeader("Content-Length"));
        QCOMPARE(reply->readAll(), route.body);
    }

private:
    // Waits for the reply to finish.
    static std::unique_ptr<QNetworkReply> finished(QNetworkReply* reply)
    {
        if (!reply->isFinished()) {
            QSignalSpy done(reply, &QNetworkReply::finished);
            if (!done.wait(10000))
                qWarning("no answer from the test server");
        }
        return std::unique_ptr<QNetworkReply>(reply);
    }

    std::unique_ptr<testkit::TestHttpServer> mServer;
    QNetworkAccessManager mManager;
};

MAREVANE_TEST_MAIN(TestHttpServerTest)
#include "tst_testhttpserver.moc"

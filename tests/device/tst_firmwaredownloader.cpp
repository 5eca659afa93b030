#include "device/firmwaredownloader.h"
#include "device/firmwareinfo.h"
#include "firmwarekit.h"
#include "testenvironment.h"
#include "testhttpserver.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>

#include <memory>

using testkit::HttpRoute;

namespace {

HttpRoute route(int status, const QByteArray& body, HttpRoute::Delivery delivery = HttpRoute::Delivery::Whole)
{
    return {status, {}, body, delivery};
}

} // namespace

// The repository downloads: the credential on the wire, the refusal of
// failed, cut and oversized replies, and the table of contents.
class FirmwareDownloaderTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        mServer = std::make_unique<testkit::TestHttpServer>();
        QVERIFY(mServer->start());
        testkit::useTestRepository(*mServer);
    }

    void addressesOfTheRepository()
    {
        const QString contents = mServer->url("/repos/maker/firmware/contents").toString();
        QCOMPARE(FirmwareDownloader::getUrl(FirmwareDownloader::UrlRepositoryContents).toString(), contents);
        QCOMPARE(FirmwareDownloader::getUrl(FirmwareDownloader::UrlTocFile).toString(),
                 contents + "/toc-private.json");
    }

    void authorizationOnTheWire_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("token");
        QTest::addColumn<bool>("sent");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("user and token") << "user" << "token" << true << QByteArray("Basic dXNlcjp0b2tlbg==");
        QTest::newRow("non-ASCII user") << QString::fromUtf8("plongée") << "t0k3n" << true
                                        << "Basic " + QString::fromUtf8("plongée:t0k3n").toUtf8().toBase64();
        QTest::newRow("token alone") << "" << "token" << true << QByteArray("Basic OnRva2Vu");
        QTest::newRow("no token") << "user" << "" << false << QByteArray();
    }
    void authorizationOnTheWire()
    {
        QFETCH(QString, user);
        QFETCH(QString, token);
        QFETCH(bool, sent);
        QFETCH(QByteArray, header);
        FirmwareDownloader::sUsername = user;
        FirmwareDownloader::sAccessToken = token;
        mServer->setRoute("/image.bin", route(200, "image"));
        FirmwareDownloader downloader(nullptr);
        QVERIFY(fetch(downloader, mServer->url("/image.bin")));
        QCOMPARE(mServer->requests().size(), 1);
        QCOMPARE(mServer->requests().first().hasAuthorization, sent);
        QCOMPARE(mServer->requests().first().authorization, header);
    }

    void credentialOnlyToTheRepositoryOrigins_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("sent");
        QTest::newRow("contents origin") << "https://api.repository.example/repos/x" << true;
        QTest::newRow("HTTPS, host in capitals") << "HTTPS://API.Repository.example/repos/x" << true;
        QTest::newRow("contents host, its default port") << "https://api.repository.example:443/x" << true;
        QTest::newRow("contents host, another port") << "https://api.repository.example:8443/x" << false;
        QTest::newRow("contents host over http") << "http://api.repository.example/repos/x" << false;
        QTest::newRow("download origin") << "https://raw.repository.example/maker/fw.bin" << true;
        QTest::newRow("another https host") << "https://cdn.elsewhere.example/fw.bin" << false;
        QTest::newRow("a host ending like a named one") << "https://raw.repository.example.elsewhere.example/x"
                                                        << false;
        QTest::newRow("loopback download origin") << "http://127.0.0.1:8080/x" << true;
        QTest::newRow("loopback, another port") << "http://127.0.0.1:8081/x" << false;
        QTest::newRow("loopback, another name") << "http://localhost:8080/x" << false;
        QTest::newRow("named, clear text beyond this machine") << "http://0.0.0.0:8082/x" << false;
        QTest::newRow("named, clear text to another host") << "http://raw2.repository.example/x" << false;
    }
    void credentialOnlyToTheRepositoryOrigins()
    {
        QFETCH(QString, url);
        QFETCH(bool, sent);
        FirmwareDownloader::sContentsUrl = "https://api.repository.example/repos/maker/firmware/contents";
        FirmwareDownloader::sDownloadOrigins = {"https://raw.repository.example", "http://127.0.0.1:8080/",
                                                "http://0.0.0.0:8082", "http://raw2.repository.example"};
        // Built, never sent: no network beyond this machine.
        const QNetworkRequest request = FirmwareDownloader::buildRequest(QUrl(url));
        QCOMPARE(FirmwareDownloader::sendsCredentialTo(QUrl(url)), sent);
        QCOMPARE(request.hasRawHeader("Authorization"), sent);
        if (sent)
            QCOMPARE(request.rawHeader("Authorization"), QByteArray("Basic dXNlcjp0b2tlbg=="));
        QCOMPARE(request.transferTimeout(), FirmwareDownloader::kTransferTimeout);
        QCOMPARE(request.attribute(QNetworkRequest::RedirectPolicyAttribute).toInt(),
                 int(QNetworkRequest::SameOriginRedirectPolicy));
    }

    void requestOutsideTheOriginsGoesWithoutTheCredential_data()
    {
        QTest::addColumn<bool>("named");
        QTest::newRow("named") << true;
        QTest::newRow("not named") << false;
    }
    void requestOutsideTheOriginsGoesWithoutTheCredential()
    {
        QFETCH(bool, named);
        testkit::TestHttpServer other;
        QVERIFY(other.start());
        if (named)
            FirmwareDownloader::sDownloadOrigins = {other.url("").toString()};
        other.setRoute("/image.bin", route(200, "image"));
        FirmwareDownloader downloader(nullptr);
        QVERIFY(fetch(downloader, other.url("/image.bin")));
        QCOMPARE(other.requests().size(), 1);
        QCOMPARE(other.requests().first().hasAuthorization, named);
        QCOMPARE(downloader.askedWithoutCredential(), !named);
        QCOMPARE(downloader.downloadedData(), QByteArray("image"));
    }

    void failedRepliesLeaveNoBody_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("delivery");
        QTest::addColumn<bool>("announced");
        QTest::addColumn<int>("code"); // -1: any error
        const int whole = int(HttpRoute::Delivery::Whole);
        QTest::newRow("404 page") << 404 << QByteArray("<html>Not Found</html>") << whole << true
                                  << int(QNetworkReply::ContentNotFoundError);
        QTest::newRow("401 document") << 401 << QByteArray("{\"message\":\"Bad credentials\"}") << whole << true
                                      << int(QNetworkReply::AuthenticationRequiredError);
        QTest::newRow("500") << 500 << QByteArray("oops") << whole << true
                             << int(QNetworkReply::InternalServerError);
        QTest::newRow("cut short") << 200 << QByteArray(4000, 'c') << int(HttpRoute::Delivery::CutShort) << true
                                   << -1;
        QTest::newRow("announces more than the cap") << 200 << QByteArray(1025, 'a') << whole << true
                                                     << int(QNetworkReply::UnknownContentError);
        QTest::newRow("delivers more than the cap") << 200 << QByteArray(5000, 'd') << whole << false
                                                    << int(QNetworkReply::UnknownContentError);
    }
    void failedRepliesLeaveNoBody()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, delivery);
        QFETCH(bool, announced);
        QFETCH(int, code);
        FirmwareInfo::sSizeLimit = 1024;
        HttpRoute answer = route(status, body, HttpRoute::Delivery(delivery));
        answer.announceLength = announced;
        mServer->setRoute("/image.bin", answer);
        FirmwareDownloader downloader(nullptr);
        QVERIFY(fetch(downloader, mServer->url("/image.bin")));
        if (code == -1)
            QVERIFY(downloader.errorCode() != 0);
        else
            QCOMPARE(downloader.errorCode(), code);
        QVERIFY(!downloader.errorText().isEmpty());
        QVERIFY(downloader.downloadedData().isEmpty());
    }

    void bodiesUpToTheCapArriveWhole_data()
    {
        QTest::addColumn<bool>("announced");
        QTest::newRow("announced") << true;
        QTest::newRow("unannounced") << false;
    }
    void bodiesUpToTheCapArriveWhole()
    {
        QFETCH(bool, announced);
        FirmwareInfo::sSizeLimit = 64 * 1024;
        QByteArray body(FirmwareInfo::sSizeLimit, 'i');
        body[0] = 'A';
        body[body.size() - 1] = 'Z';
        HttpRoute answer = route(200, body);
        answer.announceLength = announced;
        mServer->setRoute("/image.bin", answer);
        FirmwareDownloader downloader(nullptr);
        QVERIFY(fetch(downloader, mServer->url("/image.bin")));
        QCOMPARE(downloader.errorCode(), 0);
        QCOMPARE(downloader.errorText(), QString());
        QCOMPARE(downloader.downloadedData(), body);
    }

    void startRefusesWhatIsNoWebAddress_data()
    {
        QTest::addColumn<QString>("url");
        QTest::newRow("local file") << "file:///etc/hostname";
        QTest::newRow("ftp") << "ftp://127.0.0.1/x";
        QTest::newRow("empty") << "";
        QTest::newRow("no host") << "http:///x";
    }
    void startRefusesWhatIsNoWebAddress()
    {
        QFETCH(QString, url);
        FirmwareDownloader downloader(nullptr);
        QSignalSpy downloaded(&downloader, &FirmwareDownloader::downloaded);
        QCOMPARE(downloader.startDownLoad(QUrl(url), 4), int(QNetworkReply::ProtocolUnknownError));
        QCOMPARE(downloader.step, 4);
        QCoreApplication::processEvents();
        QVERIFY(downloaded.isEmpty());
        QVERIFY(mServer->requests().isEmpty());
    }

    void aNewRequestDropsTheOneUnderWay()
    {
        mServer->setRoute("/first", route(200, QByteArray(100000, '1'), HttpRoute::Delivery::Stall));
        mServer->setRoute("/second", route(200, "second"));
        FirmwareDownloader downloader(nullptr);
        QSignalSpy downloaded(&downloader, &FirmwareDownloader::downloaded);
        QSignalSpy received(mServer.get(), &testkit::TestHttpServer::requestReceived);
        QCOMPARE(downloader.startDownLoad(mServer->url("/first"), 0), 0);
        QVERIFY(received.wait());
        QCOMPARE(downloader.startDownLoad(mServer->url("/second"), 1), 0);
        QVERIFY(downloaded.wait());
        mServer->releaseStalled();
        QCoreApplication::processEvents();
        QCOMPARE(downloaded.size(), 1);
        QCOMPARE(downloader.step, 1);
        QCOMPARE(downloader.downloadedData(), QByteArray("second"));
    }

    void redirectsStayWithTheRepository_data()
    {
        QTest::addColumn<QByteArray>("host");
        QTest::addColumn<bool>("followed");
        QTest::newRow("same host") << QByteArray("127.0.0.1") << true;
        // The credential would travel along to the other host.
        QTest::newRow("another host") << QByteArray("localhost") << false;
    }
    void redirectsStayWithTheRepository()
    {
        QFETCH(QByteArray, host);
        QFETCH(bool, followed);
        const QByteArray target = "http://" + host + ':' + QByteArray::number(mServer->port()) + "/target";
        mServer->setRoute("/moved", {302, {{"Location", target}}, {}, HttpRoute::Delivery::Whole});
        mServer->setRoute("/target", route(200, "image"));
        FirmwareDownloader downloader(nullptr);
        QVERIFY(fetch(downloader, mServer->url("/moved")));
        QCOMPARE(mServer->requests().size(), followed ? 2 : 1);
        for (const testkit::HttpRequest& request : mServer->requests())
            QCOMPARE(request.authorization, QByteArray("Basic dXNlcjp0b2tlbg=="));
        QCOMPARE(downloader.errorCode() == 0, followed);
        QCOMPARE(downloader.downloadedData(), followed ? QByteArray("image") : QByteArray());
    }

    void imageRedirectsStayWithinTheirOrigin_data()
    {
        QTest::addColumn<bool>("named");       // the image host is a download origin
        QTest::addColumn<QByteArray>("target"); // "image host", "repository" or "beyond"
        QTest::addColumn<bool>("followed");
        QTest::newRow("within the image host") << true << QByteArray("image host") << true;
        QTest::newRow("within an unnamed host") << false << QByteArray("image host") << true;
        QTest::newRow("image host to the repository") << true << QByteArray("repository") << false;
        QTest::newRow("to clear text beyond this machine") << true << QByteArray("beyond") << false;
    }
    void imageRedirectsStayWithinTheirOrigin()
    {
        QFETCH(bool, named);
        QFETCH(QByteArray, target);
        QFETCH(bool, followed);
        testkit::TestHttpServer imageHost;
        QVERIFY(imageHost.start());
        if (named)
            FirmwareDownloader::sDownloadOrigins = {imageHost.url("").toString()};
        // 0.0.0.0 is no loopback address, yet it reaches the repository
        // server here: a redirect wrongly followed shows as a request there.
        const QByteArray location = target == "image host" ? imageHost.url("/target").toEncoded()
                                    : target == "repository"
                                        ? mServer->url("/target").toEncoded()
                                        : "http://0.0.0.0:" + QByteArray::number(mServer->port()) + "/target";
        imageHost.setRoute("/moved", {302, {{"Location", location}}, {}, HttpRoute::Delivery::Whole});
        imageHost.setRoute("/target", route(200, "image"));
        mServer->setRoute("/target", route(200, "image"));
        FirmwareDownloader downloader(nullptr);
        QVERIFY(fetch(downloader, imageHost.url("/moved")));
        QVERIFY(mServer->requests().isEmpty());
        QCOMPARE(imageHost.requests().size(), followed ? 2 : 1);
        for (const testkit::HttpRequest& request : imageHost.requests())
            QCOMPARE(request.hasAuthorization, named);
        QCOMPARE(downloader.errorCode() == 0, followed);
        QCOMPARE(downloader.errorText().isEmpty(), followed);
        QCOMPARE(downloader.downloadedData(), followed ? QByteArray("image") : QByteArray());
    }

    void tableOfContents_data()
    {
        const QByteArray toc = R"([{"File":"fw.bin","Version":"0x02000C00"},{"File":"old.bin","Version":"0x02000B00"}])";
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("entries");
        QTest::newRow("whole") << testkit::contentsReply(toc) << 2;
        QTest::newRow("reply cut") << testkit::contentsReply(toc).left(testkit::contentsReply(toc).size() / 2) << 0;
        QTest::newRow("table cut") << testkit::contentsReply(toc.left(toc.size() - 5)) << 0;
        QTest::newRow("not Base64") << QByteArray(R"({"content":"%%%% not base64 %%%%"})") << 0;
        QTest::newRow("no content") << QByteArray(R"({"message":"Not Found"})") << 0;
        QTest::newRow("content not text") << QByteArray(R"({"content":12})") << 0;
        QTest::newRow("table is an object") << testkit::contentsReply(R"({"File":"fw.bin"})") << 0;
        QTest::newRow("reply is an array") << QByteArray("[1,2]") << 0;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe{\"content\"", 14) << 0;
    }
    void tableOfContents()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, entries);
        FirmwareDownloader downloader(nullptr);
        downloader.data = reply;
        const QJsonArray table = downloader.getFirmwareList();
        QCOMPARE(table.size(), entries);
        if (entries > 0)
            QCOMPARE(table.at(0).toObject().value("File").toString(), QString("fw.bin"));
    }

private:
    // Starts the download and waits for its end.
    static bool fetch(FirmwareDownloader& downloader, const QUrl& url)
    {
        QSignalSpy downloaded(&downloader, &FirmwareDownloader::downloaded);
        if (downloader.startDownLoad(url, 2) != 0)
            return false;
        return downloaded.wait(10000) && downloaded.size() == 1 && downloader.step == 2;
    }

    std::unique_ptr<testkit::TestHttpServer> mServer;
};

MAREVANE_TEST_MAIN(FirmwareDownloaderTest)
#include "tst_firmwaredownloader.moc"

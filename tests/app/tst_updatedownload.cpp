#include "genericfiledownloader.h"
#include "common/transfertimeout.h"
#include "testenvironment.h"
#include "testhttpserver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>

#include <QScopeGuard>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

using testkit::HttpRoute;

Q_DECLARE_METATYPE(HttpRoute::Delivery)

namespace {

// The bound the size tests lower the downloader's to.
constexpr qsizetype kBound = 1024 * 1024;

QByteArray archiveBytes(qsizetype size)
{
    QByteArray data(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char(i * 31 % 251);
    return data;
}

} // namespace

// Downloading a file into the download folder: whole or not at all.
class UpdateDownloadTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        mServer = std::make_unique<testkit::TestHttpServer>();
        QVERIFY(mServer->start());
        QDir(downloads()).removeRecursively();
    }

    // A download that stalls fails after a while instead of hanging on.
    void requestGivesUpOnSilence()
    {
        const QUrl url("https://site.example/files/MarevaneDmg_2.10.0.zip");
        const QNetworkRequest request = GenericFileDownloader::request(url);
        QCOMPARE(request.url(), url);
        QCOMPARE(request.transferTimeout(), kTransferTimeout);
    }

    void intoTheDownloadFolder()
    {
        const QByteArray body = archiveBytes(300000);
        mServer->setRoute("/files/MarevaneDmg_2.10.0.zip", {200, {}, body, HttpRoute::Delivery::Whole});
        QCOMPARE(downloads(), QDir::homePath() + "/Downloads");
        QVERIFY(!QFileInfo::exists(downloads()));
        GenericFileDownloader downloader;
        QSignalSpy finished(&downloader, &GenericFileDownloader::downloadFinished);
        QSignalSpy failed(&downloader, &GenericFileDownloader::downloadFailed);
        QSignalSpy progress(&downloader, &GenericFileDownloader::progressChanged);
        downloader.download(mServer->url("/files/MarevaneDmg_2.10.0.zip"), QString());
        QVERIFY(finished.wait());
        const QString path = downloads() + "/MarevaneDmg_2.10.0.zip";
        QCOMPARE(finished.first().first().toString(), path);
        QVERIFY(failed.isEmpty());
        QCOMPARE(testkit::fileBytes(path), body);
        QCOMPARE(folderEntries(), QStringList{"MarevaneDmg_2.10.0.zip"});
        QCOMPARE(progress.last().at(0).toLongLong(), body.size());
        QCOMPARE(progress.last().at(1).toLongLong(), body.size());
        // Over: aborting changes nothing.
        downloader.abort();
        QCoreApplication::processEvents();
        QCOMPARE(finished.size(), 1);
        QVERIFY(failed.isEmpty());
    }

    void toAGivenPath()
    {
        mServer->setRoute("/a.bin", {200, {}, "payload", HttpRoute::Delivery::Whole});
        const QString path = QDir(QDir::homePath()).filePath("chosen/file.bin");
        GenericFileDownloader downloader;
        QSignalSpy finished(&downloader, &GenericFileDownloader::downloadFinished);
        downloader.download(mServer->url("/a.bin"), path);
        QVERIFY(finished.wait());
        QCOMPARE(finished.first().first().toString(), path);
        QCOMPARE(testkit::fileBytes(path), QByteArray("payload"));
    }

    void failuresLeaveNothing_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<HttpRoute::Delivery>("delivery");
        QTest::addColumn<QString>("error");
        QTest::newRow("not found") << 404 << HttpRoute::Delivery::Whole << "server replied: Not Found";
        QTest::newRow("server error") << 500 << HttpRoute::Delivery::Whole << "server replied: Internal Server Error";
        // Qt reports the closed connection, or, when it has sent the request
        // again on a fresh connection, ends the reply without an error: the
        // downloader then finds the body short of its Content-Length.
        QTest::newRow("cut short") << 200 << HttpRoute::Delivery::CutShort << "closed|^The download was cut short$";
    }
    void failuresLeaveNothing()
    {
        QFETCH(int, status);
        QFETCH(HttpRoute::Delivery, delivery);
        QFETCH(QString, error);
        mServer->setRoute("/u.zip", {status, {}, archiveBytes(200000), delivery});
        // What a failed download replaces stays as it was.
        QVERIFY(QDir().mkpath(downloads()));
        writeFile(downloads() + "/u.zip", "the previous download");
        GenericFileDownloader downloader;
        QSignalSpy finished(&downloader, &GenericFileDownloader::downloadFinished);
        QSignalSpy failed(&downloader, &GenericFileDownloader::downloadFailed);
        downloader.download(mServer->url("/u.zip"), QString());
        QVERIFY(failed.wait());
        const QString reported = failed.first().first().toString();
        QVERIFY2(reported.contains(QRegularExpression(error)), qPrintable(reported));
        QCoreApplication::processEvents();
        QCOMPARE(failed.size(), 1);
        QVERIFY(finished.isEmpty());
        QCOMPARE(folderEntries(), QStringList{"u.zip"});
        QCOMPARE(testkit::fileBytes(downloads() + "/u.zip"), QByteArray("the previous download"));
    }

    // A body past the bound stops the download as soon as it passes it,
    // announced or not, and leaves nothing.
    void aBodyOverTheBoundStops_data()
    {
        QTest::addColumn<bool>("announced");
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<bool>("taken");
        QTest::newRow("announced, one byte over") << true << kBound + 1 << false;
        QTest::newRow("not announced, one byte over") << false << kBound + 1 << false;
        QTest::newRow("not announced, far over") << false << 8 * kBound << false;
        QTest::newRow("announced, at the bound") << true << kBound << true;
        QTest::newRow("not announced, at the bound") << false << kBound << true;
    }
    void aBodyOverTheBoundStops()
    {
        QFETCH(bool, announced);
        QFETCH(qsizetype, size);
        QFETCH(bool, taken);
        const QByteArray body = archiveBytes(size);
        mServer->setRoute("/u.zip", {200, {}, body, HttpRoute::Delivery::Whole, announced});
        GenericFileDownloader downloader;
        downloader.setMaxSize(kBound);
        QSignalSpy finished(&downloader, &GenericFileDownloader::downloadFinished);
        QSignalSpy failed(&downloader, &GenericFileDownloader::downloadFailed);
        QSignalSpy progress(&downloader, &GenericFileDownloader::progressChanged);
        downloader.download(mServer->url("/u.zip"), QString());
        QTRY_VERIFY(!finished.isEmpty() || !failed.isEmpty());
        for (const QList<QVariant>& step : progress)
            QVERIFY(step.at(0).toLongLong() <= kBound);
        if (taken) {
            QCOMPARE(testkit::fileBytes(downloads() + "/u.zip"), body);
            return;
        }
        QCOMPARE(failed.first().first().toString(),
                 QString("The download is larger than 1 MB, more than any update, and was stopped"));
        QCOMPARE(folderEntries(), QStringList{});
    }

    // A disk that takes no more (here, the file size this process may write)
    // says so, and leaves nothing.
    void aFailedWriteSaysWhy()
    {
        mServer->setRoute("/u.zip", {200, {}, archiveBytes(300000), HttpRoute::Delivery::Whole});
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
        rlimit small = previous;
        small.rlim_cur = 100000;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const auto restore = qScopeGuard([&previous] { setrlimit(RLIMIT_FSIZE, &previous); });
        GenericFileDownloader downloader;
        QSignalSpy failed(&downloader, &GenericFileDownloader::downloadFailed);
        downloader.download(mServer->url("/u.zip"), QString());
        QVERIFY(failed.wait());
        QCOMPARE(failed.first().first().toString(), "Cannot write output file: " + QString(std::strerror(EFBIG)));
        QCOMPARE(folderEntries(), QStringList{});
    }

    void abortMidBodyFailsOnce()
    {
        mServer->setRoute("/u.zip", {200, {}, archiveBytes(400000), HttpRoute::Delivery::Stall});
        GenericFileDownloader downloader;
        QSignalSpy failed(&downloader, &GenericFileDownloader::downloadFailed);
        QSignalSpy progress(&downloader, &GenericFileDownloader::progressChanged);
        downloader.download(mServer->url("/u.zip"), QString());
        QVERIFY(progress.wait());
        QCOMPARE(progress.last().at(1).toLongLong(), 400000);
        downloader.abort();
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().first().toString(), QString("Operation canceled"));
        // A second cancel and the rest of the body change nothing: the abort
        // closed the connection, so only what is already posted is left.
        downloader.abort();
        mServer->releaseStalled();
        QCoreApplication::processEvents();
        QCOMPARE(failed.size(), 1);
        QCOMPARE(folderEntries(), QStringList{});
    }

    void aDownloaderGoneMidBodyLeavesNothing()
    {
        mServer->setRoute("/u.zip", {200, {}, archiveBytes(400000), HttpRoute::Delivery::Stall});
        auto downloader = std::make_unique<GenericFileDownloader>();
        QSignalSpy progress(downloader.get(), &GenericFileDownloader::progressChanged);
        downloader->download(mServer->url("/u.zip"), QString());
        QVERIFY(progress.wait());
        downloader.reset();
        QCOMPARE(folderEntries(), QStringList{});
    }

    void noFileToWrite_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<bool>("blockFolder");
        QTest::newRow("no file name") << QByteArray("/") << false;
        QTest::newRow("encoded way up") << QByteArray("/files/%2E%2E") << false;
        QTest::newRow("folder is a file") << QByteArray("/u.zip") << true;
    }
    void noFileToWrite()
    {
        QFETCH(QByteArray, target);
        QFETCH(bool, blockFolder);
        mServer->setRoute(target, {200, {}, "payload", HttpRoute::Delivery::Whole});
        if (blockFolder)
            writeFile(downloads(), "a file where the folder should be");
        GenericFileDownloader downloader;
        QSignalSpy failed(&downloader, &GenericFileDownloader::downloadFailed);
        downloader.download(mServer->url(target), QString());
        // The answer comes later, like any other.
        QVERIFY(failed.isEmpty());
        QVERIFY(failed.wait());
        QCOMPARE(failed.first().first().toString(), QString("Cannot write output file"));
        QVERIFY(mServer->requests().isEmpty());
        QCOMPARE(QFileInfo(downloads()).isFile(), blockFolder);
        QCOMPARE(QFileInfo::exists(downloads()), blockFolder);
        QFile::remove(downloads());
    }

private:
    static QString downloads()
    {
        return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    }

    static QStringList folderEntries()
    {
        return QDir(downloads()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    static void writeFile(const QString& path, const QByteArray& contents)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(contents), contents.size());
    }

    std::unique_ptr<testkit::TestHttpServer> mServer;
};

MAREVANE_TEST_MAIN(UpdateDownloadTest)
#include "tst_updatedownload.moc"

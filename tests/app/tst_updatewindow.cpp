#include "genericfiledownloader.h"
#include "installerlauncher.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testenvironment.h"
#include "testhttpserver.h"
#include "wordpressclient.h"
#include "ziphelpers.h"
#include "ziptestkit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

using testkit::HttpRoute;
using testkit::PromptRecord;

namespace {

const QByteArray kListingPath = "/wp-json/wp/v2/media";
const QByteArray kArchivePath = "/files/MarevaneDmg_2.10.0.zip";
const QByteArray kInstaller = "the installer disk image";

// Stands in for the system: notes the installers it is asked to open and the
// quits.
class RecordingLauncher final : public InstallerLauncher
{
public:
    RecordingLauncher() { install(this); }
    ~RecordingLauncher() override { install(nullptr); }

    bool open(const QString& installerPath) override
    {
        opened.append(installerPath);
        return opens;
    }
    void quit() override { ++quits; }

    bool opens = true;
    QStringList opened;
    int quits = 0;
};

// How the person closes the progress dialog while the download stalls.
enum class Closing { None, CancelButton, Escape, CloseEvent };

} // namespace

Q_DECLARE_METATYPE(Closing)
Q_DECLARE_METATYPE(HttpRoute::Delivery)

// The update check of the main window, from the timer each show arms to the
// installer, against a web site on this machine.
class UpdateWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationVersion("2.9.3.0"); }

    void init()
    {
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).removeRecursively();
        QDir(downloads()).removeRecursively();
        mPrompts.clear();
        mLauncher = std::make_unique<RecordingLauncher>();
        mServer = std::make_unique<testkit::TestHttpServer>();
        QVERIFY(mServer->start());
        testkit::writeDataFile("services.ini", "[site]\nroot=" + mServer->url("").toEncoded() + "\n");
    }

    void cleanup()
    {
        QCOMPARE(MainWindow::instance, nullptr);
        mServer.reset();
        mLauncher.reset();
    }

    void everyShowArmsOneCoarseCheck()
    {
        MainWindow window;
        QVERIFY(updateTimers(window).isEmpty());
        window.show();
        QCOMPARE(updateTimers(window).size(), 1);
        window.hide();
        window.show();
        const QList<QTimer*> timers = updateTimers(window);
        QCOMPARE(timers.size(), 2);
        for (const QTimer* timer : timers) {
            QVERIFY(timer->isActive());
            QVERIFY(timer->isSingleShot());
            QCOMPARE(timer->interval(), 4000);
            QCOMPARE(timer->timerType(), Qt::CoarseTimer);
        }
        // The timers call the check; showing alone asks nothing yet.
        QVERIFY(mServer->requests().isEmpty());
    }

    void notConfiguredMakesNoRequest_data()
    {
        QTest::addColumn<QByteArray>("services");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("no key") << QByteArray("[site]\nother=1\n");
        QTest::newRow("empty root") << QByteArray("[site]\nroot=\n");
        QTest::newRow("no URL") << QByteArray("[site]\nroot=127.0.0.1:%PORT%\n");
        QTest::newRow("another scheme") << QByteArray("[site]\nroot=ftp://127.0.0.1:%PORT%\n");
        QTest::newRow("plain http elsewhere") << QByteArray("[site]\nroot=http://www.example.com\n");
    }
    void notConfiguredMakesNoRequest()
    {
        QFETCH(QByteArray, services);
        QFile::remove(testkit::appDataFolder() + "/services.ini");
        if (!services.isNull())
            testkit::writeDataFile("services.ini", services.replace("%PORT%", QByteArray::number(mServer->port())));
        MainWindow window;
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^The update check is not configured"));
        window.checkNewVersionAvailable();
        // No client: nothing can ask later.
        QVERIFY(window.findChildren<WordPressClient*>().isEmpty());
        QVERIFY(mServer->requests().isEmpty());
    }

    void theWholeRoad()
    {
        serveListing();
        serveArchive(archiveWith({{"MarevaneDmg_2.10.0.dmg", kInstaller}}));
        mPrompts.answer(QMessageBox::Yes);
        // What the modal run showed, checked once the road has ended.
        bool isProgress = false;
        QString label;
        Qt::WindowModality modality = Qt::NonModal;
        int maximum = -1;
        int minimumDuration = -1;
        mPrompts.answerDialog([&](QDialog& dialog) {
            if (const auto* progress = qobject_cast<QProgressDialog*>(&dialog)) {
                isProgress = true;
                label = progress->labelText();
                modality = progress->windowModality();
                maximum = progress->maximum();
                minimumDuration = progress->minimumDuration();
            }
            // The download goes on after the modal run returns.
            return int(QDialog::Rejected);
        });
        MainWindow window;
        window.checkNewVersionAvailable();
        QTRY_COMPARE(mLauncher->quits, 1);
        QVERIFY(isProgress);
        QCOMPARE(label, QString("Downloading new version..."));
        QCOMPARE(modality, Qt::WindowModal);
        QCOMPARE(maximum, 100);
        QCOMPARE(minimumDuration, 0);

        // The archive is gone once its installer is there, in a folder of its
        // own.
        QCOMPARE(mLauncher->opened, QStringList{installerPath()});
        QCOMPARE(testkit::fileBytes(installerPath()), kInstaller);
        QCOMPARE(downloadEntries(), QStringList{"MarevaneDmg_2.10.0"});
        QCOMPARE(kinds(), (QStringList{"question", "dialog"}));
        QCOMPARE(mPrompts.records().at(0).title, QString("Application update"));
        QCOMPARE(mPrompts.records().at(0).text,
                 QString("A new version 2.10.0 is available, do you want to download and install it?"));
        QCOMPARE(mPrompts.records().at(1).title, QString("Downloading"));
        QCOMPARE(targets(), (QList<QByteArray>{kListingPath + "?per_page=100&page=1&mime_type=application/zip",
                                              kArchivePath}));
        checkUpdateObjectsFreed(window);
        QCoreApplication::processEvents();
        QCOMPARE(mLauncher->quits, 1);
    }

    void answeringNoDownloadsNothing()
    {
        serveListing();
        serveArchive(archiveWith({{"MarevaneDmg_2.10.0.dmg", kInstaller}}));
        mPrompts.answer(QMessageBox::No);
        MainWindow window;
        window.checkNewVersionAvailable();
        QTRY_COMPARE(kinds(), QStringList{"question"});
        checkUpdateObjectsFreed(window);
        QCOMPARE(mServer->requests().size(), 1);
        QVERIFY(!QFileInfo::exists(downloads()));
        // No is not remembered: the next check asks again.
        window.checkNewVersionAvailable();
        QTRY_COMPARE(kinds(), (QStringList{"question", "question"}));
        QVERIFY(mLauncher->opened.isEmpty());
    }

    void downloadFailures_data()
    {
        QTest::addColumn<HttpRoute::Delivery>("delivery");
        QTest::addColumn<int>("status");
        QTest::addColumn<Closing>("closing");
        QTest::addColumn<QString>("error");
        QTest::newRow("not found") << HttpRoute::Delivery::Whole << 404 << Closing::None << "Not Found";
        QTest::newRow("cut short") << HttpRoute::Delivery::CutShort << 200 << Closing::None << "closed";
        QTest::newRow("cancel button") << HttpRoute::Delivery::Stall << 200 << Closing::CancelButton
                                       << "Operation canceled";
        QTest::newRow("escape") << HttpRoute::Delivery::Stall << 200 << Closing::Escape << "Operation canceled";
        QTest::newRow("close event") << HttpRoute::Delivery::Stall << 200 << Closing::CloseEvent
                                     << "Operation canceled";
    }
    void downloadFailures()
    {
        QFETCH(HttpRoute::Delivery, delivery);
        QFETCH(int, status);
        QFETCH(Closing, closing);
        QFETCH(QString, error);
        serveListing();
        QByteArray archive = archiveWith({{"MarevaneDmg_2.10.0.dmg", QByteArray(300000, 'i')}});
        mServer->setRoute(kArchivePath, {status, {}, archive, delivery});
        mPrompts.answer(QMessageBox::Yes);
        MainWindow window;
        window.checkNewVersionAvailable();
        if (closing != Closing::None) {
            QTRY_VERIFY(progressDialog(window) && progressDialog(window)->value() > 0);
            close(*progressDialog(window), closing);
        }
        QTRY_COMPARE(kinds(), (QStringList{"question", "dialog", "critical"}));
        const PromptRecord failure = mPrompts.records().last();
        QCOMPARE(failure.title, QString("Download failed"));
        QVERIFY2(failure.text.contains(error), qPrintable(failure.text));
        // Whatever else comes, one box.
        mServer->releaseStalled();
        // Once the downloader is gone, only what is already posted is left.
        checkUpdateObjectsFreed(window);
        QCoreApplication::processEvents();
        QCOMPARE(kinds(), (QStringList{"question", "dialog", "critical"}));
        QCOMPARE(downloadEntries(), QStringList{});
        QVERIFY(mLauncher->opened.isEmpty());
        QCOMPARE(mLauncher->quits, 0);
    }

    // A download that announces more than any update is stopped at once,
    // without waiting for its body.
    void anAnnouncedHugeDownloadIsStopped()
    {
        serveListing();
        const QByteArray length = QByteArray::number(GenericFileDownloader::kMaxDownloadSize + 1);
        mServer->setRoute(kArchivePath, {200, {{"Content-Length", length}}, QByteArray(200000, 'z'),
                                         HttpRoute::Delivery::Stall, false});
        mPrompts.answer(QMessageBox::Yes);
        MainWindow window;
        window.checkNewVersionAvailable();
        QTRY_COMPARE(kinds(), (QStringList{"question", "dialog", "critical"}));
        QCOMPARE(mPrompts.records().last().title, QString("Download failed"));
        QCOMPARE(mPrompts.records().last().text,
                 "The download is larger than " + QLocale().toString(GenericFileDownloader::kMaxDownloadSize >> 20)
                     + " MB, more than any update, and was stopped");
        checkUpdateObjectsFreed(window);
        QCOMPARE(downloadEntries(), QStringList{});
    }

    void noSafeInstallerInTheArchive_data()
    {
        QTest::addColumn<QByteArray>("archive");
        // An installer of that name from an earlier download lies beside.
        QTest::addColumn<bool>("earlierInstaller");
        QTest::addColumn<QStringList>("left");
        // What the archive unpacked goes with its folder; the archive stays.
        QTest::newRow("no installer") << archiveWith({{"readme.txt", "read me"}}) << false
                                      << QStringList{"MarevaneDmg_2.10.0.zip"};
        QTest::newRow("no installer, an earlier one beside")
            << archiveWith({{"readme.txt", "read me"}}) << true
            << QStringList{"MarevaneDmg_2.10.0.dmg", "MarevaneDmg_2.10.0.zip"};
        QTest::newRow("not an archive") << QByteArray("<html>a web page</html>") << false
                                        << QStringList{"MarevaneDmg_2.10.0.zip"};
    }
    void noSafeInstallerInTheArchive()
    {
        QFETCH(QByteArray, archive);
        QFETCH(bool, earlierInstaller);
        QFETCH(QStringList, left);
        if (earlierInstaller) {
            QVERIFY(QDir().mkpath(downloads()));
            QFile earlier(downloads() + "/MarevaneDmg_2.10.0.dmg");
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("an installer from an earlier download");
        }
        serveListing();
        serveArchive(archive);
        mPrompts.answer(QMessageBox::Yes);
        MainWindow window;
        window.checkNewVersionAvailable();
        QTRY_COMPARE(kinds(), (QStringList{"question", "dialog", "information"}));
        QCOMPARE(mPrompts.records().last().title, QString("Download finished"));
        QCOMPARE(mPrompts.records().last().text,
                 "The new version has been downloaded to " + downloads() + "/MarevaneDmg_2.10.0.zip");
        QVERIFY(mLauncher->opened.isEmpty());
        QCOMPARE(downloadEntries(), left);
        QVERIFY(!QFileInfo::exists(QDir::homePath() + "/escape.txt"));
        checkUpdateObjectsFreed(window);
    }

    // Every hop of the download must be https or http to this machine, as the
    // first address is; a hop elsewhere is never asked. Plain http to
    // 0.0.0.0 is not this machine by that rule, yet reaches the second
    // server here, so a hop wrongly followed shows as a request there.
    void downloadRedirects_data()
    {
        QTest::addColumn<QByteArray>("location");
        // The second server's route "/hop", when the location leads there.
        QTest::addColumn<QByteArray>("secondHop");
        // The address named in the message; empty when the road goes on.
        QTest::addColumn<QString>("refused");
        QTest::newRow("to plain http elsewhere")
            << QByteArray("http://0.0.0.0:%2/files/moved.zip") << QByteArray() << "http://0.0.0.0:%2/files/moved.zip";
        QTest::newRow("a second hop to plain http elsewhere")
            << QByteArray("http://127.0.0.1:%2/hop") << QByteArray("http://0.0.0.0:%1/files/moved.zip")
            << "http://0.0.0.0:%1/files/moved.zip";
        QTest::newRow("to another scheme") << QByteArray("ftp://0.0.0.0:%2/files/moved.zip") << QByteArray()
                                           << "ftp://0.0.0.0:%2/files/moved.zip";
        QTest::newRow("to another port of this machine")
            << QByteArray("http://127.0.0.1:%2/files/moved.zip") << QByteArray() << QString();
        QTest::newRow("on the same site") << QByteArray("/files/moved.zip") << QByteArray() << QString();
    }
    void downloadRedirects()
    {
        QFETCH(QByteArray, location);
        QFETCH(QByteArray, secondHop);
        QFETCH(QString, refused);
        testkit::TestHttpServer second;
        QVERIFY(second.start());
        const auto withPorts = [&](QByteArray text) {
            return text.replace("%1", QByteArray::number(mServer->port()))
                .replace("%2", QByteArray::number(second.port()));
        };
        const QByteArray archive = archiveWith({{"MarevaneDmg_2.10.0.dmg", kInstaller}});
        serveListing();
        mServer->setRoute(kArchivePath, redirectTo(withPorts(location)));
        second.setRoute("/hop", redirectTo(withPorts(secondHop)));
        for (testkit::TestHttpServer* server : {mServer.get(), &second})
            server->setRoute("/files/moved.zip", {200, {}, archive, HttpRoute::Delivery::Whole});
        mPrompts.answer(QMessageBox::Yes);
        MainWindow window;
        window.checkNewVersionAvailable();
        if (refused.isEmpty()) {
            QTRY_COMPARE(mLauncher->quits, 1);
            QCOMPARE(mLauncher->opened, QStringList{installerPath()});
            QCOMPARE(kinds(), (QStringList{"question", "dialog"}));
            return;
        }
        QTRY_COMPARE(kinds(), (QStringList{"question", "dialog", "critical"}));
        const PromptRecord failure = mPrompts.records().last();
        QCOMPARE(failure.title, QString("Download failed"));
        const QString address = QString::fromUtf8(withPorts(refused.toUtf8()));
        QVERIFY2(failure.text.contains(address), qPrintable(failure.text));
        checkUpdateObjectsFreed(window);
        for (const testkit::HttpRequest& request : mServer->requests() + second.requests())
            QVERIFY2(request.target != "/files/moved.zip", request.target.constData());
        QCOMPARE(downloadEntries(), QStringList{});
        QVERIFY(mLauncher->opened.isEmpty());
    }

    // The listing is held to the same rule: its hop elsewhere asks nothing.
    void aListingRedirectedElsewhereAsksNothing()
    {
        testkit::TestHttpServer second;
        QVERIFY(second.start());
        serveListing(second);
        const QByteArray away = "http://0.0.0.0:" + QByteArray::number(second.port()) + kListingPath;
        mServer->setRoute(kListingPath, redirectTo(away));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("^Redirect refused: " + QRegularExpression::escape(away) + "$"));
        MainWindow window;
        window.checkNewVersionAvailable();
        QTRY_VERIFY(window.findChildren<WordPressClient*>().isEmpty());
        QCoreApplication::processEvents();
        QVERIFY(second.requests().isEmpty());
        QVERIFY(mPrompts.records().isEmpty());
    }

    // An archive refused as unsafe or damaged is said to be, with the reason,
    // and nothing of it is left to be opened by hand.
    void refusedArchives_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<QString>("reason");
        const QByteArray data = "installer data that the archive lies about";
        QTest::newRow("an entry climbing out")
            << zipBytes({{"MarevaneDmg_2.10.0.dmg", kInstaller, true, 0, {}, {}},
                         {"../escape.txt", "out", true, 0, {}, {}}})
            << "The entry \"../escape.txt\" would be written outside its folder.";
        QTest::newRow("a link") << zipBytes({{"MarevaneDmg_2.10.0.dmg", "/etc/passwd", false, 0120777, {}, {}}})
                                << "The entry \"MarevaneDmg_2.10.0.dmg\" is a link or a special file.";
        QTest::newRow("a lying size")
            << zipBytes({{"MarevaneDmg_2.10.0.dmg", data, true, 0, quint64(data.size() - 10), {}}})
            << "The entry \"MarevaneDmg_2.10.0.dmg\" is damaged: its data is not what the archive declares.";
        QTest::newRow("a wrong checksum")
            << zipBytes({{"MarevaneDmg_2.10.0.dmg", data, true, 0, {}, 12345u}})
            << "The entry \"MarevaneDmg_2.10.0.dmg\" is damaged: its data is not what the archive declares.";
        QList<testkit::ZipEntrySpec> many{{"MarevaneDmg_2.10.0.dmg", kInstaller, true, 0, {}, {}}};
        for (int i = 0; i < 20000; ++i)
            many.append({"e" + QByteArray::number(i), {}, false, 0, {}, {}});
        QTest::newRow("20,000 entries") << zipBytes(many) << "The archive holds more than 1000 entries.";
    }
    void refusedArchives()
    {
        QFETCH(QByteArray, archive);
        QFETCH(QString, reason);
        serveListing();
        serveArchive(archive);
        mPrompts.answer(QMessageBox::Yes);
        MainWindow window;
        window.checkNewVersionAvailable();
        QTRY_COMPARE(kinds(), (QStringList{"question", "dialog", "critical"}));
        QCOMPARE(mPrompts.records().last().title, QString("Update refused"));
        QCOMPARE(mPrompts.records().last().text,
                 "The downloaded update was refused as unsafe and removed: " + reason);
        QCOMPARE(downloadEntries(), QStringList{});
        QVERIFY(!QFileInfo::exists(QDir::homePath() + "/escape.txt"));
        QVERIFY(mLauncher->opened.isEmpty());
        checkUpdateObjectsFreed(window);
    }

    // An archive address ending like the installer still keeps the two
    // apart: the installer is unpacked into a folder of its own.
    void anArchiveNamedLikeItsInstaller()
    {
        const QByteArray archivePath = "/files/MarevaneDmg_2.10.0.dmg";
        mServer->setRoute(kListingPath, {200, {}, listingOf(archivePath), HttpRoute::Delivery::Whole});
        mServer->setRoute(archivePath, {200, {}, archiveWith({{"MarevaneDmg_2.10.0.dmg", kInstaller}}),
                                        HttpRoute::Delivery::Whole});
        mPrompts.answer(QMessageBox::Yes);
        MainWindow window;
        window.checkNewVersionAvailable();
        QTRY_COMPARE(mLauncher->quits, 1);
        QCOMPARE(mLauncher->opened, QStringList{installerPath()});
        QCOMPARE(testkit::fileBytes(installerPath()), kInstaller);
        QCOMPARE(downloadEntries(), QStringList{"MarevaneDmg_2.10.0"});
    }

    // What the user keeps in the download folder is never unpacked over.
    void theUsersFilesStay_data()
    {
        QTest::addColumn<QStringList>("userFiles");
        QTest::addColumn<QString>("folder");
        QTest::newRow("files named like the entries")
            << QStringList{"MarevaneDmg_2.10.0.dmg", "readme.txt"} << "MarevaneDmg_2.10.0";
        QTest::newRow("the folder's name taken by a folder")
            << QStringList{"MarevaneDmg_2.10.0/MarevaneDmg_2.10.0.dmg", "MarevaneDmg_2.10.0 (2)/readme.txt"}
            << "MarevaneDmg_2.10.0 (3)";
        QTest::newRow("the folder's name taken by a file") << QStringList{"MarevaneDmg_2.10.0"}
                                                            << "MarevaneDmg_2.10.0 (2)";
    }
    void theUsersFilesStay()
    {
        QFETCH(QStringList, userFiles);
        QFETCH(QString, folder);
        for (const QString& name : userFiles) {
            QVERIFY(QDir().mkpath(QFileInfo(downloads() + '/' + name).absolutePath()));
            QFile file(downloads() + '/' + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write("the user's " + name.toUtf8()) > 0);
        }
        serveListing();
        serveArchive(archiveWith({{"MarevaneDmg_2.10.0.dmg", kInstaller}, {"readme.txt", "read me"}}));
        mPrompts.answer(QMessageBox::Yes);
        MainWindow window;
        window.checkNewVersionAvailable();
        QTRY_COMPARE(mLauncher->quits, 1);
        const QString installer = downloads() + '/' + folder + "/MarevaneDmg_2.10.0.dmg";
        QCOMPARE(mLauncher->opened, QStringList{installer});
        QCOMPARE(testkit::fileBytes(installer), kInstaller);
        QCOMPARE(testkit::fileBytes(downloads() + '/' + folder + "/readme.txt"), QByteArray("read me"));
        for (const QString& name : userFiles)
            QCOMPARE(testkit::fileBytes(downloads() + '/' + name), "the user's " + name.toUtf8());
    }

    void aFailingLauncherIsReported()
    {
        serveListing();
        serveArchive(archiveWith({{"MarevaneDmg_2.10.0.dmg", kInstaller}}));
        mLauncher->opens = false;
        mPrompts.answer(QMessageBox::Yes);
        MainWindow window;
        window.checkNewVersionAvailable();
        QTRY_COMPARE(kinds(), (QStringList{"question", "dialog", "critical"}));
        QCOMPARE(mPrompts.records().last().title, QString("Error"));
        QCOMPARE(mPrompts.records().last().text, QString("Erreur on start installation"));
        QCOMPARE(mLauncher->opened, QStringList{installerPath()});
        QCOMPARE(mLauncher->quits, 0);
    }

    void aSecondListingWhileTheQuestionIsOpenAsksNothing()
    {
        MainWindow window;
        const QList<QJsonObject> listing = updateListing();
        // Posted now, handled inside the question's modal run.
        QTimer::singleShot(0, &window, [&window, listing] { window.mediaListReady(listing); });
        window.mediaListReady(listing);
        QCoreApplication::processEvents();
        QCOMPARE(kinds(), QStringList{"question"});
        // Once it is answered, a listing asks again.
        window.mediaListReady(listing);
        QCOMPARE(kinds(), (QStringList{"question", "question"}));
    }

    void aSecondListingDuringTheDownloadAsksNothing()
    {
        mServer->setRoute(kArchivePath, {200, {}, archiveWith({{"MarevaneDmg_2.10.0.dmg", QByteArray(300000, 'i')}}),
                                         HttpRoute::Delivery::Stall});
        mPrompts.answer(QMessageBox::Yes);
        MainWindow window;
        window.mediaListReady(updateListing());
        QTRY_VERIFY(progressDialog(window) && progressDialog(window)->value() > 0);
        window.mediaListReady(updateListing());
        QCOMPARE(kinds(), (QStringList{"question", "dialog"}));
        QCOMPARE(window.findChildren<GenericFileDownloader*>().size(), 1);
        mServer->releaseStalled();
        QTRY_COMPARE(mLauncher->quits, 1);
        QCOMPARE(kinds(), (QStringList{"question", "dialog"}));
        QCOMPARE(targets().count(kArchivePath), 1);
    }

    void eachCheckFreesItsClient_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("listing failed") << 500 << QByteArray();
        QTest::newRow("not a list") << 200 << QByteArray("{}");
        QTest::newRow("no update") << 200 << QByteArray("[]");
    }
    void eachCheckFreesItsClient()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        mServer->setRoute(kListingPath, {status, {}, body, HttpRoute::Delivery::Whole});
        if (status != 200)
            for (int check = 0; check < 2; ++check)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Network error: "));
        else if (body != "[]")
            for (int check = 0; check < 2; ++check)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Unexpected response: "));
        MainWindow window;
        // Two checks at once: neither replaces the other's client.
        window.checkNewVersionAvailable();
        window.checkNewVersionAvailable();
        QCOMPARE(window.findChildren<WordPressClient*>().size(), 2);
        QTRY_COMPARE(mServer->requests().size(), 2);
        checkUpdateObjectsFreed(window);
        QVERIFY(mPrompts.records().isEmpty());
    }

private:

    static QString downloads() { return QDir::homePath() + "/Downloads"; }
    // Where the installer of the served archive is unpacked.
    static QString installerPath() { return downloads() + "/MarevaneDmg_2.10.0/MarevaneDmg_2.10.0.dmg"; }

    static QByteArray zipBytes(const QList<testkit::ZipEntrySpec>& entries)
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("archive.zip");
        if (!testkit::writeZip(path, entries))
            qFatal("cannot write the test archive");
        return testkit::fileBytes(path);
    }

    // An archive made as the maker makes them, of files with these names and
    // contents.
    static QByteArray archiveWith(const QList<QPair<QString, QByteArray>>& files)
    {
        QTemporaryDir folder;
        QList<QString> paths;
        for (const auto& [name, contents] : files) {
            paths.append(folder.filePath(name));
            QFile file(paths.last());
            if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
                qFatal("cannot write %s", qPrintable(name));
        }
        if (!createZip(folder.filePath("archive.zip"), paths))
            qFatal("cannot create the test archive");
        return testkit::fileBytes(folder.filePath("archive.zip"));
    }

    QList<QJsonObject> updateListing(const QByteArray& archivePath = kArchivePath) const
    {
        return {QJsonObject{{"title", QJsonObject{{"rendered", "Logbook.pdf"}}},
                            {"source_url", mServer->url("/files/Logbook.pdf").toString()}},
                QJsonObject{{"title", QJsonObject{{"rendered", "MarevaneDmg_2.10.0"}}},
                            {"source_url", mServer->url(archivePath).toString()}}};
    }

    void serveListing() { serveListing(*mServer); }

    // The listing of the update archive on the first server, served by
    // `server`.
    void serveListing(testkit::TestHttpServer& server) const
    {
        server.setRoute(kListingPath, {200, {{"X-WP-TotalPages", "1"}}, listingOf(kArchivePath),
                                       HttpRoute::Delivery::Whole});
    }

    // The listing, as the site sends it, of the update archive at `archivePath`
    // of the first server.
    QByteArray listingOf(const QByteArray& archivePath) const
    {
        QJsonArray media;
        for (const QJsonObject& item : updateListing(archivePath))
            media.append(item);
        return QJsonDocument(media).toJson();
    }

    static HttpRoute redirectTo(const QByteArray& location)
    {
        return {302, {{"Location", location}}, "moved", HttpRoute::Delivery::Whole};
    }

    void serveArchive(const QByteArray& archive)
    {
        mServer->setRoute(kArchivePath, {200, {}, archive, HttpRoute::Delivery::Whole});
    }

    static QList<QTimer*> updateTimers(const MainWindow& window)
    {
        return window.findChildren<QTimer*>("updateCheckTimer", Qt::FindDirectChildrenOnly);
    }

    static QProgressDialog* progressDialog(const MainWindow& window)
    {
        return window.findChild<QProgressDialog*>();
    }

    static void close(QProgressDialog& progress, Closing closing)
    {
        switch (closing) {
        case Closing::None:
            break;
        case Closing::CancelButton:
            QTest::mouseClick(progress.findChild<QPushButton*>(), Qt::LeftButton);
            break;
        case Closing::Escape:
            QTest::keyClick(&progress, Qt::Key_Escape);
            break;
        case Closing::CloseEvent:
            progress.close();
            break;
        }
    }

    // The client, the downloader and the progress dialog of a check are gone
    // once it is over.
    static void checkUpdateObjectsFreed(const MainWindow& window)
    {
        QTRY_VERIFY(window.findChildren<WordPressClient*>().isEmpty());
        QTRY_VERIFY(window.findChildren<GenericFileDownloader*>().isEmpty());
        QTRY_VERIFY(!progressDialog(window));
    }

    QStringList kinds() const
    {
        QStringList list;
        for (const PromptRecord& record : mPrompts.records())
            list.append(record.kind);
        return list;
    }

    QList<QByteArray> targets() const
    {
        QList<QByteArray> list;
        for (const testkit::HttpRequest& request : mServer->requests())
            list.append(request.target);
        return list;
    }

    static QStringList downloadEntries()
    {
        return QDir(downloads()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    testkit::PromptRecorder mPrompts;
    std::unique_ptr<RecordingLauncher> mLauncher;
    std::unique_ptr<testkit::TestHttpServer> mServer;
};

MAREVANE_TEST_MAIN(UpdateWindowTest)
#include "tst_updatewindow.moc"

#include "appsettings.h"
#include "computerkit.h"
#include "device/firmwaredownloader.h"
#include "device/firmwaremgt.h"
#include "firmwarekit.h"
#include "promptrecorder.h"
#include "testenvironment.h"
#include "testhttpserver.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>

#include <functional>
#include <memory>

using testkit::HttpRoute;

namespace {

constexpr int kReplyWait = 10000; // ms, the longest wait for one answer

const QString kNewestDate = "2024-05-12T10:20:30Z";
const QString kNewestCacheName = "fw.bin-2024-05-12_10-20-30_-2.0.12.a.bin";

QString firmwareFolder()
{
    return testkit::appDataFolder() + "/Firmwares";
}

// An image with every byte value, NUL included.
QByteArray image(int size, char seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(seed + i * 7);
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Every file below `folder`, relative to it.
QStringList filesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

QTableWidget& table(FirmwareMgt& manager)
{
    return *manager.findChild<QTableWidget*>("tbFirmwares");
}

QString info(FirmwareMgt& manager)
{
    return manager.findChild<QLabel*>("lbInfo")->text();
}

QProgressBar& progressBar(FirmwareMgt& manager)
{
    return *manager.findChild<QProgressBar*>("progressBar");
}

QPushButton& fromDiskButton(FirmwareMgt& manager)
{
    return *manager.findChild<QPushButton*>("btFirmwareFromDisk");
}

QPushButton* downloadButton(FirmwareMgt& manager, int row)
{
    QWidget* cell = table(manager).cellWidget(row, 3);
    return cell ? cell->findChild<QPushButton*>() : nullptr;
}

// Waits until `spy` has seen `count` signals.
void waitFor(QSignalSpy& spy, int count)
{
    while (spy.size() < count)
        QVERIFY2(spy.wait(kReplyWait), "no answer came");
}

} // namespace

// The firmware manager against the loopback repository and the simulated
// computer: the table, the download into the cache, the confirmed upload and
// its progress, the upload from disk, and every way a download or an upload
// can fail.
class FirmwareManagerTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        QVERIFY(QDir().mkpath(testkit::appDataFolder()));
        mPrompts.clear();
        mServer = std::make_unique<testkit::TestHttpServer>();
        QVERIFY(mServer->start());
        testkit::useTestRepository(*mServer);
        mComputer = std::make_unique<SimulatedComputer>();
        mSession = std::make_unique<QuelmSession>();
        QVERIFY(testkit::connectSession(*mSession));
    }

    void cleanup()
    {
        mSession.reset();
        mComputer.reset();
        mServer.reset();
    }

    void fullRoad_data()
    {
        QTest::addColumn<QString>("token");
        QTest::addColumn<QByteArray>("authorization");
        QTest::newRow("with a token") << "token" << QByteArray("Basic dXNlcjp0b2tlbg==");
        QTest::newRow("without a token") << "" << QByteArray();
    }
    void fullRoad()
    {
        QFETCH(QString, token);
        QFETCH(QByteArray, authorization);
        FirmwareDownloader::sAccessToken = token;
        const QByteArray newest = image(3000, 1);
        serveRepository({testkit::tocEntry("fw.bin", "0x02000C61", "#336699", kNewestDate, "Newest"),
                         testkit::tocEntry("old.bin", "0x02000B00", "", "2023-01-01T00:00:00Z", "Older")},
                        {{"README.md", imageUrl("/raw/README.md")},
                         {"fw.bin", imageUrl("/raw/fw.bin")},
                         {"old.bin", imageUrl("/raw/old.bin")}});
        mServer->setRoute("/raw/fw.bin", {200, {}, newest, HttpRoute::Delivery::Whole});
        mComputer->script.uploadProgress = {{0, 100}, {1500, 50}, {3000, 100}};
        mComputer->script.installDuration = 7325LL * 1000 * 1000;

        runManager([&](FirmwareMgt& manager, QSignalSpy& replies) {
            QVERIFY(manager.findChild<QPushButton*>("btOpenFolder")->isHidden());
            QVERIFY(manager.findChild<QCheckBox*>("ckForceSameVersion")->isHidden());
            QVERIFY(progressBar(manager).isHidden());
            waitFor(replies, 2);
            QTableWidget& rows = table(manager);
            QCOMPARE(rows.rowCount(), 2);
            QCOMPARE(rows.item(0, 0)->text(), QString("fw.bin"));
            QCOMPARE(rows.item(0, 1)->text(), QString("2.0.12.a"));
            QCOMPARE(rows.item(0, 2)->text(), QString("2024-05-12_10-20-30_"));
            QCOMPARE(rows.cellWidget(0, 3)->findChild<QLabel*>()->text(), QString("Newest"));
            for (int column = 0; column < 3; ++column) {
                QCOMPARE(rows.item(0, column)->background().color(), QColor(0x33, 0x66, 0x99));
                QCOMPARE(rows.item(1, column)->background().color(), QColor(Qt::white));
            }
            QCOMPARE(rows.item(1, 1)->text(), QString("2.0.11"));
            QCOMPARE(info(manager), QString("2 Firmwares Available"));
            QVERIFY(downloadButton(manager, 0)->isEnabled());
            QCOMPARE(downloadButton(manager, 0)->toolTip(), QString("Download Firmware"));

            // Progress as the computer reports it, read after each report.
            QStringList progress;
            connect(mSession.get(), &QuelmSession::uploadFirmwareProgress, &manager, [&] {
                progress << info(manager) + QString(" @%1").arg(progressBar(manager).value());
            });
            QSignalSpy ended(mSession.get(), &QuelmSession::endCommand);
            mPrompts.answer(QMessageBox::Yes);
            QTest::mouseClick(downloadButton(manager, 0), Qt::LeftButton);
            waitFor(replies, 3);
            QCOMPARE(testkit::fileBytes(firmwareFolder() + '/' + kNewestCacheName), newest);
            QVERIFY(progressBar(manager).isVisible());
            QVERIFY(!fromDiskButton(manager).isEnabled());
            waitFor(ended, 1);
            QCOMPARE(ended.first().first().value<PelavixCommandIn>(), PelavixCommand::FirmwareInstall);
            QCOMPARE(progress, (QStringList{"Nb sent: 0/0 @0", "Number of bytes sent: 1500/3000 @50",
                                            "Number of bytes sent: 3000/3000 @100"}));
            QCOMPARE(info(manager), QString("Installation Successfull in 02:02:05"));
            QVERIFY(fromDiskButton(manager).isEnabled());
        });

        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(mPrompts.records().at(1).kind, QString("question"));
        QCOMPARE(mPrompts.records().at(1).title, QString("Confirmation"));
        QCOMPARE(mPrompts.records().at(1).text, QString("Upload firmware 2.0.12.a?"));
        QCOMPARE(mComputer->requests().uploads.size(), 1);
        QCOMPARE(mComputer->requests().uploads.first().image, newest);
        QCOMPARE(mComputer->requests().uploads.first().name, QString("fw"));
        QCOMPARE(mComputer->requests().uploads.first().force, false);
        QCOMPARE(targets(), (QByteArrayList{"/repos/maker/firmware/contents/toc-private.json",
                                            "/repos/maker/firmware/contents", "/raw/fw.bin"}));
        for (const testkit::HttpRequest& request : mServer->requests()) {
            QCOMPARE(request.hasAuthorization, !authorization.isEmpty());
            QCOMPARE(request.authorization, authorization);
        }
    }

    void credentialOnlyToTheRepositoryOrigins_data()
    {
        QTest::addColumn<bool>("named");  // the image host is one of the download origins
        QTest::addColumn<int>("status");  // the image host's answer
        QTest::addColumn<bool>("noted");  // the failure says the credential was not sent
        QTest::newRow("named origin") << true << 200 << false;
        QTest::newRow("other origin") << false << 200 << false;
        QTest::newRow("other origin refuses") << false << 404 << true;
        QTest::newRow("other origin refuses, 401") << false << 401 << true;
        QTest::newRow("named origin refuses") << true << 403 << false;
    }
    void credentialOnlyToTheRepositoryOrigins()
    {
        QFETCH(bool, named);
        QFETCH(int, status);
        QFETCH(bool, noted);
        // The images on the same machine, another port: another origin.
        testkit::TestHttpServer imageHost;
        QVERIFY(imageHost.start());
        const QByteArray bytes = image(500, 17);
        imageHost.setRoute("/raw/fw.bin", {status, {}, status == 200 ? bytes : QByteArray("refused"),
                                           HttpRoute::Delivery::Whole});
        if (named)
            FirmwareDownloader::sDownloadOrigins = {"https://raw.repository.example", imageHost.url("/").toString()};
        serveRepository({testkit::tocEntry("fw.bin", "0x02000C61", "#336699", kNewestDate, "Newest")},
                        {{"fw.bin", imageHost.url("/raw/fw.bin").toString()}});
        runManager([&](FirmwareMgt& manager, QSignalSpy& replies) {
            waitFor(replies, 2);
            mPrompts.answer(QMessageBox::Yes);
            QTest::mouseClick(downloadButton(manager, 0), Qt::LeftButton);
            waitFor(replies, 3);
        });

        QCOMPARE(mServer->requests().size(), 2);
        for (const testkit::HttpRequest& request : mServer->requests())
            QCOMPARE(request.authorization, QByteArray("Basic dXNlcjp0b2tlbg=="));
        QCOMPARE(imageHost.requests().size(), 1);
        QCOMPARE(imageHost.requests().first().hasAuthorization, named);
        if (status == 200) {
            QCOMPARE(mComputer->requests().uploads.size(), 1);
            QCOMPARE(mComputer->requests().uploads.first().image, bytes);
            return;
        }
        QVERIFY(mComputer->requests().uploads.isEmpty());
        const testkit::PromptRecord box = mPrompts.records().at(1);
        QCOMPARE(box.title, QString("Download Error"));
        QVERIFY(box.text.startsWith("The firmware image could not be downloaded:\n"));
        QCOMPARE(box.text.endsWith(" The address lies outside the firmware repository: it was asked without the "
                                   "repository's credential."),
                 noted);
    }

    void answeringNoFreesTheRow()
    {
        serveNewestFirmware(image(100, 2));
        runManager([&](FirmwareMgt& manager, QSignalSpy& replies) {
            waitFor(replies, 2);
            QTest::mouseClick(downloadButton(manager, 0), Qt::LeftButton);
            waitFor(replies, 3);
            QCOMPARE(manager.downloadIndex, -1);
            QCOMPARE(manager.uploadIndex, -1);
            // Asked again, answered Yes this time.
            mPrompts.answer(QMessageBox::Yes);
            QTest::mouseClick(downloadButton(manager, 0), Qt::LeftButton);
            waitFor(replies, 4);
        });
        QCOMPARE(questions(), 2);
        QCOMPARE(mComputer->requests().uploads.size(), 1);
        QCOMPARE(mComputer->requests().uploads.first().image, image(100, 2));
    }

    void anotherDownloadAfterAnInstallation_data()
    {
        QTest::addColumn<bool>("fails"); // the first installation ends in an exchange error
        QTest::newRow("installed") << false;
        QTest::newRow("installation failed") << true;
    }
    void anotherDownloadAfterAnInstallation()
    {
        QFETCH(bool, fails);
        const QByteArray newest = image(400, 18);
        const QByteArray older = image(300, 19);
        serveRepository({testkit::tocEntry("fw.bin", "0x02000C61", "#336699", kNewestDate, "Newest"),
                         testkit::tocEntry("old.bin", "0x02000B00", "", "2023-01-01T00:00:00Z", "Older")},
                        {{"fw.bin", imageUrl("/raw/fw.bin")}, {"old.bin", imageUrl("/raw/old.bin")}});
        mServer->setRoute("/raw/fw.bin", {200, {}, newest, HttpRoute::Delivery::Whole});
        mServer->setRoute("/raw/old.bin", {200, {}, older, HttpRoute::Delivery::Whole});
        if (fails)
            mComputer->stallNext(PelavixCommand::FirmwareInstall);
        runManager([&](FirmwareMgt& manager, QSignalSpy& replies) {
            waitFor(replies, 2);
            QSignalSpy ended(mSession.get(), &QuelmSession::endCommand);
            mPrompts.answer(QMessageBox::Yes);
            QTest::mouseClick(downloadButton(manager, 0), Qt::LeftButton);
            waitFor(replies, 3);
            if (fails)
                mSession->reportExchangeError(PelavixCommand::FirmwareInstall, QuelmLink::AnswerTimeout);
            else
                waitFor(ended, 1);
            QCOMPARE(manager.downloadIndex, -1);
            QCOMPARE(manager.uploadIndex, -1);
            QVERIFY(downloadButton(manager, 1)->isEnabled());

            mPrompts.answer(QMessageBox::Yes);
            QTest::mouseClick(downloadButton(manager, 1), Qt::LeftButton);
            waitFor(replies, 4);
        });
        QCOMPARE(targets().mid(2), (QByteArrayList{"/raw/fw.bin", "/raw/old.bin"}));
        QCOMPARE(questions(), 2);
        QCOMPARE(mComputer->requests().uploads.size(), 2);
        QCOMPARE(mComputer->requests().uploads.at(0).image, newest);
        QCOMPARE(mComputer->requests().uploads.at(1).image, older);
    }

    void oneDownloadAtATime()
    {
        serveNewestFirmware(image(100000, 3));
        mServer->setRoute("/raw/fw.bin", {200, {}, image(100000, 3), HttpRoute::Delivery::Stall});
        runManager([&](FirmwareMgt& manager, QSignalSpy& replies) {
            waitFor(replies, 2);
            QSignalSpy received(mServer.get(), &testkit::TestHttpServer::requestReceived);
            QTest::mouseClick(downloadButton(manager, 0), Qt::LeftButton);
            waitFor(received, 1);
            QTest::mouseClick(downloadButton(manager, 0), Qt::LeftButton);
            mPrompts.answer(QMessageBox::Yes);
            mServer->releaseStalled();
            waitFor(replies, 3);
        });
        QCOMPARE(targets().count("/raw/fw.bin"), 1);
        QCOMPARE(mComputer->requests().uploads.size(), 1);
        QCOMPARE(mComputer->requests().uploads.first().image, image(100000, 3));
    }

    void listingEntriesFindTheirFirmware()
    {
        serveRepository({testkit::tocEntry("A.BIN", "0x02000C00"), testkit::tocEntry("fw.bin", "0x02000C00"),
                         testkit::tocEntry("fw.bin", "0x02000B00"), testkit::tocEntry("bin", "0x02000B00")},
                        {{"A.BIN", imageUrl("/raw/A.BIN")},
                         {"fw.bin", imageUrl("/raw/fw.bin")},
                         {"bin", imageUrl("/raw/bin")}});
        runManager([&](FirmwareMgt& manager, QSignalSpy& replies) {
            waitFor(replies, 2);
            QCOMPARE(info(manager), QString("4 Firmwares Available"));
            QStringList addresses;
            for (const FirmwareInfo& firmware : manager.firmwares)
                addresses << firmware.downloadUrl;
            QCOMPARE(addresses, (QStringList{"", imageUrl("/raw/fw.bin"), "", ""}));
            QList<bool> enabled;
            for (int row = 0; row < 4; ++row)
                enabled << downloadButton(manager, row)->isEnabled();
            QCOMPARE(enabled, (QList<bool>{false, true, false, false}));
        });
    }

    void failedImageDownloads_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("delivery");
        QTest::addColumn<QString>("reason"); // a part of the second line
        const int whole = int(HttpRoute::Delivery::Whole);
        QTest::newRow("404") << 404 << QByteArray("<html><body>Not Found</body></html>") << whole << "Not Found";
        QTest::newRow("empty") << 200 << QByteArray() << whole << "The image is empty.";
        QTest::newRow("cut") << 200 << image(800, 4) << int(HttpRoute::Delivery::CutShort) << "";
        QTest::newRow("over the cap") << 200 << image(2000, 5) << whole << "The answer is larger than 1024 bytes.";
    }
    void failedImageDownloads()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, delivery);
        QFETCH(QString, reason);
        FirmwareInfo::sSizeLimit = 1024;
        const QByteArray good = image(600, 6);
        serveNewestFirmware(good);
        mServer->setRoute("/raw/fw.bin", {status, {}, body, HttpRoute::Delivery(delivery)});
        QString shown;
        runManager([&](FirmwareMgt& manager, QSignalSpy& replies) {
            waitFor(replies, 2);
            QTest::mouseClick(downloadButton(manager, 0), Qt::LeftButton);
            waitFor(replies, 3);
            QCOMPARE(manager.downloadIndex, -1);
            shown = info(manager);
            QVERIFY(filesBelow(testkit::appDataFolder()).isEmpty());

            // The next download works.
            mServer->setRoute("/raw/fw.bin", {200, {}, good, HttpRoute::Delivery::Whole});
            mPrompts.answer(QMessageBox::Yes);
            QTest::mouseClick(downloadButton(manager, 0), Qt::LeftButton);
            waitFor(replies, 4);
        });
        const testkit::PromptRecord box = mPrompts.records().at(1);
        QCOMPARE(box.kind, QString("critical"));
        QCOMPARE(box.title, QString("Download Error"));
        verifyFailureText(box.text, "The firmware image could not be downloaded:", reason);
        QCOMPARE(shown, box.text);
        QCOMPARE(questions(), 1);
        QCOMPARE(filesBelow(testkit::appDataFolder()), QStringList{"Firmwares/" + kNewestCacheName});
        QCOMPARE(mComputer->requests().uploads.size(), 1);
        QCOMPARE(mComputer->requests().uploads.first().image, good);
    }

    void refusedConnectionIsSaidInWords()
    {
        // A port where nothing listens any more.
        quint16 closedPort = 0;
        {
            testkit::TestHttpServer gone;
            QVERIFY(gone.start());
            closedPort = gone.port();
        }
        serveRepository({testkit::tocEntry("fw.bin", "0x02000C61", "#336699", kNewestDate, "Newest")},
                        {{"fw.bin", QString("http://127.0.0.1:%1/raw/fw.bin").arg(closedPort)}});
        QString shown;
        runManager([&](FirmwareMgt& manager, QSignalSpy& replies) {
            waitFor(replies, 2);
            QTest::mouseClick(downloadButton(manager, 0), Qt::LeftButton);
            waitFor(replies, 3);
            shown = info(manager);
            QCOMPARE(manager.downloadIndex, -1);
        });
        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(mPrompts.records().at(1).title, QString("Download Error"));
        QCOMPARE(mPrompts.records().at(1).text, QString("The firmware image could not be downloaded:\nConnection refused"));
        QCOMPARE(shown, mPrompts.records().at(1).text);
    }

    void failedTableOrListing_data()
    {
        QTest::addColumn<QByteArray>("failing");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<int>("requests");
        QTest::newRow("401 table") << QByteArray("/repos/maker/firmware/contents/toc-private.json") << 401
                                   << "The table of contents of the firmware could not be downloaded:" << 1;
        QTest::newRow("404 listing") << QByteArray("/repos/maker/firmware/contents") << 404
                                     << "The list of firmware images could not be downloaded:" << 2;
    }
    void failedTableOrListing()
    {
        QFETCH(QByteArray, failing);
        QFETCH(int, status);
        QFETCH(QString, heading);
        QFETCH(int, requests);
        serveNewestFirmware(image(10, 7));
        mServer->setRoute(failing, {status, {}, R"({"message":"Bad credentials"})", HttpRoute::Delivery::Whole});
        runManager([&](FirmwareMgt& manager, QSignalSpy& replies) {
            waitFor(replies, requests);
            QCOMPARE(table(manager).rowCount(), 0);
            QCOMPARE(info(manager), mPrompts.records().at(1).text);
        });
        QCOMPARE(mServer->requests().size(), requests);
        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(mPrompts.records().at(1).title, QString("Download Error"));
        verifyFailureText(mPrompts.records().at(1).text, heading, "");
    }

    void shorterImageReplacesAStaleLongerOne()
    {
        const QByteArray shorter = image(100, 8);
        writeFile(firmwareFolder() + '/' + kNewestCacheName, QByteArray(5000, 'S'));
        serveNewestFirmware(shorter);
        runManager([&](FirmwareMgt& manager, QSignalSpy& replies) {
            waitFor(replies, 2);
            mPrompts.answer(QMessageBox::Yes);
            QTest::mouseClick(downloadButton(manager, 0), Qt::LeftButton);
            waitFor(replies, 3);
        });
        QCOMPARE(testkit::fileBytes(firmwareFolder() + '/' + kNewestCacheName), shorter);
        QCOMPARE(filesBelow(testkit::appDataFolder()), QStringList{"Firmwares/" + kNewestCacheName});
        QCOMPARE(mComputer->requests().uploads.size(), 1);
        QCOMPARE(mComputer->requests().uploads.first().image, shorter);
    }

    void unwritableCacheIsReported()
    {
        // A file where the cache folder belongs.
        writeFile(firmwareFolder(), "not a folder");
        serveNewestFirmware(image(100, 9));
        runManager([&](FirmwareMgt& manager, QSignalSpy& replies) {
            waitFor(replies, 2);
            QTest::mouseClick(downloadButton(manager, 0), Qt::LeftButton);
            waitFor(replies, 3);
            QCOMPARE(manager.downloadIndex, -1);
        });
        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(mPrompts.records().at(1).title, QString("Error"));
        QVERIFY(mPrompts.records().at(1).text.startsWith("Impossible to write file "));
        QVERIFY(mComputer->requests().uploads.isEmpty());
    }

    void hostileEntries_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("dateTime");
        QTest::addColumn<QString>("address"); // "%secret" stands for a local file's address
        QTest::newRow("file climbing out") << "../x.bin" << kNewestDate << "";
        QTest::newRow("date holding a slash") << "fw.bin" << "2024/../../x" << "";
        QTest::newRow("local file address") << "fw.bin" << kNewestDate << "%secret";
        QTest::newRow("clear-text address elsewhere") << "fw.bin" << kNewestDate << "http://repository.example/fw.bin";
    }
    void hostileEntries()
    {
        QFETCH(QString, file);
        QFETCH(QString, dateTime);
        QFETCH(QString, address);
        QTemporaryDir outside;
        const QString secret = outside.filePath("secret.bin");
        writeFile(secret, "private bytes");
        if (address.isEmpty())
            address = imageUrl("/raw/" + file.toUtf8());
        else if (address == "%secret")
            address = QUrl::fromLocalFile(secret).toString();
        serveRepository({testkit::tocEntry(file, "0x02000C61", "#336699", dateTime)}, {{file, address}});
        mServer->setRoute("/raw/" + file.toUtf8(), {200, {}, image(100, 10), HttpRoute::Delivery::Whole});
        runManager([&](FirmwareMgt& manager, QSignalSpy& replies) {
            waitFor(replies, 2);
            QCOMPARE(table(manager).rowCount(), 1);
            QCOMPARE(info(manager), QString("1 Firmwares Available"));
            QPushButton* button = downloadButton(manager, 0);
            QVERIFY(!button->isEnabled());
            QTest::mouseClick(button, Qt::LeftButton);
            QCoreApplication::processEvents();
            QCOMPARE(manager.downloadIndex, -1);
        });
        QCOMPARE(mServer->requests().size(), 2);
        QCOMPARE(filesBelow(testkit::appDataFolder()), QStringList());
        QCOMPARE(filesBelow(outside.path()), QStringList{"secret.bin"});
        QCOMPARE(testkit::fileBytes(secret), QByteArray("private bytes"));
        QCOMPARE(questions(), 0);
        QVERIFY(mComputer->requests().uploads.isEmpty());
    }

    void withoutRepositoryTheDiskStillWorks()
    {
        FirmwareDownloader::sContentsUrl.clear();
        QTemporaryDir folder;
        const QByteArray bytes = image(700, 11);
        writeFile(folder.filePath("boot_2.1.bin"), bytes);
        runManager([&](FirmwareMgt& manager, QSignalSpy&) {
            QCOMPARE(info(manager), QString("Firmware repository not configured"));
            mPrompts.answer(folder.filePath("boot_2.1.bin"));
            QTest::mouseClick(&fromDiskButton(manager), Qt::LeftButton);
            QVERIFY(progressBar(manager).isVisible());
        });
        QVERIFY(mServer->requests().isEmpty());
        const testkit::PromptRecord open = mPrompts.records().at(1);
        QCOMPARE(open.kind, QString("openFile"));
        QCOMPARE(open.title, QString("Open Firmware"));
        QCOMPARE(open.folder, QString());
        QCOMPARE(open.filter, QString("Firmware Files (*.bin)"));
        QCOMPARE(mComputer->requests().uploads.size(), 1);
        QCOMPARE(mComputer->requests().uploads.first().image, bytes);
        QCOMPARE(mComputer->requests().uploads.first().name, QString("boot_2.1"));
        QCOMPARE(AppSettings(testkit::appDataFolder()).lastFirmwares(), QDir(folder.path()).absolutePath());
    }

    void unreadableDiskFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no such file
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("over the cap") << image(2000, 12);
    }
    void unreadableDiskFile()
    {
        QFETCH(QByteArray, content);
        FirmwareDownloader::sContentsUrl.clear();
        FirmwareInfo::sSizeLimit = 1024;
        QTemporaryDir folder;
        if (!content.isNull())
            writeFile(folder.filePath("fw.bin"), content);
        runManager([&](FirmwareMgt& manager, QSignalSpy&) {
            mPrompts.answer(folder.filePath("fw.bin"));
            QTest::mouseClick(&fromDiskButton(manager), Qt::LeftButton);
        });
        QCOMPARE(mPrompts.records().at(2).title, QString("Error"));
        QCOMPARE(mPrompts.records().at(2).text, QString("Impossible to load binary file"));
        QVERIFY(mComputer->requests().uploads.isEmpty());
    }

    void refusedUploads_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("box"); // empty: none
        QTest::newRow("-5") << -5 << "";
        QTest::newRow("-4") << -4 << "Update firmware needs bootloader update";
        QTest::newRow("-3") << -3 << "Firmware already installed";
        QTest::newRow("-2") << -2 << "Bootloader already installed";
        QTest::newRow("-1") << -1 << "Too old firmware file";
        QTest::newRow("0") << 0 << "";
    }
    void refusedUploads()
    {
        QFETCH(int, result);
        QFETCH(QString, box);
        FirmwareDownloader::sContentsUrl.clear();
        QTemporaryDir folder;
        writeFile(folder.filePath("fw.bin"), image(300, 13));
        mComputer->script.uploadResult = result;
        runManager([&](FirmwareMgt& manager, QSignalSpy&) {
            mPrompts.answer(folder.filePath("fw.bin"));
            QTest::mouseClick(&fromDiskButton(manager), Qt::LeftButton);
            QVERIFY(progressBar(manager).isHidden());
            QVERIFY(fromDiskButton(manager).isEnabled());
            QCOMPARE(manager.uploadIndex, -1);

            // The dialog still works.
            mComputer->script.uploadResult.reset();
            mPrompts.answer(folder.filePath("fw.bin"));
            QSignalSpy ended(mSession.get(), &QuelmSession::endCommand);
            QTest::mouseClick(&fromDiskButton(manager), Qt::LeftButton);
            waitFor(ended, 1);
            QVERIFY(info(manager).startsWith("Installation Successfull in"));
        });
        QStringList boxes;
        for (const testkit::PromptRecord& record : mPrompts.records()) {
            if (record.kind == "critical")
                boxes << record.title + ": " + record.text;
        }
        QCOMPARE(boxes, box.isEmpty() ? QStringList() : QStringList{"Error: " + box});
        QCOMPARE(mComputer->requests().uploads.size(), 2);
    }

    void noUploadDuringAnInstallation_data()
    {
        QTest::addColumn<int>("end"); // 0 the computer ends it, 1 an exchange error, 2 the link drops
        QTest::addColumn<QString>("text");
        QTest::newRow("installed") << 0 << "Installation Successfull in 00:00:00";
        QTest::newRow("exchange error") << 1 << "Installation failed: The dive computer did not answer in time";
        QTest::newRow("link lost") << 2 << "Computer disconnected";
    }
    void noUploadDuringAnInstallation()
    {
        QFETCH(int, end);
        QFETCH(QString, text);
        FirmwareDownloader::sContentsUrl.clear();
        QTemporaryDir folder;
        writeFile(folder.filePath("fw.bin"), image(300, 14));
        mComputer->stallNext(PelavixCommand::FirmwareInstall);
        runManager([&](FirmwareMgt& manager, QSignalSpy&) {
            mPrompts.answer(folder.filePath("fw.bin"));
            QTest::mouseClick(&fromDiskButton(manager), Qt::LeftButton);
            testkit::settle();
            QVERIFY(!fromDiskButton(manager).isEnabled());
            // Neither the button nor its slot starts a second upload.
            QTest::mouseClick(&fromDiskButton(manager), Qt::LeftButton);
            manager.on_btFirmwareFromDisk_clicked();
            QCOMPARE(mComputer->requests().uploads.size(), 1);

            switch (end) {
            case 0:
                mSession->reportCommandEnd(PelavixCommand::FirmwareInstall);
                break;
            case 1:
                mSession->reportExchangeError(PelavixCommand::FirmwareInstall, QuelmLink::AnswerTimeout);
                break;
            default:
                mComputer->dropLink();
                testkit::settle();
                break;
            }
            QVERIFY(fromDiskButton(manager).isEnabled());
            QCOMPARE(info(manager), text);
        });
        // One file dialog: the refused attempts asked for nothing.
        QCOMPARE(mPrompts.records().size(), 2);
    }

    void imageArrivingDuringAnInstallationWaits()
    {
        const QByteArray listed = image(50000, 15);
        serveNewestFirmware(listed);
        mServer->setRoute("/raw/fw.bin", {200, {}, listed, HttpRoute::Delivery::Stall});
        QTemporaryDir folder;
        writeFile(folder.filePath("disk.bin"), image(300, 16));
        mComputer->stallNext(PelavixCommand::FirmwareInstall);
        runManager([&](FirmwareMgt& manager, QSignalSpy& replies) {
            waitFor(replies, 2);
            QSignalSpy received(mServer.get(), &testkit::TestHttpServer::requestReceived);
            QTest::mouseClick(downloadButton(manager, 0), Qt::LeftButton);
            waitFor(received, 1);
            mPrompts.answer(folder.filePath("disk.bin"));
            QTest::mouseClick(&fromDiskButton(manager), Qt::LeftButton);
            QVERIFY(!downloadButton(manager, 0)->isEnabled());
            mServer->releaseStalled();
            waitFor(replies, 3);
            QCOMPARE(manager.downloadIndex, -1);
            QCOMPARE(mComputer->requests().uploads.size(), 1);

            // Once installed, the listed image can be fetched and offered.
            mSession->reportCommandEnd(PelavixCommand::FirmwareInstall);
            QVERIFY(downloadButton(manager, 0)->isEnabled());
            mServer->setRoute("/raw/fw.bin", {200, {}, listed, HttpRoute::Delivery::Whole});
            mPrompts.answer(QMessageBox::Yes);
            QTest::mouseClick(downloadButton(manager, 0), Qt::LeftButton);
            waitFor(replies, 4);
        });
        QCOMPARE(questions(), 1);
        QCOMPARE(mComputer->requests().uploads.size(), 2);
        QCOMPARE(mComputer->requests().uploads.at(1).image, listed);
    }

private:
    // A failure reads as its heading, then the reason in words: no code.
    static void verifyFailureText(const QString& text, const QString& heading, const QString& reason)
    {
        const QStringList lines = text.split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0), heading);
        QVERIFY2(lines.at(1).contains(reason) && !lines.at(1).isEmpty(), qPrintable(text));
    }

    // Runs the manager on the connected computer as its opening does;
    // `act` plays the person once the dialog is shown, with a spy on the
    // repository's answers.
    void runManager(const std::function<void(FirmwareMgt&, QSignalSpy&)>& act)
    {
        FirmwareMgt manager(nullptr, testkit::appDataFolder().toStdString());
        AppSettings settings(testkit::appDataFolder());
        // The dialog's own run comes first; `act` scripts the answers of
        // what it asks.
        QVERIFY(mPrompts.records().isEmpty());
        mPrompts.answerDialog([&](QDialog&) {
            QSignalSpy replies(manager.downloader, &FirmwareDownloader::downloaded);
            manager.show();
            act(manager, replies);
            return int(QDialog::Accepted);
        });
        manager.execute(&settings, mSession.get());
        QCOMPARE(mPrompts.records().first().title, QString("Firmware"));
    }

    QString imageUrl(const QByteArray& path) const { return mServer->url(path).toString(); }

    void serveRepository(const QJsonArray& toc, const QList<QPair<QString, QString>>& listing)
    {
        mServer->setRoute("/repos/maker/firmware/contents/toc-private.json",
                          {200, {}, testkit::tocReply(toc), HttpRoute::Delivery::Whole});
        mServer->setRoute("/repos/maker/firmware/contents",
                          {200, {}, testkit::listingReply(listing), HttpRoute::Delivery::Whole});
    }

    // One listed firmware, fw.bin 2.0.12.a, and its image.
    void serveNewestFirmware(const QByteArray& bytes)
    {
        serveRepository({testkit::tocEntry("fw.bin", "0x02000C61", "#336699", kNewestDate, "Newest")},
                        {{"fw.bin", imageUrl("/raw/fw.bin")}});
        mServer->setRoute("/raw/fw.bin", {200, {}, bytes, HttpRoute::Delivery::Whole});
    }

    QByteArrayList targets() const
    {
        QByteArrayList paths;
        for (const testkit::HttpRequest& request : mServer->requests())
            paths << request.target;
        return paths;
    }

    int questions() const
    {
        return int(std::count_if(mPrompts.records().begin(), mPrompts.records().end(),
                                 [](const testkit::PromptRecord& record) { return record.kind == "question"; }));
    }

    testkit::PromptRecorder mPrompts;
    std::unique_ptr<testkit::TestHttpServer> mServer;
    std::unique_ptr<SimulatedComputer> mComputer;
    std::unique_ptr<QuelmSession> mSession;
};

MAREVANE_TEST_MAIN(FirmwareManagerTest)
#include "tst_firmwaremgt.moc"

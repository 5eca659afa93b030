#include "computerkit.h"
#include "device/firmwaredownloader.h"
#include "device/firmwaremgt.h"
#include "devicekit.h"
#include "firmwarekit.h"
#include "mainwindow.h"
#include "menuclick.h"
#include "promptrecorder.h"
#include "testenvironment.h"
#include "testhttpserver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>

#include <memory>

using testkit::HttpRoute;

namespace {

constexpr int kReplyWait = 10000; // ms
const QByteArray kTocPath = "/repo/toc-private.json";

HttpRoute tocListing(const QString& newestVersion, HttpRoute::Delivery delivery = HttpRoute::Delivery::Whole)
{
    const QJsonArray toc{testkit::tocEntry("fw.bin", newestVersion, "#336699", "2024-05-12T10:20:30Z"),
                         testkit::tocEntry("old.bin", "0x02000A00")};
    return {200, {}, testkit::tocReply(toc), delivery};
}

// What the program asked, as "kind: title".
QStringList asked(const testkit::PromptRecorder& prompts)
{
    QStringList dialogs;
    for (const testkit::PromptRecord& record : prompts.records())
        dialogs << record.kind + ": " + record.title;
    return dialogs;
}

} // namespace

// The main window's side of the firmware: the table of contents fetched on
// every show, the report of a newer firmware, and the firmware manager
// opened from the computer menu.
class FirmwareWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        mPrompts.clear();
        mServer = std::make_unique<testkit::TestHttpServer>();
        QVERIFY(mServer->start());
        mComputer = std::make_unique<SimulatedComputer>();
        mComputer->script.firmwareVersion = 0x02000B00;
    }

    void cleanup()
    {
        testkit::closeShownMenus();
        mComputer.reset();
        mServer.reset();
    }

    void tableFetchedOnEveryShow_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("address") << QByteArray("%1/repo");
        QTest::newRow("address with a trailing slash and spaces") << QByteArray("  %1/repo/  ");
    }
    void tableFetchedOnEveryShow()
    {
        QFETCH(QByteArray, contents);
        const QByteArray root = mServer->url("").toString().toUtf8();
        testkit::writeDataFile("services.ini", "[firmware]\ncontentsUrl=" + contents.replace("%1", root) + "\nuser=maker\ntoken=t0k3n\n");
        mServer->setRoute(kTocPath, tocListing("0x02000C00"));
        MainWindow window;
        QSignalSpy received(mServer.get(), &testkit::TestHttpServer::requestReceived);
        window.show();
        QVERIFY(received.wait(kReplyWait));
        window.hide();
        window.show();
        QVERIFY(received.wait(kReplyWait));
        QCOMPARE(mServer->requests().size(), 2);
        for (const testkit::HttpRequest& request : mServer->requests()) {
            QCOMPARE(request.target, kTocPath);
            QCOMPARE(request.authorization, "Basic " + QByteArray("maker:t0k3n").toBase64());
        }
    }

    void noRequestWithoutAWebAddress_data()
    {
        QTest::addColumn<QByteArray>("services"); // null: no file
        QTest::newRow("no services.ini") << QByteArray();
        QTest::newRow("no address") << QByteArray("[firmware]\nuser=maker\ntoken=t0k3n\n");
        QTest::newRow("not a web address") << QByteArray("[firmware]\ncontentsUrl=ftp://127.0.0.1/repo\n");
        QTest::newRow("local folder") << QByteArray("[firmware]\ncontentsUrl=file:///tmp/repo\n");
    }
    void noRequestWithoutAWebAddress()
    {
        QFETCH(QByteArray, services);
        if (!services.isNull())
            testkit::writeDataFile("services.ini", services);
        MainWindow window;
        showWindow(window);
        window.hide();
        showWindow(window);
        // A start that failed left no downloader behind.
        QVERIFY(window.findChildren<FirmwareDownloader*>().isEmpty());
        QVERIFY(mServer->requests().isEmpty());
        // Nothing to report either.
        connectAndDownload(window);
        QCOMPARE(asked(mPrompts), (QStringList{"dialog: Bluetooth Connection", "dialog: Import Dives"}));
    }

    void newerFirmwareReportedOnce_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("newest");
        QTest::addColumn<bool>("reported");
        QTest::newRow("newer") << 200 << "0x02000C00" << true;
        QTest::newRow("newer, no prefix") << 200 << "02000C00" << true;
        QTest::newRow("equal") << 200 << "0x02000B00" << false;
        QTest::newRow("older") << 200 << "0x02000A00" << false;
        QTest::newRow("unreadable") << 200 << "0xZZ" << false;
        QTest::newRow("table refused") << 401 << "0x02000C00" << false;
    }
    void newerFirmwareReportedOnce()
    {
        QFETCH(int, status);
        QFETCH(QString, newest);
        QFETCH(bool, reported);
        configureRepository();
        HttpRoute toc = tocListing(newest);
        toc.status = status;
        mServer->setRoute(kTocPath, toc);
        MainWindow window;
        showWindowAndWaitForTheTable(window);

        connectAndDownload(window);
        QStringList expected{"dialog: Bluetooth Connection", "dialog: Import Dives"};
        if (reported)
            expected.insert(1, "information: Firmware Update Available");
        QCOMPARE(asked(mPrompts), expected);
        if (reported) {
            QCOMPARE(mPrompts.records().at(1).text,
                     QString("The connected device is using an earlier firmware version 2.0.11.\n"
                             "A more recent version 2.0.12 is available."));
        }

        // The second action of the run reports nothing.
        mPrompts.clear();
        mPrompts.answerDialog(testkit::runDialog());
        QVERIFY(testkit::chooseComputerMenu(window, "Download dives"));
        QCOMPARE(asked(mPrompts), QStringList{"dialog: Import Dives"});
    }

    void aFailedTableKeepsTheKnownVersion()
    {
        configureRepository();
        mServer->setRoute(kTocPath, tocListing("0x02000C00"));
        MainWindow window;
        showWindowAndWaitForTheTable(window);
        mServer->setRoute(kTocPath, {404, {}, "Not Found", HttpRoute::Delivery::Whole});
        window.hide();
        showWindowAndWaitForTheTable(window);

        connectAndDownload(window);
        QCOMPARE(asked(mPrompts), (QStringList{"dialog: Bluetooth Connection", "information: Firmware Update Available",
                                               "dialog: Import Dives"}));
    }

    void eachTableRequestGetsItsOwnAnswer()
    {
        configureRepository();
        // The first table is held back until a second show has been
        // answered with another one.
        mServer->setRoute(kTocPath, tocListing("0x02000C00", HttpRoute::Delivery::Stall));
        MainWindow window;
        QSignalSpy received(mServer.get(), &testkit::TestHttpServer::requestReceived);
        showWindow(window);
        QVERIFY(received.wait(kReplyWait));
        QCOMPARE(window.findChildren<FirmwareDownloader*>().size(), 1);
        FirmwareDownloader* first = window.findChild<FirmwareDownloader*>();
        QSignalSpy firstAnswered(first, &FirmwareDownloader::downloaded);

        mServer->setRoute(kTocPath, tocListing("0x02000D00"));
        window.hide();
        showWindowAndWaitForTheTable(window);
        QVERIFY(firstAnswered.isEmpty());
        mServer->releaseStalled();
        QVERIFY(firstAnswered.wait(kReplyWait));

        // The last answer was the first request's: its own table, 2.0.12.
        connectAndDownload(window);
        QCOMPARE(mPrompts.records().at(1).text,
                 QString("The connected device is using an earlier firmware version 2.0.11.\n"
                         "A more recent version 2.0.12 is available."));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.findChildren<FirmwareDownloader*>().isEmpty());
    }

    void firmwareEntryOpensTheManager()
    {
        configureRepository();
        mServer->setRoute(kTocPath, tocListing("0x02000C00"));
        mServer->setRoute("/repo", {200, {}, testkit::listingReply({{"fw.bin", mServer->url("/raw/fw.bin").toString()}}),
                                    HttpRoute::Delivery::Whole});
        MainWindow window;
        showWindowAndWaitForTheTable(window);
        QString shown;
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog([&shown](QDialog& dialog) {
            auto& manager = static_cast<FirmwareMgt&>(dialog);
            QSignalSpy replies(manager.downloader, &FirmwareDownloader::downloaded);
            manager.show();
            while (replies.size() < 2 && replies.wait(kReplyWait)) {
            }
            shown = manager.findChild<QLabel*>("lbInfo")->text();
            return int(QDialog::Accepted);
        });
        QVERIFY(testkit::chooseComputerMenu(window, "Install firmware/bootloader"));
        QCOMPARE(asked(mPrompts), (QStringList{"dialog: Bluetooth Connection", "information: Firmware Update Available",
                                               "dialog: Firmware"}));
        QCOMPARE(shown, QString("2 Firmwares Available"));
        QCOMPARE(mServer->requests().size(), 3);
        QCOMPARE(mServer->requests().last().target, QByteArray("/repo"));
        QCOMPARE(mServer->requests().last().authorization, "Basic " + QByteArray("maker:t0k3n").toBase64());
        // The manager is gone with its run.
        QVERIFY(window.findChildren<FirmwareMgt*>().isEmpty());
    }

    void downloadOriginsComeFromServicesIni_data()
    {
        QTest::addColumn<QByteArray>("origins"); // %1: the image host's origin
        QTest::addColumn<bool>("sent");
        QTest::newRow("named") << QByteArray("%1") << true;
        QTest::newRow("named among others") << QByteArray("https://raw.repository.example, %1/raw") << true;
        QTest::newRow("not named") << QByteArray() << false;
    }
    void downloadOriginsComeFromServicesIni()
    {
        QFETCH(QByteArray, origins);
        QFETCH(bool, sent);
        // The images on the same machine, another port: another origin.
        testkit::TestHttpServer imageHost;
        QVERIFY(imageHost.start());
        imageHost.setRoute("/raw/fw.bin", {200, {}, "image", HttpRoute::Delivery::Whole});
        testkit::writeDataFile("services.ini", "[firmware]\ncontentsUrl=" + mServer->url("/repo").toString().toUtf8()
                                                   + "\nuser=maker\ntoken=t0k3n\ndownloadOrigins="
                                                   + origins.replace("%1", imageHost.url("").toEncoded()) + "\n");
        mServer->setRoute(kTocPath, tocListing("0x02000C00"));
        mServer->setRoute("/repo", {200, {}, testkit::listingReply({{"fw.bin", imageHost.url("/raw/fw.bin").toString()}}),
                                    HttpRoute::Delivery::Whole});
        MainWindow window;
        showWindowAndWaitForTheTable(window);
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog([](QDialog& dialog) {
            auto& manager = static_cast<FirmwareMgt&>(dialog);
            QSignalSpy replies(manager.downloader, &FirmwareDownloader::downloaded);
            manager.show();
            while (replies.size() < 2 && replies.wait(kReplyWait)) {
            }
            auto* rows = manager.findChild<QTableWidget*>("tbFirmwares");
            QWidget* cell = rows->rowCount() > 0 ? rows->cellWidget(0, 3) : nullptr;
            if (auto* button = cell ? cell->findChild<QPushButton*>() : nullptr) {
                QTest::mouseClick(button, Qt::LeftButton);
                replies.wait(kReplyWait);
            }
            return int(QDialog::Accepted);
        });
        QVERIFY(testkit::chooseComputerMenu(window, "Install firmware/bootloader"));
        QCOMPARE(imageHost.requests().size(), 1);
        QCOMPARE(imageHost.requests().first().hasAuthorization, sent);
        if (sent)
            QCOMPARE(imageHost.requests().first().authorization, "Basic " + QByteArray("maker:t0k3n").toBase64());
    }

private:
    void configureRepository()
    {
        testkit::writeDataFile("services.ini", "[firmware]\ncontentsUrl=" + mServer->url("/repo").toString().toUtf8()
                      + "\nuser=maker\ntoken=t0k3n\n");
    }

    static void showWindow(MainWindow& window)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    // Shows the window and waits for the answer to the table it asks for.
    static void showWindowAndWaitForTheTable(MainWindow& window)
    {
        const QList<FirmwareDownloader*> before = window.findChildren<FirmwareDownloader*>();
        window.show();
        FirmwareDownloader* started = nullptr;
        for (FirmwareDownloader* downloader : window.findChildren<FirmwareDownloader*>()) {
            if (!before.contains(downloader))
                started = downloader;
        }
        QVERIFY(started);
        QSignalSpy answered(started, &FirmwareDownloader::downloaded);
        QVERIFY(answered.wait(kReplyWait));
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    // "Download dives", connecting first; both dialogs are closed at once.
    void connectAndDownload(MainWindow& window)
    {
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog(testkit::runDialog());
        QVERIFY(testkit::chooseComputerMenu(window, "Download dives"));
    }

    testkit::PromptRecorder mPrompts;
    std::unique_ptr<testkit::TestHttpServer> mServer;
    std::unique_ptr<SimulatedComputer> mComputer;
};

MAREVANE_TEST_MAIN(FirmwareWindowTest)
#include "tst_firmwarewindow.moc"

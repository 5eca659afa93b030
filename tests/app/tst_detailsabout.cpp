#include "aboutbox.h"
#include "applanguagemanager.h"
#include "mainwindow.h"
#include "menuclick.h"
#include "promptrecorder.h"
#include "serviceconfig.h"
#include "testenvironment.h"
#include "widgetgrab.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>

namespace {

// The address a link label points to; empty when it is no link.
QString hrefOf(const QLabel& label)
{
    const QRegularExpressionMatch match = QRegularExpression("href=\"([^\"]*)\"").match(label.text());
    return match.hasMatch() ? match.captured(1) : QString();
}

// Help, then About, clicked in the window's menus with the mouse.
AboutBox* openAboutFromTheMenu(MainWindow& window)
{
    if (!testkit::clickMenuBar(*window.menuBar(), "Help", "About"))
        return nullptr;
    const QList<AboutBox*> boxes = window.findChildren<AboutBox*>();
    return boxes.size() == 1 ? boxes.first() : nullptr;
}

// Ok, clicked, and the deferred deletion it leaves run.
void clickOk(AboutBox& box)
{
    QTest::mouseClick(box.findChild<QPushButton*>("btOk"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

// The about box, opened with Help > About: its links to the maker's web site
// (from "services.ini"), its version, and its end.
class DetailsAboutTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        mPrompts.clear();
        mVersion = QCoreApplication::applicationVersion();
    }

    void cleanup()
    {
        QCoreApplication::setApplicationVersion(mVersion);
        QCOMPARE(MainWindow::instance, nullptr);
    }

    void linksFollowTheSiteAndTheLanguage_data()
    {
        QTest::addColumn<QByteArray>("root");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("licence");
        const QString uploads = "https://maker.example/wp-content/uploads/2026/03/Marevane_license_%1.pdf";
        for (const QByteArray& root : {QByteArray("https://maker.example"), QByteArray("https://maker.example/")}) {
            const char* slash = root.endsWith('/') ? ", trailing slash" : "";
            QTest::addRow("en%s", slash) << root << "en" << "https://maker.example/en/pelavix-computer/"
                                         << uploads.arg("en");
            QTest::addRow("fr%s", slash) << root << "fr" << "https://maker.example/pelavix" << uploads.arg("fr");
        }
        QTest::newRow("de") << QByteArray("https://maker.example") << "de" << "https://maker.example/pelavix"
                            << uploads.arg("de");
        QTest::newRow("below a path") << QByteArray("  https://maker.example/site//  ") << "en"
                                      << "https://maker.example/site/en/pelavix-computer/"
                                      << "https://maker.example/site/wp-content/uploads/2026/03/Marevane_license_en.pdf";
    }
    void linksFollowTheSiteAndTheLanguage()
    {
        QFETCH(QByteArray, root);
        QFETCH(QString, locale);
        testkit::writeDataFile("services.ini", "[site]\nroot=" + root + "\n");
        AppLanguageManager::instance()->loadLanguage("Marevane", QDir(testkit::appDataFolder()).filePath("none"), locale);
        MainWindow window;
        window.show();
        QPointer<AboutBox> box = openAboutFromTheMenu(window);
        QVERIFY(box);

        const auto* website = box->findChild<QLabel*>("lbWebsite");
        const auto* licence = box->findChild<QLabel*>("lbLicense");
        QTEST(hrefOf(*website), "product");
        QTEST(hrefOf(*licence), "licence");
        QVERIFY(website->text().endsWith(">Visit the website</a>"));
        QVERIFY(licence->text().endsWith(">View license terms</a>"));
        QVERIFY(website->openExternalLinks());
        QVERIFY(box->isWindow());
        QVERIFY(box->isVisible());
        QCOMPARE(box->windowModality(), Qt::ApplicationModal);
        QVERIFY(box->windowFlags().testFlag(Qt::FramelessWindowHint));
        clickOk(*box);
        QVERIFY(box.isNull());
    }

    void versionIsCutBeforeItsLastPart_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("label");
        QTest::newRow("four parts") << "2.9.3.1" << "V2.9.3";
        QTest::newRow("two parts") << "3.1" << "V3";
        QTest::newRow("no dot") << "7" << "V7";
    }
    void versionIsCutBeforeItsLastPart()
    {
        QFETCH(QString, version);
        QCoreApplication::setApplicationVersion(version);
        MainWindow window;
        window.show();
        AboutBox* box = openAboutFromTheMenu(window);
        QVERIFY(box);
        QTEST(box->findChild<QLabel*>("lbVersion")->text(), "label");
        clickOk(*box);
    }

    void eachAboutIsANewWindowFreedByOk()
    {
        testkit::writeDataFile("services.ini", "[site]\nroot=https://maker.example\n");
        QCoreApplication::setApplicationVersion("2.9.3.1");
        MainWindow window;
        window.show();
        QPointer<AboutBox> first = openAboutFromTheMenu(window);
        QVERIFY(first);
        clickOk(*first);
        QVERIFY(first.isNull());
        QPointer<AboutBox> second = openAboutFromTheMenu(window);
        QVERIFY(second);
        QVERIFY(second->isVisible());
        // A PNG for a person to look at.
        QVERIFY(testkit::grabToPng(*second, QDir::temp().filePath("marevane-details-about.png")));
        clickOk(*second);
        QVERIFY(second.isNull());
        QVERIFY(window.findChildren<AboutBox*>().isEmpty());
        QVERIFY(mPrompts.records().isEmpty());
    }

    void withoutAddressTheLinksAreText_data()
    {
        QTest::addColumn<QByteArray>("services");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("no key") << QByteArray("[firmware]\nuser=diver\n");
        QTest::newRow("empty root") << QByteArray("[site]\nroot=\n");
        QTest::newRow("only a slash") << QByteArray("[site]\nroot=/\n");
    }
    void withoutAddressTheLinksAreText()
    {
        QFETCH(QByteArray, services);
        if (!services.isNull())
            testkit::writeDataFile("services.ini", services);
        AppLanguageManager::instance()->loadLanguage("Marevane", QDir(testkit::appDataFolder()).filePath("none"), "en");
        MainWindow window;
        window.show();
        AboutBox* box = openAboutFromTheMenu(window);
        QVERIFY(box);
        const QPair<const char*, QString> links[] = {{"lbWebsite", "Visit the website"},
                                                     {"lbLicense", "View license terms"}};
        for (const auto& [name, text] : links) {
            const auto* label = box->findChild<QLabel*>(name);
            QCOMPARE(label->text(), text);
            QCOMPARE(label->textFormat(), Qt::PlainText);
            QCOMPARE(label->toolTip(), QString("The web site address is not configured"));
        }
        clickOk(*box);
    }

    void siteAddressJoinsWithOneSlash_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("address");
        QTest::newRow("plain") << "https://a.example" << "/b/" << "https://a.example/b/";
        QTest::newRow("path without slash") << "https://a.example" << "b" << "https://a.example/b";
        QTest::newRow("slashes on both sides") << "https://a.example" << "//b" << "https://a.example/b";
        QTest::newRow("no root") << "" << "/b" << "";
    }
    void siteAddressJoinsWithOneSlash()
    {
        QFETCH(QString, root);
        QFETCH(QString, path);
        ServiceConfig config;
        config.siteRoot = root;
        QTEST(config.siteAddress(path), "address");
    }

private:
    QString mVersion;
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(DetailsAboutTest)

#include "tst_detailsabout.moc"

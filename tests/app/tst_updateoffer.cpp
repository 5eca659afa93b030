#include "updateoffer.h"
#include "testenvironment.h"

#include <QApplication>
#include <QRegularExpression>

namespace {

QJsonObject media(const QString& title, const QString& source = "https://www.example.com/files/update.zip")
{
    return QJsonObject{{"title", QJsonObject{{"rendered", title}}}, {"source_url", source}};
}

} // namespace

// Which media of the listing is the update, and whether it is newer than the
// running program.
class UpdateOfferTest : public QObject
{
    Q_OBJECT

private slots:
    void choice_data()
    {
        QTest::addColumn<QList<QJsonObject>>("listing");
        // The version offered; empty when nothing is.
        QTest::addColumn<QString>("offered");
        // Whether the archive's address is refused, with a warning.
        QTest::addColumn<bool>("refused");

        const QString archive = "https://www.example.com/files/MarevaneDmg_2.10.0.zip";
        QTest::newRow("newer minor") << QList<QJsonObject>{media("MarevaneDmg_2.10.0", archive)} << "2.10.0" << false;
        QTest::newRow("the same version") << QList<QJsonObject>{media("MarevaneDmg_2.9.3")} << "" << false;
        QTest::newRow("two parts") << QList<QJsonObject>{media("MarevaneDmg_2.9")} << "" << false;
        QTest::newRow("four parts") << QList<QJsonObject>{media("MarevaneDmg_2.9.4.1")} << "" << false;
        QTest::newRow("newer patch") << QList<QJsonObject>{media("MarevaneDmg_2.9.4")} << "2.9.4" << false;
        QTest::newRow("newer major") << QList<QJsonObject>{media("MarevaneDmg_3.0.0")} << "3.0.0" << false;
        QTest::newRow("older major") << QList<QJsonObject>{media("MarevaneDmg_1.99.99")} << "" << false;
        QTest::newRow("long numbers read whole")
            << QList<QJsonObject>{media("MarevaneDmg_10.10.10")} << "10.10.10" << false;
        QTest::newRow("text after the version") << QList<QJsonObject>{media("MarevaneDmg 2.10.0 (macOS)")} << "2.10.0"
                                                << false;
        // A version is whole runs of digits joined by single dots.
        QTest::newRow("empty parts") << QList<QJsonObject>{media("MarevaneDmg_3..")} << "" << false;
        QTest::newRow("an empty middle part") << QList<QJsonObject>{media("MarevaneDmg_3..1")} << "" << false;
        QTest::newRow("an empty last part") << QList<QJsonObject>{media("MarevaneDmg_3.0.")} << "" << false;
        QTest::newRow("a leading dot") << QList<QJsonObject>{media("MarevaneDmg_.3.0")} << "" << false;
        QTest::newRow("a number too large")
            << QList<QJsonObject>{media("MarevaneDmg_3.99999999999.0")} << "" << false;
        QTest::newRow("the prefix alone") << QList<QJsonObject>{media("MarevaneDmg")} << "" << false;
        QTest::newRow("other case") << QList<QJsonObject>{media("marevanedmg_3.0.0")} << "" << false;
        QTest::newRow("no title") << QList<QJsonObject>{QJsonObject{{"source_url", archive}}} << "" << false;
        QTest::newRow("other media first")
            << QList<QJsonObject>{media("Logbook.pdf"), media("MarevaneDmg_2.10.0")} << "2.10.0" << false;
        QTest::newRow("an older match first decides")
            << QList<QJsonObject>{media("MarevaneDmg_2.9.0"), media("MarevaneDmg_2.10.0")} << "" << false;
        QTest::newRow("the first newer match decides")
            << QList<QJsonObject>{media("MarevaneDmg_10.10.10"), media("MarevaneDmg_10.10.5")} << "10.10.10" << false;
        QTest::newRow("http to this machine")
            << QList<QJsonObject>{media("MarevaneDmg_2.10.0", "http://127.0.0.1:8080/u.zip")} << "2.10.0" << false;
        QTest::newRow("http to localhost")
            << QList<QJsonObject>{media("MarevaneDmg_2.10.0", "http://localhost:8080/u.zip")} << "2.10.0" << false;
        QTest::newRow("http to ::1")
            << QList<QJsonObject>{media("MarevaneDmg_2.10.0", "http://[::1]:8080/u.zip")} << "2.10.0" << false;
        QTest::newRow("http elsewhere")
            << QList<QJsonObject>{media("MarevaneDmg_2.10.0", "http://www.example.com/u.zip")} << ""
            << true;
        QTest::newRow("file")
            << QList<QJsonObject>{media("MarevaneDmg_2.10.0", "file:///tmp/u.zip")} << "" << true;
        QTest::newRow("no address") << QList<QJsonObject>{media("MarevaneDmg_2.10.0", "")} << "" << true;
    }
    void choice()
    {
        QFETCH(QList<QJsonObject>, listing);
        QFETCH(QString, offered);
        QFETCH(bool, refused);
        if (refused) {
            const QString source = listing.last().value("source_url").toString();
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Update archive refused, not an https address: "
                                                                  + QRegularExpression::escape(source) + "$"));
        }
        const std::optional<UpdateOffer> offer = findUpdateOffer(listing, ApplicationVersion{2, 9, 3, 0});
        QCOMPARE(offer ? offer->version.text() : QString(), offered);
    }

    void archiveAddressIsTheMediaSource()
    {
        const std::optional<UpdateOffer> offer = findUpdateOffer(
            {media("Logbook.pdf", "https://a.example/l.pdf"), media("MarevaneDmg_2.10.0", "https://b.example/u.zip")},
            ApplicationVersion{2, 9, 3, 0});
        QVERIFY(offer);
        QCOMPARE(offer->archiveUrl, QUrl("https://b.example/u.zip"));
    }

    void installerName_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("installer");
        QTest::newRow("update archive") << "/home/diver/Downloads/MarevaneDmg_2.10.0.zip" << "MarevaneDmg_2.10.0.dmg";
        QTest::newRow("an archive named like its installer")
            << "/home/diver/Downloads/MarevaneDmg_2.10.0.dmg" << "MarevaneDmg_2.10.0.dmg";
        QTest::newRow("dotted folder, no suffix") << "/home/di.ver/Downloads/update" << "update.dmg";
    }
    void installerName()
    {
        QFETCH(QString, archive);
        QTEST(installerNameFor(archive), "installer");
    }
};

MAREVANE_TEST_MAIN(UpdateOfferTest)
#include "tst_updateoffer.moc"

#include "testenvironment.h"

#include "common/applicationversion.h"
#include "common/crc16.h"
#include "common/replybody.h"
#include "common/streamhelper.h"
#include "common/stringhelper.h"
#include "common/textfiles.h"
#include "common/timetexts.h"
#include "common/webaddress.h"
#include "common/wholenumbers.h"
#include "common/widgethelpers.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QUrl>
#include <QVBoxLayout>

#include <limits>
#include <sstream>

using namespace std::chrono_literals;

namespace {

std::string lengthPrefixed(std::uint64_t length, const std::string& bytes)
{
    std::string record(sizeof length, '\0');
    std::memcpy(record.data(), &length, sizeof length);
    return record + bytes;
}

// A finished reply with the headers a server sent.
class AnsweredReply : public QNetworkReply
{
public:
    AnsweredReply(const QByteArray& contentLength, const QByteArray& encoding)
    {
        if (!contentLength.isEmpty())
            setHeader(QNetworkRequest::ContentLengthHeader, contentLength.toLongLong());
        if (!encoding.isEmpty())
            setRawHeader("Content-Encoding", encoding);
    }
    void abort() override {}

protected:
    qint64 readData(char*, qint64) override { return -1; }
};

} // namespace

class CommonHelpersTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;

private slots:
    void secondsTexts_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "00:00";
        QTest::newRow("59 min 59 s") << 3599 << "59:59";
        QTest::newRow("one hour") << 3600 << "01:00:00";
        QTest::newRow("25 h") << 90000 << "25:00:00";
    }

    void secondsTexts()
    {
        QFETCH(int, seconds);
        QTEST(formatTimeSecondes(seconds), "text");
    }

    void minutesTexts_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "0'";
        QTest::newRow("59") << 59 << "59'";
        QTest::newRow("60") << 60 << "01:00";
        QTest::newRow("61") << 61 << "01:01";
        QTest::newRow("1439") << 1439 << "23:59";
        QTest::newRow("1440") << 1440 << "1j 00:00";
        QTest::newRow("1500") << 1500 << "1j 01:00";
        QTest::newRow("15 days") << 21725 << "15j 02:05";
    }

    void minutesTexts()
    {
        QFETCH(int, minutes);
        QTEST(formatTimeMinutes(minutes), "text");
    }

    void decimalMinutes_data()
    {
        QTest::addColumn<float>("minutes");
        QTest::addColumn<int>("whole");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("total");
        QTest::newRow("2.5") << 2.5f << 2 << 30 << 150;
        QTest::newRow("0.999") << 0.999f << 0 << 59 << 59;
        QTest::newRow("10.1 in float") << 10.1f << 10 << 6 << 606;
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0 << 0 << 0;
        QTest::newRow("beyond int") << 1e20f << std::numeric_limits<int>::max() << std::numeric_limits<int>::max()
                                    << std::numeric_limits<int>::max();
    }

    void decimalMinutes()
    {
        QFETCH(float, minutes);
        const auto [whole, seconds] = minutesDecimalsToMinutesSecondes(minutes);
        QTEST(whole, "whole");
        QTEST(seconds, "seconds");
        QTEST(minutesDecimalsToSecondes(minutes), "total");
    }

    void otherTimeTexts()
    {
        QCOMPARE(formatMinutesDecimals(2.5f), QStringLiteral("02:30"));
        QCOMPARE(formatMinutesDecimals(61.25f), QStringLiteral("01:01:15"));
        QCOMPARE(qtimeFromSecondes(3661), QTime(1, 1, 1));
    }

    void chronoTexts_data()
    {
        QTest::addColumn<qint64>("microseconds");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<bool>("compact");
        QTest::addColumn<QString>("text");
        QTest::newRow("5 s compact") << qint64(5'000'000) << "" << true << "05s";
        QTest::newRow("65 s compact") << qint64(65'000'000) << "" << true << "01:05";
        QTest::newRow("hours compact") << qint64(3'725'000'000) << "" << true << "01:02:05";
        QTest::newRow("5 s full") << qint64(5'999'999) << "" << false << "00:00:05";
        QTest::newRow("prefix") << qint64(65'000'000) << "Run " << true << "Run 01:05";
        QTest::newRow("prefix with format letters") << qint64(5'000'000) << "hms " << true << "hms 05s";
        QTest::newRow("prefix with a quote") << qint64(5'000'000) << "l'eau " << true << "l'eau 05s";
        QTest::newRow("a day and an hour") << qint64(90'000'000'000) << "" << false << "25:00:00";
    }

    void chronoTexts()
    {
        QFETCH(qint64, microseconds);
        QFETCH(QString, prefix);
        QFETCH(bool, compact);
        QTEST(formatChrono(std::chrono::microseconds(microseconds), prefix, compact), "text");
    }

    void textFilesRoundTrip()
    {
        const QString path = mDir.filePath(QStringLiteral("notes.txt"));
        QVERIFY(writeTextFile(path, QStringLiteral("A much longer first content")));
        QVERIFY(writeTextFile(path, QStringLiteral("Épave\nsecond line")));
        QString text;
        QVERIFY(loadTextFile(path, text));
        QCOMPARE(text, QStringLiteral("Épave\nsecond line"));
        QCOMPARE(QFile(path).size(), qint64(QStringLiteral("Épave\nsecond line").toUtf8().size()));
    }

    void failedTextFileOperations()
    {
        if (QFile::exists(QStringLiteral("/dev/full")))
            QVERIFY(!writeTextFile(QStringLiteral("/dev/full"), QStringLiteral("no room")));
        QVERIFY(!writeTextFile(mDir.filePath(QStringLiteral("missing/notes.txt")), QStringLiteral("x")));
        QString text = QStringLiteral("untouched");
        QVERIFY(!loadTextFile(mDir.filePath(QStringLiteral("absent.txt")), text));
        QCOMPARE(text, QStringLiteral("untouched"));
    }

    // A file that cannot be written is not, and the reason says why.
    void atomicWrites_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("missing folder") << QStringLiteral("missing/whole.bin");
        QTest::newRow("onto a folder") << QStringLiteral("folder");
    }

    void atomicWrites()
    {
        QFETCH(QString, target);
        QVERIFY(QDir(mDir.path()).mkpath(QStringLiteral("folder")));
        const QString path = mDir.filePath(target);
        QString reason;
        QVERIFY(!writeFileAtomically(path, QByteArray("new"), &reason));
        QVERIFY(!reason.isEmpty());
        QVERIFY(!QFileInfo(path).isFile());
    }

    void absolutePaths()
    {
        QCOMPARE(absoluteFilePath(QStringLiteral("a/b.txt")), QDir::current().absoluteFilePath(QStringLiteral("a/b.txt")));
        QCOMPARE(absoluteFilePath(QStringLiteral("/x/y")), QStringLiteral("/x/y"));
    }

    void applicationVersion_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QList<int>>("parts");
        QTest::addColumn<QString>("title");
        QTest::newRow("four parts") << "2.9.3.1" << QList<int>{2, 9, 3, 1} << "Marevane - 2.9.3";
        QTest::newRow("two parts") << "2.9" << QList<int>{2, 9, 0, 0} << "Marevane - 2";
        QTest::newRow("not a number") << "2.x.3" << QList<int>{2, 0, 3, 0} << "Marevane - 2.x";
        QTest::newRow("empty part") << "1..3" << QList<int>{1, 0, 3, 0} << "Marevane - 1.";
        QTest::newRow("beyond int") << "99999999999.1" << QList<int>{0, 1, 0, 0} << "Marevane - 99999999999";
        QTest::newRow("no dot") << "3" << QList<int>{3, 0, 0, 0} << "Marevane - 3";
        QTest::newRow("none") << "" << QList<int>{0, 0, 0, 0} << "Marevane - ";
    }

    void applicationVersion()
    {
        QFETCH(QString, version);
        const QString previous = QCoreApplication::applicationVersion();
        QCoreApplication::setApplicationVersion(version);
        const ApplicationVersion parts = getApplicationVersion(qApp);
        const QString title = applicationWindowTitle(QStringLiteral("Marevane"));
        QCoreApplication::setApplicationVersion(previous);
        QTEST((QList<int>{parts.majorVersion, parts.minorVersion, parts.patchVersion, parts.buildNumber}), "parts");
        QTEST(title, "title");
    }

    void luminanceOfColours()
    {
        QCOMPARE(luminance(Qt::white), 255.0);
        QCOMPARE(luminance(Qt::black), 0.0);
        QCOMPARE(luminance(QColor(255, 0, 0)), 0.299 * 255);
        QCOMPARE(luminance(QColor(10, 20, 30)), 0.299 * 10 + 0.587 * 20 + 0.114 * 30);
    }

    void insertWidgetGivesTheParentALayout()
    {
        QWidget parent;
        auto* child = new QLabel;
        QVBoxLayout* layout = insertWidget(&parent, child, QMargins(1, 2, 3, 4));
        QCOMPARE(parent.layout(), layout);
        QCOMPARE(layout->contentsMargins(), QMargins(1, 2, 3, 4));
        QCOMPARE(layout->indexOf(child), 0);
        QCOMPARE(child->parentWidget(), &parent);
    }

    void insertWidgetReplacesAnEarlierLayout()
    {
        QWidget parent;
        auto* earlier = new QLabel(&parent);
        new QVBoxLayout(&parent);
        parent.layout()->addWidget(earlier);
        auto* child = new QLabel;
        QVBoxLayout* layout = insertWidget(&parent, child, QMargins());
        QCOMPARE(parent.layout(), layout);
        QCOMPARE(layout->indexOf(child), 0);
        QCOMPARE(earlier->parentWidget(), &parent);
    }

    void crc_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("crc");
        QTest::newRow("check string") << QByteArray("123456789") << 0xE5CC;
        QTest::newRow("empty") << QByteArray() << 0x1D0F;
        QTest::newRow("one byte") << QByteArray("A") << 0x9479;
        QTest::newRow("high bits") << QByteArray(4, char(0xff)) << 0x97DF;
    }

    void crc()
    {
        QFETCH(QByteArray, data);
        QTEST(int(crc16(unsigned(data.size()), reinterpret_cast<const unsigned char*>(data.constData()))), "crc");
    }

    void wholeNumbers_data()
    {
        constexpr double inf = std::numeric_limits<double>::infinity();
        constexpr double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("truncated");
        QTest::addColumn<qint64>("whole");
        QTest::addColumn<qint64>("nearest");
        QTest::newRow("a stop ended by float noise") << 1103.9999 << 1103 << qint64(1103) << qint64(1104);
        QTest::newRow("half a second") << 10.5 << 10 << qint64(10) << qint64(11);
        QTest::newRow("negative") << -2.7 << -2 << qint64(-2) << qint64(-3);
        QTest::newRow("not a number") << nan << 0 << qint64(0) << qint64(0);
        QTest::newRow("beyond int") << 3e9 << std::numeric_limits<int>::max() << qint64(3000000000) << qint64(3000000000);
        QTest::newRow("below int") << -3e9 << std::numeric_limits<int>::min() << qint64(-3000000000) << qint64(-3000000000);
        QTest::newRow("infinite") << inf << std::numeric_limits<int>::max() << qint64(1000000000000000000)
                                  << qint64(1000000000000000000);
        QTest::newRow("minus infinite") << -inf << std::numeric_limits<int>::min() << qint64(-1000000000000000000)
                                        << qint64(-1000000000000000000);
    }

    void wholeNumbers()
    {
        QFETCH(double, value);
        QTEST(truncatedInt(value), "truncated");
        QTEST(wholeSeconds(value), "whole");
        QTEST(nearestSeconds(value), "nearest");
    }

    void bodyCompleteness_data()
    {
        QTest::addColumn<QByteArray>("contentLength");
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<qint64>("received");
        QTest::addColumn<bool>("complete");
        QTest::newRow("all announced bytes") << QByteArray("200000") << QByteArray() << qint64(200000) << true;
        QTest::newRow("half of them") << QByteArray("200000") << QByteArray() << qint64(100000) << false;
        QTest::newRow("more than announced") << QByteArray("10") << QByteArray() << qint64(11) << false;
        QTest::newRow("empty body announced empty") << QByteArray("0") << QByteArray() << qint64(0) << true;
        QTest::newRow("no length announced") << QByteArray() << QByteArray() << qint64(5) << true;
        QTest::newRow("identity encoding") << QByteArray("10") << QByteArray("identity") << qint64(4) << false;
        // Qt inflates a compressed body: the length is the compressed one.
        QTest::newRow("gzip encoding") << QByteArray("10") << QByteArray("gzip") << qint64(40) << true;
    }

    void bodyCompleteness()
    {
        QFETCH(QByteArray, contentLength);
        QFETCH(QByteArray, encoding);
        QFETCH(qint64, received);
        const AnsweredReply reply(contentLength, encoding);
        QTEST(isBodyComplete(reply, received), "complete");
    }

    void webAddresses_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("web");
        QTest::addColumn<bool>("secure");
        QTest::newRow("https") << "https://raw.repository.example/fw.bin" << true << true;
        QTest::newRow("HTTPS") << "HTTPS://raw.repository.example/fw.bin" << true << true;
        QTest::newRow("http to 127.0.0.1") << "http://127.0.0.1:4000/fw.bin" << true << true;
        QTest::newRow("http to localhost") << "http://localhost/fw.bin" << true << true;
        QTest::newRow("http to ::1") << "http://[::1]:80/fw.bin" << true << true;
        QTest::newRow("http elsewhere") << "http://raw.repository.example/fw.bin" << true << false;
        QTest::newRow("http, a host named like loopback") << "http://127.0.0.1.example.com/x" << true << false;
        QTest::newRow("local file") << "file:///etc/passwd" << false << false;
        QTest::newRow("resource") << "qrc:/TestGraphics/icons/ok.png" << false << false;
        QTest::newRow("data") << "data:application/octet-stream;base64,AAAA" << false << false;
        QTest::newRow("ftp to this machine") << "ftp://127.0.0.1/fw.bin" << false << false;
        QTest::newRow("no host") << "https:///fw.bin" << false << false;
        QTest::newRow("relative") << "raw.repository.example/fw.bin" << false << false;
        QTest::newRow("empty") << "" << false << false;
    }

    void webAddresses()
    {
        QFETCH(QString, url);
        QTEST(isWebAddress(QUrl(url)), "web");
        QTEST(isSecureWebAddress(QUrl(url)), "secure");
    }

    void splitting()
    {
        using Pieces = std::vector<std::string>;
        QCOMPARE(stringhelper::splitString("a,,b,", ','), (Pieces{"a", "b"}));
        QCOMPARE(stringhelper::splitString(",a b", ','), (Pieces{"a b"}));
        QCOMPARE(stringhelper::splitString("", ','), Pieces{});
        QCOMPARE(stringhelper::splitString(",,", ','), Pieces{});
        using WidePieces = std::vector<std::wstring>;
        QVERIFY(stringhelper::splitString(std::wstring(L"x;;\u00e9;"), L';') == (WidePieces{L"x", L"\u00e9"}));
    }

    void caseConversion()
    {
        // Bytes above 127 pass through unchanged, whatever the sign of char.
        std::string text = "Mix \xc3\x89 AIR-21 \xff";
        stringhelper::lowercase(text);
        QCOMPARE(QByteArray::fromStdString(text), QByteArray("mix \xc3\x89 air-21 \xff"));
        stringhelper::uppercase(text);
        QCOMPARE(QByteArray::fromStdString(text), QByteArray("MIX \xc3\x89 AIR-21 \xff"));
        std::wstring wide = L"Trimix";
        stringhelper::uppercase(wide);
        QVERIFY(wide == L"TRIMIX");
        stringhelper::lowercase(wide);
        QVERIFY(wide == L"trimix");
    }

    void streamRoundTrip()
    {
        std::stringstream stream;
        StreamHelper helper(&stream, &stream);
        const std::string withNul("a\0b", 3);
        QVERIFY(helper.write("Nx32"));
        QVERIFY(helper.write(""));
        QVERIFY(helper.write(withNul));
        QCOMPARE(QByteArray::fromStdString(stream.str().substr(0, 12)), QByteArray("\x04\0\0\0\0\0\0\0Nx32", 12));

        std::string text = "old";
        QVERIFY(helper.read(text));
        QCOMPARE(text, std::string("Nx32"));
        QVERIFY(helper.read(text));
        QCOMPARE(text, std::string());
        QVERIFY(helper.read(text));
        QCOMPARE(text, withNul);
        QVERIFY(!helper.read(text));
        QCOMPARE(text, withNul);
    }

    void streamRefusesLengthsBeyondTheData_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("one byte short") << QByteArray::fromStdString(lengthPrefixed(5, "abcd"));
        QTest::newRow("absurd length") << QByteArray::fromStdString(lengthPrefixed(std::uint64_t(1) << 62, "abcd"));
        QTest::newRow("largest length") << QByteArray::fromStdString(lengthPrefixed(~std::uint64_t(0), "abcd"));
        QTest::newRow("cut length") << QByteArray("\x04\0\0", 3);
    }

    void streamRefusesLengthsBeyondTheData()
    {
        QFETCH(QByteArray, bytes);
        std::istringstream in(bytes.toStdString());
        StreamHelper helper(nullptr, &in);
        std::string text = "untouched";
        QVERIFY(!helper.read(text));
        QCOMPARE(text, std::string("untouched"));
    }

    void streamWithoutStreams()
    {
        StreamHelper helper(nullptr, nullptr);
        std::string text = "untouched";
        QVERIFY(!helper.write(text));
        QVERIFY(!helper.read(text));
        QCOMPARE(text, std::string("untouched"));
    }
};

MAREVANE_TEST_MAIN(CommonHelpersTest)
#include "tst_commonhelpers.moc"

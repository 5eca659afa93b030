// Exports over an earlier file, and the begin time a UDDF export writes.

#include "filesizelimit.h"
#include "jsondives.h"
#include "testenvironment.h"

#include "divemodel/dive.h"
#include "divemodel/divelinesio.h"
#include "divemodel/uddffile.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

} // namespace

class FileExportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(mDir.isValid()); }
    void cleanup() { testkit::TestEnvironment::setTimeZone("UTC"); }

    void writeCutByAFileSizeLimit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("CSV") << "limited.csv";
        QTest::newRow("UDDF") << "limited.uddf";
    }
    // The earlier export stays whole until the new one is written; a write
    // the file system cuts short is a failure and leaves no fragment behind.
    void writeCutByAFileSizeLimit()
    {
        QFETCH(QString, name);
        const QString path = mDir.filePath(name);
        Dive earlier = testkit::everyFieldDive();
        QVERIFY(DiveLinesIO::getWriter(path)->write(path, earlier));
        const QByteArray earlierBytes = testkit::fileBytes(path);
        QVERIFY(!earlierBytes.isEmpty());
        Dive longer = testkit::everyFieldDive(4000);

        constexpr rlim_t limit = 64 * 1024;
        const std::optional<bool> written =
            testkit::writeUnderFileSizeLimit(limit, [&] { return DiveLinesIO::getWriter(path)->write(path, longer); });
        if (!written)
            QSKIP("the file size limit is already below the test's");

        QVERIFY(!*written);
        QCOMPARE(testkit::fileBytes(path), earlierBytes);
        QCOMPARE(QDir(mDir.path()).entryList({name + "*"}, QDir::Files).join(" "), name);
        QVERIFY(DiveLinesIO::getWriter(path)->write(path, longer));
        QVERIFY(testkit::fileBytes(path).size() > qint64(limit));
    }

    void uddfBeginTimeIsWallClock_data()
    {
        QTest::addColumn<QByteArray>("timeZone");
        QTest::addColumn<QByteArray>("text");
        // 14 July 2024 16:26:40 UTC.
        QTest::newRow("UTC") << QByteArray("UTC") << QByteArray("2024-07-14T16:26:40");
        QTest::newRow("Paris, summer time") << QByteArray("CET-1CEST,M3.5.0,M10.5.0/3")
                                            << QByteArray("2024-07-14T18:26:40");
    }
    // The local wall-clock time carries no zone letter: another program reads
    // it as the time on the diver's watch, not as UTC. It reads back as the
    // same instant in the same zone.
    void uddfBeginTimeIsWallClock()
    {
        QFETCH(QByteArray, timeZone);
        QFETCH(QByteArray, text);
        testkit::TestEnvironment::setTimeZone(timeZone.constData());
        Dive written = testkit::everyFieldDive();
        written.beginTime = 1720974400;
        const QString path = mDir.filePath("begin.uddf");
        QVERIFY(UddfFile().write(path, written));

        const QRegularExpression datetime(QStringLiteral("<informationbeforedive>\\s*<datetime>([^<]*)</datetime>"));
        const QRegularExpressionMatch match = datetime.match(QString::fromUtf8(testkit::fileBytes(path)));
        QVERIFY(match.hasMatch());
        QCOMPARE(match.captured(1).toUtf8(), text);

        Dive read;
        QVERIFY(UddfFile().read(path, read));
        QCOMPARE(read.beginTime, written.beginTime);
    }

private:
    QTemporaryDir mDir;
};

MAREVANE_TEST_MAIN(FileExportTest)
#include "tst_fileexport.moc"

#include "device/firmwareinfo.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// One firmware of the table of contents: its version, colour, date and the
// names of its image.
class FirmwareInfoTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { FirmwareInfo::sSizeLimit = 16 * 1024 * 1024; }

    void entryOfTheTable_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("color");
        QTest::addColumn<QString>("dateTime");
        QTest::addColumn<QList<int>>("numbers"); // major, minor, patch, letter code
        QTest::addColumn<int>("versionNumber");
        QTest::addColumn<QString>("versionText");
        QTest::addColumn<QColor>("rowColor");
        QTest::addColumn<QString>("safeDateTime");
        QTest::addColumn<QString>("cacheName");
        QTest::addColumn<QString>("computerName");
        QTest::addColumn<QString>("shortName");

        QTest::newRow("letter a") << "fw.bin" << "0x02000B61" << "#336699" << "2024-05-12T10:20:30Z"
                                  << QList<int>{2, 0, 11, 0x61} << 0x02000B61 << "2.0.11.a" << QColor(0x33, 0x66, 0x99)
                                  << "2024-05-12_10-20-30_" << "fw.bin-2024-05-12_10-20-30_-2.0.11.a.bin" << "fw"
                                  << "fw";
        QTest::newRow("letter code 0") << "fw.bin" << "0x02000B00" << "" << "2024-05-12T10:20:30Z"
                                       << QList<int>{2, 0, 11, 0} << 0x02000B00 << "2.0.11" << QColor(Qt::white)
                                       << "2024-05-12_10-20-30_" << "fw.bin-2024-05-12_10-20-30_-2.0.11.bin" << "fw"
                                       << "fw";
        QTest::newRow("other prefix") << "Pelavix_2.1.bin" << "FW0201030A" << "#FF0000" << "2024:01:02"
                                      << QList<int>{2, 1, 3, 0x0A} << 0 << "2.1.3.0x0a" << QColor(Qt::red)
                                      << "2024-01-02" << "Pelavix_2.1.bin-2024-01-02-2.1.3.0x0a.bin" << "Pelavix_2.1"
                                      << "Pelavix_2";
        QTest::newRow("beyond int") << "boot.bin.bin" << "0xFF000000" << "#zz00GG" << "t-z"
                                    << QList<int>{255, 0, 0, 0} << 0 << "255.0.0" << QColor(0, 0, 0) << "t-z"
                                    << "boot.bin.bin-t-z-255.0.0.bin" << "boot" << "boot";
        QTest::newRow("signs and spaces") << "FW" << "0x-1 2+3" << "#-1" << "" << QList<int>{0, 0, 0, 0} << 0 << "0.0.0"
                                          << QColor(0, 0, 0) << "" << "FW--0.0.0.bin" << "FW" << "FW";
        QTest::newRow("short") << "fw.BIN" << "0x02" << "#12" << "" << QList<int>{2, 0, 0, 0} << 2 << "2.0.0"
                               << QColor(0x12, 0, 0) << "" << "fw.BIN--2.0.0.bin" << "fw.BIN" << "fw";
    }
    void entryOfTheTable()
    {
        QFETCH(QString, file);
        QFETCH(QString, version);
        QFETCH(QString, color);
        QFETCH(QString, dateTime);
        QFETCH(QList<int>, numbers);
        QFETCH(int, versionNumber);
        QFETCH(QString, versionText);
        QFETCH(QColor, rowColor);
        QFETCH(QString, safeDateTime);
        QFETCH(QString, cacheName);
        QFETCH(QString, computerName);
        QFETCH(QString, shortName);

        FirmwareInfo firmware;
        QVERIFY(!firmware.color.isValid());
        firmware.file = file;
        firmware.setVersion(version);
        firmware.setColor(color);
        firmware.setDateTime(dateTime);
        QCOMPARE((QList<int>{firmware.major, firmware.minor, firmware.patch, firmware.letter.unicode()}), numbers);
        QCOMPARE(firmware.versionNumber, versionNumber);
        QCOMPARE(firmware.versionText, versionText);
        QCOMPARE(firmware.color, rowColor);
        QCOMPARE(firmware.color.alpha(), 255);
        QCOMPARE(firmware.dateTime, safeDateTime);
        QCOMPARE(firmware.getBinaryFileName(), cacheName);
        QVERIFY(!firmware.getBinaryFileName().contains(QChar(0)));
        QCOMPARE(firmware.getFileNameWithVersion(), computerName);
        QCOMPARE(firmware.getShortFileName(), shortName);
        QVERIFY(firmware.hasPlainBinaryFileName());
    }

    void cacheNamesThatLeaveTheFolder_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("dateTime");
        QTest::addColumn<QString>("version");
        QTest::newRow("parent folder") << "../x.bin" << "2024" << "0x02000B00";
        QTest::newRow("absolute") << "/tmp/x.bin" << "2024" << "0x02000B00";
        QTest::newRow("slash in the date") << "fw.bin" << "2024/../../x" << "0x02000B00";
        QTest::newRow("backslash") << "fw.bin" << "..\\..\\x" << "0x02000B00";
        QTest::newRow("line feed") << "fw\n.bin" << "2024" << "0x02000B00";
        QTest::newRow("NUL") << QString("fw") + QChar(0) + ".bin" << "2024" << "0x02000B00";
    }
    void cacheNamesThatLeaveTheFolder()
    {
        QFETCH(QString, file);
        QFETCH(QString, dateTime);
        QFETCH(QString, version);
        FirmwareInfo firmware;
        firmware.file = file;
        firmware.setDateTime(dateTime);
        firmware.setVersion(version);
        QVERIFY(!firmware.hasPlainBinaryFileName());

        // Nothing is read through such a name, not even a file that is there.
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("a/b"));
        QFile planted(root.filePath("a/" + firmware.getBinaryFileName()));
        if (planted.open(QIODevice::WriteOnly))
            planted.write("planted");
        planted.close();
        firmware.binary = "kept";
        QVERIFY(!firmware.loadBinaryFile(root.filePath("a/b").toStdString(), true));
        QCOMPARE(firmware.binary, QByteArray("kept"));
    }

    void loadingAnImage_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<bool>("cached");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("cached image") << QByteArray("\x01\x02image", 7) << true << true;
        QTest::newRow("image by its own name") << QByteArray("disk image") << false << true;
        QTest::newRow("at the limit") << QByteArray(4096, 'L') << true << true;
        QTest::newRow("over the limit") << QByteArray(4097, 'O') << true << false;
        QTest::newRow("empty") << QByteArray("") << true << false;
        QTest::newRow("missing") << QByteArray() << true << false;
    }
    void loadingAnImage()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, cached);
        QFETCH(bool, loaded);
        FirmwareInfo::sSizeLimit = 4096;
        FirmwareInfo firmware;
        firmware.file = "fw.bin";
        firmware.setVersion("0x02000B61");
        firmware.setDateTime("2024-05-12T10:20:30Z");
        firmware.binary = "kept";
        QTemporaryDir folder;
        if (!content.isNull()) {
            QFile file(folder.filePath(cached ? firmware.getBinaryFileName() : firmware.file));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QCOMPARE(firmware.loadBinaryFile(folder.path().toStdString(), cached), loaded);
        QCOMPARE(firmware.binary, loaded ? content : QByteArray("kept"));
    }

    void aFolderIsNoImage()
    {
        FirmwareInfo firmware;
        firmware.file = "fw.bin";
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("fw.bin"));
        QVERIFY(!firmware.loadBinaryFile(folder.path().toStdString(), false));
        QVERIFY(firmware.binary.isEmpty());
    }
};

MAREVANE_TEST_MAIN(FirmwareInfoTest)
#include "tst_firmwareinfo.moc"

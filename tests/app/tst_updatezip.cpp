#include "ziphelpers.h"
#include "testenvironment.h"
#include "ziptestkit.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

using testkit::ZipEntrySpec;
using Files = QMap<QString, QByteArray>;

namespace {

// Links placed in the target folder before unpacking.
enum class Setup {
    None,
    // "link" is a link to the outside folder.
    FolderLink,
    // "existing.txt" is a link to a file of the outside folder.
    FileLink,
};

ZipEntrySpec entry(const QByteArray& name, const QByteArray& data, bool deflate = true)
{
    return ZipEntrySpec{name, data, deflate, 0, {}, {}};
}

QByteArray pattern(qsizetype size, char seed)
{
    QByteArray data(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char(seed + (i * 7) % 91);
    return data;
}

// A name of exactly `size` bytes, in folders short enough for any file system.
QByteArray longName(qsizetype size)
{
    QByteArray name;
    while (name.size() + 100 < size)
        name += QByteArray(99, 'd') + '/';
    return name + QByteArray(size - name.size(), 'f');
}

// Every file and link below `folder`, relative to it, with its content ("->"
// for a link).
QMap<QString, QByteArray> filesIn(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir() && !info.isSymLink())
            continue;
        QFile file(path);
        const QByteArray contents =
            info.isSymLink() ? QByteArray("->") : (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?"));
        files.insert(QDir(folder).relativeFilePath(path), contents);
    }
    return files;
}

} // namespace

Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(ZipLimits)

// Unpacking and packing update archives: what may be unpacked, and what must
// fail without leaving a partial file or writing outside the target folder.
class UpdateZipTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        mSandbox = std::make_unique<QTemporaryDir>();
        QVERIFY(mSandbox->isValid());
        QVERIFY(QDir().mkpath(target()));
        QVERIFY(QDir().mkpath(outside()));
        writeFile(outside() + "/target.txt", "outside content");
    }

    void extract_data()
    {
        QTest::addColumn<QList<ZipEntrySpec>>("entries");
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<ZipLimits>("limits");
        QTest::addColumn<bool>("unpacked");
        // What the target folder holds afterwards, links included.
        QTest::addColumn<Files>("files");

        const QByteArray text = "Dive safe, dive often.\n";
        const QByteArray bigger = pattern(5000, 'a');
        const ZipLimits lowered{1000, 1500};
        const QMap<QString, QByteArray> nothing;
        const QMap<QString, QByteArray> fileLinkOnly{{"existing.txt", "->"}};

        QTest::newRow("files and folders")
            << QList<ZipEntrySpec>{entry("docs/", {}), entry("docs/readme.txt", text), entry("top.bin", bigger, false),
                                   entry("a/b/c.txt", bigger), entry("empty.txt", {}, false), entry("./dot.txt", text)}
            << Setup::None << ZipLimits{} << true
            << QMap<QString, QByteArray>{{"docs/readme.txt", text}, {"top.bin", bigger}, {"a/b/c.txt", bigger},
                                         {"empty.txt", {}}, {"dot.txt", text}};
        QTest::newRow("511-byte name") << QList<ZipEntrySpec>{entry(longName(511), text)} << Setup::None
                                       << ZipLimits{} << true
                                       << QMap<QString, QByteArray>{{QString::fromLatin1(longName(511)), text}};
        QTest::newRow("at the lowered limits")
            << QList<ZipEntrySpec>{entry("one.bin", pattern(1000, 'x')), entry("two.bin", pattern(500, 'y'))}
            << Setup::None << lowered << true
            << QMap<QString, QByteArray>{{"one.bin", pattern(1000, 'x')}, {"two.bin", pattern(500, 'y')}};

        QTest::newRow("../escape.txt") << QList<ZipEntrySpec>{entry("../escape.txt", text)} << Setup::None
                                       << ZipLimits{} << false << nothing;
        QTest::newRow("/abs.txt") << QList<ZipEntrySpec>{entry("/abs.txt", text)} << Setup::None << ZipLimits{}
                                  << false << nothing;
        QTest::newRow("a/../../b") << QList<ZipEntrySpec>{entry("a/../../b", text)} << Setup::None << ZipLimits{}
                                   << false << nothing;
        QTest::newRow("backslash root") << QList<ZipEntrySpec>{entry("\\abs.txt", text)} << Setup::None
                                        << ZipLimits{} << false << nothing;
        QTest::newRow("backslash up") << QList<ZipEntrySpec>{entry("a\\..\\..\\b", text)} << Setup::None
                                      << ZipLimits{} << false << nothing;
        QTest::newRow("drive letter") << QList<ZipEntrySpec>{entry("C:/abs.txt", text)} << Setup::None
                                      << ZipLimits{} << false << nothing;
        QTest::newRow("a good entry before a bad one")
            << QList<ZipEntrySpec>{entry("good.txt", text), entry("../escape.txt", text)} << Setup::None
            << ZipLimits{} << false << nothing;
        QTest::newRow("symlink entry")
            << QList<ZipEntrySpec>{ZipEntrySpec{"link.txt", "../outside/target.txt", false, 0120777, {}, {}}}
            << Setup::None << ZipLimits{} << false << nothing;
        QTest::newRow("folder link already there")
            << QList<ZipEntrySpec>{entry("link/file.txt", text)} << Setup::FolderLink << ZipLimits{} << false
            << QMap<QString, QByteArray>{{"link", "->"}};
        QTest::newRow("folder entry through a link")
            << QList<ZipEntrySpec>{entry("link/sub/", {})} << Setup::FolderLink << ZipLimits{} << false
            << QMap<QString, QByteArray>{{"link", "->"}};
        QTest::newRow("file link already there")
            << QList<ZipEntrySpec>{entry("existing.txt", text)} << Setup::FileLink << ZipLimits{} << false
            << fileLinkOnly;
        QTest::newRow("512-byte name") << QList<ZipEntrySpec>{entry(longName(512), text)} << Setup::None
                                       << ZipLimits{} << false << nothing;
        QTest::newRow("entry over the lowered limit")
            << QList<ZipEntrySpec>{entry("big.bin", pattern(1001, 'x'))} << Setup::None << lowered << false
            << nothing;
        QTest::newRow("total over the lowered limit")
            << QList<ZipEntrySpec>{entry("one.bin", pattern(800, 'x')), entry("two.bin", pattern(800, 'y'))}
            << Setup::None << lowered << false << nothing;
        QList<ZipEntrySpec> manyEmpty;
        for (int i = 0; i < 20000; ++i)
            manyEmpty.append(entry("e" + QByteArray::number(i), {}, false));
        QTest::newRow("20,000 entries") << manyEmpty << Setup::None << ZipLimits{} << false << nothing;
        const QByteArray prefix = bigger.left(bigger.size() - 100);
        QTest::newRow("data longer than declared")
            << QList<ZipEntrySpec>{ZipEntrySpec{"long.bin", bigger, true, 0, quint64(prefix.size()),
                                                testkit::crc32Of(prefix)}}
            << Setup::None << ZipLimits{} << false << nothing;
        QTest::newRow("stored data longer than declared")
            << QList<ZipEntrySpec>{ZipEntrySpec{"long.bin", bigger, false, 0, quint64(prefix.size()),
                                                testkit::crc32Of(prefix)}}
            << Setup::None << ZipLimits{} << false << nothing;
        QTest::newRow("data shorter than declared")
            << QList<ZipEntrySpec>{ZipEntrySpec{"short.bin", bigger, true, 0, quint64(bigger.size() + 100), {}}}
            << Setup::None << ZipLimits{} << false << nothing;
        QTest::newRow("wrong checksum")
            << QList<ZipEntrySpec>{ZipEntrySpec{"crc.bin", bigger, true, 0, {}, testkit::crc32Of(text)}}
            << Setup::None << ZipLimits{} << false << nothing;
    }
    void extract()
    {
        QFETCH(QList<ZipEntrySpec>, entries);
        QFETCH(Setup, setup);
        QFETCH(ZipLimits, limits);
        QFETCH(bool, unpacked);
        QFETCH(Files, files);
        applySetup(setup);
        QVERIFY(testkit::writeZip(archive(), entries));

        ZipExtraction extraction;
        QCOMPARE(extractZip(archive(), target(), limits, &extraction), unpacked);
        const QStringList& extracted = extraction.files;
        QCOMPARE(filesIn(target()), files);
        checkOutsideUntouched();
        // Every failure here is the archive's doing, and says so.
        QCOMPARE(extraction.refusal.isEmpty(), unpacked);
        if (unpacked)
            QCOMPARE(extracted.size(), files.size());
        else
            QVERIFY2(extracted.isEmpty(), qPrintable(extracted.join(',')));
    }

    void flippedByteFailsWithoutAPartialFile_data()
    {
        QTest::addColumn<bool>("deflate");
        QTest::newRow("stored") << false;
        QTest::newRow("deflated") << true;
    }
    void flippedByteFailsWithoutAPartialFile()
    {
        QFETCH(bool, deflate);
        const QByteArray data = pattern(20000, 'k');
        QVERIFY(testkit::writeZip(archive(), {entry("first.txt", "kept"), entry("installer.dmg", data, deflate)}));
        QVERIFY(testkit::flipByteOf(archive(), deflate ? testkit::rawDeflate(data) : data));
        ZipExtraction extraction;
        QVERIFY(!extractZip(archive(), target(), {}, &extraction));
        const QStringList& extracted = extraction.files;
        // The entries before the damaged one are whole and stay.
        QCOMPARE(filesIn(target()), (QMap<QString, QByteArray>{{"first.txt", "kept"}}));
        QCOMPARE(extracted, QStringList{target() + "/first.txt"});
    }

    void replacesAnExistingFile()
    {
        writeFile(target() + "/readme.txt", "old");
        QVERIFY(testkit::writeZip(archive(), {entry("readme.txt", "new")}));
        QVERIFY(extractZip(archive(), target()));
        QCOMPARE(filesIn(target()), (QMap<QString, QByteArray>{{"readme.txt", "new"}}));
    }

    void createsAMissingTargetFolder()
    {
        QVERIFY(testkit::writeZip(archive(), {entry("readme.txt", "text")}));
        const QString deeper = target() + "/new/folder";
        QVERIFY(extractZip(archive(), deeper));
        QCOMPARE(filesIn(deeper), (QMap<QString, QByteArray>{{"readme.txt", "text"}}));
    }

    void notAnArchive_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("text") << QByteArray("this is not a zip archive");
        QTest::newRow("bare end record") << QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0');
    }
    void notAnArchive()
    {
        QFETCH(QByteArray, contents);
        writeFile(archive(), contents);
        QVERIFY(!extractZip(archive(), target()));
        QVERIFY(!extractZip(mSandbox->filePath("missing.zip"), target()));
        QCOMPARE(filesIn(target()), (QMap<QString, QByteArray>{}));
    }

    void createZipRoundTrips()
    {
        const QString sources = mSandbox->filePath("sources");
        QVERIFY(QDir().mkpath(sources + "/sub"));
        const QMap<QString, QByteArray> contents{
            {"plongée.txt", "Profondeur maximale 40 m"}, {"profile.bin", pattern(100000, 'p')}, {"empty", {}}};
        QList<QString> files;
        for (auto it = contents.cbegin(); it != contents.cend(); ++it) {
            // Only the file name goes into the archive.
            files.append(sources + "/sub/" + it.key());
            writeFile(files.last(), it.value());
        }
        writeFile(archive(), "an older archive");
        QVERIFY(createZip(archive(), files));
        QCOMPARE(testkit::zipEntryCount(archive()), std::optional<quint64>(3));
        QVERIFY(extractZip(archive(), target()));
        QCOMPARE(filesIn(target()), contents);
    }

    void createZipOfNothingIsAValidEmptyArchive()
    {
        QVERIFY(createZip(archive(), {}));
        // The end record alone, no entry: minizip's own reader cannot find a
        // record that starts the file, so the bytes are compared.
        QFile file(archive());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0'));
        // Nothing to unpack is no success.
        QVERIFY(!extractZip(archive(), target()));
    }

    void createZipOfAMissingFileLeavesNoArchive()
    {
        writeFile(mSandbox->filePath("present.txt"), "here");
        QVERIFY(!createZip(archive(), {mSandbox->filePath("present.txt"), mSandbox->filePath("absent.txt")}));
        QVERIFY(!QFile::exists(archive()));
    }

private:
    QString target() const { return mSandbox->filePath("target"); }
    QString outside() const { return mSandbox->filePath("outside"); }
    QString archive() const { return mSandbox->filePath("update.zip"); }

    static void writeFile(const QString& path, const QByteArray& contents)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(contents), contents.size());
    }

    void applySetup(Setup setup)
    {
        switch (setup) {
        case Setup::None:
            break;
        case Setup::FolderLink:
            QVERIFY(QFile::link(outside(), target() + "/link"));
            break;
        case Setup::FileLink:
            QVERIFY(QFile::link(outside() + "/target.txt", target() + "/existing.txt"));
            break;
        }
    }

    // Nothing was written beside the target folder or through a link.
    void checkOutsideUntouched()
    {
        QCOMPARE(filesIn(outside()), (QMap<QString, QByteArray>{{"target.txt", "outside content"}}));
        QCOMPARE(QDir(outside()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"target.txt"});
        QCOMPARE(QDir(mSandbox->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{"outside", "target", "update.zip"}));
    }

    std::unique_ptr<QTemporaryDir> mSandbox;
};

MAREVANE_TEST_MAIN(UpdateZipTest)
#include "tst_updatezip.moc"

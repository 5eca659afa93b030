#include "ziphelpers.h"
#include "testenvironment.h"
#include "ziptestkit.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <random>

using testkit::ZipEntrySpec;

namespace {

constexpr int kMutations = 2500;

// Tokens that turn a name into one that climbs, roots or links.
const QList<QByteArray> kTokens{"../", "..", "/", "\\", "C:", QByteArray(1, '\0'), "link/", "\xff\xfe"};

QByteArray pattern(qsizetype size, quint32 seed)
{
    std::mt19937 random(seed);
    QByteArray data(size, '\0');
    for (char& byte : data)
        byte = char('a' + random() % 8); // compressible, like most payloads
    return data;
}

} // namespace

// Damaged archives of every kind are refused or unpacked inside their folder:
// seeded mutations of a good archive, never a crash, never a file outside.
class UpdateZipFuzzTest : public QObject
{
    Q_OBJECT

private slots:
    void mutatedArchivesStayInsideTheirFolder()
    {
        QTemporaryDir work(workTemplate());
        QVERIFY(work.isValid());
        const QString seedPath = work.filePath("seed.zip");
        QVERIFY(testkit::writeZip(seedPath, {ZipEntrySpec{"docs/", {}, false, 040755, {}, {}},
                                            ZipEntrySpec{"docs/readme.txt", pattern(300, 1), true, 0100644, {}, {}},
                                            ZipEntrySpec{"MarevaneDmg_2.10.0.dmg", pattern(2000, 2), false, 0, {}, {}},
                                            ZipEntrySpec{"link/inner.bin", pattern(700, 3), true, 0, {}, {}}}));
        QFile seedFile(seedPath);
        QVERIFY(seedFile.open(QIODevice::ReadOnly));
        const QByteArray seed = seedFile.readAll();
        const ZipLimits limits{64 * 1024, 96 * 1024};

        std::mt19937 random(20240611);
        const QString sandbox = work.filePath("sandbox");
        const QString target = sandbox + "/target";
        const QString outside = sandbox + "/outside";
        const QString mutatedPath = work.filePath("mutated.zip");
        int unpacked = 0;
        for (int round = 0; round < kMutations; ++round) {
            QVERIFY(QDir(sandbox).removeRecursively() || !QFileInfo::exists(sandbox));
            QVERIFY(QDir().mkpath(target));
            QVERIFY(QDir().mkpath(outside));
            // Every other round, a link to the outside waits in the folder.
            if (round % 2 == 1)
                QVERIFY(QFile::link(outside, target + "/link"));

            const QByteArray mutated = mutate(seed, random);
            QFile file(mutatedPath);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(file.write(mutated), mutated.size());
            file.close();

            if (extractZip(mutatedPath, target, limits))
                ++unpacked;
            QVERIFY2(QDir(outside).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden),
                     qPrintable(QString("round %1 wrote outside").arg(round)));
            QCOMPARE(QDir(sandbox).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden),
                     (QStringList{"outside", "target"}));
            QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden),
                     (QStringList{"mutated.zip", "sandbox", "seed.zip"}));
            checkNoNewLinks(target, round);
        }
        // The mutations reached past the checks: some archives still unpack.
        QVERIFY2(unpacked > 0, "no mutated archive unpacked at all");
        qInfo("%d of %d mutated archives unpacked", unpacked, kMutations);
    }

private:
    // Each unpacked file is synced to disk; on a RAM disk the rounds run at
    // memory speed.
    static QString workTemplate()
    {
        const QFileInfo ramDisk(QStringLiteral("/dev/shm"));
        const QString folder = ramDisk.isDir() && ramDisk.isWritable() ? ramDisk.filePath() : QDir::tempPath();
        return folder + QStringLiteral("/marevane-zipfuzz-XXXXXX");
    }

    static QByteArray mutate(QByteArray data, std::mt19937& random)
    {
        const auto below = [&random](qsizetype bound) {
            return qsizetype(random() % quint32(std::max<qsizetype>(bound, 1)));
        };
        const int count = 1 + int(random() % 3);
        for (int i = 0; i < count && !data.isEmpty(); ++i) {
            switch (random() % 6) {
            case 0: // one bit
                data[below(data.size())] ^= char(1 << (random() % 8));
                break;
            case 1: // one byte
                data[below(data.size())] = char(random());
                break;
            case 2: { // a token over the bytes
                const QByteArray& token = kTokens.at(below(kTokens.size()));
                const qsizetype at = below(data.size());
                data.replace(at, std::min(token.size(), data.size() - at), token);
                break;
            }
            case 3: // cut short
                data.truncate(below(data.size()));
                break;
            case 4: { // a 16- or 32-bit field set to an extreme
                const qsizetype at = below(data.size() - 4);
                const char fill = random() % 2 ? char(0xff) : char(0);
                for (qsizetype k = 0; k < 2 + 2 * qsizetype(random() % 2) && at + k < data.size(); ++k)
                    data[at + k] = fill;
                break;
            }
            default: // a slice repeated
                const qsizetype at = below(data.size());
                data.insert(at, data.mid(at, below(64)));
                break;
            }
        }
        return data;
    }

    // The only link below the target is the one the round placed there.
    static void checkNoNewLinks(const QString& target, int round)
    {
        QDirIterator it(target, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileInfo().isSymLink())
                QVERIFY2(path == target + "/link", qPrintable(QString("round %1 made link %2").arg(round).arg(path)));
        }
    }
};

MAREVANE_TEST_MAIN(UpdateZipFuzzTest)
#include "tst_updatezipfuzz.moc"

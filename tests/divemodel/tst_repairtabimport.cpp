#include "testenvironment.h"

#include "divemodel/csvfile.h"
#include "divemodel/diveanalysis.h"
#include "divemodel/dive.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>

namespace {

// A TAB line of 20 fields: the given ones first, "0" for the rest.
QByteArray sampleLine(const QList<QByteArray>& leading)
{
    QList<QByteArray> fields = leading;
    while (fields.size() < 20)
        fields.append("0");
    return fields.join('\t');
}

const QByteArray kHeader = "Time\tDepth\tPressure\tTemp\tOTU\tCNS\tCeiling\tNDL\tC8\tC9\tC10\tC11\tC12"
                           "\tC13\tC14\tC15\tC16\tC17\tC18\tC19";

} // namespace

class RepairTabImportTest : public QObject
{
    Q_OBJECT

private:
    QString write(const QByteArray& bytes, const QString& name = QStringLiteral("dive.txt"))
    {
        const QString path = mDir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // A dive that a refused file must leave as it is.
    static Dive diveBefore()
    {
        Dive dive;
        dive.name = QStringLiteral("before");
        dive.lines = {DiveLine()};
        dive.lines.first().timeSec = 7;
        return dive;
    }

    static void verifyUnchanged(const Dive& dive)
    {
        QCOMPARE(dive.name, QStringLiteral("before"));
        QCOMPARE(dive.lines.size(), 1);
        QCOMPARE(dive.lines.first().timeSec, 7.0);
    }

    QTemporaryDir mDir;

private slots:
    // The title line and every line whose time or depth is not a number are
    // skipped; other fields that are not numbers read 0.
    void linesWithoutTimeOrDepthAreSkipped_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<double>>("times");

        const QByteArray a = sampleLine({"10", "3.5"});
        const QByteArray b = sampleLine({"20", "4", "x", "18"});
        QTest::newRow("title line") << kHeader + "\n" + a + "\n" + b + "\n" << QList<double>{10, 20};
        QTest::newRow("word as time") << sampleLine({"abc", "3"}) + "\n" + a << QList<double>{10};
        QTest::newRow("word as depth") << a + "\n" + sampleLine({"15", "abc"}) << QList<double>{10};
        QTest::newRow("empty time") << sampleLine({"", "3"}) + "\n" + b << QList<double>{20};
        QTest::newRow("empty depth") << b + "\n" + sampleLine({"30", ""}) << QList<double>{20};
        QTest::newRow("trailing junk") << sampleLine({"12abc", "3"}) + "\n" + a << QList<double>{10};
        QTest::newRow("decimal comma") << sampleLine({"5", "1,5"}) + "\n" + a << QList<double>{10};
        QTest::newRow("Windows line ends and mark") << "\xEF\xBB\xBF" + kHeader + "\r\n" + a + "\r\n" + b + "\r\n"
                                                   << QList<double>{10, 20};
    }

    void linesWithoutTimeOrDepthAreSkipped()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<double>, times);
        Dive dive;
        CsvFile csv;
        QVERIFY(csv.read(write(bytes), dive));
        QCOMPARE(dive.lines.size(), times.size());
        for (qsizetype i = 0; i < times.size(); ++i)
            QCOMPARE(dive.lines.at(i).timeSec, times.at(i));
        QVERIFY(csv.errorString().isEmpty());
    }

    void otherFieldsThatAreNotNumbersReadZero()
    {
        Dive dive;
        CsvFile csv;
        QVERIFY(csv.read(write(sampleLine({"20", "4.5", "x", "warm", "1e1", "", "2.75", "-3.7"})), dive));
        QCOMPARE(dive.lines.size(), 1);
        const DiveLine& sample = dive.lines.first();
        QCOMPARE(sample.depth, 4.5);
        QCOMPARE(sample.ambientTemp, 0.0);
        QCOMPARE(sample.otu, 10.0);
        QCOMPARE(sample.cns, 0.0);
        QCOMPARE(sample.decoCeiling, 2.75);
        QCOMPARE(sample.ndl, qint16(-3));
    }

    void fileWithoutNumericLineLoadsNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("title line only") << kHeader + "\n";
        QTest::newRow("titles and words") << kHeader + "\n" + sampleLine({"a", "b"}) + "\n" + sampleLine({"1", "b"});
        QTest::newRow("19 fields") << QList<QByteArray>(19, "1").join('\t');
    }

    void fileWithoutNumericLineLoadsNothing()
    {
        QFETCH(QByteArray, bytes);
        Dive dive = diveBefore();
        CsvFile csv;
        QVERIFY(!csv.read(write(bytes), dive));
        verifyUnchanged(dive);
        QCOMPARE(csv.errorString(),
                 QStringLiteral("The file holds no sample: no line of 20 TAB-separated fields with a time and a depth"));
    }

    // A value that is not a finite number refuses the whole file, whichever
    // field it is in, and the reason names the line and the field.
    void nonFiniteValuesRefuseTheFile_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("name");
        const std::pair<int, const char*> columns[] = {{0, "the time"},        {1, "the depth"},
                                                       {3, "the temperature"}, {4, "the OTU"},
                                                       {5, "the CNS"},         {6, "the deco ceiling"},
                                                       {7, "the no-decompression time"}};
        for (const auto& [column, name] : columns) {
            for (const char* text : {"nan", "inf", "-inf", "1e999"})
                QTest::addRow("%s %s", name, text) << column << QByteArray(text) << QString::fromLatin1(name);
        }
    }

    void nonFiniteValuesRefuseTheFile()
    {
        QFETCH(int, column);
        QFETCH(QByteArray, text);
        QFETCH(QString, name);
        QList<QByteArray> fields(20, "2");
        fields[column] = text;
        const QByteArray bytes = kHeader + "\n" + sampleLine({"1", "1"}) + "\n" + fields.join('\t') + "\n";

        Dive dive = diveBefore();
        CsvFile csv;
        QVERIFY(!csv.read(write(bytes), dive));
        verifyUnchanged(dive);
        QCOMPARE(csv.errorString(), QStringLiteral("Line 3: %1 is not a finite number (%2)").arg(name, text));
    }

    // Finite but far beyond any dive: the analyses would overflow on them.
    void valuesBeyondAnyDiveRefuseTheFile_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("reason");
        QTest::newRow("depth") << 1 << "Sample 2: the depth 1e+308 is out of range.";
        QTest::newRow("time") << 0 << "Sample 2: the time 1e+308 is out of range.";
        QTest::newRow("ceiling") << 6 << "Sample 2: the deco ceiling 1e+308 is out of range.";
    }

    void valuesBeyondAnyDiveRefuseTheFile()
    {
        QFETCH(int, column);
        QFETCH(QString, reason);
        QList<QByteArray> fields(20, "2");
        fields[column] = "1e308";
        const QByteArray bytes = kHeader + "\n" + sampleLine({"1", "1"}) + "\n" + fields.join('\t') + "\n";

        Dive dive = diveBefore();
        CsvFile csv;
        QVERIFY(!csv.read(write(bytes), dive));
        verifyUnchanged(dive);
        QCOMPARE(csv.errorString(), reason);
    }

    // The window's road: the reason comes out of the import with the dive left alone.
    void reasonReachesTheImport()
    {
        Dive dive = diveBefore();
        QString reason;
        QVERIFY(!DiveAnalysis::importDiveFile(dive, write(sampleLine({"5", "inf"}), "dive.csv"), &reason));
        verifyUnchanged(dive);
        QCOMPARE(reason, QStringLiteral("Line 1: the depth is not a finite number (inf)"));
    }

    // What the import computes from the samples is finite too: samples a
    // hair apart have no speed rather than an infinite one.
    void samplesAHairApartHaveNoSpeed()
    {
        Dive dive;
        QString reason;
        const QByteArray bytes = sampleLine({"0", "0"}) + "\n" + sampleLine({"1e-320", "10"}) + "\n" +
                                 sampleLine({"60", "10"});
        QVERIFY(DiveAnalysis::importDiveFile(dive, write(bytes, "dive.csv"), &reason));
        QCOMPARE(dive.lines.size(), 3);
        for (const DiveLine& sample : std::as_const(dive.lines))
            QVERIFY(sample.hasFiniteValues());
        QCOMPARE(dive.lines.at(1).speed, 0.0);
    }

    // A file of one 8 MB line: its fields past the twentieth are dropped as
    // they come, and the file holds no sample. (Reading it used to grow with
    // the square of the line's length, seconds for a few megabytes; the CSV
    // benchmark prints its time beside loading the bytes.)
    void oneLongLineIsRefused()
    {
        const QByteArray field = "1.5\t";
        const QString path = write(field.repeated(8 * 1024 * 1024 / field.size()), QStringLiteral("long.txt"));
        Dive dive = diveBefore();
        CsvFile csv;
        QVERIFY(!csv.read(path, dive));
        verifyUnchanged(dive);
        QVERIFY2(csv.errorString().startsWith(QStringLiteral("The file holds no sample")), qPrintable(csv.errorString()));
    }

    // Random files: whatever the bytes, a read either loads finite samples or
    // refuses with a reason and leaves the dive alone.
    void randomInput()
    {
        QRandomGenerator random(20241214);
        const QByteArray tokens[] = {"0", "12.5", "-3", "1e1", "nan", "inf", "-inf", "1e999", "1e-999", "abc",
                                     "",  " 7 ",  "0x10", "1,5", "+4", "\xC3\xA9", "\xFF\xFE", "9999999999"};
        for (int file = 0; file < 400; ++file) {
            QByteArray bytes;
            if (file % 3 == 0)
                bytes = "\xEF\xBB\xBF";
            const int lines = random.bounded(0, 12);
            for (int l = 0; l < lines; ++l) {
                if (random.bounded(8) == 0) {
                    // Raw bytes, TABs and line ends included.
                    for (int b = random.bounded(0, 200); b > 0; --b)
                        bytes.append(char(random.bounded(256)));
                } else {
                    const int fields = random.bounded(4) == 0 ? random.bounded(0, 25) : 20;
                    QList<QByteArray> parts;
                    for (int f = 0; f < fields; ++f)
                        parts.append(tokens[random.bounded(int(std::size(tokens)))]);
                    bytes += parts.join('\t');
                }
                bytes += random.bounded(4) == 0 ? "\r\n" : "\n";
            }

            Dive dive = diveBefore();
            CsvFile csv;
            const QString path = write(bytes);
            if (csv.read(path, dive)) {
                QVERIFY(dive.lines.size() > 1);
                QCOMPARE(dive.name, QStringLiteral("dive"));
                for (const DiveLine& sample : std::as_const(dive.lines))
                    QVERIFY(sample.hasFiniteValues());
                QVERIFY(csv.errorString().isEmpty());
            } else {
                verifyUnchanged(dive);
                QVERIFY2(!csv.errorString().isEmpty(), bytes.toHex().constData());
            }
        }
    }
};

MAREVANE_TEST_MAIN(RepairTabImportTest)
#include "tst_repairtabimport.moc"

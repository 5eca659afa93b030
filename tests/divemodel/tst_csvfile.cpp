#include "testenvironment.h"

#include "divemodel/binaryfile.h"
#include "divemodel/csvfile.h"
#include "divemodel/csvseparator.h"
#include "divemodel/dive.h"
#include "divemodel/planificator.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QVariant>

Q_DECLARE_METATYPE(CsvSeparator)

namespace {

QString dataFile(const QString& name)
{
    return QStringLiteral(MAREVANE_DIVEMODEL_TEST_DATA "/") + name;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

DiveLine sample(double time, double depth, double ceiling, double temperature, quint16 battery, int gasIndex,
                quint8 alerts, quint16 tank, quint8 transmitters, double ppO2)
{
    DiveLine line;
    line.timeSec = time;
    line.depth = depth;
    line.decoCeiling = ceiling;
    line.ambientTemp = temperature;
    line.battery = battery;
    line.gasIndex = gasIndex;
    line.alertFlag = alerts;
    line.tankPressure = tank;
    line.alertFlagTransmitter = transmitters;
    line.ppO2 = ppO2;
    return line;
}

DiveGas namedGas(int o2, const QString& name)
{
    DiveGas gas;
    gas.setFractionO2(o2 / 100.0);
    gas.mName = name;
    return gas;
}

// The dive of the golden export: accents, alerts of both kinds, a ceiling
// below 0, gas indexes outside the list.
Dive goldenDive()
{
    Dive dive;
    dive.computerName = QStringLiteral("Plongeur Élodie");
    dive.name = QStringLiteral("Épave du Donator");
    dive.beginTime = 1700000000;
    dive.computerSerial = QStringLiteral("PX-0042");
    dive.diverMode = 1;
    dive.divemode = 0;
    dive.gasSet = 1280;
    dive.gfLow = 30;
    dive.gfHigh = 85;
    dive.density = 0;
    dive.surfacePressure = 1013;
    dive.alertsQuelm = (1u << 2) | (1u << 22);
    dive.maxDepth = 42.37;
    dive.maxTime = 3725.8;
    dive.avgDepth = 18.123456;
    dive.minTemperature = 12.5;
    dive.maxTemperature = 21;
    dive.firmwareVersion = QStringLiteral("3.1.4");
    dive.otu = 12.25f;
    dive.gases = {namedGas(21, QStringLiteral("Air fond")), namedGas(50, QStringLiteral("Nx50"))};

    DiveLine first = sample(0, 0, 0, 21, 3700, 0, 0, 200, 0, 0.21);
    DiveLine second = sample(10, 12.5, -2, 20.5, 3690, 1, 0x84, 195, 0x05, 0.4625);
    DiveLine third = sample(20, 30.25, 3.1, 18, 3680, 5, 0x6b, 0, 0x80, 1.0 / 3.0);
    for (DiveLine* line : {&first, &second, &third}) {
        line->gfLow = 30;
        line->gfHigh = 85;
    }
    dive.lines = {first, second, third, sample(30, 1e-7, 0, -1.5, 0, -1, 0, 0, 0x0f, 0)};
    return dive;
}

// Splits one exported line the way a spreadsheet reads it: separators inside
// quotes belong to the field, doubled quotes stand for one.
QStringList csvFields(const QString& line, QChar separator)
{
    QStringList fields(1);
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('"')) {
            if (quoted && i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"'))
                fields.last() += line.at(++i);
            else
                quoted = !quoted;
        } else if (c == separator && !quoted) {
            fields.append(QString());
        } else {
            fields.last() += c;
        }
    }
    return fields;
}

// The export's records, a quoted line break kept inside its record.
QStringList csvRecords(const QByteArray& bytes)
{
    QStringList records;
    QString current;
    bool quoted = false;
    for (const QChar c : QString::fromUtf8(bytes.mid(3))) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (c == QLatin1Char('\n') && !quoted) {
            records << current;
            current.clear();
        } else {
            current += c;
        }
    }
    return records;
}

} // namespace

class CsvFileTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;

    QByteArray exported(Dive dive, char separator, int frenchLocale)
    {
        CsvFile csv;
        csv.separator = separator;
        csv.frenchLocale = frenchLocale;
        const QString path = mDir.filePath(QStringLiteral("export.csv"));
        if (!csv.write(path, dive))
            return QByteArray();
        return fileBytes(path);
    }

private slots:
    void goldenExport()
    {
        const QByteArray bytes = exported(goldenDive(), ';', 0);
        QVERIFY(bytes.startsWith("\xef\xbb\xbf"));
        QCOMPARE(bytes, fileBytes(dataFile(QStringLiteral("golden.csv"))));
    }

    void exportWithoutSamplesWritesThreeLines()
    {
        Dive dive;
        const QStringList records = csvRecords(exported(dive, ',', 0));
        QCOMPARE(records.size(), 3);
        // No begin time, no alert, salt water and the default gradient factors.
        QCOMPARE(records.at(1), QStringLiteral(",,KRV-M,,,PLS OC,Air,GFlow80_GFhigh80,Salée,0,Aucune,0,00:00,0,0,0,,0"));
    }

    void frenchNumbers()
    {
        Dive dive = goldenDive();
        dive.density = 1;
        const QStringList records = csvRecords(exported(dive, ';', 1));
        const QStringList values = csvFields(records.at(1), QLatin1Char(';'));
        QCOMPARE(values.at(8), QStringLiteral("Douce"));
        QCOMPARE(values.at(9), QStringLiteral("1,013"));
        QCOMPARE(values.at(11), QStringLiteral("42,37"));
        QCOMPARE(values.at(17), QStringLiteral("12,25"));
        const QStringList second = csvFields(records.at(4), QLatin1Char(';'));
        QCOMPARE(second.at(2), QStringLiteral("12,5"));
        // No group separator in four-digit numbers.
        QCOMPARE(second.at(5), QStringLiteral("3690"));
        const QStringList last = csvFields(records.at(6), QLatin1Char(';'));
        QCOMPARE(last.at(4), QStringLiteral("-1,5"));
    }

    void fieldsHoldingTheSeparatorAreQuoted_data()
    {
        QTest::addColumn<char>("separator");
        QTest::addColumn<int>("frenchLocale");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("quotedName");
        QTest::addColumn<QString>("quotedDepth");

        QTest::newRow("comma in a name") << ',' << 0 << "Reef, north" << "\"Reef, north\"" << "42.37";
        QTest::newRow("quotes in a name") << ';' << 0 << "The \"Blue\" hole" << "\"The \"\"Blue\"\" hole\"" << "42.37";
        QTest::newRow("line break in a name") << ';' << 0 << "two\nlines" << "\"two\nlines\"" << "42.37";
        QTest::newRow("dot with decimal points") << '.' << 0 << "Reef" << "Reef" << "\"42.37\"";
        QTest::newRow("comma with decimal commas") << ',' << 1 << "Reef" << "Reef" << "\"42,37\"";
    }

    void fieldsHoldingTheSeparatorAreQuoted()
    {
        QFETCH(char, separator);
        QFETCH(int, frenchLocale);
        QFETCH(QString, name);
        Dive dive = goldenDive();
        dive.name = name;
        const QStringList records = csvRecords(exported(dive, separator, frenchLocale));
        QCOMPARE(records.size(), 7);
        QFETCH(QString, quotedName);
        QFETCH(QString, quotedDepth);
        QVERIFY2(records.at(1).contains(separator + quotedName + separator), qPrintable(records.at(1)));
        QVERIFY2(records.at(1).contains(separator + quotedDepth + separator), qPrintable(records.at(1)));
        // Every record keeps its columns.
        const QChar sep = QLatin1Char(separator);
        QCOMPARE(csvFields(records.at(0), sep).size(), 18);
        const QStringList values = csvFields(records.at(1), sep);
        QCOMPARE(values.size(), 18);
        QCOMPARE(values.at(1), name);
        for (qsizetype i = 2; i < records.size(); ++i)
            QCOMPARE(csvFields(records.at(i), sep).size(), 13);
    }

    void failedWritesAreReported()
    {
        Dive dive = goldenDive();
        CsvFile csv;
        if (QFile::exists(QStringLiteral("/dev/full")))
            QVERIFY(!csv.write(QStringLiteral("/dev/full"), dive));
        const QString missingFolder = mDir.filePath(QStringLiteral("missing/dive.csv"));
        QVERIFY(!csv.write(missingFolder, dive));
        QVERIFY(!QFile::exists(missingFolder));
    }

    void import()
    {
        Dive dive;
        dive.lines = {DiveLine()};
        dive.lines.first().timeSec = 1;
        dive.computerName = QStringLiteral("kept");
        CsvFile csv;
        QVERIFY(csv.read(dataFile(QStringLiteral("samples.import.txt")), dive));

        QCOMPARE(dive.name, QStringLiteral("samples.import"));
        QCOMPARE(dive.computerName, QStringLiteral("kept"));
        // The sample already there and one sample; the title line and the line
        // whose depth is "abc" have no numeric time and depth, and the 19-,
        // 21- and 0-field lines are skipped.
        QCOMPARE(dive.lines.size(), 2);
        QCOMPARE(dive.lines.at(0).timeSec, 1.0);

        const DiveLine& first = dive.lines.at(1);
        QCOMPARE(first.timeSec, 10.0);
        QCOMPARE(first.depth, 3.25);
        QCOMPARE(first.pressure, 0.0);
        QCOMPARE(first.ambientTemp, 19.5);
        QCOMPARE(first.otu, 0.5);
        QCOMPARE(first.cns, 1.25);
        QCOMPARE(first.decoCeiling, 0.0);
        QCOMPARE(first.ndl, qint16(12));
        QCOMPARE(first.gasIndex, -1);
    }

    void importWithoutSampleChangesNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing file") << mDir.filePath(QStringLiteral("absent.csv"));
        QTest::newRow("no 20-field line") << dataFile(QStringLiteral("nosample.txt"));
        QTest::newRow("empty file") << QStringLiteral("/dev/null");
    }

    void importWithoutSampleChangesNothing()
    {
        QFETCH(QString, path);
        Dive dive;
        dive.name = QStringLiteral("before");
        dive.lines = {DiveLine()};
        CsvFile csv;
        QVERIFY(!csv.read(path, dive));
        QCOMPARE(dive.name, QStringLiteral("before"));
        QCOMPARE(dive.lines.size(), 1);
    }

    void exportReadsBackThroughTheImportColumns()
    {
        // The export's numbers come back in the C locale they were written in.
        const QStringList records = csvRecords(exported(goldenDive(), ';', 0));
        QCOMPARE(csvFields(records.at(4), QLatin1Char(';')).at(2).toDouble(), 12.5);
    }

    void formatsBySuffix_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("readerFormat");
        QTest::addColumn<int>("writerFormat");

        QTest::newRow("upper-case csv") << "/dives/Dive.CSV" << 0 << 0 << 0;
        QTest::newRow("csv") << "dive.csv" << 0 << 0 << 0;
        QTest::newRow("uddf") << "dive.Uddf" << 1 << 1 << 1;
        QTest::newRow("binary") << "x.divebin" << 2 << 2 << -1;
        QTest::newRow("plan") << "x.DIVEPLAN" << 3 << 3 << 3;
        QTest::newRow("last suffix counts") << "dive.csv.bak" << 4 << -1 << -1;
        QTest::newRow("no suffix") << "dive" << 4 << -1 << -1;
        QTest::newRow("dot in the folder only") << "/dives.csv/dive" << 4 << -1 << -1;
        QTest::newRow("empty") << "" << 4 << -1 << -1;
    }

    void formatsBySuffix()
    {
        QFETCH(QString, path);
        QTEST(int(DiveLinesIO::getDiveFormatOfFile(path)), "format");
        const auto reader = DiveLinesIO::getReader(path);
        const auto writer = DiveLinesIO::getWriter(path);
        QTEST(reader ? int(reader->format()) : -1, "readerFormat");
        QTEST(writer ? int(writer->format()) : -1, "writerFormat");
    }

    void writersByFormat()
    {
        QCOMPARE(DiveLinesIO::getWriter(DiveFormat::Csv)->format(), DiveFormat::Csv);
        QCOMPARE(DiveLinesIO::getWriter(DiveFormat::Uddf)->format(), DiveFormat::Uddf);
        QCOMPARE(DiveLinesIO::getWriter(DiveFormat::Plan)->format(), DiveFormat::Plan);
        QVERIFY(!DiveLinesIO::getWriter(DiveFormat::Binary));
        QVERIFY(!DiveLinesIO::getWriter(DiveFormat::Unknown));

        const auto reader = DiveLinesIO::getReader(QStringLiteral("dive.csv"));
        const auto* csv = dynamic_cast<const CsvFile*>(reader.get());
        QVERIFY(csv);
        QCOMPARE(csv->separator, ',');
        QCOMPARE(csv->frenchLocale, 0);
    }

    // Formats whose readers and writers are still to come refuse and touch
    // neither the dive nor the file.
    void pendingFormatsRefuse()
    {
        BinaryFile binary;
        Planificator plan;
        const QString path = mDir.filePath(QStringLiteral("pending"));
        for (DiveLinesIO* io : std::initializer_list<DiveLinesIO*>{&binary, &plan}) {
            Dive dive = goldenDive();
            QVERIFY(!io->write(path, dive));
            QVERIFY(!io->read(path, dive));
            QBuffer buffer;
            buffer.open(QIODevice::ReadWrite);
            QDataStream stream(&buffer);
            QVERIFY(!io->write(stream, dive));
            QVERIFY(!io->read(stream, dive));
            QCOMPARE(buffer.size(), qint64(0));
            QCOMPARE(dive.name, goldenDive().name);
            QCOMPARE(dive.lines.size(), 4);
        }
        QVERIFY(!QFile::exists(path));
    }

    void separatorMapping_data()
    {
        QTest::addColumn<CsvSeparator>("separator");
        QTest::addColumn<char>("character");
        QTest::addColumn<int>("stored");
        QTest::newRow("comma") << CsvSeparator::Comma << ',' << 1;
        QTest::newRow("dot") << CsvSeparator::Dot << '.' << 0;
        QTest::newRow("semicolon") << CsvSeparator::Semicolon << ';' << 2;
    }

    void separatorMapping()
    {
        QFETCH(CsvSeparator, separator);
        QFETCH(int, stored);
        QTEST(csvSeparatorCharacter(separator), "character");
        QCOMPARE(csvSeparatorSettingValue(separator), stored);
        QCOMPARE(csvSeparatorFromSetting(QVariant(stored)), separator);
    }

    void separatorFromStoredSetting_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<CsvSeparator>("separator");
        QTest::newRow("missing") << QVariant() << CsvSeparator::Dot;
        QTest::newRow("0") << QVariant(0) << CsvSeparator::Dot;
        QTest::newRow("1 as text") << QVariant(QStringLiteral("1")) << CsvSeparator::Comma;
        QTest::newRow("2 as text") << QVariant(QStringLiteral("2")) << CsvSeparator::Semicolon;
        QTest::newRow("3") << QVariant(3) << CsvSeparator::Dot;
        QTest::newRow("not a number") << QVariant(QStringLiteral("semicolon")) << CsvSeparator::Dot;
    }

    void separatorFromStoredSetting()
    {
        QFETCH(QVariant, stored);
        QTEST(csvSeparatorFromSetting(stored), "separator");
    }
};

MAREVANE_TEST_MAIN(CsvFileTest)
#include "tst_csvfile.moc"

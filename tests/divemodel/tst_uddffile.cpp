#include "decimalcomma.h"
#include "diveprofiles.h"
#include "testenvironment.h"
#include "uddfdives.h"

#include "divemodel/diveanalysis.h"
#include "divemodel/dive.h"
#include "divemodel/uddffile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>

namespace {

// Central Europe by its POSIX rule: UTC+1 in winter, UTC+2 from the last
// Sunday of March to the last Sunday of October.
constexpr const char* kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";
constexpr qint64 kMarchMorning = 1709630430; // 5 March 2024 10:20:30 UTC+1
constexpr qint64 kJulyMorning = 1720945230;  // 14 July 2024 10:20:30 UTC+2

QString dataFile(const QString& name)
{
    return QStringLiteral(MAREVANE_DIVEMODEL_TEST_DATA "/") + name;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A document holding one dive with the given children, after the given
// gas definitions.
QByteArray uddfDocument(const QByteArray& diveChildren, const QByteArray& mixes = QByteArray())
{
    QByteArray document = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                          "<uddf version=\"3.2.3\" xmlns=\"http://www.streit.cc/uddf/3.2/\">";
    if (!mixes.isEmpty())
        document += "<gasdefinitions>" + mixes + "</gasdefinitions>";
    return document + "<profiledata><repetitiongroup><dive id=\"d\">" + diveChildren
           + "</dive></repetitiongroup></profiledata></uddf>";
}

// The samples of a dive, one waypoint per entry.
QByteArray samples(const QList<QByteArray>& waypoints)
{
    QByteArray text = "<samples>";
    for (const QByteArray& waypoint : waypoints)
        text += "<waypoint>" + waypoint + "</waypoint>";
    return text + "</samples>";
}

// A waypoint at a time and a depth, 10 °C.
QByteArray at(int seconds, const char* depth, const QByteArray& more = QByteArray())
{
    return "<depth>" + QByteArray(depth) + "</depth><divetime>" + QByteArray::number(seconds)
           + "</divetime><temperature>283.15</temperature>" + more;
}

// A dive no read may change.
Dive untouchableDive()
{
    Dive dive = testkit::mixedGasDive(kMarchMorning);
    dive.computerName = QStringLiteral("Owner");
    dive.format = int(DiveFormat::Csv);
    DiveAnalysis::calculateMaxTimeDepth(dive);
    return dive;
}

template<typename Value>
QList<Value> valuesOf(const Dive& dive, Value DiveLine::*field)
{
    QList<Value> values;
    for (const DiveLine& line : dive.lines)
        values.append(line.*field);
    return values;
}

} // namespace

// UDDF files: the writer, the reader and the two together.
class UddfFileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(mDir.isValid()); }

    void cleanup() { testkit::TestEnvironment::setTimeZone("UTC"); }

    void roundTrip_data()
    {
        QTest::addColumn<qint64>("beginTime");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("readName");
        QTest::newRow("winter time") << kMarchMorning << QString::fromUtf8("Épave du Nérée")
                                     << QString::fromUtf8("Épave du Nérée");
        QTest::newRow("summer time") << kJulyMorning << "Reef" << "Reef";
        QTest::newRow("no begin time, no name") << qint64(0) << QString() << "000000";
    }
    // Gases as the database gives them, without ids or names, come back with
    // every gas change; the circuit, the ceiling, the no-decompression times
    // and the begin time come back exactly.
    void roundTrip()
    {
        QFETCH(qint64, beginTime);
        QFETCH(QString, name);
        QFETCH(QString, readName);
        testkit::TestEnvironment::setTimeZone(kCentralEurope);
        Dive written = testkit::mixedGasDive(beginTime);
        written.name = name;
        const QString path = mDir.filePath("roundtrip.uddf");
        QVERIFY(UddfFile().write(path, written));

        Dive read;
        QVERIFY(DiveAnalysis::importDiveFile(read, path));
        QCOMPARE(read.format, int(DiveFormat::Uddf));
        QCOMPARE(read.name, readName);
        const QString difference = testkit::firstDifference(read, written);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(read.ceilingPoints.size(), 7);
        QCOMPARE(read.ceilingPoints.first().time, 320.0f);
    }

    void writerGolden()
    {
        Dive dive;
        dive.name = QStringLiteral("Golden");
        dive.beginTime = 1700000000;
        DiveGas bottom = testkit::storedGas(32, 0, 0);
        bottom.mName = QStringLiteral("Nx32 & co");
        dive.gases = {bottom, testkit::storedGas(10, 70, 1)};
        DiveLine first;
        first.timeSec = 0.9;
        first.depth = 1.25;
        first.ambientTemp = 18;
        first.gasIndex = 0;
        first.ndl = 45;
        DiveLine second = first;
        second.timeSec = 60;
        second.depth = 30.1;
        second.decoCeiling = 4.5;
        second.alertFlag = 0x84;
        second.ccr = true;
        second.gasIndex = 1;
        DiveLine third = first;
        third.timeSec = 120.5;
        third.depth = 0;
        third.ambientTemp = -1.5;
        third.ndl = 0;
        dive.lines = {first, second, third};

        const QString path = mDir.filePath("golden.uddf");
        QVERIFY(UddfFile().write(path, dive));
        QCOMPARE(QString::fromUtf8(fileBytes(path)), QString::fromUtf8(fileBytes(dataFile("golden.uddf"))));
    }

    void writerPlacesModeAndGas_data()
    {
        QTest::addColumn<bool>("withGases");
        QTest::addColumn<int>("modes");
        QTest::addColumn<int>("switches");
        QTest::newRow("no gases") << false << 1 << 0;
        QTest::newRow("one gas throughout") << true << 1 << 1;
    }
    // A constant dive says its circuit and gas once; a dive without gases
    // has neither definitions nor switches.
    void writerPlacesModeAndGas()
    {
        QFETCH(bool, withGases);
        QFETCH(int, modes);
        QFETCH(int, switches);
        Dive dive;
        for (int i = 0; i < 5; ++i) {
            DiveLine line;
            line.timeSec = 10 * i;
            line.depth = i % 4 == 0 ? 0 : 10;
            line.gasIndex = withGases ? 0 : -1;
            dive.lines.append(line);
        }
        if (withGases)
            dive.gases = {testkit::storedGas(21, 0, 0)};
        const QString path = mDir.filePath("constant.uddf");
        QVERIFY(UddfFile().write(path, dive));
        const QByteArray text = fileBytes(path);
        QCOMPARE(text.count("<gasdefinitions>"), withGases ? 1 : 0);
        QCOMPARE(text.count("<divemode"), modes);
        QCOMPARE(text.count("<switchmix"), switches);
        QVERIFY(text.indexOf("<divemode") < text.indexOf("</waypoint>"));
        if (withGases)
            QVERIFY(text.indexOf("<switchmix ref=\"OC1\"") < text.indexOf("</waypoint>"));
        QVERIFY(!text.contains("informationbeforedive"));
    }

    void writerRefusesAFolderThatIsNotThere()
    {
        Dive dive = testkit::mixedGasDive();
        QVERIFY(!UddfFile().write(mDir.filePath("no/such/folder/dive.uddf"), dive));
    }

    void readsDateAndTime_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qint64>("beginTime");
        QTest::newRow("winter") << QByteArray("2024-03-05T10:20:30Z") << kMarchMorning;
        QTest::newRow("summer") << QByteArray("2024-07-14T10:20:30Z") << kJulyMorning;
        QTest::newRow("no zone") << QByteArray("2024-07-14T10:20:30") << kJulyMorning;
        QTest::newRow("fraction of a second") << QByteArray("2024-07-14T10:20:30.250Z") << kJulyMorning;
        QTest::newRow("offset, not interpreted") << QByteArray("2024-07-14T10:20:30+05:00") << kJulyMorning;
        QTest::newRow("date only") << QByteArray("2024-07-14") << qint64(0);
        QTest::newRow("another layout") << QByteArray("14/07/2024 10:20:30") << qint64(0);
        QTest::newRow("no such day") << QByteArray("2024-02-30T10:20:30Z") << qint64(0);
        QTest::newRow("no such hour") << QByteArray("2024-07-14T24:20:30Z") << qint64(0);
        QTest::newRow("empty") << QByteArray() << qint64(0);
    }
    // The text is local time, whatever zone follows it; the C library knows
    // whether summer time applies.
    void readsDateAndTime()
    {
        QFETCH(QByteArray, text);
        QFETCH(qint64, beginTime);
        testkit::TestEnvironment::setTimeZone(kCentralEurope);
        const QString path = write("date.uddf",
                                   uddfDocument("<informationbeforedive><datetime>" + text
                                                + "</datetime></informationbeforedive>"
                                                + samples({at(0, "0"), at(10, "5"), at(20, "0")})));
        Dive dive;
        QVERIFY(DiveAnalysis::importDiveFile(dive, path));
        QCOMPARE(dive.beginTime, beginTime);
    }

    void readsSamples_data()
    {
        QTest::addColumn<QList<QByteArray>>("waypoints");
        QTest::addColumn<QList<QPointF>>("profile");
        QTest::newRow("first divetime 10")
            << QList<QByteArray>{at(10, "5"), at(20, "0")} << QList<QPointF>{{0, 0}, {10, 5}, {20, 0}};
        QTest::newRow("waypoint without depth")
            << QList<QByteArray>{"<divetime>0</divetime>", at(10, "12.5"), "<divetime>20</divetime>", at(30, "0")}
            << QList<QPointF>{{0, 0}, {10, 12.5}, {20, 12.5}, {30, 0}};
        QTest::newRow("last depth 3 m")
            << QList<QByteArray>{at(0, "0"), at(10, "3")} << QList<QPointF>{{0, 0}, {10, 3}, {10, 0}};
        QTest::newRow("waypoints without a time of 0 or more are skipped")
            << QList<QByteArray>{at(0, "0"), at(-5, "40"), "<depth>40</depth>", at(10, "0")}
            << QList<QPointF>{{0, 0}, {10, 0}};
        QTest::newRow("the deepest sea")
            << QList<QByteArray>{at(0, "0"), at(10, "11000"), at(20, "0")}
            << QList<QPointF>{{0, 0}, {10, 11000}, {20, 0}};
        QTest::newRow("times in whole seconds")
            << QList<QByteArray>{at(0, "0"), "<divetime> 10.9 </divetime><depth>+2.5e1</depth>", at(20, "0")}
            << QList<QPointF>{{0, 0}, {10, 25}, {20, 0}};
    }
    void readsSamples()
    {
        QFETCH(QList<QByteArray>, waypoints);
        QFETCH(QList<QPointF>, profile);
        Dive dive;
        QVERIFY(DiveAnalysis::importDiveFile(dive, write("samples.uddf", uddfDocument(samples(waypoints)))));
        QCOMPARE(testkit::profileOf(dive), profile);
    }

    // Every decimal reads as the nearest double, the same as the C library
    // gives in the C locale, however many digits it has.
    void decimalsReadExactly()
    {
        QRandomGenerator random(7);
        QList<QByteArray> waypoints;
        QList<double> expected;
        for (int i = 0; i < 3000; ++i) {
            const int digits = 1 + int(random.bounded(17));
            // Depths above the surface stay within the few metres a dive
            // can show there.
            const bool above = random.bounded(2);
            QByteArray text = QByteArray::number(random.generate64() % (above ? 10 : 10000));
            text += "." + QByteArray::number(random.generate64()).right(digits);
            if (above)
                text.prepend('-');
            waypoints.append(at(10 * i, text.constData()));
            expected.append(text.toDouble());
        }
        Dive dive;
        QVERIFY(UddfFile().read(write("decimals.uddf", uddfDocument(samples(waypoints))), dive));
        QCOMPARE(dive.lines.size(), expected.size() + 1);
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QVERIFY2(dive.lines.at(i).depth == expected.at(i),
                     qPrintable(QString::number(dive.lines.at(i).depth, 'g', 17)));
        }
    }

    // A waypoint without a temperature takes the one before it, 20 °C
    // before the first.
    void temperaturesCarryOver()
    {
        const QString path = write("temperatures.uddf",
                                   uddfDocument(samples({"<divetime>0</divetime><depth>0</depth>",
                                                         at(10, "5"), "<divetime>20</divetime><depth>0</depth>"})));
        Dive dive;
        QVERIFY(DiveAnalysis::importDiveFile(dive, path));
        const QList<double> temperatures = valuesOf(dive, &DiveLine::ambientTemp);
        QCOMPARE(temperatures.size(), 3);
        QCOMPARE(temperatures.at(0), 20.0);
        QVERIFY(std::abs(temperatures.at(1) - 10.0) < 1e-9);
        QCOMPARE(temperatures.at(2), temperatures.at(1));
    }

    // Ids name the class: "DIL" and "CC" a diluent, "BO" a bailout, anything
    // else open circuit; a switch to an unknown id keeps the gas in use.
    void readsGasesAndSwitches()
    {
        const QByteArray mixes = "<mix id=\"OC1\"><name>Air</name><o2>0.21</o2><he>0</he></mix>"
                                 "<mix id=\"CC2\"><o2>0.184</o2><he>0.446</he></mix>"
                                 "<mix id=\"BO3\"><name>Deco</name><o2>0.5</o2></mix>"
                                 "<mix id=\"DIL4\"><he>0.35</he></mix>"
                                 "<mix id=\"bottom\"><o2>0.02</o2><he>0</he></mix>";
        const QString path = write("gases.uddf",
                                   uddfDocument(samples({at(0, "0", "<switchmix ref=\"OC1\"/>"),
                                                         at(10, "20", "<divemode type=\"closedcircuit\"/>"
                                                                      "<switchmix ref=\"CC2\"/>"),
                                                         at(20, "20", "<switchmix ref=\"none\"/>"),
                                                         at(30, "6", "<divemode type=\"opencircuit\"/>"
                                                                     "<switchmix ref=\"BO3\"/>"),
                                                         at(40, "0")}),
                                                mixes));
        Dive dive;
        QVERIFY(DiveAnalysis::importDiveFile(dive, path));
        QCOMPARE(dive.gases.size(), 5);
        QCOMPARE(dive.gases.at(0).mName, QString("Air"));
        QCOMPARE(dive.gases.at(1).mId, QString("CC2"));
        QCOMPARE(dive.gases.at(1).fO2, 0.18f);
        QCOMPARE(dive.gases.at(1).fHe, 0.45f);
        QCOMPARE(dive.gases.at(2).fO2, 0.5f);
        // No oxygen given: 21 %.
        QCOMPARE(dive.gases.at(3).fO2, 0.21f);
        QCOMPARE(dive.gases.at(3).fHe, 0.35f);
        // An oxygen fraction too low to breathe leaves air.
        QCOMPARE(dive.gases.at(4).fO2, 0.21f);
        QCOMPARE(dive.gases.at(4).fHe, 0.0f);
        QList<int> classes;
        for (const DiveGas& gas : dive.gases)
            classes.append(gas.legacyGasClass());
        QCOMPARE(classes, (QList<int>{0, 1, 2, 1, 0}));
        QCOMPARE(valuesOf(dive, &DiveLine::gasIndex), (QList<qint32>{0, 1, 1, 2, 2}));
        QCOMPARE(valuesOf(dive, &DiveLine::ccr), (QList<bool>{false, true, true, false, false}));

        // Written back, the diluent read from "CC2" is a "DIL".
        const QString again = mDir.filePath("gases-again.uddf");
        QVERIFY(UddfFile().write(again, dive));
        const QByteArray text = fileBytes(again);
        QVERIFY(text.contains("<mix id=\"DIL2\">"));
        QVERIFY(text.contains("<switchmix ref=\"DIL2\" />"));
        QVERIFY(text.contains("<mix id=\"BO3\">"));
        QVERIFY(text.contains("<mix id=\"DIL4\">"));
    }

    // No-decompression times in whole minutes; a ceiling from the stop.
    void readsDecompression()
    {
        const QString path = write(
            "deco.uddf", uddfDocument(samples({at(0, "0", "<nodecotime>5940</nodecotime>"),
                                               at(10, "30", "<nodecotime>89</nodecotime>"),
                                               at(20, "30", "<decostop kind=\"mandatory\" decodepth=\"4.5\" "
                                                            "duration=\"60\"/><nodecotime>-60</nodecotime>"),
                                               at(30, "3", "<nodecotime>1966020</nodecotime>"),
                                               at(40, "0", "<nodecotime>90</nodecotime>")})));
        Dive dive;
        QVERIFY(DiveAnalysis::importDiveFile(dive, path));
        QCOMPARE(valuesOf(dive, &DiveLine::ndl), (QList<qint16>{99, 1, 0, 32767, 2}));
        QCOMPARE(valuesOf(dive, &DiveLine::decoCeiling), (QList<double>{0, 0, 4.5, 0, 0}));
        QCOMPARE(dive.ceilingPoints.size(), 2);
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("reason");
        const QByteArray good = samples({at(0, "0"), at(10, "5"), at(20, "0")});
        const auto waypoint2 = [](const QByteArray& children) {
            return uddfDocument(samples({at(0, "0"), children, at(20, "0")}));
        };
        QTest::newRow("no dive element")
            << QByteArray("<uddf version=\"3.2.3\"><profiledata><repetitiongroup/></profiledata></uddf>")
            << "The file holds no dive.";
        QTest::newRow("no waypoint") << uddfDocument("<samples/>") << "The dive holds no sample.";
        QTest::newRow("only waypoints without time")
            << uddfDocument(samples({"<depth>3</depth>"})) << "The dive holds no sample.";
        QTest::newRow("malformed XML") << uddfDocument(good).left(180)
                                       << "The file is not well-formed XML (at byte 179).";
        QTest::newRow("empty file") << QByteArray() << "The file is not a UDDF document.";
        QTest::newRow("another document") << QByteArray("<logbook><dive/></logbook>")
                                          << "The file is not a UDDF document.";
        QTest::newRow("nan depth") << waypoint2("<divetime>10</divetime><depth>nan</depth>")
                                   << "Waypoint 2: the depth \"nan\" is not a finite number.";
        QTest::newRow("infinite temperature")
            << waypoint2("<divetime>10</divetime><temperature>inf</temperature>")
            << "Waypoint 2: the temperature \"inf\" is not a finite number.";
        QTest::newRow("depth beyond a double") << waypoint2("<divetime>10</divetime><depth>1e999</depth>")
                                               << "Waypoint 2: the depth \"1e999\" is not a finite number.";
        QTest::newRow("infinite ceiling")
            << waypoint2("<divetime>10</divetime><decostop decodepth=\"-infinity\"/>")
            << "Waypoint 2: the decodepth \"-infinity\" is not a finite number.";
        QTest::newRow("cns not a number") << waypoint2("<divetime>10</divetime><cns>5 %</cns>")
                                          << "Waypoint 2: the cns \"5 %\" is not a finite number.";
        QTest::newRow("time not a number") << waypoint2("<divetime>1O</divetime>")
                                           << "Waypoint 2: the divetime \"1O\" is not a finite number.";
        QTest::newRow("decimal comma") << waypoint2("<divetime>10</divetime><depth>12,5</depth>")
                                       << "Waypoint 2: the depth \"12,5\" is not a finite number.";
        QTest::newRow("huge nodecotime")
            << waypoint2("<divetime>10</divetime><nodecotime>1966111</nodecotime>")
            << "Waypoint 2: the nodecotime \"1966111\" is out of range.";
        QTest::newRow("deeper than any sea") << waypoint2("<divetime>10</divetime><depth>-11000.5</depth>")
                                             << "Waypoint 2: the depth \"-11000.5\" is out of range.";
        QTest::newRow("ceiling deeper than any sea")
            << waypoint2("<divetime>10</divetime><decostop decodepth=\"1e300\"/>")
            << "Waypoint 2: the decodepth \"1e300\" is out of range.";
        QTest::newRow("huge temperature") << waypoint2("<divetime>10</divetime><temperature>2e6</temperature>")
                                          << "Waypoint 2: the temperature \"2e6\" is out of range.";
        QTest::newRow("huge divetime") << waypoint2("<divetime>99999999999999999999</divetime>")
                                       << "Waypoint 2: the divetime \"99999999999999999999\" is out of range.";
        QTest::newRow("oxygen not finite")
            << uddfDocument(good, "<mix id=\"OC1\"><o2>nan</o2></mix>")
            << "Mix \"OC1\": the o2 \"nan\" is not a finite number.";
        QTest::newRow("prefixed names")
            << QByteArray("<u:uddf xmlns:u=\"http://www.streit.cc/uddf/3.2/\" version=\"3.2.3\"><u:profiledata>"
                          "<u:repetitiongroup><u:dive id=\"d\"><u:samples><u:waypoint><u:depth>0</u:depth>"
                          "<u:divetime>0</u:divetime></u:waypoint></u:samples></u:dive></u:repetitiongroup>"
                          "</u:profiledata></u:uddf>")
            << "The file is not a UDDF document.";
    }
    // A refused file says why and changes nothing, whether read directly
    // or through the import.
    void refusals()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, reason);
        const QString path = write("refused.uddf", contents);
        const Dive before = untouchableDive();

        Dive dive = before;
        UddfFile reader;
        QVERIFY(!reader.read(path, dive));
        QCOMPARE(reader.errorString(), reason);
        QVERIFY(testkit::firstSampleDifference(dive, before).isEmpty());
        QCOMPARE(dive.gases.size(), before.gases.size());
        QCOMPARE(dive.name, before.name);
        QCOMPARE(dive.computerName, before.computerName);
        QCOMPARE(dive.beginTime, before.beginTime);
        QCOMPARE(dive.ceilingPoints.size(), before.ceilingPoints.size());

        QString importReason;
        QVERIFY(!DiveAnalysis::importDiveFile(dive, path, &importReason));
        QCOMPARE(importReason, reason);
        QVERIFY(testkit::firstSampleDifference(dive, before).isEmpty());
        QCOMPARE(dive.format, before.format);
        QCOMPARE(dive.maxDepth, before.maxDepth);
        QCOMPARE(dive.computerName, before.computerName);
    }

    // A file that cannot be opened gives no reason of its own.
    void missingFile()
    {
        Dive dive = untouchableDive();
        UddfFile reader;
        QVERIFY(!reader.read(mDir.filePath("missing.uddf"), dive));
        QVERIFY(reader.errorString().isEmpty());
        QCOMPARE(dive.lines.size(), untouchableDive().lines.size());
    }

    // A reader refuses after an earlier success, and succeeds after a
    // refusal with its reason cleared.
    void reasonBelongsToTheLastRead()
    {
        UddfFile reader;
        Dive dive;
        QVERIFY(!reader.read(write("bad.uddf", uddfDocument("<samples/>")), dive));
        QVERIFY(!reader.errorString().isEmpty());
        QVERIFY(reader.read(write("good.uddf", uddfDocument(samples({at(0, "0")}))), dive));
        QVERIFY(reader.errorString().isEmpty());
    }

    // The reader adds to the dive it is given: earlier gases keep their
    // places and switches find them.
    void readerAddsToTheDive()
    {
        Dive dive;
        DiveGas earlier;
        earlier.mId = QStringLiteral("OC9");
        dive.gases = {earlier};
        const QByteArray waypoints =
            samples({at(0, "0", "<switchmix ref=\"OC1\"/>"), at(10, "0", "<switchmix ref=\"OC9\"/>")});
        const QString path = write("adds.uddf", uddfDocument(waypoints, "<mix id=\"OC1\"><o2>0.32</o2></mix>"));
        QVERIFY(UddfFile().read(path, dive));
        QCOMPARE(dive.gases.size(), 2);
        QCOMPARE(valuesOf(dive, &DiveLine::gasIndex), (QList<qint32>{1, 0}));
    }

    void filesOfOtherPrograms_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<QPointF>>("profile");
        QTest::addColumn<QList<int>>("classes");
        QTest::addColumn<QList<qint32>>("gasIndices");
        QTest::addColumn<QList<bool>>("circuits");
        QTest::newRow("no namespace, version 3.0.0")
            << "other-nonamespace.uddf" << "dive1" << QList<QPointF>{{0, 0}, {30, 12.4}, {60, 0}} << QList<int>{0}
            << QList<qint32>{0, 0, 0} << QList<bool>{false, false, false};
        QTest::newRow("three mixes switched back and forth")
            << "other-threemixes.uddf" << "wall-dive"
            << QList<QPointF>{{0, 0}, {60, 40}, {120, 40}, {180, 21}, {240, 6}, {300, 21}, {360, 0}}
            << QList<int>{0, 0, 0} << QList<qint32>{0, 0, 0, 1, 2, 1, 0} << QList<bool>(7, false);
        QTest::newRow("closed circuit with set points, diluent and bailout")
            << "other-closedcircuit.uddf" << "loop-42"
            << QList<QPointF>{{0, 0}, {60, 30}, {120, 30}, {180, 15}, {240, 0}} << QList<int>{1, 2}
            << QList<qint32>{0, 0, 1, 1, 1} << QList<bool>{true, true, false, false, false};
        QTest::newRow("two dives: the first")
            << "other-twodives.uddf" << "morning" << QList<QPointF>{{0, 0}, {20, 8}, {40, 0}} << QList<int>{}
            << QList<qint32>{-1, -1, -1} << QList<bool>(3, false);
    }
    // Small files as other programs write them, with what this reader leaves
    // aside: set points, alarms, tank data, notes, a second dive.
    void filesOfOtherPrograms()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(QList<QPointF>, profile);
        QFETCH(QList<int>, classes);
        QFETCH(QList<qint32>, gasIndices);
        QFETCH(QList<bool>, circuits);
        Dive dive;
        QString reason;
        QVERIFY2(DiveAnalysis::importDiveFile(dive, dataFile(file), &reason), qPrintable(reason));
        QCOMPARE(dive.name, name);
        QCOMPARE(testkit::profileOf(dive), profile);
        QList<int> readClasses;
        for (const DiveGas& gas : dive.gases)
            readClasses.append(gas.legacyGasClass());
        QCOMPARE(readClasses, classes);
        QCOMPARE(valuesOf(dive, &DiveLine::gasIndex), gasIndices);
        QCOMPARE(valuesOf(dive, &DiveLine::ccr), circuits);
    }

    // The export of another program, with its own summary: the statistics
    // come from its samples.
    void realFile()
    {
        Dive dive;
        QVERIFY(DiveAnalysis::importDiveFile(dive, dataFile("logbook-export-oc.uddf")));
        checkRealFile(dive);
    }

    // Written and read again, the real file keeps its samples, gases and
    // switches.
    void realFileRoundTrip()
    {
        Dive dive;
        QVERIFY(DiveAnalysis::importDiveFile(dive, dataFile("logbook-export-oc.uddf")));
        const QString path = mDir.filePath("real-again.uddf");
        QVERIFY(UddfFile().write(path, dive));
        Dive again;
        QVERIFY(DiveAnalysis::importDiveFile(again, path));
        const QString difference = testkit::firstDifference(again, dive);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(again.name, dive.name);
        QCOMPARE(again.ceilingPoints.size(), dive.ceilingPoints.size());
    }

    // The C library's numbers follow the user's locale once Qt applied it;
    // the file and the dive read back stay those of the C locale.
    void decimalCommaLocale()
    {
        Dive dive = testkit::mixedGasDive(kJulyMorning);
        const QString cPath = mDir.filePath("c-locale.uddf");
        QVERIFY(UddfFile().write(cPath, dive));
        Dive cRead;
        QVERIFY(DiveAnalysis::importDiveFile(cRead, cPath));

        const testkit::DecimalCommaNumbers commas;
        if (!commas.isActive())
            QSKIP("a decimal-comma locale cannot be built or chosen here");
        const QString commaPath = mDir.filePath("comma-locale.uddf");
        QVERIFY(UddfFile().write(commaPath, dive));
        QCOMPARE(fileBytes(commaPath), fileBytes(cPath));
        Dive commaRead;
        QVERIFY(DiveAnalysis::importDiveFile(commaRead, commaPath));
        const QString difference = testkit::firstSampleDifference(commaRead, cRead);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(commaRead.gases.at(1).fHe, cRead.gases.at(1).fHe);

        Dive real;
        QVERIFY(DiveAnalysis::importDiveFile(real, dataFile("logbook-export-oc.uddf")));
        checkRealFile(real);
    }

private:
    static void checkRealFile(const Dive& dive)
    {
        QCOMPARE(dive.lines.size(), 464);
        QCOMPARE(dive.maxDepth, 32.8);
        const auto deepest = std::find_if(dive.lines.cbegin(), dive.lines.cend(),
                                          [](const DiveLine& line) { return line.isMaxDepth; });
        QVERIFY(deepest != dive.lines.cend());
        QCOMPARE(deepest->timeSec, 630.0);
        QCOMPARE(dive.maxTime, 2315.0);
        QVERIFY2(std::abs(dive.avgDepth - 16.5006) < 5e-5, qPrintable(QString::number(dive.avgDepth, 'g', 10)));
        for (const DiveLine& line : dive.lines) {
            QVERIFY(std::abs(line.ambientTemp - 8.0) < 1e-9);
            QCOMPARE(line.gasIndex, 0);
            QVERIFY(!line.ccr);
        }
        QCOMPARE(dive.gases.size(), 2);
        QCOMPARE(dive.gases.at(0).mId, QString("CC1:21/00"));
        QCOMPARE(dive.gases.at(0).mName, QString("CC1"));
        QCOMPARE(dive.gases.at(0).legacyGasClass(), 1);
        QCOMPARE(dive.gases.at(1).mId, QString("OC1:21/00"));
        QCOMPARE(dive.gases.at(1).mName, QString("OC1"));
        QCOMPARE(dive.gases.at(1).legacyGasClass(), 0);
        for (const DiveGas& gas : dive.gases) {
            QCOMPARE(gas.fO2, 0.21f);
            QCOMPARE(gas.fHe, 0.0f);
        }
        QCOMPARE(std::count_if(dive.lines.cbegin(), dive.lines.cend(),
                               [](const DiveLine& line) { return line.decoCeiling == 3.0; }),
                 65);
        QCOMPARE(std::count_if(dive.lines.cbegin(), dive.lines.cend(),
                               [](const DiveLine& line) { return line.decoCeiling != 0.0 && line.decoCeiling != 3.0; }),
                 0);
        QCOMPARE(dive.ceilingPoints.size(), 66);
        QCOMPARE(std::count_if(dive.lines.cbegin(), dive.lines.cend(),
                               [](const DiveLine& line) { return line.ndl == 99; }),
                 221);
        QCOMPARE(dive.name, QString("623206991733066640"));
        const QString text = QString::fromUtf8(fileBytes(dataFile("logbook-export-oc.uddf")));
        const QRegularExpression computer("<divecomputer[^>]*>\\s*<name>([^<]+)</name>");
        const QRegularExpression serial("<serialnumber>([^<]+)</serialnumber>");
        QVERIFY(!computer.match(text).captured(1).isEmpty());
        QCOMPARE(dive.computerName, computer.match(text).captured(1));
        QVERIFY(!serial.match(text).captured(1).isEmpty());
        QCOMPARE(dive.computerSerial, serial.match(text).captured(1));
        QCOMPARE(dive.beginTime, qint64(1733066640));
        QCOMPARE(dive.format, int(DiveFormat::Uddf));
    }

    QString write(const QString& name, const QByteArray& contents)
    {
        return testkit::writeTestFile(mDir.filePath(name), contents);
    }

    QTemporaryDir mDir;
};

MAREVANE_TEST_MAIN(UddfFileTest)
#include "tst_uddffile.moc"

// The dive's JSON form: what a round trip keeps and loses, what missing keys
// read as, the widths of the fields, and the one-way export object.

#include "diveprofiles.h"
#include "jsondives.h"
#include "testenvironment.h"

#include "divemodel/dive.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

QJsonObject parsed(const char* json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("bad test JSON %s: %s", json, qPrintable(error.errorString()));
    return document.object();
}

// A dive object with the dive's keys that fromJson needs to overwrite the
// header's, and the given header object.
QJsonObject diveWithHeader(const QJsonObject& header)
{
    QJsonObject object = parsed("{}");
    object.insert("header", header);
    return object;
}

// The values of a dive that reading its JSON form does not set: as they
// were before, or reset to what a read always gives.
void verifyLosses(const Dive& read, const Dive& before)
{
    QVERIFY(read.decoLines.isEmpty());
    QVERIFY(read.ceilTrackingLines.isEmpty());
    QVERIFY(read.stopLines.isEmpty());
    QVERIFY(read.ceilingPoints.isEmpty());
    QVERIFY(read.yoyoMarks.isEmpty());
    QCOMPARE(read.invalidReason, 0);
    QCOMPARE(read.dtrStartIndex, -1);
    QCOMPARE(read.decoNotTerminated, false);
    QCOMPARE(read.uploaded, before.uploaded);
    QCOMPARE(read.ocdivemode, before.ocdivemode);
    QCOMPARE(read.minTankPressure, before.minTankPressure);
    QCOMPARE(read.maxTankPressure, before.maxTankPressure);
    QCOMPARE(read.reservedBlock[0], before.reservedBlock[0]);
    for (const DiveLine& line : read.lines) {
        QCOMPARE(line.isMaxDepth, false);
        QCOMPARE(line.pelavixAlerts, quint16(0));
        QCOMPARE(line.pelavixAlerts2, quint16(0));
        QCOMPARE(line.tankPressureTxIndex, quint8(255));
    }
}

} // namespace

class DiveJsonTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { testkit::TestEnvironment::setTimeZone("UTC"); }

    // Through the object and through its text: every kept field comes back,
    // whatever the dive held before.
    void roundTripKeepsTheDive_data()
    {
        QTest::addColumn<bool>("throughText");
        QTest::addColumn<bool>("ontoFilledDive");
        QTest::newRow("object, new dive") << false << false;
        QTest::newRow("text, new dive") << true << false;
        QTest::newRow("object, over another dive") << false << true;
    }
    void roundTripKeepsTheDive()
    {
        QFETCH(bool, throughText);
        QFETCH(bool, ontoFilledDive);
        const Dive written = testkit::everyFieldDive();
        QJsonObject object = written.toJson();
        if (throughText)
            object = QJsonDocument::fromJson(QJsonDocument(object).toJson(QJsonDocument::Compact)).object();

        Dive read;
        if (ontoFilledDive) {
            read = testkit::everyFieldDive(9);
            read.lines.first().depth = 99.0;
            read.gases.removeLast();
            read.ocdivemode = 3;
            read.maxTankPressure = 7;
        }
        const Dive before = read;
        read.fromJson(object);

        const QString difference = testkit::jsonFormDifference(read, written);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        verifyLosses(read, before);
    }

    // The keys other programs read, and the values of those that are not
    // the field as it stands.
    void keysOfTheObjects()
    {
        const QJsonObject object = testkit::everyFieldDive().toJson();
        QStringList diveKeys{"header", "name", "computerModel", "computerName", "computerManufacturer",
                             "computerSerial", "firmwareVersion", "format", "lines", "gases", "divemode", "density",
                             "samplePeriod", "pSurf", "gfLow", "gfHigh", "otu", "alertsQuelm", "alertsPelavix",
                             "alertsAI", "place", "site", "buddy", "notes", "maxTime", "maxDepth", "averageDepth",
                             "minTemperature", "maxTemperature", "ascentTime", "totalStageDuration", "diverMode",
                             "gasSet"};
        diveKeys.sort();
        QCOMPARE(object.keys(), diveKeys);
        QStringList headerKeys{"diveNumber", "computerModel", "beginTime", "endTime", "maxDepth", "avgDepth",
                               "samplePeriod", "sampleCount", "divemode", "surfacePressure", "density", "gfLow",
                               "gfHigh", "deepestStop", "cnsBegin", "cnsMax", "ndl", "totalDecoTime", "ascentTime",
                               "desatTime", "diverN2", "diverHe", "gasEnabled", "gasPO2", "gasPHe", "activeGas",
                               "activeGasSetPoint", "setpointEnabled", "setpoint", "alertFlags", "alertFlags16",
                               "minTemperature", "maxTemperature", "pO2Min", "pO2Max", "otu", "iss", "buddy",
                               "diveSite", "notes"};
        headerKeys.sort();
        const QJsonObject header = object.value("header").toObject();
        QCOMPARE(header.keys(), headerKeys);
        QStringList lineKeys{"timeSec", "depth", "pressure", "speed", "ambientTemp", "decoCeiling", "ndl",
                             "gradientFactor", "otu", "cns", "ppO2", "gasIndex", "setpointIndex", "ccr", "alertFlag",
                             "alertFlagTransmitter", "battery", "tankPressure", "gfLow", "gfHigh", "tag"};
        lineKeys.sort();
        QCOMPARE(object.value("lines").toArray().at(0).toObject().keys(), lineKeys);
        const QJsonObject gas = object.value("gases").toArray().at(0).toObject();
        QCOMPARE(gas.keys(), QStringList({"color", "gasClass", "he", "mId", "mName", "maxPpO2", "o2"}));

        QCOMPARE(object.value("pSurf").toDouble(), 1.021);
        QCOMPARE(object.value("averageDepth").toDouble(), 18.5);
        QCOMPARE(object.value("totalStageDuration").toDouble(), 720.5);
        QCOMPARE(header.value("diveSite").toString(), QString("La Gabinière"));
        QCOMPARE(header.value("diverN2").toArray().size(), 16);
        QCOMPARE(header.value("gasPHe").toArray().size(), 12);
        QCOMPARE(object.value("lines").toArray().at(0).toObject().value("ccr"), QJsonValue(true));
        QCOMPARE(gas.value("o2").toInt(), 32);
        QCOMPARE(gas.value("color").toInteger(), qint64(0x80ff2010));
    }

    // `{}` reads as a new dive of the form's defaults, over whatever the dive
    // held; what the form does not carry stays.
    void emptyObjectGivesTheDefaults()
    {
        Dive dive = testkit::everyFieldDive();
        const Dive before = dive;
        dive.fromJson(QJsonObject());
        QCOMPARE(dive.surfacePressure, quint16(1013));
        QCOMPARE(dive.gfLow, quint8(80));
        QCOMPARE(dive.gfHigh, quint8(80));
        QCOMPARE(dive.gasSet, quint16(1));
        QCOMPARE(dive.format, 4);
        QCOMPARE(dive.diverMode, quint8(0));
        QCOMPARE(dive.samplePeriod, quint8(5));
        QCOMPARE(dive.beginTime, qint64(0));
        QCOMPARE(dive.diverN2[15], quint16(0));
        QCOMPARE(dive.maxTime, 0.0);
        QCOMPARE(dive.name, QString());
        QCOMPARE(dive.site, QString());
        QVERIFY(dive.lines.isEmpty());
        QVERIFY(dive.gases.isEmpty());
        verifyLosses(dive, before);
    }

    // The header writes its site as "diveSite"; an object of an older
    // writer carries "site".
    void headerSite_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("site");
        QTest::newRow("diveSite") << QByteArray(R"({"diveSite": "Sec"})") << "Sec";
        QTest::newRow("site") << QByteArray(R"({"site": "Tombant"})") << "Tombant";
        QTest::newRow("both") << QByteArray(R"({"site": "Tombant", "diveSite": "Sec"})") << "Sec";
        QTest::newRow("none") << QByteArray("{}") << "";
    }
    void headerSite()
    {
        QFETCH(QByteArray, json);
        DiveHeader header;
        header.site = "before";
        header.fromJson(parsed(json));
        QTEST(header.site, "site");
    }

    void headerObjectAloneRoundTrips()
    {
        const Dive written = testkit::everyFieldDive();
        DiveHeader read;
        read.place = "kept";
        read.ocdivemode = 9;
        read.fromJson(written.DiveHeader::toJson());
        const QString difference = testkit::headerDifference(read, written);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(read.site, QString("La Gabinière"));
        QCOMPARE(read.place, QString("kept"));
        QCOMPARE(read.ocdivemode, quint8(9));
        // Inside a dive object the dive's own site wins.
        QJsonObject object = diveWithHeader(written.DiveHeader::toJson());
        object.insert("site", "Plateau");
        Dive dive;
        dive.fromJson(object);
        QCOMPARE(dive.site, QString("Plateau"));
    }

    void sampleObjectLeavesWhatItDoesNotCarry()
    {
        DiveLine line = testkit::everyFieldLine(3);
        line.pelavixAlerts = 0x0400;
        line.tankPressureTxIndex = 1;
        line.fromJson(parsed(R"({"depth": 12.5})"));
        QCOMPARE(line.depth, 12.5);
        QCOMPARE(line.timeSec, 0.0);
        QCOMPARE(line.gasIndex, -1);
        QCOMPARE(line.ccr, false);
        QCOMPARE(line.isMaxDepth, false);
        QCOMPARE(line.pelavixAlerts, quint16(0x0400));
        QCOMPARE(line.tankPressureTxIndex, quint8(1));
    }

    void gasObjects_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<float>("o2");
        QTest::addColumn<float>("he");
        QTest::addColumn<float>("maxPpO2");
        QTest::addColumn<quint32>("color");
        QTest::addColumn<int>("gasClass");
        QTest::newRow("empty") << QByteArray("{}") << 0.21f << 0.0f << 1.6f << 0xffffffu << 0;
        QTest::newRow("o2 3 is ignored") << QByteArray(R"({"o2": 3})") << 0.21f << 0.0f << 1.6f << 0xffffffu << 0;
        QTest::newRow("color null") << QByteArray(R"({"color": null})") << 0.21f << 0.0f << 1.6f << 0xffffffu << 0;
        QTest::newRow("color 0") << QByteArray(R"({"color": 0})") << 0.21f << 0.0f << 1.6f << 0u << 0;
        QTest::newRow("maxPpO2 0") << QByteArray(R"({"maxPpO2": 0})") << 0.21f << 0.0f << 1.6f << 0xffffffu << 0;
        QTest::newRow("trimix diluent")
            << QByteArray(R"({"o2": 18, "he": 45, "maxPpO2": 1.3, "color": 4278190335, "gasClass": 1})") << 0.18f
            << 0.45f << 1.3f << 0xff0000ffu << 1;
        // Helium is set after oxygen, within what is left.
        QTest::newRow("helium beyond oxygen") << QByteArray(R"({"o2": 60, "he": 50})") << 0.6f << 0.0f << 1.6f
                                              << 0xffffffu << 0;
    }
    void gasObjects()
    {
        QFETCH(QByteArray, json);
        DiveGas gas;
        gas.fromJson(parsed(json));
        QTEST(gas.fO2, "o2");
        QTEST(gas.fHe, "he");
        QTEST(gas.pO2Max, "maxPpO2");
        QTEST(gas.color, "color");
        QTEST(gas.legacyGasClass(), "gasClass");
    }

    void gasPercentsAreRounded()
    {
        DiveGas gas;
        gas.setFractionO2(0.324);
        gas.setFractionHe(0.355);
        const QJsonObject object = gas.toJson();
        QCOMPARE(object.value("o2").toInt(), 32);
        QCOMPARE(object.value("he").toInt(), 36);
        DiveGas read;
        read.fromJson(object);
        QCOMPARE(read.fO2, 0.32f);
        QCOMPARE(read.fHe, 0.36f);
    }

    void fieldWidths()
    {
        Dive dive = testkit::everyFieldDive();
        const QJsonObject header = parsed(R"({
            "beginTime": 2208988800, "alertFlags": 4294967295, "sampleCount": 4294967295,
            "diverN2": [1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20],
            "diverHe": [7,8,9,10],
            "gasPO2": "not an array",
            "diveNumber": 70000, "gfLow": 2.5
        })");
        QJsonObject object = diveWithHeader(header);
        object.insert("alertsPelavix", 0x1234567);
        object.insert("alertsQuelm", qint64(0xffffffff));
        dive.fromJson(object);
        QCOMPARE(dive.beginTime, qint64(2208988800));
        QCOMPARE(dive.alertFlags, 0xffffffffu);
        QCOMPARE(dive.sampleCount, 0xffffffffu);
        QCOMPARE(quint32(dive.alertsPelavix), 0x234567u);
        QCOMPARE(dive.alertsQuelm, 0xffffffffu);
        QCOMPARE(dive.diverN2[0], quint16(1));
        QCOMPARE(dive.diverN2[15], quint16(16));
        QCOMPARE(dive.diverHe[3], quint16(10));
        QCOMPARE(dive.diverHe[4], quint16(0));
        QCOMPARE(dive.diverHe[15], quint16(0));
        QCOMPARE(dive.gasPO2[0], quint8(0));
        // Read as a 32-bit integer, then narrowed to the 16-bit field.
        QCOMPARE(dive.diveNumber, quint16(70000 - 65536));

        DiveLine line;
        line.fromJson(parsed(R"({"ndl": -12, "battery": 65535, "tag": -3})"));
        QCOMPARE(line.ndl, qint16(-12));
        QCOMPARE(line.battery, quint16(65535));
        QCOMPARE(line.tag, -3);
    }

    // The surface pressure in bar becomes millibar; one the 16-bit field
    // cannot hold reads as a missing one.
    void surfacePressure_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("millibar");
        QTest::newRow("missing") << QByteArray("{}") << 1013;
        QTest::newRow("1.021") << QByteArray(R"({"pSurf": 1.021})") << 1021;
        QTest::newRow("0.7004") << QByteArray(R"({"pSurf": 0.7004})") << 700;
        QTest::newRow("65.535") << QByteArray(R"({"pSurf": 65.535})") << 65535;
        QTest::newRow("70") << QByteArray(R"({"pSurf": 70})") << 1013;
        QTest::newRow("1e300") << QByteArray(R"({"pSurf": 1e300})") << 1013;
        QTest::newRow("negative") << QByteArray(R"({"pSurf": -1})") << 1013;
        QTest::newRow("text") << QByteArray(R"({"pSurf": "1.2"})") << 1013;
    }
    void surfacePressure()
    {
        QFETCH(QByteArray, json);
        Dive dive;
        dive.surfacePressure = 999;
        QJsonObject object = parsed(json);
        object.insert("header", QJsonObject{{"surfacePressure", 980}});
        dive.fromJson(object);
        QTEST(int(dive.surfacePressure), "millibar");
    }

    void exportObject()
    {
        testkit::TestEnvironment::setTimeZone("Europe/Paris");
        Dive dive;
        dive.beginTime = 1720945230; // 2024-07-14 08:20:30 UTC
        dive.endTime = dive.beginTime + 3725;
        dive.maxDepth = 32.125;
        dive.surfacePressure = 1008;
        dive.divemode = 2;
        dive.lines = {testkit::everyFieldLine(0), testkit::everyFieldLine(1)};
        dive.lines[1].ambientTemp = 0.0;
        dive.lines[1].ppO2 = 0.0;
        const QJsonObject object = dive.toSubsurfaceJson();
        QCOMPARE(object.value("date").toString(), QString("2024-07-14"));
        QCOMPARE(object.value("time").toString(), QString("10:20:30"));
        QCOMPARE(object.value("duration").toInteger(), qint64(3725));
        QCOMPARE(object.value("maxdepth").toDouble(), 32125.0);
        QCOMPARE(object.value("maxDepth_m").toDouble(), 32.125);
        QCOMPARE(object.value("atmosphericPressure_bar").toDouble(), 1.008);
        QCOMPARE(object.value("samples").toArray(),
                 QJsonArray({QJsonArray{0.5, 1250.0, 0, 0}, QJsonArray{10.5, 4250.0, 0, 0}}));
        const QJsonArray computerSamples = object.value("samplesDC").toArray();
        QCOMPARE(computerSamples.at(0).toObject(),
                 QJsonObject({{"time_s", 0.5}, {"depth_m", 1.25}, {"temperature_c", 18.75},
                              {"partialPressureO2_bar", 0.21}, {"setPoint_bar", 0.21}}));
        QCOMPARE(computerSamples.at(1).toObject(), QJsonObject({{"time_s", 10.5}, {"depth_m", 4.25}}));
        QCOMPARE(object.value("meanTemperature").toDouble(), 18.75);
        const QJsonArray computers{QJsonObject{{"model", "Unknown"}}};
        QCOMPARE(object.value("divecomputers").toArray(), computers);
        QVERIFY(!object.contains("notes"));
        QVERIFY(!object.contains("location"));

        // Open circuit carries no oxygen pressure.
        dive.divemode = 0;
        QVERIFY(!dive.toSubsurfaceJson().value("samplesDC").toArray().at(0).toObject().contains("setPoint_bar"));
    }

    void exportDuration_data()
    {
        QTest::addColumn<qint64>("begin");
        QTest::addColumn<qint64>("end");
        QTest::addColumn<QList<double>>("times");
        QTest::addColumn<qint64>("duration");
        QTest::newRow("end after begin") << qint64(1000) << qint64(4600) << QList<double>{0, 3599.9} << qint64(3600);
        QTest::newRow("no end: last sample") << qint64(1000) << qint64(1000) << QList<double>{0, 3599.9}
                                             << qint64(3599);
        QTest::newRow("no end, no sample") << qint64(1000) << qint64(0) << QList<double>{} << qint64(0);
    }
    void exportDuration()
    {
        QFETCH(qint64, begin);
        QFETCH(qint64, end);
        QFETCH(QList<double>, times);
        Dive dive;
        dive.beginTime = begin;
        dive.endTime = end;
        for (const double time : times)
            dive.lines.append(testkit::diveLine(time, 5.0));
        QTEST(dive.toSubsurfaceJson().value("duration").toInteger(), "duration");
    }

    void exportSalinity_data()
    {
        QTest::addColumn<int>("density");
        QTest::addColumn<double>("salinity");
        QTest::newRow("salt") << 0 << 1030.0;
        QTest::newRow("fresh") << 1 << 1000.0;
        QTest::newRow("other fresh") << 7 << 1000.0;
    }
    void exportSalinity()
    {
        Dive dive;
        QFETCH(int, density);
        dive.density = quint8(density);
        QTEST(dive.toSubsurfaceJson().value("salinity").toDouble(), "salinity");
    }

    void exportMeanTemperature_data()
    {
        QTest::addColumn<QList<double>>("temperatures");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<QJsonValue>("mean");
        QTest::newRow("samples, zeros left out") << QList<double>{0, 14, 16, 0} << 10.0 << 30.0 << QJsonValue(15.0);
        QTest::newRow("no sample temperature: the range") << QList<double>{0, 0} << 10.0 << 20.0 << QJsonValue(15.0);
        QTest::newRow("only a maximum") << QList<double>{} << 0.0 << 9.0 << QJsonValue(4.5);
        QTest::newRow("none") << QList<double>{0} << 0.0 << 0.0 << QJsonValue(QJsonValue::Undefined);
    }
    void exportMeanTemperature()
    {
        QFETCH(QList<double>, temperatures);
        Dive dive;
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        dive.minTemperature = minimum;
        dive.maxTemperature = maximum;
        for (const double temperature : temperatures)
            dive.lines.emplaceBack().ambientTemp = temperature;
        QTEST(dive.toSubsurfaceJson().value("meanTemperature"), "mean");
    }

    void exportModelAndLocation_data()
    {
        QTest::addColumn<QString>("computerName");
        QTest::addColumn<int>("computerModel");
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("site");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QJsonValue>("location");
        QTest::newRow("named computer, place") << "Owner" << 2 << "Port-Cros" << "Gabinière" << "Owner"
                                               << QJsonValue("Port-Cros");
        QTest::newRow("Quelm, site only") << "" << 1 << "" << "Gabinière" << "Quelm" << QJsonValue("Gabinière");
        QTest::newRow("Pelavix") << "" << 2 << "" << "" << "Pelavix" << QJsonValue(QJsonValue::Undefined);
        QTest::newRow("another maker") << "" << 4 << "" << "" << "ThirdParty" << QJsonValue(QJsonValue::Undefined);
        QTest::newRow("model 3") << "" << 3 << "" << "" << "Unknown" << QJsonValue(QJsonValue::Undefined);
    }
    void exportModelAndLocation()
    {
        QFETCH(QString, computerName);
        QFETCH(int, computerModel);
        QFETCH(QString, place);
        QFETCH(QString, site);
        Dive dive;
        dive.computerName = computerName;
        dive.computerModel = computerModel;
        dive.place = place;
        dive.site = site;
        dive.notes = "Mérous";
        const QJsonObject object = dive.toSubsurfaceJson();
        QTEST(object.value("divecomputers").toArray().at(0).toObject().value("model").toString(), "model");
        QTEST(object.value("location"), "location");
        QCOMPARE(object.value("notes").toString(), QString("Mérous"));
    }
};

MAREVANE_TEST_MAIN(DiveJsonTest)
#include "tst_divejson.moc"

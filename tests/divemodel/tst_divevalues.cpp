#include "testenvironment.h"

#include "divemodel/dive.h"

#include <limits>

Q_DECLARE_METATYPE(QuelmAlertType)
Q_DECLARE_METATYPE(PelavixAlertType)
Q_DECLARE_METATYPE(DiveGas)

namespace {

DiveLine sample(double time, double ceiling, quint16 tank)
{
    DiveLine line;
    line.timeSec = time;
    line.decoCeiling = ceiling;
    line.tankPressure = tank;
    return line;
}

DiveGas diveGas(float o2Percent, float hePercent, const QString& name = QString())
{
    DiveGas gas;
    static_cast<divecore::Gas&>(gas) = divecore::Gas(o2Percent, hePercent);
    gas.mName = name;
    return gas;
}

// A dive with every field away from its default.
Dive filledDive()
{
    Dive dive;
    dive.diveNumber = 12;
    dive.computerModel = 2;
    dive.beginTime = 1000;
    dive.endTime = 4000;
    dive.maxDepth = 30;
    dive.samplePeriod = 2;
    dive.ocdivemode = 0;
    dive.gfLow = 30;
    dive.diverN2[15] = 7;
    dive.reservedBlock[48] = 1;
    dive.place = "Port";
    dive.buddy = "Ana";
    dive.site = "Wreck";
    dive.notes = "Cold";
    dive.name = "Morning";
    dive.computerName = "Owner";
    dive.computerManufacturer = "Maker";
    dive.computerSerial = "S1";
    dive.firmwareVersion = "1.2";
    dive.format = 0;
    dive.lines = {sample(0, 0, 0), sample(10, 0, 0)};
    dive.decoLines = {sample(20, 0, 0)};
    dive.ceilTrackingLines = {sample(20, 0, 0)};
    dive.stopLines = {sample(20, 0, 0)};
    dive.gases = {diveGas(32, 0)};
    dive.alertsQuelm = 0xffffffff;
    dive.alertsPelavix = 0xabcdef;
    dive.alertsAI = 3;
    dive.uploaded = 1;
    dive.maxTime = 10;
    dive.invalidReason = 3;
    dive.dtrStartIndex = 1;
    dive.ceilingPoints = {CeilPoint{1, 2, 0}};
    dive.decoNotTerminated = true;
    dive.yoyoMarks = {CeilPoint{1, 2, 3}};
    dive.diverMode = 0;
    dive.gasSet = 1280;
    return dive;
}

} // namespace

class DiveValuesTest : public QObject
{
    Q_OBJECT

private slots:
    void quelmAlertFields_data()
    {
        QTest::addColumn<QuelmAlertType>("type");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("read");

        QTest::newRow("D24H set") << QuelmAlertType::D24H << 0x00 << 1 << 0x80 << 1;
        QTest::newRow("D24H masked to one bit") << QuelmAlertType::D24H << 0x00 << 2 << 0x00 << 0;
        QTest::newRow("Effort cleared, neighbours kept") << QuelmAlertType::Effort << 0xff << 0 << 0xbf << 0;
        QTest::newRow("Yoyo level 2") << QuelmAlertType::Yoyo << 0x00 << 2 << 0x20 << 2;
        QTest::newRow("Yoyo level 3 among others") << QuelmAlertType::Yoyo << 0xcf << 3 << 0xff << 3;
        QTest::newRow("Yoyo 5 masked to 1") << QuelmAlertType::Yoyo << 0x00 << 5 << 0x10 << 1;
        QTest::newRow("Pmax") << QuelmAlertType::Pmax << 0xf7 << 1 << 0xff << 1;
        QTest::newRow("RR") << QuelmAlertType::RR << 0x00 << 1 << 0x04 << 1;
        QTest::newRow("RA 3 among others") << QuelmAlertType::RA << 0xf0 << 3 << 0xf3 << 3;
        QTest::newRow("RA cleared") << QuelmAlertType::RA << 0xff << 0 << 0xfc << 0;
        QTest::newRow("type 6 outside the table") << QuelmAlertType(6) << 0x5a << 0xff << 0x5a << 0;
        QTest::newRow("type 255 outside the table") << QuelmAlertType(255) << 0xff << 0 << 0xff << 0;
    }

    void quelmAlertFields()
    {
        QFETCH(QuelmAlertType, type);
        QFETCH(int, before);
        QFETCH(int, value);
        DiveLine line;
        line.alertFlag = quint8(before);
        line.setAlertFlag(type, quint8(value));
        QTEST(int(line.alertFlag), "after");
        QTEST(int(line.flagQuelm(type)), "read");
    }

    void pelavixAlertFields_data()
    {
        QTest::addColumn<PelavixAlertType>("type");
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("read");

        QTest::newRow("0: bit 10") << PelavixAlertType::FastAscent << 0x0400 << 1;
        QTest::newRow("0: neighbours ignored") << PelavixAlertType::FastAscent << 0xfbff << 0;
        QTest::newRow("1: bits 1-0") << PelavixAlertType::Ceiling << 0x0003 << 3;
        QTest::newRow("1: neighbours ignored") << PelavixAlertType::Ceiling << 0xfffc << 0;
        QTest::newRow("2: bits 3-2") << PelavixAlertType::Hyperoxic << 0x0008 << 2;
        QTest::newRow("3: bits 5-4") << PelavixAlertType::Hypoxic << 0x0010 << 1;
        QTest::newRow("4: bit 11") << PelavixAlertType::Density << 0x0800 << 1;
        QTest::newRow("5: bit 12") << PelavixAlertType::Narcotic << 0x1000 << 1;
        QTest::newRow("5: neighbours ignored") << PelavixAlertType::Narcotic << 0xefff << 0;
        QTest::newRow("6: bits 7-6") << PelavixAlertType::Cns << 0x00c0 << 3;
        QTest::newRow("7: bits 9-8") << PelavixAlertType::Battery << 0x0200 << 2;
        QTest::newRow("type 8 outside the table") << PelavixAlertType(8) << 0xffff << 0;
    }

    void pelavixAlertFields()
    {
        QFETCH(PelavixAlertType, type);
        QFETCH(int, word);
        DiveLine line;
        line.pelavixAlerts = quint16(word);
        QTEST(int(line.flagPelavix(type)), "read");
    }

    void transmitterFlags_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("read");

        QTest::newRow("bit 3 set") << 0x08 << 3 << 1;
        QTest::newRow("bit 2 clear") << 0x08 << 2 << 0;
        QTest::newRow("bit 7") << 0x80 << 7 << 1;
        QTest::newRow("past the byte") << 0xff << 8 << 0;
        QTest::newRow("far past the byte") << 0xff << 255 << 0;
    }

    void transmitterFlags()
    {
        QFETCH(int, byte);
        QFETCH(int, n);
        DiveLine line;
        line.alertFlagTransmitter = quint8(byte);
        QTEST(int(line.flagTransmitter(quint8(n))), "read");
    }

    void newValuesHaveTheirDefaults()
    {
        const DiveLine line;
        QCOMPARE(line.gasIndex, -1);
        QCOMPARE(line.tankPressureTxIndex, quint8(255));
        const Dive dive;
        QCOMPARE(dive.samplePeriod, quint8(5));
        QCOMPARE(dive.ocdivemode, quint8(1));
        QCOMPARE(dive.gfLow, quint8(80));
        QCOMPARE(dive.gfHigh, quint8(80));
        QCOMPARE(dive.format, 4);
        QCOMPARE(dive.dtrStartIndex, -1);
        QCOMPARE(dive.diverMode, quint8(255));
        QCOMPARE(dive.gasSet, quint16(1));
    }

    void clearKeepsOnlyFourFields()
    {
        Dive dive = filledDive();
        dive.clear();

        QCOMPARE(dive.computerManufacturer, QStringLiteral("Maker"));
        QCOMPARE(dive.uploaded, quint8(1));
        QCOMPARE(dive.diverMode, quint8(0));
        QCOMPARE(dive.gasSet, quint16(1280));

        // Everything else reads as in a new dive.
        Dive expected;
        expected.computerManufacturer = dive.computerManufacturer;
        expected.uploaded = dive.uploaded;
        expected.diverMode = dive.diverMode;
        expected.gasSet = dive.gasSet;
        QCOMPARE(dive.diveNumber, expected.diveNumber);
        QCOMPARE(dive.computerModel, expected.computerModel);
        QCOMPARE(dive.beginTime, expected.beginTime);
        QCOMPARE(dive.samplePeriod, expected.samplePeriod);
        QCOMPARE(dive.ocdivemode, expected.ocdivemode);
        QCOMPARE(dive.gfLow, expected.gfLow);
        QCOMPARE(dive.diverN2[15], quint16(0));
        QCOMPARE(dive.reservedBlock[48], quint8(0));
        QVERIFY(dive.place.isEmpty() && dive.buddy.isEmpty() && dive.site.isEmpty() && dive.notes.isEmpty());
        QVERIFY(dive.name.isEmpty() && dive.computerName.isEmpty() && dive.computerSerial.isEmpty());
        QVERIFY(dive.firmwareVersion.isEmpty());
        QCOMPARE(dive.format, 4);
        QVERIFY(dive.lines.isEmpty() && dive.decoLines.isEmpty() && dive.ceilTrackingLines.isEmpty());
        QVERIFY(dive.stopLines.isEmpty() && dive.gases.isEmpty());
        QVERIFY(dive.ceilingPoints.isEmpty() && dive.yoyoMarks.isEmpty());
        QCOMPARE(dive.alertsQuelm, 0u);
        QCOMPARE(quint32(dive.alertsPelavix), 0u);
        QCOMPARE(dive.alertsAI, quint8(0));
        QCOMPARE(dive.maxTime, 0.0);
        QCOMPARE(dive.invalidReason, 0);
        QCOMPARE(dive.dtrStartIndex, -1);
        QCOMPARE(dive.decoNotTerminated, false);
    }

    void pelavixAlertsHoldTwentyFourBits()
    {
        Dive dive;
        quint32 word = 0x12abcdef;
        dive.alertsPelavix = word;
        QCOMPARE(quint32(dive.alertsPelavix), 0xabcdefu);
        QCOMPARE(dive.alertsAI, quint8(0));
    }

    void gasSetSetsTheDiveMode_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("divemode");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("31") << 31 << 0;
        QTest::newRow("32") << 32 << 1;
        QTest::newRow("33") << 33 << 4;
        QTest::newRow("1536") << 1536 << 4;
        QTest::newRow("1537") << 1537 << 6;
        QTest::newRow("65535") << 65535 << 6;
    }

    void gasSetSetsTheDiveMode()
    {
        QFETCH(int, code);
        Dive dive;
        dive.setGasSet(quint16(code));
        QCOMPARE(int(dive.gasSet), code);
        QTEST(int(dive.divemode), "divemode");
    }

    void gasSetTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const QList<std::pair<int, const char*>> table{
            {0, "None"},          {1, "Air"},         {2, "Nx30"},         {4, "Nx40"},        {9, "Air + OxyAR"},
            {17, "Air + OxySR"},  {32, "Oxy"},        {64, "Nx60"},        {128, "Nx50"},      {256, "Nx40"},
            {1280, "Nx40 + Oxy"}, {1536, "Nx30 + Oxy"}, {2080, "Nx60 Oxymix"}, {3, "Inconnu"}, {65535, "Inconnu"}};
        for (const auto& [code, text] : table)
            QTest::addRow("%d", code) << code << QString::fromLatin1(text);
    }

    void gasSetTexts()
    {
        QFETCH(int, code);
        Dive dive;
        dive.gasSet = quint16(code);
        QTEST(dive.getGasSetStr(), "text");
    }

    void diverModeText()
    {
        Dive dive;
        dive.diverMode = 0;
        dive.divemode = 0;
        QCOMPARE(dive.getDiverModeStr(), QStringLiteral("PLB OC"));
        dive.diverMode = 255;
        dive.divemode = 4;
        QCOMPARE(dive.getDiverModeStr(), QStringLiteral("PLS"));
    }

    void gasAtFallsBackOnAir()
    {
        Dive dive;
        dive.gases = {diveGas(32, 0, "Deco")};
        QCOMPARE(dive.gasAt(0).mName, QStringLiteral("Deco"));
        QCOMPARE(&dive.gasAt(-1), &diveGasAir);
        QCOMPARE(&dive.gasAt(1), &diveGasAir);
        QCOMPARE(dive.gasAt(1).color, 0xffffffu);
        QCOMPARE(dive.gasAt(1).gasType(), 0);
        QVERIFY(diveGasAir.mId.isEmpty() && diveGasAir.mName.isEmpty());
        QCOMPARE(diveGasAir.legacyGasClass(), 0);
    }

    void setGasIndexOnLines()
    {
        Dive dive;
        dive.lines = {sample(0, 0, 0), sample(1, 0, 0)};
        dive.decoLines = {sample(2, 0, 0)};
        dive.setGasIndexOnLines(3);
        QCOMPARE(dive.lines.at(0).gasIndex, 3);
        QCOMPARE(dive.lines.at(1).gasIndex, 3);
        QCOMPARE(dive.decoLines.at(0).gasIndex, -1);
    }

    void positionLookup_data()
    {
        QTest::addColumn<QList<DiveLine>>("lines");
        QTest::addColumn<int>("time");
        QTest::addColumn<int>("prev");
        QTest::addColumn<int>("next");
        QTest::addColumn<double>("ceiling");
        QTest::addColumn<double>("tank");

        const QList<DiveLine> profile{sample(0, 0, 200), sample(10, 3, 190), sample(20, 6, 180)};
        QTest::newRow("no sample") << QList<DiveLine>{} << 0 << -1 << -1 << 0.0 << 0.0;
        QTest::newRow("one sample") << QList<DiveLine>{sample(0, 3, 200)} << 0 << -1 << -1 << 0.0 << 0.0;
        QTest::newRow("start") << profile << 0 << 0 << 1 << 0.0 << 200.0;
        QTest::newRow("between") << profile << 5 << 0 << 1 << 1.5 << 195.0;
        QTest::newRow("on a sample: first pair answers") << profile << 10 << 0 << 1 << 3.0 << 190.0;
        QTest::newRow("second pair") << profile << 15 << 1 << 2 << 4.5 << 185.0;
        QTest::newRow("end") << profile << 20 << 1 << 2 << 6.0 << 180.0;
        QTest::newRow("after the end") << profile << 21 << -1 << -1 << 0.0 << 0.0;
        QTest::newRow("before the start") << profile << -1 << -1 << -1 << 0.0 << 0.0;
        QTest::newRow("fractional times truncated")
            << QList<DiveLine>{sample(0.5, 0, 100), sample(10.9, 2, 100)} << 10 << 0 << 1 << double(9.5 / 10.4 * 2) << 100.0;
        QTest::newRow("equal times") << QList<DiveLine>{sample(10, 1, 150), sample(10, 5, 100)} << 10 << 0 << 1 << 1.0 << 150.0;
    }

    void positionLookup()
    {
        QFETCH(QList<DiveLine>, lines);
        QFETCH(int, time);
        QFETCH(int, prev);
        QFETCH(int, next);
        for (const bool onDecoLines : {false, true}) {
            Dive dive;
            (onDecoLines ? dive.decoLines : dive.lines) = lines;
            const QList<DiveLine>& list = onDecoLines ? dive.decoLines : dive.lines;
            const DivePosition position = dive.getPositionAt(time, onDecoLines);
            QCOMPARE(position.prevLine, prev < 0 ? nullptr : &list.at(prev));
            QCOMPARE(position.nextLine, next < 0 ? nullptr : &list.at(next));
            QTEST(position.decoCeiling, "ceiling");
            QTEST(position.tankPressure, "tank");
            QCOMPARE(position.depth, 0.0);
            QCOMPARE(position.pressure, 0.0);
        }
    }

    void lookupReadsOnlyTheChosenList()
    {
        Dive dive;
        dive.lines = {sample(0, 0, 0), sample(10, 0, 0)};
        QVERIFY(dive.getPositionAt(5, true).prevLine == nullptr);
        QVERIFY(dive.getPositionAt(5, false).prevLine == &dive.lines.at(0));
    }

    void setPositionKeepsTheFourthValue()
    {
        DivePosition position;
        position.depth = 1;
        position.temperature = 2;
        position.speed = 3;
        position.pressure = 4;
        DiveLine a;
        DiveLine b;
        position.setPosition(&a, &b, 7, 8, 9, 10, 2.5, 150);
        QCOMPARE(position.prevLine, &a);
        QCOMPARE(position.nextLine, &b);
        QCOMPARE(position.depth, 0.0);
        QCOMPARE(position.temperature, 0.0);
        QCOMPARE(position.speed, 0.0);
        QCOMPARE(position.pressure, 4.0);
        QCOMPARE(position.decoCeiling, 2.5);
        QCOMPARE(position.tankPressure, 150.0);
    }

    void durations_data()
    {
        QTest::addColumn<qint64>("begin");
        QTest::addColumn<qint64>("end");
        QTest::addColumn<QString>("text");

        QTest::newRow("empty") << qint64(100) << qint64(100) << "00:00";
        QTest::newRow("2 min 5 s") << qint64(0) << qint64(125) << "02:05";
        QTest::newRow("59 min 59 s") << qint64(1000) << qint64(1000 + 3599) << "59:59";
        QTest::newRow("one hour") << qint64(1000) << qint64(1000 + 3600) << "01:00:00";
        QTest::newRow("one hour 2 min 5 s") << qint64(0) << qint64(3725) << "01:02:05";
        QTest::newRow("a hundred hours") << qint64(0) << qint64(360000) << "100:00:00";
        QTest::newRow("end before begin") << qint64(100) << qint64(0) << "00:00";
        QTest::newRow("extreme times") << std::numeric_limits<qint64>::min() << std::numeric_limits<qint64>::max() << "00:00";
    }

    void durations()
    {
        QFETCH(qint64, begin);
        QFETCH(qint64, end);
        DiveHeader header;
        header.beginTime = begin;
        header.endTime = end;
        QTEST(header.getDurationString(), "text");
    }

    void datesAreInUtc()
    {
        testkit::TestEnvironment::setTimeZone("Asia/Kolkata");
        DiveHeader header;
        header.beginTime = 0;
        header.endTime = 86399;
        QCOMPARE(header.getBeginString(), QStringLiteral("01/01/1970 00:00"));
        QCOMPARE(header.getEndString(), QStringLiteral("01/01/1970 23:59"));
        QCOMPARE(header.getBeginDateTime().timeSpec(), Qt::UTC);
        QCOMPARE(header.getEndDateTime().toSecsSinceEpoch(), qint64(86399));
        testkit::TestEnvironment::setTimeZone("UTC");
    }

    void gasTypesAndNames_data()
    {
        QTest::addColumn<DiveGas>("gas");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");

        DiveGas oxygen;
        static_cast<divecore::Gas&>(oxygen) = divecore::Gas::oxygen;
        QTest::newRow("air") << DiveGas() << 0 << "Air";
        QTest::newRow("oxygen") << oxygen << 2 << "Oxy";
        QTest::newRow("nitrox") << diveGas(32, 0) << 1 << "Nx32";
        QTest::newRow("nitrox rounded down") << diveGas(32.4f, 0) << 1 << "Nx32";
        QTest::newRow("nitrox rounded half up") << diveGas(32.5f, 0) << 1 << "Nx33";
        QTest::newRow("hypoxic") << diveGas(18, 0) << 1 << "Nx18";
        QTest::newRow("trimix") << diveGas(21, 35) << 3 << "Tx21/35";
        QTest::newRow("triox") << diveGas(25, 25) << 5 << "Triox25/25";
        QTest::newRow("trimix at 21.6 % rounds to 22") << diveGas(21.6f, 30) << 5 << "Triox22/30";
        QTest::newRow("heliox") << diveGas(10, 90) << 4 << "Hx10/90";
        QTest::newRow("own name") << diveGas(32, 0, "Deco 6 m") << 1 << "Deco 6 m";
        QTest::newRow("not a number") << diveGas(std::numeric_limits<float>::quiet_NaN(), 0) << 6 << "Unknown";
    }

    void gasTypesAndNames()
    {
        QFETCH(DiveGas, gas);
        QTEST(int(gas.getGasType()), "type");
        QTEST(gas.getName(), "name");
    }

    void legacyGasClass_data()
    {
        QTest::addColumn<int>("set");
        QTest::addColumn<int>("byte");
        QTest::addColumn<divecore::MixtureUse>("use");
        QTest::addColumn<int>("read");

        QTest::newRow("diluent") << 1 << 1 << divecore::MixtureUse::Diluent << 1;
        QTest::newRow("bailout") << 2 << 0 << divecore::MixtureUse::Bailout << 2;
        QTest::newRow("open circuit") << 0 << 0 << divecore::MixtureUse::OpenCircuit << 0;
        QTest::newRow("unknown class") << 7 << 0 << divecore::MixtureUse::OpenCircuit << 0;
    }

    void legacyGasClass()
    {
        QFETCH(int, set);
        DiveGas gas;
        gas.setLegacyGasClass(1);
        gas.setLegacyGasClass(set);
        QTEST(int(gas.legacyClassByte), "byte");
        QTEST(gas.use, "use");
        QTEST(gas.legacyGasClass(), "read");
    }

    void legacyByteWinsOverUse()
    {
        DiveGas gas;
        gas.use = divecore::MixtureUse::Bailout;
        QCOMPARE(gas.legacyGasClass(), 2);
        gas.legacyClassByte = 1;
        QCOMPARE(gas.legacyGasClass(), 1);
    }
};

MAREVANE_TEST_MAIN(DiveValuesTest)
#include "tst_divevalues.moc"

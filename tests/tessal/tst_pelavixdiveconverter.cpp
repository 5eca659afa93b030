#include "computerkit.h"
#include "testenvironment.h"
#include "tessal/pelavixdiveconverter.h"

#include <QApplication>

#include <limits>

namespace {

// A session that has read the computer's identity.
void identify(QuelmSession& session)
{
    session.serialNumber = "PX-1234";
    session.computerName = "Léa";
    session.firmwareVersionText = "2.0.11.a";
}

DiveSample sample(quint32 time, quint16 depthCm)
{
    DiveSample s;
    s.time = time;
    s.depth = depthCm;
    return s;
}

} // namespace

// Turning what the computer sent about a dive into a Dive.
class PelavixDiveConverterTest : public QObject
{
    Q_OBJECT

private slots:
    void identityComesFromTheSession()
    {
        QuelmSession session;
        identify(session);
        const SimulatedComputer::StoredDive stored = SimulatedComputer::makeDive(7, 1715509200, 120, 18.0);
        const Dive dive = PelavixDiveConverter::toDive(stored.header, stored.samples, session);
        QCOMPARE(dive.computerSerial, QStringLiteral("PX-1234"));
        QCOMPARE(dive.computerName, QStringLiteral("Léa"));
        QCOMPARE(dive.firmwareVersion, QStringLiteral("2.0.11.a"));
        QCOMPARE(dive.computerModel, 2);
        QCOMPARE(dive.diveNumber, quint16(7));
        QCOMPARE(dive.beginTime, qint64(1715509200));
        QCOMPARE(dive.name, QStringLiteral("007 - 12/05/2024 10:20"));
        QCOMPARE(dive.lines.size(), 120);
        QCOMPARE(dive.sampleCount, 120u);
    }

    void divesOfOneComputerNeverShareAName()
    {
        QuelmSession session;
        identify(session);
        const auto first = SimulatedComputer::makeDive(1, 1715509200, 5, 10.0);
        const auto second = SimulatedComputer::makeDive(2, 1715509200, 5, 10.0);
        const auto later = SimulatedComputer::makeDive(1, 1715512800, 5, 10.0);
        const QString a = PelavixDiveConverter::toDive(first.header, first.samples, session).name;
        const QString b = PelavixDiveConverter::toDive(second.header, second.samples, session).name;
        const QString c = PelavixDiveConverter::toDive(later.header, later.samples, session).name;
        QVERIFY(a != b);
        QVERIFY(a != c);
    }

    void samplesInTheProgramsUnits()
    {
        QuelmSession session;
        PelavixDiveHeader header;
        header.gasEnabled = 0b101;
        header.gasPO2[0] = 21;
        header.gasPO2[2] = 50;
        DiveSample s;
        s.time = 60;
        s.depth = 1234;
        s.temperature = -15;
        s.ceiling = 300;
        s.ndl = 12;
        s.ppO2 = 1400;
        s.cns = 35;
        s.gasIndex = 2;
        s.tankPressure = 180;
        s.alerts = 0x0400;
        const Dive dive = PelavixDiveConverter::toDive(header, {s}, session);
        QCOMPARE(dive.gases.size(), 2);
        QCOMPARE(dive.gases.at(1).o2Percent(), quint8(50));
        const DiveLine& line = dive.lines.at(0);
        QCOMPARE(line.timeSec, 60.0);
        QCOMPARE(line.depth, 12.34);
        QCOMPARE(line.ambientTemp, -1.5);
        QCOMPARE(line.decoCeiling, 3.0);
        QCOMPARE(line.ndl, qint16(12));
        QCOMPARE(line.ppO2, 1.4);
        QCOMPARE(line.cns, 35.0);
        QCOMPARE(line.gasIndex, 1);
        QCOMPARE(line.tankPressure, quint16(180));
        QCOMPARE(line.flagPelavix(PelavixAlertType::FastAscent), quint8(1));
    }

    void damagedValuesAreNotLetIn()
    {
        QuelmSession session;
        PelavixDiveHeader header;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        header.maxDepth = nan;
        header.avgDepth = std::numeric_limits<double>::infinity();
        header.minTemperature = nan;
        header.otu = std::numeric_limits<float>::quiet_NaN();
        // Slot 0 is no mixture, slot 1 more than 100 %: neither is a gas.
        header.gasEnabled = 0b11;
        header.gasPO2[1] = 80;
        header.gasPHe[1] = 40;
        DiveSample onUnknownGas = sample(20, 500);
        onUnknownGas.gasIndex = 200;
        const QList<DiveSample> samples = {sample(0, 0), sample(10, 300), sample(10, 900), sample(5, 100),
                                           onUnknownGas, sample(30, 200)};
        const Dive dive = PelavixDiveConverter::toDive(header, samples, session);

        QCOMPARE(dive.maxDepth, 0.0);
        QCOMPARE(dive.avgDepth, 0.0);
        QCOMPARE(dive.minTemperature, 0.0);
        QCOMPARE(dive.otu, 0.0f);
        QCOMPARE(dive.gases.size(), 1);
        QList<double> times;
        for (const DiveLine& line : dive.lines) {
            times.append(line.timeSec);
            QCOMPARE(line.gasIndex, 0);
        }
        // Samples that do not come after the one before are dropped.
        QCOMPARE(times, (QList<double>{0, 10, 20, 30}));
        QCOMPARE(dive.lines.at(1).depth, 3.0);
    }

    void noSamplesGivesAnEmptyDive()
    {
        QuelmSession session;
        const Dive dive = PelavixDiveConverter::toDive(PelavixDiveHeader(), {}, session);
        QVERIFY(dive.lines.isEmpty());
        QCOMPARE(dive.gases.size(), 1);
    }
};

MAREVANE_TEST_MAIN(PelavixDiveConverterTest)
#include "tst_pelavixdiveconverter.moc"

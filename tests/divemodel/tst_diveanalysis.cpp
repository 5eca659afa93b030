#include "diveprofiles.h"
#include "testenvironment.h"

#include "divemodel/diveanalysis.h"

#include <limits>

using testkit::diveLine;
using testkit::diveLines;
using testkit::diveOfDepths;

namespace {

DiveLine warmSample(double time, double depth, double temperature, quint16 tank)
{
    DiveLine line = diveLine(time, depth);
    line.ambientTemp = temperature;
    line.tankPressure = tank;
    return line;
}

// A dive with two samples at its greatest depth, one cold and one tankless
// sample, a computed ascent whose stages hold tiny steps and larger ones, and
// a stop line after everything.
Dive statisticsFixture()
{
    Dive dive;
    dive.lines = {warmSample(0, 0, 0, 0),       warmSample(10, 12, 18.5, 200), warmSample(20, 30, 15, 180),
                  warmSample(30, 30, 14.5, 0),   warmSample(40, 20, -1, 150),   warmSample(50, 8, 16, 140)};
    // Marks and values left by an earlier run must not survive.
    dive.lines[1].isMaxDepth = true;
    dive.lines[3].isMaxDepth = true;
    dive.maxDepth = 99;
    dive.maxTime = 9999;
    dive.decoLines = diveLines({{60, 6}, {61, 6.009}, {121, 6.009}, {131, 5.989}, {191, 3}, {251, 3}, {260, 0}});
    dive.stopLines = diveLines({{300, 3}});
    return dive;
}

QList<double> speedsOf(const QList<DiveLine>& lines)
{
    QList<double> speeds;
    for (const DiveLine& line : lines)
        speeds.append(line.speed);
    return speeds;
}

QList<QPointF> profileOf(const QList<DiveLine>& lines)
{
    QList<QPointF> result;
    for (const DiveLine& line : lines)
        result.append(QPointF(line.timeSec, line.depth));
    return result;
}

QList<QPointF> outline(const QList<CeilPoint>& points)
{
    QList<QPointF> result;
    for (const CeilPoint& point : points)
        result.append(QPointF(point.time, point.depth));
    return result;
}

} // namespace

class DiveAnalysisTest : public QObject
{
    Q_OBJECT

private slots:
    void statisticsOfTheFixture()
    {
        Dive dive = statisticsFixture();
        DiveAnalysis::calculateMaxTimeDepth(dive);

        QCOMPARE(dive.maxDepth, 30.0);
        QList<bool> marks;
        for (const DiveLine& line : std::as_const(dive.lines))
            marks.append(line.isMaxDepth);
        QCOMPARE(marks, (QList<bool>{false, false, true, false, false, false}));

        // Samples and computed ascent lines both count in the average depth.
        const double depthSum = 0 + 12 + 30 + 30 + 20 + 8 + 6 + 6.009 + 6.009 + 5.989 + 3 + 3 + 0;
        QCOMPARE(dive.avgDepth, depthSum / 13);
        QCOMPARE(dive.minTemperature, 14.5);
        QCOMPARE(dive.maxTemperature, 18.5);
        QCOMPARE(dive.minTankPressure, quint16(140));
        QCOMPARE(dive.maxTankPressure, quint16(200));

        // The stop line is the latest of all.
        QCOMPARE(dive.maxTime, 300.0);
        QCOMPARE(dive.ascentTime, 200.0);
        // Stages: 60 → 61 (9 mm), 61 → 121 (level) and 191 → 251 (level);
        // 121 → 131 moves 2 cm and is ascent.
        QCOMPARE(dive.totalDecoTime, 121.0);
    }

    void rangesWithoutReadings_data()
    {
        QTest::addColumn<QList<double>>("temperatures");
        QTest::addColumn<QList<int>>("tanks");
        QTest::addColumn<double>("minTemperature");
        QTest::addColumn<double>("maxTemperature");
        QTest::addColumn<int>("minTank");
        QTest::addColumn<int>("maxTank");
        QTest::newRow("no temperature above 0") << QList<double>{0, -2, -0.5} << QList<int>{0, 0, 0} << 0.0 << 0.0
                                                << 65535 << 0;
        QTest::newRow("one warm sample") << QList<double>{0, 3.5, -1} << QList<int>{0, 210, 0} << 3.5 << 3.5 << 210
                                         << 210;
        QTest::newRow("tank at its limit") << QList<double>{0, 0, 0} << QList<int>{65535, 1, 0} << 0.0 << 0.0 << 1
                                           << 65535;
        QTest::newRow("no sample") << QList<double>{} << QList<int>{} << 0.0 << 0.0 << 65535 << 0;
    }
    void rangesWithoutReadings()
    {
        QFETCH(QList<double>, temperatures);
        QFETCH(QList<int>, tanks);
        Dive dive;
        dive.minTemperature = 7;
        dive.maxTemperature = 8;
        dive.minTankPressure = 9;
        dive.maxTankPressure = 10;
        for (qsizetype i = 0; i < temperatures.size(); ++i)
            dive.lines.append(warmSample(double(i), 5, temperatures.at(i), quint16(tanks.at(i))));
        DiveAnalysis::calculateMaxTimeDepth(dive);
        QTEST(dive.minTemperature, "minTemperature");
        QTEST(dive.maxTemperature, "maxTemperature");
        QTEST(int(dive.minTankPressure), "minTank");
        QTEST(int(dive.maxTankPressure), "maxTank");
    }

    void noDepthBelowTheSurfaceMarksNothing()
    {
        Dive dive = diveOfDepths({0, -0.5, 0});
        dive.lines[1].isMaxDepth = true;
        dive.ascentTime = 42;
        dive.totalDecoTime = 7;
        DiveAnalysis::calculateMaxTimeDepth(dive);
        QCOMPARE(dive.maxDepth, 0.0);
        for (const DiveLine& line : std::as_const(dive.lines))
            QVERIFY(!line.isMaxDepth);
        QCOMPARE(dive.avgDepth, -0.5 / 3);
        // Without computed ascent lines the ascent figures stay as the
        // computer gave them.
        QCOMPARE(dive.ascentTime, 42.0);
        QCOMPARE(dive.totalDecoTime, 7.0);
    }

    void endTimeRepair_data()
    {
        QTest::addColumn<qint64>("begin");
        QTest::addColumn<qint64>("end");
        QTest::addColumn<double>("lastTime");
        QTest::addColumn<qint64>("expected");
        const qint64 latest = std::numeric_limits<qint64>::max();
        QTest::newRow("no end") << qint64(1000) << qint64(0) << 100.9 << qint64(1100);
        QTest::newRow("end at begin") << qint64(1000) << qint64(1000) << 100.0 << qint64(1100);
        QTest::newRow("end before begin") << qint64(1000) << qint64(10) << 59.5 << qint64(1059);
        QTest::newRow("end after begin kept") << qint64(1000) << qint64(5000) << 100.0 << qint64(5000);
        QTest::newRow("no begin") << qint64(0) << qint64(0) << 100.0 << qint64(0);
        QTest::newRow("no dive time") << qint64(1000) << qint64(0) << 0.0 << qint64(0);
        QTest::newRow("absurd dive time") << qint64(1000) << qint64(0) << 1e300 << latest;
        QTest::newRow("dive time to the limit") << latest - 10 << qint64(0) << 50.0 << latest;
    }
    void endTimeRepair()
    {
        QFETCH(qint64, begin);
        QFETCH(qint64, end);
        QFETCH(double, lastTime);
        Dive dive;
        dive.beginTime = begin;
        dive.endTime = end;
        dive.lines = diveLines({{0, 0}, {lastTime, 3}});
        DiveAnalysis::calculateMaxTimeDepth(dive);
        QTEST(dive.endTime, "expected");
    }

    void speeds_data()
    {
        QTest::addColumn<QList<QPointF>>("profile");
        QTest::addColumn<QList<double>>("speeds");
        QTest::newRow("descent and ascent") << QList<QPointF>{{0, 0}, {30, 15}, {90, 3}} << QList<double>{0, 30, -12};
        QTest::newRow("two samples at one time") << QList<QPointF>{{0, 0}, {10, 5}, {10, 8}}
                                                 << QList<double>{0, 30, 0};
        QTest::newRow("time going back") << QList<QPointF>{{0, 0}, {10, 5}, {5, 2}} << QList<double>{0, 30, 0};
        QTest::newRow("one sample") << QList<QPointF>{{5, 12}} << QList<double>{0};
        QTest::newRow("none") << QList<QPointF>{} << QList<double>{};
    }
    void speeds()
    {
        QFETCH(QList<QPointF>, profile);
        QFETCH(QList<double>, speeds);
        Dive dive;
        dive.lines = diveLines(profile);
        dive.decoLines = diveLines(profile);
        for (QList<DiveLine>* list : {&dive.lines, &dive.decoLines}) {
            for (DiveLine& line : *list)
                line.speed = 99;
        }
        DiveAnalysis::calculateSpeeds(dive, false);
        QCOMPARE(speedsOf(dive.lines), speeds);
        QCOMPARE(speedsOf(dive.decoLines), speeds);
    }

    void speedsOfTheComputedAscentOnly()
    {
        Dive dive = diveOfDepths({0, 10, 20});
        dive.lines[2].speed = 5;
        dive.decoLines = diveLines({{30, 6}, {90, 3}});
        DiveAnalysis::calculateSpeeds(dive, true);
        QCOMPARE(speedsOf(dive.lines), (QList<double>{0, 0, 5}));
        QCOMPARE(speedsOf(dive.decoLines), (QList<double>{0, -3}));
    }

    void averageSpeedOnSegment_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<double>("mean");
        QTest::newRow("whole dive") << 0 << 4 << 16.25;
        QTest::newRow("inside") << 1 << 3 << 25.0;
        QTest::newRow("one segment") << 3 << 4 << 5.0;
        QTest::newRow("empty") << 2 << 2 << 0.0;
        QTest::newRow("reversed") << 3 << 2 << 0.0;
        QTest::newRow("before the first") << -1 << 2 << 0.0;
        QTest::newRow("last is the count") << 0 << 5 << 0.0;
    }
    void averageSpeedOnSegment()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        Dive dive = diveOfDepths({0, 0, 0, 0, 0});
        const double speeds[] = {99, -10, 20, -30, 5};
        for (qsizetype i = 0; i < dive.lines.size(); ++i)
            dive.lines[i].speed = speeds[i];
        QTEST(DiveAnalysis::averageSpeedOnSegment(dive, first, last), "mean");
    }

    void ceilingPoints_data()
    {
        // Samples every 10 s with these ceilings; the outline as (time, depth).
        QTest::addColumn<QList<double>>("ceilings");
        QTest::addColumn<QList<QPointF>>("points");
        QTest::newRow("no ceiling") << QList<double>{0, 0, 0} << QList<QPointF>{};
        QTest::newRow("from the first sample") << QList<double>{2, 1, 0} << QList<QPointF>{{0, 0}, {0, 2}, {10, 1}};
        QTest::newRow("from sample 5") << QList<double>{0, 0, 0, 0, 0, 3, 2}
                                       << QList<QPointF>{{40, 0}, {50, 3}, {60, 2}};
        QTest::newRow("to the end") << QList<double>{0, 3, 3} << QList<QPointF>{{0, 0}, {10, 3}, {20, 3}};
        QTest::newRow("ends before the end") << QList<double>{0, 3, 0, 0} << QList<QPointF>{{0, 0}, {10, 3}};
        QTest::newRow("negative is none") << QList<double>{0, -1, 2} << QList<QPointF>{{10, 0}, {20, 2}};
        // A second run does not bridge the time without a ceiling.
        QTest::newRow("two runs") << QList<double>{0, 3, 0, 0, 0, 2}
                                  << QList<QPointF>{{0, 0}, {10, 3}, {20, 0}, {40, 0}, {50, 2}};
        QTest::newRow("one sample between runs")
            << QList<double>{0, 3, 0, 4} << QList<QPointF>{{0, 0}, {10, 3}, {20, 0}, {30, 4}};
    }
    void ceilingPoints()
    {
        QFETCH(QList<double>, ceilings);
        QFETCH(QList<QPointF>, points);
        Dive dive = diveOfDepths(QList<double>(ceilings.size(), 9));
        for (qsizetype i = 0; i < ceilings.size(); ++i)
            dive.lines[i].decoCeiling = ceilings.at(i);
        dive.ceilingPoints = {CeilPoint{1, 2, 3}};
        DiveAnalysis::createCeilPointsFromLines(dive);
        QCOMPARE(outline(dive.ceilingPoints), points);
        for (const CeilPoint& point : std::as_const(dive.ceilingPoints))
            QCOMPARE(point.value, qint16(0));
    }

    void depthAtTime_data()
    {
        QTest::addColumn<QList<QPointF>>("profile");
        QTest::addColumn<double>("time");
        QTest::addColumn<double>("depth");
        const QList<QPointF> square{{0, 0}, {10, 20}, {20, 20}, {30, 0}};
        QTest::newRow("descent") << square << 5.0 << 10.0;
        QTest::newRow("on a sample") << square << 10.0 << 20.0;
        QTest::newRow("ascent") << square << 25.5 << 9.0;
        QTest::newRow("last sample") << square << 30.0 << 0.0;
        QTest::newRow("after the end") << square << 35.0 << 0.0;
        QTest::newRow("before the first sample")
            << QList<QPointF>{{10, 5}, {20, 15}, {30, 9}} << 0.0 << 9.0;
        QTest::newRow("two samples at one time") << QList<QPointF>{{0, 0}, {10, 10}, {10, 30}} << 10.0 << 10.0;
        QTest::newRow("one sample") << QList<QPointF>{{0, 7}} << 0.0 << 7.0;
        QTest::newRow("no sample") << QList<QPointF>{} << 3.0 << 0.0;
    }
    void depthAtTime()
    {
        QFETCH(QList<QPointF>, profile);
        QFETCH(double, time);
        Dive dive;
        dive.lines = diveLines(profile);
        QTEST(DiveAnalysis::getDepthAtTime(dive, time), "depth");
    }

    void extractProfile_data()
    {
        QTest::addColumn<QList<QPointF>>("source");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QList<QPointF>>("extract");
        const QList<QPointF> dive{{0, 0}, {10, 10}, {20, 20}, {30, 20}, {40, 10}, {50, 0}};
        // Descent to 15 m takes 30 s; the samples at 20 and 30 s follow it at
        // 35 and 45 s; the end at 50 s (15 m) surfaces 90 s later.
        QTest::newRow("samples inside the range")
            << dive << 15 << 35 << QList<QPointF>{{0, 0}, {30, 15}, {35, 20}, {45, 20}, {50, 15}, {140, 0}};
        QTest::newRow("range between two samples")
            << QList<QPointF>{{0, 0}, {10, 10}, {20, 20}, {30, 20}} << 10 << 20
            << QList<QPointF>{{0, 0}, {20, 10}, {30, 20}, {150, 0}};
        QTest::newRow("range past the end") << dive << 45 << 70
                                            << QList<QPointF>{{0, 0}, {10, 5}, {15, 0}, {35, 0}, {35, 0}};
        // No sample lies after the start: none is copied, so nothing comes
        // before the descent point.
        QTest::newRow("start at the last sample") << QList<QPointF>{{0, 0}, {10, 10}, {20, 5}} << 20 << 40
                                                  << QList<QPointF>{{0, 0}, {10, 5}, {30, 5}, {60, 0}};
        QTest::newRow("start after the last sample") << QList<QPointF>{{0, 0}, {10, 10}, {20, 5}} << 25 << 40
                                                     << QList<QPointF>{{0, 0}, {10, 5}, {25, 5}, {55, 0}};
        // The descent is timed from the first sample, which here is not at 0 s.
        QTest::newRow("first sample after 0 s") << QList<QPointF>{{10, 0}, {20, 2}, {30, 2}, {40, 0}} << 25 << 35
                                                << QList<QPointF>{{10, 0}, {14, 2}, {19, 2}, {24, 1}, {30, 0}};
        QTest::newRow("empty range") << dive << 30 << 30 << QList<QPointF>{};
        QTest::newRow("reversed range") << dive << 30 << 10 << QList<QPointF>{};
        QTest::newRow("no sample") << QList<QPointF>{} << 0 << 10 << QList<QPointF>{};
    }
    void extractProfile()
    {
        QFETCH(QList<QPointF>, source);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QList<QPointF>, extract);
        Dive dive;
        dive.lines = diveLines(source);
        const Dive result = DiveAnalysis::extractProfile(dive, start, end);
        QCOMPARE(profileOf(result.lines), extract);
        for (qsizetype i = 1; i < result.lines.size(); ++i)
            QVERIFY2(result.lines.at(i).timeSec >= result.lines.at(i - 1).timeSec, qPrintable(QString::number(i)));
        QCOMPARE(result.format, extract.isEmpty() ? qint32(DiveFormat::Unknown) : qint32(DiveFormat::Plan));
    }

    void extractTakesTheDiveAndItsSamples()
    {
        Dive dive;
        dive.lines = diveLines({{0, 0}, {10, 10}, {20, 20}, {30, 20}, {40, 10}, {50, 0}});
        for (qsizetype i = 0; i < dive.lines.size(); ++i) {
            dive.lines[i].ambientTemp = 20.0 - double(i);
            dive.lines[i].gasIndex = int(i % 2);
            dive.lines[i].tankPressure = quint16(200 - 10 * i);
            dive.lines[i].speed = 77;
        }
        dive.gases = {DiveGas(), DiveGas()};
        dive.gases[1].mName = QStringLiteral("Nx50");
        dive.density = 1;
        dive.computerName = QStringLiteral("Owner");
        dive.computerSerial = QStringLiteral("S1");
        dive.name = QStringLiteral("Morning");
        dive.place = QStringLiteral("Port");
        dive.beginTime = 1000;
        dive.gasSet = 1280;

        const Dive result = DiveAnalysis::extractProfile(dive, 15, 35);
        QCOMPARE(result.lines.size(), 6);
        // The copies keep every value of their sample but the time.
        for (int copy : {2, 3}) {
            const DiveLine& line = result.lines.at(copy);
            const DiveLine& original = dive.lines.at(copy);
            QCOMPARE(line.ambientTemp, original.ambientTemp);
            QCOMPARE(line.gasIndex, original.gasIndex);
            QCOMPARE(line.tankPressure, original.tankPressure);
        }
        QCOMPARE(result.lines.first().ambientTemp, 20.0);
        // The added points are new samples.
        for (int added : {1, 4, 5}) {
            QCOMPARE(result.lines.at(added).gasIndex, -1);
            QCOMPARE(result.lines.at(added).tankPressure, quint16(0));
        }
        QCOMPARE(speedsOf(result.lines), (QList<double>{0, 30, 60, 0, -60, -10}));
        QCOMPARE(result.maxTime, 140.0);
        QCOMPARE(result.maxDepth, 20.0);
        QVERIFY(result.lines.at(2).isMaxDepth);

        QCOMPARE(result.gases.size(), 2);
        QCOMPARE(result.gases.at(1).mName, QStringLiteral("Nx50"));
        QCOMPARE(result.density, quint8(1));
        QCOMPARE(result.computerName, QStringLiteral("Owner"));
        QVERIFY(result.computerSerial.isEmpty());
        QVERIFY(result.name.isEmpty());
        QVERIFY(result.place.isEmpty());
        QCOMPARE(result.beginTime, qint64(0));
        QCOMPARE(result.gasSet, quint16(1));
    }

    void undefinedGases_data()
    {
        QTest::addColumn<QList<int>>("indexes");
        QTest::addColumn<QList<int>>("fixed");
        QTest::newRow("first gas at the start") << QList<int>{-1, -1, 2, -1, 0, -1} << QList<int>{0, 0, 2, 2, 0, 0};
        QTest::newRow("any negative index") << QList<int>{1, -7} << QList<int>{1, 1};
        QTest::newRow("all defined") << QList<int>{3, 1} << QList<int>{3, 1};
    }
    void undefinedGases()
    {
        QFETCH(QList<int>, indexes);
        QFETCH(QList<int>, fixed);
        Dive dive = diveOfDepths(QList<double>(indexes.size(), 5));
        for (qsizetype i = 0; i < indexes.size(); ++i)
            dive.lines[i].gasIndex = indexes.at(i);
        DiveAnalysis::fixNonDefinedGas(dive);
        QList<int> result;
        for (const DiveLine& line : std::as_const(dive.lines))
            result.append(line.gasIndex);
        QCOMPARE(result, fixed);
    }
};

MAREVANE_TEST_MAIN(DiveAnalysisTest)
#include "tst_diveanalysis.moc"

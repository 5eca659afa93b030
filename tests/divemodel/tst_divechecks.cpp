#include "diveprofiles.h"
#include "testenvironment.h"

#include "divemodel/diveanalysis.h"

using testkit::diveLines;
using testkit::diveOfDepths;

namespace {

int diveYoyoLevel(const Dive& dive)
{
    return int((dive.alertsQuelm & Dive::alertYoyoMask) >> 26);
}

QList<int> flags(const Dive& dive, QuelmAlertType type)
{
    QList<int> result;
    for (const DiveLine& line : dive.lines)
        result.append(line.flagQuelm(type));
    return result;
}

// Every sample raised on the field, and every other alert bit set too, so
// that what the check leaves alone shows.
void raiseEverywhere(Dive& dive, QuelmAlertType type)
{
    for (DiveLine& line : dive.lines) {
        line.alertFlag = 0xff;
        line.setAlertFlag(type, 3);
    }
}

bool otherBitsKept(const Dive& dive, quint8 fieldMask)
{
    for (const DiveLine& line : dive.lines) {
        if ((line.alertFlag | fieldMask) != 0xff)
            return false;
    }
    return true;
}

} // namespace

// The checks that mark samples with alerts and may declare a dive invalid:
// yoyos, fast ascents, maximum depth and surface intervals.
class DiveChecksTest : public QObject
{
    Q_OBJECT

private slots:
    void yoyos_data()
    {
        // Samples every 10 s.
        QTest::addColumn<int>("gasSet");
        QTest::addColumn<bool>("previousYoyo");
        QTest::addColumn<QList<double>>("depths");
        QTest::addColumn<QList<int>>("levels");
        QTest::addColumn<QList<QPointF>>("marks");
        QTest::addColumn<QList<int>>("markLevels");
        QTest::addColumn<int>("invalidReason");

        const QList<double> oneYoyo{0, 15, 4.5, 14.5, 0};
        QTest::newRow("a rise of exactly 10 m") << 1 << false << QList<double>{0, 15, 5, 15, 5, 15}
                                                << QList<int>{0, 0, 0, 0, 0, 0} << QList<QPointF>{} << QList<int>{}
                                                << 0;
        QTest::newRow("10.5 m up, 10.0 m down") << 1 << false << oneYoyo << QList<int>{0, 0, 0, 1, 1}
                                                << QList<QPointF>{{30, 14.5}} << QList<int>{1} << 0;
        // The descent crosses 14.5 m two thirds of the way from 4.5 m to 19.5 m;
        // 20 m is still the first zone.
        QTest::newRow("mark where the descent crosses")
            << 1 << false << QList<double>{0, 20, 4.5, 19.5, 0} << QList<int>{0, 0, 0, 1, 1}
            << QList<QPointF>{{20 + 10 * 10.0 / 15.0, 14.5}} << QList<int>{1} << 0;
        const QList<double> threeAt18{0, 18, 7, 18, 7, 18, 7, 18, 0};
        const QList<QPointF> marksAt17{{20 + 100.0 / 11, 17}, {40 + 100.0 / 11, 17}, {60 + 100.0 / 11, 17}};
        QTest::newRow("three yoyos in the first zone")
            << 1 << false << threeAt18 << QList<int>{0, 0, 0, 1, 1, 2, 2, 3, 3} << marksAt17 << QList<int>{1, 2, 3}
            << 0;
        QTest::newRow("four yoyos in the first zone")
            << 1 << false << QList<double>{0, 18, 7, 18, 7, 18, 7, 18, 7, 18}
            << QList<int>{0, 0, 0, 1, 1, 2, 2, 3, 3, 3}
            << (marksAt17 + QList<QPointF>{{80 + 100.0 / 11, 17}}) << QList<int>{1, 2, 3, 3} << 3;
        QTest::newRow("second zone") << 1 << false << QList<double>{0, 25, 14, 25, 14, 25, 0}
                                     << QList<int>{0, 0, 0, 2, 2, 3, 3}
                                     << QList<QPointF>{{20 + 100.0 / 11, 24}, {40 + 100.0 / 11, 24}}
                                     << QList<int>{2, 3} << 0;
        QTest::newRow("three yoyos in the second zone")
            << 1 << false << QList<double>{0, 25, 14, 25, 14, 25, 14, 25}
            << QList<int>{0, 0, 0, 2, 2, 3, 3, 3}
            << QList<QPointF>{{20 + 100.0 / 11, 24}, {40 + 100.0 / 11, 24}, {60 + 100.0 / 11, 24}}
            << QList<int>{2, 3, 3} << 3;
        QTest::newRow("third zone") << 1 << false << QList<double>{0, 40, 29, 40, 0} << QList<int>{0, 0, 0, 3, 3}
                                    << QList<QPointF>{{20 + 100.0 / 11, 39}} << QList<int>{3} << 0;
        QTest::newRow("two yoyos in the third zone")
            << 1 << false << QList<double>{0, 40, 29, 40, 29, 40} << QList<int>{0, 0, 0, 3, 3, 3}
            << QList<QPointF>{{20 + 100.0 / 11, 39}, {40 + 100.0 / 11, 39}} << QList<int>{3, 3} << 3;
        // 16 m completes the yoyo; judged again it would also be 14 m above
        // the 30 m peak and start a second one, which 26 m would complete.
        QTest::newRow("the sample that completes a yoyo does not arm the next")
            << 1 << false << QList<double>{0, 30, 5, 16, 26} << QList<int>{0, 0, 0, 2, 2}
            << QList<QPointF>{{20 + 100.0 / 11, 15}} << QList<int>{2} << 0;
        // Going deeper after the yoyo raises its mark with the level.
        QTest::newRow("deeper after the yoyo")
            << 1 << false << QList<double>{0, 15, 4, 15, 30, 30, 0} << QList<int>{0, 0, 0, 1, 2, 2, 2}
            << QList<QPointF>{{20 + 100.0 / 11, 14}} << QList<int>{2} << 0;
        QTest::newRow("yoyo on a previous dive") << 1 << true << oneYoyo << QList<int>{0, 0, 0, 3, 3}
                                                 << QList<QPointF>{{30, 14.5}} << QList<int>{3} << 1;
        // The gas sets move the zones.
        QTest::newRow("Nx30 above its first zone") << 2 << false << oneYoyo << QList<int>{0, 0, 0, 0, 0}
                                                   << QList<QPointF>{{30, 14.5}} << QList<int>{0} << 0;
        QTest::newRow("Nx30 in its first zone")
            << 2 << false << threeAt18 << QList<int>{0, 0, 0, 1, 1, 2, 2, 3, 3} << marksAt17 << QList<int>{1, 2, 3}
            << 0;
        QTest::newRow("Nx50 in its first zone") << 128 << false << QList<double>{0, 18, 7, 18, 0}
                                                << QList<int>{0, 0, 0, 1, 1} << QList<QPointF>{{20 + 100.0 / 11, 17}}
                                                << QList<int>{1} << 0;
        QTest::newRow("Nx40 + Oxy starts in the second zone")
            << 1280 << false << oneYoyo << QList<int>{0, 0, 0, 2, 2} << QList<QPointF>{{30, 14.5}} << QList<int>{2}
            << 0;
        QTest::newRow("Oxy never counts") << 32 << false << threeAt18 << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0}
                                          << marksAt17 << QList<int>{0, 0, 0} << 0;
        QTest::newRow("Nx60 Oxymix never counts")
            << 2080 << false << QList<double>{0, 40, 29, 40, 29, 40} << QList<int>{0, 0, 0, 0, 0, 0}
            << QList<QPointF>{{20 + 100.0 / 11, 39}, {40 + 100.0 / 11, 39}} << QList<int>{0, 0} << 0;
        QTest::newRow("Nx30 + Oxy at once in the third zone")
            << 1536 << false << oneYoyo << QList<int>{0, 0, 0, 3, 3} << QList<QPointF>{{30, 14.5}} << QList<int>{3}
            << 0;
    }
    void yoyos()
    {
        QFETCH(int, gasSet);
        QFETCH(bool, previousYoyo);
        QFETCH(QList<double>, depths);
        QFETCH(QList<int>, levels);
        QFETCH(QList<QPointF>, marks);
        QFETCH(QList<int>, markLevels);
        Dive dive = diveOfDepths(depths);
        dive.gasSet = quint16(gasSet);
        raiseEverywhere(dive, QuelmAlertType::Yoyo);
        // An earlier run's yoyo level and marks go; the other alert bits stay.
        dive.alertsQuelm = 0xffffffffu;
        dive.yoyoMarks = {CeilPoint{1, 2, 3}};

        DiveAnalysis::analyzeYoyos(dive, 7, previousYoyo);

        QCOMPARE(flags(dive, QuelmAlertType::Yoyo), levels);
        QVERIFY(otherBitsKept(dive, 0x30));
        QCOMPARE(diveYoyoLevel(dive), *std::max_element(levels.cbegin(), levels.cend()));
        QCOMPARE(dive.alertsQuelm | Dive::alertYoyoMask, 0xffffffffu);
        QList<QPointF> foundMarks;
        QList<int> foundLevels;
        for (const CeilPoint& mark : std::as_const(dive.yoyoMarks)) {
            foundMarks.append(QPointF(mark.time, mark.depth));
            foundLevels.append(mark.value);
        }
        QCOMPARE(foundMarks.size(), marks.size());
        for (qsizetype i = 0; i < marks.size(); ++i) {
            QCOMPARE(float(foundMarks.at(i).x()), float(marks.at(i).x()));
            QCOMPARE(float(foundMarks.at(i).y()), float(marks.at(i).y()));
        }
        QCOMPARE(foundLevels, markLevels);
        QTEST(dive.invalidReason, "invalidReason");
    }

    void yoyoInvalidReasonIsNotCleared()
    {
        Dive dive = diveOfDepths({0, 20, 0});
        dive.invalidReason = 2;
        DiveAnalysis::analyzeYoyos(dive, 0, false);
        QCOMPARE(dive.invalidReason, 2);
    }

    void fastAscent_data()
    {
        QTest::addColumn<double>("maxDepth");
        QTest::addColumn<QList<double>>("depths");
        QTest::addColumn<QList<double>>("speeds");
        QTest::addColumn<int>("alert"); // the sample raised, -1 none
        QTest::newRow("half the start depth covered")
            << 30.0 << QList<double>{30, 26, 22, 18, 14, 10} << QList<double>{0, -16, -16, -16, -16, -16} << 4;
        QTest::newRow("never on the sample that starts the watch")
            << 12.0 << QList<double>{12, 5} << QList<double>{0, -20} << -1;
        QTest::newRow("shallow dive covers half") << 14.0 << QList<double>{14, 10, 6, 3, 2}
                                                  << QList<double>{0, -16, -16, -16, -16} << 2;
        QTest::newRow("deep dive covers 10 m") << 25.0 << QList<double>{14, 10, 6, 3, 2}
                                               << QList<double>{0, -16, -16, -16, -16} << 3;
        QTest::newRow("starting at 10 m is not deep enough")
            << 30.0 << QList<double>{10, 6, 2, 0} << QList<double>{0, -16, -16, -16} << -1;
        QTest::newRow("15.1 m/min is not fast") << 30.0 << QList<double>{30, 26, 22, 18, 14, 10}
                                                << QList<double>{0, -15.1, -15.1, -15.1, -15.1, -15.1} << -1;
        QTest::newRow("15.2 m/min is fast") << 30.0 << QList<double>{30, 26, 22, 18, 14, 10}
                                            << QList<double>{0, -15.2, -15.2, -15.2, -15.2, -15.2} << 4;
        // A pause counts in the mean: 20, 0, 20 makes 13.3 m/min.
        QTest::newRow("a pause slows the mean")
            << 30.0 << QList<double>{30, 20, 20, 10} << QList<double>{0, -20, 0, -20} << -1;
        // The first watch falls below 6 m/min and ends; the second starts
        // afresh from 26 m and needs 13 m.
        QTest::newRow("a new watch after a slow one")
            << 30.0 << QList<double>{30, 26, 26, 26, 16, 6} << QList<double>{0, -16, 0, 0, -30, -20} << 5;
    }
    void fastAscent()
    {
        QFETCH(double, maxDepth);
        QFETCH(QList<double>, depths);
        QFETCH(QList<double>, speeds);
        QFETCH(int, alert);
        Dive dive = diveOfDepths(depths);
        dive.maxDepth = maxDepth;
        for (qsizetype i = 0; i < speeds.size(); ++i)
            dive.lines[i].speed = speeds.at(i);
        raiseEverywhere(dive, QuelmAlertType::RR);

        DiveAnalysis::analyzeFastAscent(dive);

        // The first sample is never judged; the analysis stops at the alert,
        // so the samples after it keep what they had.
        QList<int> expected{1};
        for (qsizetype i = 1; i < depths.size(); ++i)
            expected.append(alert >= 0 && i >= alert ? 1 : 0);
        QCOMPARE(flags(dive, QuelmAlertType::RR), expected);
        QVERIFY(otherBitsKept(dive, 0x04));
    }

    void maximumDepth_data()
    {
        QTest::addColumn<int>("selector");
        QTest::addColumn<bool>("useTable");
        QTest::addColumn<double>("limit");
        const double table[] = {40, 35, 50, 50, 7, 24, 32, 45, 60, 15, 25};
        for (int selector = 1; selector <= 11; ++selector)
            QTest::addRow("table %d", selector) << selector << true << table[selector - 1];
        QTest::newRow("table 0") << 0 << true << 50.0;
        QTest::newRow("table 12") << 12 << true << 50.0;
        QTest::newRow("no table 1") << 1 << false << 30.0;
        QTest::newRow("no table 2") << 2 << false << 30.0;
        QTest::newRow("no table 3") << 3 << false << 35.0;
        QTest::newRow("no table 0") << 0 << false << 35.0;
    }
    void maximumDepth()
    {
        QFETCH(int, selector);
        QFETCH(bool, useTable);
        QFETCH(double, limit);
        Dive dive = diveOfDepths({0, limit, limit + 0.01, limit - 5, 0});
        raiseEverywhere(dive, QuelmAlertType::Pmax);
        DiveAnalysis::analyzePmax(dive, selector, useTable);
        QCOMPARE(flags(dive, QuelmAlertType::Pmax), (QList<int>{0, 0, 1, 0, 0}));
        QVERIFY(otherBitsKept(dive, 0x08));
    }

    void surfaceIntervals_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QList<QPointF>>("profile");
        QTest::addColumn<bool>("found");
        QTest::newRow("too long") << 900 << QList<QPointF>{{0, 0}, {100, 20}, {200, 0.05}, {300, 0}, {1300, 0.09},
                                                          {1400, 15}, {1500, 0}}
                                  << true;
        QTest::newRow("at the limit") << 900 << QList<QPointF>{{0, 10}, {200, 0}, {1100, 0}, {1200, 10}} << false;
        QTest::newRow("10 cm is not the surface")
            << 900 << QList<QPointF>{{0, 10}, {200, 0}, {500, 0.1}, {1200, 0}, {1300, 10}} << false;
        QTest::newRow("one shallow sample") << 900 << QList<QPointF>{{0, 20}, {100, 0}, {2000, 20}} << false;
        QTest::newRow("at the end of the dive") << 900 << QList<QPointF>{{0, 20}, {100, 0}, {5000, 0}} << false;
        QTest::newRow("before the descent") << 900 << QList<QPointF>{{0, 0}, {1000, 0.05}, {1100, 10}} << true;
        // Each deep sample starts the count anew: 300 to 1500 s is 1200 s,
        // even though a single shallow sample came at 100 s.
        QTest::newRow("runs counted from their own start")
            << 1300 << QList<QPointF>{{0, 10}, {100, 0}, {200, 10}, {300, 0}, {1500, 0}, {1600, 10}} << false;
        QTest::newRow("second run too long") << 1000
                                             << QList<QPointF>{{0, 10}, {100, 0}, {200, 10}, {300, 0}, {1500, 0},
                                                               {1600, 10}}
                                             << true;
    }
    void surfaceIntervals()
    {
        QFETCH(int, limit);
        QFETCH(QList<QPointF>, profile);
        QFETCH(bool, found);
        Dive dive;
        dive.lines = diveLines(profile);
        QCOMPARE(DiveAnalysis::findSurfaceIntervals(dive, limit), found);
        QCOMPARE(dive.invalidReason, found ? 4 : 0);
    }
};

MAREVANE_TEST_MAIN(DiveChecksTest)
#include "tst_divechecks.moc"

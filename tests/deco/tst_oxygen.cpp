#include "testenvironment.h"

#include "deco/diver.h"
#include "deco/repex.h"
#include "deco/zhl16.h"

#include <QtTest>

#include <cfenv>
#include <cmath>

namespace {

// The NOAA single-exposure limits in minutes.
struct NoaaLimit
{
    double pO2;
    double minutes;
};
constexpr NoaaLimit kNoaa[] = {{0.6, 720}, {0.7, 570}, {0.8, 450}, {0.9, 360}, {1.0, 300}, {1.1, 240},
                               {1.2, 210}, {1.3, 180}, {1.4, 150}, {1.5, 120}, {1.6, 45}};

// The limit between the NOAA points, by straight lines.
double noaaLimit(double pO2)
{
    for (size_t i = 0; i + 1 < std::size(kNoaa); ++i)
        if (pO2 <= kNoaa[i + 1].pO2) {
            const double f = (pO2 - kNoaa[i].pO2) / (kNoaa[i + 1].pO2 - kNoaa[i].pO2);
            return kNoaa[i].minutes + f * (kNoaa[i + 1].minutes - kNoaa[i].minutes);
        }
    return kNoaa[std::size(kNoaa) - 1].minutes;
}

// The limit the lines give: the NOAA points joined by straight lines from 0.6
// to 1.6 bar, 900 to 720 min over 0.5..0.6 bar, down to 1 min at 1.82 bar and
// constant above.
double lineLimit(double pO2)
{
    if (pO2 <= 0.6)
        return 1800.0 - 1800.0 * pO2;
    if (pO2 <= 1.6)
        return noaaLimit(pO2);
    return -200.2 * std::min(pO2, 1.82) + 365.364;
}

// Brute force: dt / limit summed over many small steps of a linear change.
double integrateLinear(double from, double to, double minutes)
{
    const int steps = 200000;
    const double dt = minutes / steps;
    double cns = 0.0;
    for (int i = 0; i < steps; ++i) {
        const double p = from + (to - from) * (i + 0.5) / steps;
        if (p > 0.5)
            cns += dt / lineLimit(p);
    }
    return cns;
}

} // namespace

class OxygenTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { zhl16_t::initZhl16C(); }

    void cnsRateFollowsNoaaLimits_data()
    {
        QTest::addColumn<double>("pO2");
        for (const NoaaLimit& limit : kNoaa)
            QTest::newRow(qPrintable(QString::number(limit.pO2))) << limit.pO2;
        QTest::newRow("between 1.0 and 1.1") << 1.05;
        QTest::newRow("between 1.3 and 1.4") << 1.35;
        QTest::newRow("between 0.6 and 0.7") << 0.65;
    }

    void cnsRateFollowsNoaaLimits()
    {
        QFETCH(double, pO2);
        const double minutes = 1.0 / repex_t::CNS(float(pO2));
        QVERIFY2(std::fabs(minutes - noaaLimit(pO2)) < 0.5,
                 qPrintable(QStringLiteral("%1 bar: %2 min").arg(pO2).arg(minutes)));
    }

    void cnsRateEdges()
    {
        QCOMPARE(repex_t::CNS(0.55f), 0.0f);
        QCOMPARE(repex_t::CNS(1.7f), 1.0f / 7.0f);
        QVERIFY(std::fabs(1.0f / repex_t::CNS(1.575f) - 64.0f) < 0.5f);
        QVERIFY(std::fabs(1.0f / repex_t::CNS(1.55f) - 83.0f) < 0.5f);
    }

    // Below 0.6 bar no single-exposure limit exists; the threshold was once
    // compared in atmospheres and let 0.592..0.6 bar count at the 0.6 bar rate.
    void noCnsBelowTheTable()
    {
        QCOMPARE(repex_t::CNS(0.595f), 0.0f);
        QCOMPARE(repex_t::CNS(0.6f), 1.0f / 720.0f);
    }

    void limitLinesMeetNoaaPoints()
    {
        for (const NoaaLimit& limit : kNoaa) {
            const double cns = repex_t::cnsConstant(0.21, 30.0, limit.pO2 / 0.21);
            QVERIFY2(std::fabs(30.0 / cns - limit.minutes) < 1e-6 * limit.minutes,
                     qPrintable(QString::number(limit.pO2)));
        }
        QCOMPARE(repex_t::cnsConstant(0.21, 60.0, 1.0), 0.0);
        // Above the table's top the rate stays that of 1.82 bar (a one-minute limit).
        QCOMPARE(repex_t::cnsConstant(1.0, 2.0, 2.5), 2.0 / (-200.2 * 1.82 + 365.364));
    }

    void findRange_data()
    {
        QTest::addColumn<double>("pO2");
        QTest::addColumn<int>("range");
        QTest::newRow("0.5 is outside") << 0.5 << -1;
        QTest::newRow("0.55") << 0.55 << 0;
        QTest::newRow("0.6 closes range 0") << 0.6 << 0;
        QTest::newRow("1.1 closes range 4") << 1.1 << 4;
        QTest::newRow("1.3") << 1.3 << 5;
        QTest::newRow("1.82") << 1.82 << 7;
        QTest::newRow("above 1.82") << 1.83 << -1;
    }

    void findRange()
    {
        QFETCH(double, pO2);
        QFETCH(int, range);
        QCOMPARE(repex_t::findRange(pO2), range);
    }

    // The exact integral over the limit lines against a brute-force sum.
    void linearExposureMatchesIntegration_data()
    {
        QTest::addColumn<double>("P1");
        QTest::addColumn<double>("P2");
        QTest::addColumn<double>("minutes");
        QTest::addColumn<double>("fO2");
        QTest::newRow("descent on nitrox across four ranges") << 1.0 << 5.0 << 4.0 << 0.32;
        QTest::newRow("ascent on oxygen from 6 m") << 1.6 << 1.0 << 3.0 << 1.0;
        QTest::newRow("descent from below 0.5 bar") << 1.0 << 7.0 << 10.0 << 0.21;
        QTest::newRow("inside one range") << 1.2 << 1.4 << 2.0 << 1.0;
    }

    void linearExposureMatchesIntegration()
    {
        QFETCH(double, P1);
        QFETCH(double, P2);
        QFETCH(double, minutes);
        QFETCH(double, fO2);
        const double exact = repex_t::cnsAscentDescent(P1, P2, minutes, fO2);
        const double brute = integrateLinear(P1 * fO2, P2 * fO2, minutes);
        QVERIFY2(std::fabs(exact - brute) < 1e-6 + 1e-4 * brute,
                 qPrintable(QStringLiteral("%1 vs %2").arg(exact).arg(brute)));
    }

    void linearExposureBelowTheTableIsMinusOne()
    {
        QCOMPARE(repex_t::cnsAscentDescent(1.0, 2.0, 5.0, 0.21), -1.0);
    }

    // Equal end pressures divided 0 by 0; the exposure is then constant.
    void levelExposureIsConstant()
    {
        std::feclearexcept(FE_ALL_EXCEPT);
        const double level = repex_t::cnsAscentDescent(1.4, 1.4, 30.0, 1.0);
        QCOMPARE(std::fetestexcept(FE_INVALID | FE_DIVBYZERO), 0);
        QCOMPARE(level, repex_t::cnsConstant(1.0, 30.0, 1.4));
        QVERIFY(std::fabs(level - 0.2) < 1e-9);
    }

    // Both ends above the top of the table count at the top's rate.
    void exposureAboveTheTableIsCutAtTheTop()
    {
        const double cut = repex_t::cnsAscentDescent(2.0, 2.5, 3.0, 1.0);
        QVERIFY(std::isfinite(cut));
        QVERIFY(std::fabs(cut - 3.0 / (-200.2 * 1.82 + 365.364)) < 1e-9);
    }

    // Oxygen tolerance units per minute from the published table.
    void otuTable_data()
    {
        QTest::addColumn<double>("pO2");
        QTest::addColumn<double>("otu");
        const double table[][2] = {{0.5, 0.00}, {0.6, 0.26}, {0.7, 0.47}, {0.8, 0.65}, {0.9, 0.83},
                                   {1.0, 1.00}, {1.1, 1.16}, {1.2, 1.32}, {1.3, 1.48}, {1.4, 1.63},
                                   {1.5, 1.78}, {1.6, 1.93}};
        for (const auto& row : table)
            QTest::newRow(qPrintable(QString::number(row[0]))) << row[0] << row[1];
    }

    void otuTable()
    {
        QFETCH(double, pO2);
        QFETCH(double, otu);
        QVERIFY2(std::fabs(repex_t::OTU(float(pO2)) - otu) <= 0.006,
                 qPrintable(QString::number(repex_t::OTU(float(pO2)))));
    }

    // A diver breathing a constant pO2 reaches 100 % CNS at the NOAA limit.
    void diverReachesFullCnsAtTheLimit_data()
    {
        QTest::addColumn<double>("pO2");
        QTest::addColumn<double>("minutes");
        QTest::newRow("1.6 bar, 45 min") << 1.6 << 45.0;
        QTest::newRow("1.4 bar, 150 min") << 1.4 << 150.0;
        QTest::newRow("1.0 bar, 300 min") << 1.0 << 300.0;
    }

    void diverReachesFullCnsAtTheLimit()
    {
        QFETCH(double, pO2);
        QFETCH(double, minutes);
        diver_t diver;
        const float P = float(pO2);
        for (int i = 0; i < int(minutes); ++i)
            diver.load_oxygen(P, P, 1.0f, gas_t::oxygen, setpoint_t::none);
        QVERIFY2(std::fabs(diver.CNS - 1.0f) < 0.005f, qPrintable(QString::number(diver.CNS)));
    }

    void cnsDecaysWithANinetyMinuteHalfTime()
    {
        diver_t diver;
        diver.CNS = 0.4f;
        diver.load_oxygen(0.6f, 0.6f, 90.0f, gas_t::oxygen, setpoint_t::none);
        QVERIFY(std::fabs(diver.CNS - 0.2f) < 1e-5f);
        diver.CNS = 0.0009f;
        diver.load_oxygen(1.0f, 1.0f, 1.0f, gas_t::air, setpoint_t::none);
        QCOMPARE(diver.CNS, 0.0f);
        diver.CNS = 0.3f;
        QCOMPARE(diver.load_oxygen(2.0f, 2.0f, 0.0f, gas_t::oxygen, setpoint_t::none), 0.3f);
    }
};

MAREVANE_TEST_MAIN(OxygenTest)
#include "tst_oxygen.moc"

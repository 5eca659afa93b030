#include "testenvironment.h"

#include "decotestsupport.h"

#include "deco/dive.h"
#include "deco/diver.h"
#include "deco/repex.h"
#include "deco/zhl16.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr long kLongMin = std::numeric_limits<long>::min();
constexpr long kLongMax = std::numeric_limits<long>::max();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();
constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A diver loaded with trimix at 60 m for 25 minutes: stops with helium, so
// that the stop times come from the searched form.
diver_t loadedOnTrimix()
{
    diver_t diver;
    diver.load_inert(1.013f, 7.2f, 3.0f, gas_t(18, 45), setpoint_t::none);
    diver.load_inert(7.2f, 25.0f, gas_t(18, 45), setpoint_t::none);
    return diver;
}

bool sameState(const diver_t& a, const diver_t& b)
{
    for (int j = 0; j < 16; ++j) {
        if (a.N2[j] != b.N2[j] || a.He[j] != b.He[j])
            return false;
    }
    return a.CNS == b.CNS;
}

// A float from the whole range a caller could hand the engine: ordinary
// values mostly, and now and then zero, negative, huge, infinite or not a number.
float anyFloat(QRandomGenerator& random, float ordinaryLow, float ordinaryHigh)
{
    switch (random.bounded(16)) {
    case 0: return 0.0f;
    case 1: return -float(random.generateDouble() * 1e6);
    case 2: return float(random.generateDouble() * 1e30);
    case 3: return kInfinity;
    case 4: return -kInfinity;
    case 5: return kNaN;
    case 6: return std::numeric_limits<float>::denorm_min();
    default: return ordinaryLow + float(random.generateDouble()) * (ordinaryHigh - ordinaryLow);
    }
}

int anyInt(QRandomGenerator& random, int ordinaryLow, int ordinaryHigh)
{
    switch (random.bounded(8)) {
    case 0: return std::numeric_limits<int>::min();
    case 1: return std::numeric_limits<int>::max();
    case 2: return -random.bounded(1, 1000);
    default: return random.bounded(ordinaryLow, ordinaryHigh + 1);
    }
}

long anyLong(QRandomGenerator& random)
{
    switch (random.bounded(6)) {
    case 0: return kLongMin;
    case 1: return kLongMax;
    case 2: return kLongMax - random.bounded(0, 30000);
    case 3: return kLongMin + random.bounded(0, 30000);
    default: return long(random.bounded(-200000, 200000));
    }
}

// A configuration with every choice random, some out of range.
dive_t randomConfiguration(QRandomGenerator& random)
{
    dive_t config;
    config.set_metric(random.bounded(2) == 0);
    config.setDensityType(DensityType(random.bounded(4)));
    config.set_vasc_index(anyInt(random, 0, 4));
    config.set_vdesc_index(anyInt(random, 0, 6));
    config.set_laststop_depth_index(anyInt(random, 0, 1));
    config.set_pO2_limit_index(anyInt(random, 0, 7));
    config.set_divemode(divemode_t(random.bounded(3)));
    config.set_gfs(gfs_t(uchar(random.bounded(256)), uchar(random.bounded(256))));
    for (int i = 0; i < 8; ++i) {
        config.set_gas(anyInt(random, 0, 7), gas_t(uchar(random.bounded(256)), uchar(random.bounded(256))));
        config.set_gas_enabled(anyInt(random, 0, 7), random.bounded(2) == 0);
    }
    for (int i = 0; i < 3; ++i)
        config.set_setpoint(i, {anyFloat(random, 0.5f, 1.6f), int16_t(random.bounded(-100, 400)), 0});
    config.surface_pressure = random.bounded(4) == 0 ? anyFloat(random, 0.5f, 1.1f) : 1.013f;
    config.sort_gases();
    return config;
}

} // namespace

// Repairs of the engine: no signed overflow at extreme values, the results
// of sane values unchanged, and random configurations and dives computed
// without undefined behaviour.
class RepairEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { zhl16_t::initZhl16C(); }

    // The previous stop time is only a guess for the search: whatever it is,
    // even infinite or huge, the stop time found is the same.
    void stopTimeIgnoresAnExtremeGuess_data()
    {
        QTest::addColumn<float>("guess");
        QTest::newRow("minus infinity") << -kInfinity;
        QTest::newRow("most negative float") << std::numeric_limits<float>::lowest();
        QTest::newRow("below the smallest int") << -3.0e7f;
        QTest::newRow("plus infinity") << kInfinity;
        QTest::newRow("above the largest int") << 3.0e7f;
        QTest::newRow("not a number") << kNaN;
    }

    void stopTimeIgnoresAnExtremeGuess()
    {
        QFETCH(float, guess);
        const diver_t diver = loadedOnTrimix();
        const gas_t trimix(18, 45);
        for (const float Pstop : {2.2f, 1.9f, 1.6f, 1.3f}) {
            const float expected = zhl16_t::Tstop(5.0f, diver, Pstop, trimix, setpoint_t::none, Pstop - 0.3f, 0.8f);
            QCOMPARE(zhl16_t::Tstop(guess, diver, Pstop, trimix, setpoint_t::none, Pstop - 0.3f, 0.8f), expected);
        }
    }

    // Surface intervals of any length, at either end of the clock: no
    // overflow, and the load is that of the interval the clock allows.
    void surfaceIntervalAtTheEndsOfTheClock_data()
    {
        QTest::addColumn<long>("tRef");
        QTest::addColumn<long>("tFrom");
        QTest::addColumn<long>("tTo");
        QTest::newRow("reference at the end of the clock") << kLongMax << long(0) << long(7200);
        QTest::newRow("interval from the start of the clock") << long(0) << kLongMin << long(0);
        QTest::newRow("interval to the end of the clock") << long(0) << long(0) << kLongMax;
        QTest::newRow("whole clock") << kLongMin << kLongMin << kLongMax;
        QTest::newRow("reference at the start of the clock") << kLongMin << long(0) << long(100);
    }

    void surfaceIntervalAtTheEndsOfTheClock()
    {
        QFETCH(long, tRef);
        QFETCH(long, tFrom);
        QFETCH(long, tTo);
        diver_t diver = loadedOnTrimix();
        diver.surface_inert(1.013f, tRef, tFrom, tTo, false);
        for (int j = 0; j < 16; ++j) {
            QVERIFY(std::isfinite(diver.N2[j]) && diver.N2[j] > 0.0f);
            QVERIFY(std::isfinite(diver.He[j]) && diver.He[j] >= 0.0f);
        }
    }

    // Sane intervals load as they always did.
    void saneSurfaceIntervalsUnchanged_data()
    {
        QTest::addColumn<long>("tRef");
        QTest::addColumn<long>("tFrom");
        QTest::addColumn<long>("tTo");
        QTest::addColumn<float>("reducedMinutes");
        QTest::addColumn<float>("fullMinutes");
        // Factor 0.32 of the default reduction level over the first six hours.
        QTest::newRow("inside the six hours") << long(1000) << long(1000) << long(4600) << 3600 * 0.32f / 60.0f << 0.0f;
        QTest::newRow("across the six hours")
            << long(0) << long(18000) << long(25200) << 3600 * 0.32f / 60.0f << 3600 / 60.0f;
        QTest::newRow("after the six hours") << long(0) << long(30000) << long(33600) << 0.0f << 3600 / 60.0f;
    }

    void saneSurfaceIntervalsUnchanged()
    {
        QFETCH(long, tRef);
        QFETCH(long, tFrom);
        QFETCH(long, tTo);
        QFETCH(float, reducedMinutes);
        QFETCH(float, fullMinutes);
        diver_t diver = loadedOnTrimix();
        diver_t expected = diver;
        expected.load_inert(1.013f, reducedMinutes, gas_t::air, setpoint_t::none);
        expected.load_inert(1.013f, fullMinutes, gas_t::air, setpoint_t::none);
        diver.surface_inert(1.013f, tRef, tFrom, tTo, false);
        QVERIFY(sameState(diver, expected));
    }

    // Loading stops once the tissues have settled: years at one pressure
    // cost what the days to settle cost, and give the same state, one that
    // more loading at that pressure leaves as it is.
    void longLoadsSettle_data()
    {
        QTest::addColumn<float>("pressure");
        QTest::addColumn<bool>("trimix");
        QTest::newRow("air at 30 m") << 4.1f << false;
        QTest::newRow("trimix at 60 m") << 7.2f << true;
        QTest::newRow("not a number") << kNaN << false;
        QTest::newRow("infinite") << kInfinity << true;
    }

    void longLoadsSettle()
    {
        QFETCH(float, pressure);
        QFETCH(bool, trimix);
        const gas_t gas = trimix ? gas_t(18, 45) : gas_t::air;
        diver_t longest = loadedOnTrimix();
        diver_t settled = longest;
        longest.load_inert_seconds(pressure, std::numeric_limits<int>::max(), gas, setpoint_t::none);
        settled.load_inert_seconds(pressure, 60 * 86400, gas, setpoint_t::none);
        QCOMPARE(std::memcmp(longest.N2, settled.N2, sizeof longest.N2), 0);
        QCOMPARE(std::memcmp(longest.He, settled.He, sizeof longest.He), 0);
        // Sixteen more steps of 512 s, none of them a settled check: a check
        // that stopped the loading too soon would leave them something to move.
        diver_t again = longest;
        again.load_inert_seconds(pressure, 16 * 512, gas, setpoint_t::none);
        QCOMPARE(std::memcmp(again.N2, longest.N2, sizeof longest.N2), 0);
        QCOMPARE(std::memcmp(again.He, longest.He, sizeof longest.He), 0);
    }

    // A record with times at the ends of the clock: no overflow; it is not a
    // valid dive, and its engagement is clamped.
    void diveRecordAtTheEndsOfTheClock_data()
    {
        QTest::addColumn<int64_t>("begin");
        QTest::addColumn<int64_t>("end");
        QTest::addColumn<int>("engagement");
        // The longest duration there is, at 40 m in salt water.
        const float dP = 40.0f * 1.03f * 9.80665f / 100.0f;
        const int longest = int(std::round(dP * std::sqrt(float(kInt64Max) / 60.0f)));
        QTest::newRow("from the start to the end") << kInt64Min << kInt64Max << longest;
        QTest::newRow("from the end to the start") << kInt64Max << kInt64Min << 0;
        QTest::newRow("begins at the start") << kInt64Min << int64_t(1700000000) << longest;
        QTest::newRow("ends at the start") << int64_t(1700000000) << kInt64Min << 0;
    }

    void diveRecordAtTheEndsOfTheClock()
    {
        QFETCH(int64_t, begin);
        QFETCH(int64_t, end);
        QFETCH(int, engagement);
        dive_t dive;
        dive.header.begin_time = begin;
        dive.header.end_time = end;
        dive.header.max_depth = 400;
        dive.header.deducted = 4000000000u;
        QVERIFY(!dive.isValid());
        QCOMPARE(dive.engagement(), engagement);
    }

    // An ordinary record keeps its figures: valid, with the engagement of
    // its duration less the deducted seconds.
    void saneDiveRecordUnchanged()
    {
        dive_t dive;
        dive.header.begin_time = 1700000000;
        dive.header.end_time = 1700000000 + 2460;
        dive.header.max_depth = 400;
        dive.header.deducted = 60;
        QVERIFY(dive.isValid());
        const float dP = 40.0f * 1.03f * 9.80665f / 100.0f;
        QCOMPARE(dive.engagement(), int(std::round(dP * std::sqrt(40.0f))));
    }

    // The ceiling alone, as the planner's ceiling follower asks for it every
    // two seconds, is the ceiling of the whole solution, and leaves the
    // solver in the state the whole solution does, dive after dive.
    void ceilingAloneIsTheCeilingOfTheSolution_data()
    {
        QTest::addColumn<int>("o2");
        QTest::addColumn<int>("he");
        QTest::addColumn<int>("gfLow");
        QTest::newRow("air 80/80") << 21 << 0 << 80;
        QTest::newRow("air 30/85") << 21 << 0 << 30;
        QTest::newRow("nitrox 32, 20/90") << 32 << 0 << 20;
        QTest::newRow("trimix 18/45, 30/85") << 18 << 45 << 30;
    }

    void ceilingAloneIsTheCeilingOfTheSolution()
    {
        QFETCH(int, o2);
        QFETCH(int, he);
        QFETCH(int, gfLow);
        dive_t config;
        config.set_gas(0, gas_t(uchar(o2), uchar(he)));
        config.set_gfs(gfs_t(uchar(gfLow), uchar(gfLow == 80 ? 80 : 85 + gfLow % 10)));
        const gas_t& gas = config.current_gas();
        QRandomGenerator random(uint(o2 * 100 + gfLow));
        zhl16_t whole;
        zhl16_t ceilingOnly;
        whole.begin(config);
        ceilingOnly.begin(config);
        diver_t diver;
        float P = 1.013f;
        int staged = 0;
        for (int step = 0; step < 3000; ++step) {
            // Down and up in two-second steps, as a dive goes.
            const float next = std::max(1.013f, P + float(random.generateDouble() * 0.5 - 0.24) * (step < 1500 ? 1.0f : -1.0f));
            diver.load_inert(P, next, 1.0f / 30.0f, gas, setpoint_t::none);
            P = next;
            whole.solve(config, diver, P, 0.0f);
            ceilingOnly.solve_ceiling(config, diver, P);
            QCOMPARE(ceilingOnly.ceiling, whole.ceiling);
            QCOMPARE(ceilingOnly.stop_count > 0, whole.stop_count > 0);
            QCOMPARE(ceilingOnly.first_stop, whole.first_stop);
            QCOMPARE(ceilingOnly.anchor_stop, whole.anchor_stop);
            QCOMPARE(ceilingOnly.anchor_pressure, whole.anchor_pressure);
            QCOMPARE(ceilingOnly.slow_pressure, whole.slow_pressure);
            QCOMPARE(ceilingOnly.ndl, whole.ndl);
            if (whole.stop_count > 0) {
                ++staged;
                QCOMPARE(ceilingOnly.stops[0].pressure, whole.stops[0].pressure);
                QCOMPARE(ceilingOnly.stops[0].minutes, whole.stops[0].minutes);
            }
        }
        QVERIFY(staged > 100);
    }

    // Random configurations, tissue states, pressures and times through the
    // whole engine: under the sanitizers any overflow or undefined value
    // stops the test.
    void randomConfigurationsAndDives()
    {
        QRandomGenerator random(20241214);
        int stopsSeen = 0;
        for (int run = 0; run < 300; ++run) {
            dive_t config = randomConfiguration(random);
            diver_t diver;
            diver.begin(anyFloat(random, 0.5f, 1.1f));
            zhl16_t solver;
            solver.begin(config);
            for (int step = 0; step < 6; ++step) {
                const float P1 = anyFloat(random, 1.0f, 12.0f);
                const float P2 = anyFloat(random, 1.0f, 12.0f);
                const float minutes = anyFloat(random, 0.0f, 40.0f);
                const gas_t& gas = config.gas_at(anyInt(random, 0, 7));
                const setpoint_t& sp = config.setpoint_at(anyInt(random, 0, 2));
                diver.load_inert(P1, P2, minutes, gas, sp);
                diver.load_oxygen(P1, P2, minutes, gas, sp);
                diver.load_inert_seconds(P2, anyInt(random, 0, 3000), gas, sp);
                diver.surface_inert(P1, anyLong(random), anyLong(random), anyLong(random), false);
                diver.purge_inert(gas);
                diver.calc_icd(gas, sp, P2);
                diver.gf(P2);
                diver.gf(P2, anyInt(random, 0, 15));
                diver.calc_supersaturation(P2);

                solver.solve(config, diver, P2, anyFloat(random, 0.0f, 10.0f));
                stopsSeen += solver.stop_count;
                solver.update_firststop(config, diver, P2);
                solver.gfmax(config, P2);
                solver.gfmax(config, P2, anyInt(random, 0, zhl16_t::max_stops));
                zhl16_t::Tndl(anyFloat(random, 0.0f, 250.0f), config, diver, P2);
                zhl16_t::Tstop(anyFloat(random, 0.0f, 60.0f), diver, P2, gas, sp, anyFloat(random, 1.0f, 3.0f),
                               anyFloat(random, 0.2f, 1.0f));
                zhl16_t::Tdesat(diver, anyFloat(random, 0.5f, 1.1f));
                zhl16_t::PtolAmb(diver, anyFloat(random, 0.2f, 1.0f));
                repex_t::CNS(anyFloat(random, 0.0f, 2.0f));
                repex_t::OTU(anyFloat(random, 0.0f, 2.0f));
                repex_t::cnsAscentDescent(P1, P2, minutes, gas.fO2);
            }
            QVERIFY(solver.stop_count >= 0 && solver.stop_count <= zhl16_t::max_stops);

            // The record's stream both ways, and its figures.
            config.diver = diver;
            config.header.begin_time = random.bounded(2) ? kInt64Min + random.bounded(0, 100) : int64_t(random.generate64());
            config.header.end_time = random.bounded(2) ? kInt64Max - random.bounded(0, 100) : int64_t(random.generate64());
            config.header.max_depth = uint16_t(random.bounded(65536));
            config.header.deducted = random.generate();
            config.duration_mode = uint8_t(random.bounded(2));
            config.header.begin_counter = random.generate();
            config.header.end_counter = random.generate();
            config.isValid();
            config.engagement();
            decotest::MemoryStream stream;
            QVERIFY(config.write_dive(stream, random.bounded(2) == 0));
            dive_t read;
            decotest::MemoryStream back(stream.bytes());
            read.read_dive(back);
            read.isValid();
            read.engagement();
        }
        QVERIFY(stopsSeen > 0);
    }

    // Random bytes read as configurations and records: they read or are
    // refused, and what reads is computed without undefined behaviour.
    void randomStreams()
    {
        QRandomGenerator random(7);
        for (int run = 0; run < 300; ++run) {
            QByteArray bytes;
            for (int n = random.bounded(0, 400); n > 0; --n)
                bytes.append(char(random.bounded(256)));
            dive_t config;
            decotest::MemoryStream configStream(bytes);
            config.read_config(configStream, uchar(random.bounded(0, 13)));
            decotest::MemoryStream diveStream(bytes);
            config.read_dive(diveStream);
            config.isValid();
            config.engagement();
            zhl16_t solver;
            solver.begin(config);
            solver.solve(config, config.diver, config.stop_pressure(anyInt(random, 1, 30)), 0.0f);
        }
    }
};

MAREVANE_TEST_MAIN(RepairEngineTest)
#include "tst_repairengine.moc"

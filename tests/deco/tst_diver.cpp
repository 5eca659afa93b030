#include "testenvironment.h"

#include "decotestsupport.h"
#include "deco/diver.h"
#include "deco/zhl16.h"

#include <QtTest>

#include <array>
#include <cmath>

namespace {

constexpr int N = 16;
const setpoint_t kOpen = setpoint_t::none;

diver_t loadedWith(float n2, float he)
{
    std::array<float, N> nitrogen;
    std::array<float, N> helium;
    nitrogen.fill(n2);
    helium.fill(he);
    diver_t diver;
    diver.begin(nitrogen.data(), helium.data(), 0.0f);
    return diver;
}

float largestDifference(const diver_t& a, const diver_t& b)
{
    float largest = 0.0f;
    for (int j = 0; j < N; ++j) {
        largest = std::max(largest, std::fabs(a.N2[j] - b.N2[j]));
        largest = std::max(largest, std::fabs(a.He[j] - b.He[j]));
    }
    return largest;
}

} // namespace

class DiverTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { zhl16_t::initZhl16C(); }

    void freshStateIsSaturatedAtSeaLevel()
    {
        const diver_t diver;
        for (int j = 0; j < N; ++j) {
            QCOMPARE(diver.N2[j], 0.750737f);
            QCOMPARE(diver.He[j], 0.0f);
        }
        QCOMPARE(diver.CNS, 0.0f);
        QCOMPARE(diver.helium, uint8_t(0));
        QCOMPARE(diver.getReduction(), reduction_medium);
        QCOMPARE(diver.reduction_factor, 0.32f);
        QVERIFY(diver.valid());
    }

    // After one half-time at constant pressure the gap to the alveolar
    // pressure halves; after six, one sixty-fourth of it remains.
    void halfTimes_data()
    {
        QTest::addColumn<bool>("helium");
        QTest::addColumn<int>("halfTimes");
        for (int halves : {1, 6}) {
            QTest::newRow(qPrintable(QStringLiteral("nitrogen, %1").arg(halves))) << false << halves;
            QTest::newRow(qPrintable(QStringLiteral("helium, %1").arg(halves))) << true << halves;
        }
    }

    void halfTimes()
    {
        QFETCH(bool, helium);
        QFETCH(int, halfTimes);
        const gas_t trimix(10, 70);
        const float P = 6.0f;
        const float target = helium ? trimix.PalvHe(kOpen, P) : trimix.PalvN2(kOpen, P);
        const float remaining = std::pow(0.5f, float(halfTimes));
        for (int j = 0; j < N; ++j) {
            diver_t diver = loadedWith(0.75f, 0.1f);
            const float start = helium ? diver.He[j] : diver.N2[j];
            const float halfTime = helium ? zhl16_t::h_He[j] : zhl16_t::h_N2[j];
            diver.load_inert(P, halfTime * float(halfTimes), trimix, kOpen);
            const float gap = target - (helium ? diver.He[j] : diver.N2[j]);
            QVERIFY2(std::fabs(gap / (target - start) - remaining) < 1e-5f,
                     qPrintable(QStringLiteral("compartment %1: %2").arg(j + 1).arg(gap / (target - start))));
        }
    }

    // Whole seconds go through the 2^i-second tables; they must agree with
    // the exact exponential.
    void secondsAgreeWithMinutes()
    {
        const gas_t trimix(18, 45);
        diver_t bySeconds = loadedWith(0.75f, 0.0f);
        diver_t byMinutes = bySeconds;
        bySeconds.load_inert_seconds(5.0f, 1337, trimix, kOpen);
        byMinutes.load_inert(5.0f, 1337.0f / 60.0f, trimix, kOpen);
        QVERIFY(largestDifference(bySeconds, byMinutes) < 2e-5f);
    }

    void longSecondLoadsGoBy512()
    {
        const gas_t air = gas_t::air;
        diver_t once;
        diver_t inParts;
        once.load_inert_seconds(4.0f, 1200, air, kOpen);
        inParts.load_inert_seconds(4.0f, 512, air, kOpen);
        inParts.load_inert_seconds(4.0f, 512, air, kOpen);
        inParts.load_inert_seconds(4.0f, 176, air, kOpen);
        QCOMPARE(largestDifference(once, inParts), 0.0f);
    }

    // A negative count used to load the bits of a negative int.
    void negativeSecondsLoadNothing()
    {
        diver_t diver;
        const diver_t before = diver;
        diver.load_inert_seconds(5.0f, -300, gas_t(18, 45), kOpen);
        diver.load_inert_seconds(5.0f, 0, gas_t(18, 45), kOpen);
        QCOMPARE(largestDifference(diver, before), 0.0f);
        QCOMPARE(diver.helium, uint8_t(0));
    }

    // Schreiner's linear segment against many short constant steps at their
    // midpoint pressures.
    void schreinerMatchesSmallSteps_data()
    {
        QTest::addColumn<float>("P1");
        QTest::addColumn<float>("P2");
        QTest::addColumn<float>("minutes");
        QTest::addColumn<int>("o2");
        QTest::addColumn<int>("he");
        QTest::addColumn<float>("setpoint");
        QTest::newRow("descent on air") << 1.013f << 5.0f << 2.0f << 21 << 0 << INFINITY;
        QTest::newRow("ascent on trimix") << 7.0f << 2.2f << 5.0f << 18 << 45 << INFINITY;
        QTest::newRow("slow descent on nitrox") << 1.0f << 3.0f << 40.0f << 32 << 0 << INFINITY;
        QTest::newRow("closed circuit ascent") << 6.0f << 3.0f << 4.0f << 21 << 35 << 1.3f;
    }

    void schreinerMatchesSmallSteps()
    {
        QFETCH(float, P1);
        QFETCH(float, P2);
        QFETCH(float, minutes);
        QFETCH(int, o2);
        QFETCH(int, he);
        QFETCH(float, setpoint);
        const setpoint_t sp{setpoint, 0, 0};
        const gas_t gas(static_cast<unsigned char>(o2), static_cast<unsigned char>(he));

        diver_t linear = loadedWith(1.2f, he ? 0.4f : 0.0f);
        diver_t steps = linear;
        linear.load_inert(P1, P2, minutes, gas, sp);
        const int count = 2000;
        const float dt = minutes / float(count);
        for (int i = 0; i < count; ++i) {
            const float mid = P1 + (P2 - P1) * (float(i) + 0.5f) / float(count);
            steps.load_inert(mid, dt, gas, sp);
        }
        QVERIFY2(largestDifference(linear, steps) < 2e-4f,
                 qPrintable(QString::number(largestDifference(linear, steps))));
    }

    // Saturation at the surface stays saturation under every loading form.
    void saturationIsInvariantAtTheSurface()
    {
        const float Psurf = 0.9f;
        diver_t saturated;
        saturated.begin(Psurf);
        diver_t diver = saturated;
        diver.load_inert(Psurf, 37.0f, gas_t::air, kOpen);
        diver.load_inert(Psurf, Psurf, 12.5f, gas_t::air, kOpen);
        diver.load_inert_seconds(Psurf, 4000, gas_t::air, kOpen);
        diver.surface_inert(Psurf, 0, 0, 30000, false);
        diver.load_inert(Psurf, Psurf, 0.0001f, gas_t::air, kOpen);
        QVERIFY(largestDifference(diver, saturated) < 1e-6f);
    }

    void zeroLengthSegmentsChangeNothing()
    {
        diver_t diver;
        const diver_t before = diver;
        diver.load_inert(2.0f, 2.0f, 0.0f, gas_t::air, kOpen);
        diver.load_inert(3.0f, 3.0f, 0.0001f, gas_t::air, kOpen); // rounds to 0 s
        diver.load_inert(3.0f, 1.0f, -1.0f, gas_t::air, kOpen);
        diver.load_inert(3.0f, -2.0f, gas_t::air, kOpen);
        QCOMPARE(largestDifference(diver, before), 0.0f);
    }

    // The first six hours after the reference time desaturate at the
    // reduction factor, the rest at the full rate.
    void surfaceIntervalCountsSixHoursReduced()
    {
        diver_t loaded = loadedWith(2.5f, 0.0f);
        loaded.setReduction(reduction_high);
        const long tRef = 1000;
        const long from = tRef + 3600;
        const long to = tRef + 21600 + 7200;

        diver_t interval = loaded;
        interval.surface_inert(1.013f, tRef, from, to, false);
        diver_t expected = loaded;
        expected.load_inert(1.013f, 18000.0f * 0.18f / 60.0f, gas_t::air, kOpen);
        expected.load_inert(1.013f, 7200.0f / 60.0f, gas_t::air, kOpen);
        QVERIFY(largestDifference(interval, expected) < 1e-6f);

        diver_t late = loaded;
        late.surface_inert(1.013f, tRef, tRef + 30000, tRef + 33600, false);
        diver_t full = loaded;
        full.load_inert(1.013f, 60.0f, gas_t::air, kOpen);
        QVERIFY(largestDifference(late, full) < 1e-6f);
    }

    void heliumIsPurgedOnlyOnceWashedOut()
    {
        diver_t diver;
        diver.load_inert(5.0f, 20.0f, gas_t(18, 45), kOpen);
        QCOMPARE(diver.helium, uint8_t(1));
        diver.purge_inert(gas_t::air);
        QCOMPARE(diver.helium, uint8_t(1));

        std::array<float, N> nitrogen;
        std::array<float, N> helium;
        nitrogen.fill(0.8f);
        helium.fill(0.02f);
        diver.begin(nitrogen.data(), helium.data(), 0.0f);
        diver.purge_inert(gas_t(18, 45));
        QCOMPARE(diver.helium, uint8_t(1));
        diver.purge_inert(gas_t::air);
        QCOMPARE(diver.helium, uint8_t(0));
        QCOMPARE(diver.He[7], 0.0f);
    }

    void supersaturationAndGradientFactor()
    {
        diver_t diver = loadedWith(1.5f, 0.0f);
        QVERIFY(std::fabs(diver.calc_supersaturation(1.0f) - 8.0f) < 1e-5f);
        QCOMPARE(diver.calc_supersaturation(2.0f), 0.0f);
        // Compartment 1 at 1.5 bar under 1.0 bar: 0.5 of the allowed 1/b + a - 1.
        const float allowed = 1.0f / zhl16_t::b_N2[0] + zhl16_t::a_N2[0] - 1.0f;
        QVERIFY(std::fabs(diver.gf(1.0f, 0) - 0.5f / allowed) < 1e-6f);
        float largest = 0.0f;
        for (int j = 0; j < N; ++j)
            largest = std::max(largest, diver.gf(1.0f, j));
        QCOMPARE(diver.gf(1.0f), largest);
        QCOMPARE(diver.gf(1.6f), 0.0f);
    }

    void counterDiffusion()
    {
        // Tissues holding some helium switch to air at depth: nitrogen flows
        // in faster than helium leaves.
        diver_t diver = loadedWith(0.5f, 0.5f);
        QVERIFY(diver.calc_icd(gas_t(21, 0), kOpen, 4.0f));
        // Without helium loaded there is nothing to counter-diffuse.
        QVERIFY(!diver_t().calc_icd(gas_t(21, 0), kOpen, 4.0f));
        QVERIFY(!diver.calc_icd(gas_t::oxygen, kOpen, 4.0f));
    }

    void reductionLevels()
    {
        diver_t diver;
        diver.setReduction(reduction_high);
        diver.setNextReduction();
        QCOMPARE(diver.getReduction(), reduction_none);
        QCOMPARE(diver.reduction_factor, 1.0f);
        diver.setNextReduction();
        QCOMPARE(diver.reduction_factor, 0.54f);
        diver.setReduction(SurfaceReduction(7));
        QCOMPARE(diver.reduction_factor, 0.54f);
        diver.setNextReduction();
        QCOMPARE(int(diver.getReduction()), 7);
    }

    void validity_data()
    {
        QTest::addColumn<int>("compartment");
        QTest::addColumn<float>("value");
        QTest::addColumn<float>("cns");
        QTest::addColumn<bool>("valid");
        QTest::newRow("fresh") << -1 << 0.0f << 0.0f << true;
        QTest::newRow("negative nitrogen") << 3 << -0.1f << 0.0f << false;
        QTest::newRow("not a number") << 15 << std::nanf("") << 0.0f << false;
        QTest::newRow("infinite") << 0 << INFINITY << 0.0f << false;
        QTest::newRow("CNS 10") << -1 << 0.0f << 10.0f << false;
        QTest::newRow("CNS 9.9") << -1 << 0.0f << 9.9f << true;
        QTest::newRow("negative CNS") << -1 << 0.0f << -0.01f << false;
        QTest::newRow("CNS minus infinity") << -1 << 0.0f << -INFINITY << false;
    }

    void validity()
    {
        QFETCH(int, compartment);
        QFETCH(float, value);
        QFETCH(float, cns);
        QFETCH(bool, valid);
        diver_t diver;
        if (compartment >= 0)
            diver.N2[compartment] = value;
        diver.CNS = cns;
        QCOMPARE(diver.valid(), valid);
    }

    void streamRoundTrip()
    {
        diver_t diver;
        diver.load_inert(5.0f, 30.0f, gas_t(18, 45), kOpen);
        diver.CNS = 0.37f;
        diver.setReduction(reduction_low);
        decotest::MemoryStream stream;
        QVERIFY(diver.write(stream));
        QCOMPARE(stream.bytes().size(), 134);

        diver_t back;
        QVERIFY(back.read(stream));
        QCOMPARE(largestDifference(back, diver), 0.0f);
        QCOMPARE(back.CNS, 0.37f);
        QCOMPARE(back.helium, uint8_t(1));
        QCOMPARE(back.getReduction(), reduction_low);
        QCOMPARE(back.reduction_factor, 0.54f);
    }

    void readTakesAnyHeliumByteAndOnlyKnownLevels()
    {
        decotest::Bytes bytes;
        for (int j = 0; j < N; ++j)
            bytes.f32(1.0f + float(j));
        for (int j = 0; j < N; ++j)
            bytes.f32(0.0f);
        bytes.f32(0.5f).u8(7).u8(9);
        decotest::MemoryStream stream(bytes);
        diver_t diver;
        QVERIFY(diver.read(stream));
        QCOMPARE(diver.N2[15], 16.0f);
        QCOMPARE(diver.helium, uint8_t(1));
        QCOMPARE(diver.getReduction(), reduction_medium);
        QCOMPARE(diver.reduction_factor, 0.32f);
    }

    void shortStreamChangesNothing()
    {
        decotest::MemoryStream stream(QByteArray(100, '\x01'));
        diver_t diver;
        QVERIFY(!diver.read(stream));
        QCOMPARE(largestDifference(diver, diver_t()), 0.0f);
    }
};

MAREVANE_TEST_MAIN(DiverTest)
#include "tst_diver.moc"

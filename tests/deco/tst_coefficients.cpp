#include "testenvironment.h"

#include "deco/diver.h"
#include "deco/zhl16.h"

#include <QtTest>

#include <array>
#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <random>

namespace {

constexpr int N = 16;

// Bühlmann, Tauchmedizin: ZH-L16C for nitrogen (compartment 1 at 4.0 min)
// and ZH-L16 for helium, half-times in minutes, a in bar, b.
constexpr double kN2Halftimes[N] = {4.0, 8.0, 12.5, 18.5, 27.0, 38.3, 54.3, 77.0,
                                    109.0, 146.0, 187.0, 239.0, 305.0, 390.0, 498.0, 635.0};
constexpr double kN2A[N] = {1.2599, 1.0000, 0.8618, 0.7562, 0.6200, 0.5043, 0.4410, 0.4000,
                            0.3750, 0.3500, 0.3295, 0.3065, 0.2835, 0.2610, 0.2480, 0.2327};
constexpr double kN2B[N] = {0.5050, 0.6514, 0.7222, 0.7825, 0.8126, 0.8434, 0.8693, 0.8910,
                            0.9092, 0.9222, 0.9319, 0.9403, 0.9477, 0.9544, 0.9602, 0.9653};
constexpr double kHeHalftimes[N] = {1.51, 3.02, 4.72, 6.99, 10.21, 14.48, 20.53, 29.11,
                                    41.20, 55.19, 70.69, 90.34, 115.29, 147.42, 188.24, 240.03};
constexpr double kHeA[N] = {1.7424, 1.3830, 1.1919, 1.0458, 0.9220, 0.8205, 0.7305, 0.6502,
                            0.5950, 0.5545, 0.5333, 0.5189, 0.5181, 0.5176, 0.5172, 0.5119};
constexpr double kHeB[N] = {0.4245, 0.5747, 0.6527, 0.7223, 0.7582, 0.7957, 0.8279, 0.8553,
                            0.8757, 0.8903, 0.8997, 0.9073, 0.9122, 0.9171, 0.9217, 0.9267};

// The same model as published in M-value form (metres of sea water,
// absolute): the surfacing value M0 and the slope dM.
constexpr double kN2M0[N] = {32.4, 25.4, 22.5, 20.3, 18.5, 16.9, 15.9, 15.2,
                             14.7, 14.3, 14.0, 13.7, 13.4, 13.1, 12.9, 12.7};
constexpr double kN2DeltaM[N] = {1.9802, 1.5352, 1.3847, 1.2780, 1.2306, 1.1857, 1.1504, 1.1223,
                                 1.0999, 1.0844, 1.0731, 1.0635, 1.0552, 1.0478, 1.0414, 1.0359};
constexpr double kHeM0[N] = {41.0, 31.2, 27.2, 24.3, 22.4, 20.8, 19.4, 18.2,
                             17.4, 16.8, 16.4, 16.2, 16.1, 16.1, 16.0, 15.9};
constexpr double kHeDeltaM[N] = {2.3557, 1.7400, 1.5321, 1.3845, 1.3189, 1.2568, 1.2079, 1.1692,
                                 1.1419, 1.1232, 1.1115, 1.1022, 1.0963, 1.0904, 1.0850, 1.0791};

bool sameBits(float a, float b)
{
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// The factors of t minutes, computed the way the model computes them.
bool givesFactorsOf(const zhl16_t::factors_t& factors, float t)
{
    for (int j = 0; j < N; ++j) {
        const float fN2 = std::exp(-zhl16_t::k_N2[j] * t);
        const float fHe = std::exp(-zhl16_t::k_He[j] * t);
        if (!sameBits(factors.F_N2[j], fN2) || !sameBits(factors.E_N2[j], (1.0f - fN2) / zhl16_t::k_N2[j])
            || !sameBits(factors.F_He[j], fHe) || !sameBits(factors.E_He[j], (1.0f - fHe) / zhl16_t::k_He[j]))
            return false;
    }
    return true;
}

} // namespace

class CoefficientsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { zhl16_t::initZhl16C(); }

    void tablesArePublishedOnes()
    {
        QCOMPARE(QByteArray(model_t::model), QByteArray("zhl16c"));
        for (int j = 0; j < N; ++j) {
            QCOMPARE(zhl16_t::h_N2[j], float(kN2Halftimes[j]));
            QCOMPARE(zhl16_t::a_N2[j], float(kN2A[j]));
            QCOMPARE(zhl16_t::b_N2[j], float(kN2B[j]));
            QCOMPARE(zhl16_t::h_He[j], float(kHeHalftimes[j]));
            QCOMPARE(zhl16_t::a_He[j], float(kHeA[j]));
            QCOMPARE(zhl16_t::b_He[j], float(kHeB[j]));
        }
        QCOMPARE(zhl16_t::h_N2[0], 4.0f);
        QCOMPARE(zhl16_t::a_N2[0], 1.2599f);
        QCOMPARE(zhl16_t::b_N2[0], 0.5050f);
    }

    // Helium diffuses faster by the root of the molar-mass ratio, about √7.
    void heliumHalftimesAreNitrogenOverRootSeven()
    {
        for (int j = 0; j < N; ++j) {
            const double expected = zhl16_t::h_N2[j] / std::sqrt(7.0);
            QVERIFY2(std::fabs(zhl16_t::h_He[j] - expected) < 0.002 * expected, qPrintable(QString::number(j)));
        }
    }

    // a = M0 - dM x 10 msw (the surface), b = 1 / dM, in bar.
    void mValueTablesConvertToTheCoefficients()
    {
        for (int j = 0; j < N; ++j) {
            QVERIFY2(std::fabs((kN2M0[j] - kN2DeltaM[j] * 10.0) / 10.0 - zhl16_t::a_N2[j]) < 0.006,
                     qPrintable(QString::number(j)));
            QVERIFY2(std::fabs(1.0 / kN2DeltaM[j] - zhl16_t::b_N2[j]) < 0.0001, qPrintable(QString::number(j)));
            QVERIFY2(std::fabs((kHeM0[j] - kHeDeltaM[j] * 10.0) / 10.0 - zhl16_t::a_He[j]) < 0.006,
                     qPrintable(QString::number(j)));
            QVERIFY2(std::fabs(1.0 / kHeDeltaM[j] - zhl16_t::b_He[j]) < 0.0001, qPrintable(QString::number(j)));
        }
    }

    void rateConstantsAndFactorTables()
    {
        for (int j = 0; j < N; ++j) {
            const double k = std::log(2.0) / kN2Halftimes[j];
            QCOMPARE(zhl16_t::k_N2[j], float(k));
            QCOMPARE(zhl16_t::k_He[j], float(std::log(2.0) / kHeHalftimes[j]));
            for (int i = 0; i < zhl16_t::table_rows; ++i) {
                const double f = std::exp(-k * std::pow(2.0, i) / 60.0);
                QCOMPARE(zhl16_t::F_N2_tab[i][j], float(f));
                QCOMPARE(zhl16_t::E_N2_tab[i][j], float((1.0 - f) / k));
            }
        }
    }

    // The tolerated pressures are the Bühlmann line P / b + a, scaled by the
    // gradient factor.
    void toleratedPressures()
    {
        diver_t diver;
        for (int j = 0; j < N; ++j)
            diver.N2[j] = 1.0f + 0.1f * float(j);
        for (unsigned char j = 0; j < N; ++j) {
            QCOMPARE(zhl16_t::PtolIg(diver, j, 1.0f, 1.0f), 1.0f / zhl16_t::b_N2[j] + zhl16_t::a_N2[j]);
            const float ceiling = (diver.N2[j] - zhl16_t::a_N2[j]) * zhl16_t::b_N2[j];
            QVERIFY(std::fabs(zhl16_t::PtolAmb(diver, j, 1.0f) - ceiling) < 1e-6f);
            // A tissue exactly at its tolerated inert pressure sits on its ceiling.
            const float gf = 0.7f;
            const float atCeiling = zhl16_t::PtolAmb(diver, j, gf);
            QVERIFY(std::fabs(zhl16_t::PtolIg(diver, j, atCeiling, gf) - diver.N2[j]) < 1e-5f);
        }
        const float ceiling = zhl16_t::PtolAmb(diver, 0.8f);
        QVERIFY(!zhl16_t::IsTolAmb(diver, ceiling, 0.8f));
        QVERIFY(zhl16_t::IsTolAmb(diver, ceiling + 0.001f, 0.8f));
    }

    // The factors of recent intervals are kept: whichever order the intervals
    // come in, more of them than are kept, each call gives its own interval's
    // factors, and installing other tables drops those of the old ones.
    void keptIntervalFactorsBelongToTheirInterval()
    {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> pick(0, 10);
        const std::array<float, 11> intervals = {1.0f / 30.0f, 0.1f,  0.35f, 1.25f, 2.0f, 0.001f,
                                                 7.5f,        0.2f,  3.0f,  0.05f, 12.0f};
        for (int call = 0; call < 400; ++call) {
            const float t = intervals[size_t(call < 22 ? call % 11 : pick(random))];
            QVERIFY2(givesFactorsOf(zhl16_t::interval_factors(t), t), qPrintable(QString::number(call)));
        }

        std::array<float, N> doubled;
        for (int j = 0; j < N; ++j)
            doubled[size_t(j)] = 2.0f * zhl16_t::h_N2[j];
        const std::array<float, N> heliumHalftimes = std::to_array(zhl16_t::h_He);
        const std::array<float, N> aN2 = std::to_array(zhl16_t::a_N2);
        const std::array<float, N> bN2 = std::to_array(zhl16_t::b_N2);
        const std::array<float, N> aHe = std::to_array(zhl16_t::a_He);
        const std::array<float, N> bHe = std::to_array(zhl16_t::b_He);
        zhl16_t::set_mode("doubled", doubled.data(), aN2.data(), bN2.data(), heliumHalftimes.data(), aHe.data(),
                          bHe.data());
        const bool slowerTables = givesFactorsOf(zhl16_t::interval_factors(0.35f), 0.35f);
        zhl16_t::initZhl16C();
        QVERIFY(slowerTables);
        QVERIFY(givesFactorsOf(zhl16_t::interval_factors(0.35f), 0.35f));
    }

    // The ceiling over the compartments is the deepest compartment's ceiling,
    // and a pressure is tolerated when every compartment tolerates it, bit
    // for bit, with and without helium, empty compartments included.
    void compartmentsTogetherAreEachCompartment()
    {
        std::mt19937 random(11);
        std::uniform_real_distribution<float> load(0.0f, 4.0f);
        std::uniform_real_distribution<float> factor(0.2f, 1.0f);
        for (int round = 0; round < 300; ++round) {
            std::array<float, N> nitrogen;
            std::array<float, N> helium{};
            for (int j = 0; j < N; ++j) {
                // Some rounds have empty compartments, a few nothing at all.
                nitrogen[size_t(j)] = round % 7 == 0 || (round % 5 == 0 && j % 4 == 1) ? 0.0f : load(random);
                if (round % 2 == 1 && round % 7 != 0)
                    helium[size_t(j)] = j % 3 == 0 ? 0.0f : load(random);
            }
            diver_t diver;
            diver.begin(nitrogen.data(), helium.data(), 0.0f);
            const float gf = factor(random);
            float deepest = 0.0f;
            for (unsigned char j = 0; j < N; ++j)
                deepest = std::max(deepest, zhl16_t::PtolAmb(diver, j, gf));
            QVERIFY2(sameBits(zhl16_t::PtolAmb(diver, gf), deepest), qPrintable(QString::number(round)));
            for (const float P : {deepest, std::nextafter(deepest, 10.0f), deepest + 0.5f, 0.0f}) {
                bool everyOne = true;
                for (unsigned char j = 0; j < N; ++j)
                    everyOne = everyOne && P > zhl16_t::PtolAmb(diver, j, gf);
                QCOMPARE(zhl16_t::IsTolAmb(diver, P, gf), everyOne);
            }
        }
    }

    // Compartment numbers beyond the sixteen used to read past the tables.
    void missingCompartmentsCountNothing()
    {
        const diver_t diver;
        QCOMPARE(zhl16_t::PtolIg(diver, 16, 2.0f, 1.0f), 0.0f);
        QCOMPARE(zhl16_t::PtolAmb(diver, 255, 1.0f), 0.0f);
        QCOMPARE(diver.gf(0.5f, 16), 0.0f);
        QCOMPARE(diver.gf(0.5f, -1), 0.0f);
    }

    void emptyTissuesTolerateEverything()
    {
        diver_t diver;
        diver.begin(std::array<float, 16>{}.data(), std::array<float, 16>{}.data(), 0.0f);
        QCOMPARE(zhl16_t::PtolAmb(diver, 0.8f), 0.0f);
    }

    // The helium share of an empty compartment was 0 / 0.
    void emptyCompartmentMixesAsNitrogen()
    {
        diver_t diver;
        std::array<float, 16> nitrogen{};
        std::array<float, 16> helium{};
        helium[5] = 0.5f;
        diver.begin(nitrogen.data(), helium.data(), 0.0f);
        QCOMPARE(diver.helium, uint8_t(1));
        std::feclearexcept(FE_ALL_EXCEPT);
        const float tolerated = zhl16_t::PtolIg(diver, 0, 1.0f, 1.0f);
        QCOMPARE(std::fetestexcept(FE_INVALID | FE_DIVBYZERO), 0);
        QCOMPARE(tolerated, 1.0f / zhl16_t::b_N2[0] + zhl16_t::a_N2[0]);
        // A helium-only compartment takes the helium coefficients.
        QCOMPARE(zhl16_t::PtolIg(diver, 5, 1.0f, 1.0f), 1.0f / zhl16_t::b_He[5] + zhl16_t::a_He[5]);
    }
};

MAREVANE_TEST_MAIN(CoefficientsTest)
#include "tst_coefficients.moc"

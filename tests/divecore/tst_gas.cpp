#include "testenvironment.h"

#include "divecore/gas.h"

#include <cmath>
#include <limits>

using divecore::Gas;
using divecore::MixtureUse;
using divecore::Setpoint;

Q_DECLARE_METATYPE(divecore::Gas)

namespace {

Gas withO2(Gas gas, double f)
{
    gas.setFractionO2(f);
    return gas;
}

Gas withHe(Gas gas, double f)
{
    gas.setFractionHe(f);
    return gas;
}

Gas withPO2Max(Gas gas, float v)
{
    gas.setPO2Max(v);
    return gas;
}

bool closeTo(double actual, double expected)
{
    return std::fabs(actual - expected) <= 1e-5 * std::max(1.0, std::fabs(expected));
}

const Setpoint kSetpoint13{1.3f, 0, 0};

} // namespace

#define COMPARE_CLOSE(actual, expected)                                                            \
    QVERIFY2(closeTo((actual), (expected)),                                                        \
             qPrintable(QStringLiteral("%1 != %2").arg(double(actual), 0, 'g', 9).arg(double(expected), 0, 'g', 9)))

class GasTest : public QObject
{
    Q_OBJECT

private slots:
    void classification_data()
    {
        QTest::addColumn<Gas>("gas");
        QTest::addColumn<int>("type");

        const auto byte = [](int o2, int he) { return Gas(static_cast<unsigned char>(o2), static_cast<unsigned char>(he)); };
        QTest::newRow("default") << Gas() << 0;
        QTest::newRow("static air") << Gas::air << 0;
        QTest::newRow("static oxygen") << Gas::oxygen << 1;
        QTest::newRow("byte 21/0") << byte(21, 0) << 0;
        QTest::newRow("int 21/0") << Gas(21, 0) << 0;
        QTest::newRow("float 21/0") << Gas(21.0f, 0.0f) << 0;
        QTest::newRow("double 0.21/0") << Gas(0.21, 0.0, 1.4, MixtureUse::OpenCircuit, true) << 0;
        QTest::newRow("setter back to 0.21") << withO2(withO2(Gas(), 0.32), 0.21) << 0;
        QTest::newRow("byte 100/0") << byte(100, 0) << 1;
        QTest::newRow("setter 1.0") << withO2(Gas(), 1.0) << 1;
        QTest::newRow("int 32/0") << Gas(32, 0) << 2;
        QTest::newRow("int 300/0 is 44") << Gas(300, 0) << 2;
        QTest::newRow("double 0.5/0") << Gas(0.5, 0.0, 1.6, MixtureUse::OpenCircuit, true) << 2;
        QTest::newRow("int 18/0") << Gas(18, 0) << 5;
        QTest::newRow("float 20.9/0") << Gas(20.9f, 0.0f) << 5;
        QTest::newRow("int 18/45") << Gas(18, 45) << 3;
        QTest::newRow("setter He on air") << withHe(Gas(), 0.35) << 3;
        QTest::newRow("double 0.18/0.45") << Gas(0.18, 0.45, 1.4, MixtureUse::Diluent, true) << 3;
        QTest::newRow("int 20/80") << Gas(20, 80) << 4;
        QTest::newRow("int 50/60 over 100") << Gas(50, 60) << 4;
        QTest::newRow("setter He to 0.79") << withHe(Gas(), 0.79) << 4;
        QTest::newRow("double 0.5/0.5005") << Gas(0.5, 0.5005, 1.6, MixtureUse::OpenCircuit, true) << 4;
        QTest::newRow("double fO2 0.04 stays air") << Gas(0.04, 0.0, 1.4, MixtureUse::OpenCircuit, true) << 0;
        QTest::newRow("not a number") << Gas(std::numeric_limits<float>::quiet_NaN(), 0.0f) << -1;
    }

    void classification()
    {
        QFETCH(Gas, gas);
        QFETCH(int, type);
        QCOMPARE(gas.gasType(), type);
    }

    void percentConstructorsKeepEveryFraction()
    {
        const Gas crowded(50, 60);
        QCOMPARE(crowded.fO2, 0.5f);
        QCOMPARE(crowded.fHe, 0.6f);
        QCOMPARE(crowded.fN2, 0.0f);
        QCOMPARE(Gas(300, 0).fO2, 0.44f);
        QCOMPARE(Gas(-256 + 30, 0).fO2, 0.3f);
        const Gas trimix(18, 45);
        QCOMPARE(trimix.fN2, 1.0f - 0.18f - 0.45f);
        QCOMPARE(trimix.pO2Max, -1.0f);
        QCOMPARE(trimix.flag, std::uint8_t(1));
        QCOMPARE(trimix.inactive, std::uint8_t(0));
    }

    void fiveArgumentConstructor_data()
    {
        QTest::addColumn<double>("o2");
        QTest::addColumn<double>("he");
        QTest::addColumn<double>("pO2max");
        QTest::addColumn<float>("fO2");
        QTest::addColumn<float>("fHe");
        QTest::addColumn<float>("fN2");
        QTest::addColumn<float>("storedPO2Max");

        QTest::newRow("nitrox") << 0.32 << 0.0 << 1.4 << 0.32f << 0.0f << 0.68f << 1.4f;
        QTest::newRow("oxygen below 0.05") << 0.04 << 0.0 << 1.4 << 0.21f << 0.0f << 0.79f << 1.4f;
        QTest::newRow("helium above 0.99") << 0.05 << 0.991 << 1.4 << 0.21f << 0.0f << 0.79f << 1.4f;
        QTest::newRow("sum just inside") << 0.5 << 0.5005 << 1.6 << 0.5f << 0.5005f << 0.0f << 1.6f;
        QTest::newRow("sum beyond 1.001") << 0.5 << 0.502 << 1.6 << 0.21f << 0.0f << 0.79f << 1.6f;
        QTest::newRow("pO2max 2.7") << 0.32 << 0.0 << 2.7 << 0.32f << 0.0f << 0.68f << 2.7f;
        QTest::newRow("pO2max 3.0") << 0.32 << 0.0 << 3.0 << 0.32f << 0.0f << 0.68f << 0.0f;
        QTest::newRow("pO2max 0.5") << 0.32 << 0.0 << 0.5 << 0.32f << 0.0f << 0.68f << 0.0f;
        QTest::newRow("not a number") << std::nan("") << 0.0 << std::nan("") << 0.21f << 0.0f << 0.79f << 0.0f;
    }

    void fiveArgumentConstructor()
    {
        QFETCH(double, o2);
        QFETCH(double, he);
        QFETCH(double, pO2max);
        const Gas gas(o2, he, pO2max, MixtureUse::Bailout, false);
        QTEST(gas.fO2, "fO2");
        QTEST(gas.fHe, "fHe");
        QTEST(gas.fN2, "fN2");
        QTEST(gas.pO2Max, "storedPO2Max");
        QCOMPARE(gas.use, MixtureUse::Bailout);
        QCOMPARE(gas.inactive, std::uint8_t(1));
        QCOMPARE(gas.flag, std::uint8_t(1));
    }

    void setterBounds_data()
    {
        QTest::addColumn<Gas>("gas");
        QTest::addColumn<float>("fO2");
        QTest::addColumn<float>("fHe");
        QTest::addColumn<float>("fN2");

        QTest::newRow("O2 0.05 taken") << withO2(Gas(), 0.05) << 0.05f << 0.0f << 0.95f;
        QTest::newRow("O2 0.0499 refused") << withO2(Gas(), 0.0499) << 0.21f << 0.0f << 0.79f;
        QTest::newRow("O2 1.0 taken") << withO2(Gas(), 1.0) << 1.0f << 0.0f << 0.0f;
        QTest::newRow("O2 1.0001 refused") << withO2(Gas(), 1.0001) << 0.21f << 0.0f << 0.79f;
        QTest::newRow("O2 with He, sum 1.0005") << withO2(Gas(20, 50), 0.5005) << 0.5005f << 0.5f << 0.0f;
        QTest::newRow("O2 with He, sum 1.002") << withO2(Gas(20, 50), 0.502) << 0.2f << 0.5f << 0.3f;
        QTest::newRow("O2 not a number") << withO2(Gas(), std::nan("")) << 0.21f << 0.0f << 0.79f;
        QTest::newRow("He 0 taken") << withHe(Gas(18, 45), 0.0) << 0.18f << 0.0f << 0.82f;
        QTest::newRow("He -0.01 refused") << withHe(Gas(), -0.01) << 0.21f << 0.0f << 0.79f;
        QTest::newRow("He 0.79 leaves no N2") << withHe(Gas(), 0.79) << 0.21f << 0.79f << 0.0f;
        QTest::newRow("He 0.7905 inside tolerance") << withHe(Gas(), 0.7905) << 0.21f << 0.7905f << 0.0f;
        QTest::newRow("He 0.792 refused") << withHe(Gas(), 0.792) << 0.21f << 0.0f << 0.79f;
        QTest::newRow("He 0.991 refused") << withHe(Gas(5, 0), 0.991) << 0.05f << 0.0f << 0.95f;
    }

    void setterBounds()
    {
        QFETCH(Gas, gas);
        QTEST(gas.fO2, "fO2");
        QTEST(gas.fHe, "fHe");
        QTEST(gas.fN2, "fN2");
    }

    void maximumOxygenPressureSetter_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<float>("stored");
        QTest::newRow("1.4") << 1.4f << 1.4f;
        QTest::newRow("3.5 unchecked") << 3.5f << 3.5f;
        QTest::newRow("0") << 0.0f << 1.6f;
        QTest::newRow("-2") << -2.0f << 1.6f;
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 1.6f;
    }

    void maximumOxygenPressureSetter()
    {
        QFETCH(float, value);
        QTEST(withPO2Max(Gas(), value).pO2Max, "stored");
    }

    void partialPressures_data()
    {
        QTest::addColumn<Gas>("gas");
        QTest::addColumn<float>("setpoint");
        QTest::addColumn<float>("pressure");
        QTest::addColumn<double>("inspO2");
        QTest::addColumn<double>("inspN2");
        QTest::addColumn<double>("alvN2");
        QTest::addColumn<double>("inspHe");
        QTest::addColumn<double>("alvHe");

        const float oc = std::numeric_limits<float>::infinity();
        const float nan = std::numeric_limits<float>::quiet_NaN();
        QTest::newRow("nitrox OC") << Gas(32, 0) << oc << 4.0f << 1.28 << 2.72 << 2.677364 << 0.0 << 0.0;
        QTest::newRow("trimix OC") << Gas(18, 45) << oc << 7.0f << 1.26 << 2.59 << 2.566801 << 3.15 << 3.121785;
        QTest::newRow("not-a-number set point is OC") << Gas(18, 45) << nan << 7.0f << 1.26 << 2.59 << 2.566801 << 3.15 << 3.121785;
        QTest::newRow("trimix CC 1.3") << Gas(18, 45) << 1.3f << 7.0f << 1.3 << 2.5436598 << 2.5436598 << 3.0936402 << 3.0936402;
        QTest::newRow("CC above ambient") << Gas(18, 45) << 1.3f << 1.0f << 1.0 << 0.0 << 0.0 << 0.0 << 0.0;
        QTest::newRow("CC at alveolar pressure") << Gas(21, 0) << 0.9373f << 1.0f << 0.9373 << 0.0 << 0.0 << 0.0 << 0.0;
        QTest::newRow("oxygen OC") << Gas::oxygen << oc << 1.6f << 1.6 << 0.0 << 0.0 << 0.0 << 0.0;
        QTest::newRow("oxygen CC") << Gas::oxygen << 1.3f << 4.0f << 1.3 << 0.0 << 0.0 << 0.0 << 0.0;
        // Oxygen above 100 % leaves no inert part to share the loop's remainder.
        QTest::newRow("no inert part CC") << Gas(101, 0) << 1.3f << 4.0f << 1.3 << 0.0 << 0.0 << 0.0 << 0.0;
    }

    void partialPressures()
    {
        QFETCH(Gas, gas);
        QFETCH(float, setpoint);
        QFETCH(float, pressure);
        const Setpoint sp{setpoint, 0, 0};
        QFETCH(double, inspO2);
        QFETCH(double, inspN2);
        QFETCH(double, alvN2);
        QFETCH(double, inspHe);
        QFETCH(double, alvHe);
        COMPARE_CLOSE(gas.PinspO2(sp, pressure), inspO2);
        COMPARE_CLOSE(gas.PinspN2(sp, pressure), inspN2);
        COMPARE_CLOSE(gas.PalvN2(sp, pressure), alvN2);
        COMPARE_CLOSE(gas.PinspHe(sp, pressure), inspHe);
        COMPARE_CLOSE(gas.PalvHe(sp, pressure), alvHe);
    }

    void equivalentDepths()
    {
        COMPARE_CLOSE(Gas(18, 45).END(Setpoint::none, 5.0f, 1.0f, 1.03f), 17.325275);
        COMPARE_CLOSE(Gas(32, 0).END(Setpoint::none, 0.9f, 1.0f, 1.0f), 0.0);
        COMPARE_CLOSE(Gas(32, 0).EAD(Setpoint::none, 4.0f, 1.0f, 1.0f), 24.912054);
        COMPARE_CLOSE(Gas(32, 0).EAD(Setpoint::none, 1.0f, 1.0f, 1.0f), 0.0);
        // In closed circuit the loop breathes the set point, not the diluent's oxygen.
        COMPARE_CLOSE(Gas(21, 0).EAD(kSetpoint13, 4.0f, 1.0f, 1.0f),
                      ((4.0 - 0.0627 - 1.3) / 0.79 - 1.0) * 100.0 / 9.80665);
    }

    void operatingDepths()
    {
        const Gas nitrox = withPO2Max(Gas(32, 0), 1.4f);
        COMPARE_CLOSE(nitrox.MOP(), 4.375);
        COMPARE_CLOSE(nitrox.MOP(Setpoint::none, 1.6f), 4.375);
        COMPARE_CLOSE(nitrox.MOD(Setpoint::none, 1.6f, 0, 0, 1.0f, 1.0f), 34.415422);
        COMPARE_CLOSE(Gas(32, 0).MOD(Setpoint::none, 1.6f, 0, 0, 1.0f, 1.0f), 40.788649);
        COMPARE_CLOSE(nitrox.MOD(Setpoint{1.2f, 0, 0}, 1.6f, 0, 0, 1.0f, 1.0f), 28.042196);
        // A limit above the surface gives a negative depth, not a clamp.
        COMPARE_CLOSE(withPO2Max(Gas::oxygen, 0.5f).MOD(Setpoint::none, 1.6f, 0, 0, 1.0f, 1.0f), -5.098581);
    }

    void density_data()
    {
        QTest::addColumn<Gas>("gas");
        QTest::addColumn<float>("setpoint");
        QTest::addColumn<float>("pressure");
        QTest::addColumn<float>("temperature");
        QTest::addColumn<double>("density");

        const float oc = std::numeric_limits<float>::infinity();
        QTest::newRow("air at the surface") << Gas() << oc << 1.0f << 0.0f << 1.270399;
        QTest::newRow("trimix OC") << Gas(18, 45) << oc << 7.0f << 20.0f << 5.148546;
        QTest::newRow("trimix CC") << Gas(18, 45) << 1.3f << 7.0f << 20.0f << 5.176712;
        QTest::newRow("no inert part CC") << Gas(101, 0) << 1.3f << 7.0f << 20.0f << 1.706789;
        QTest::newRow("CC at no pressure") << Gas(18, 45) << 1.3f << 0.0f << 20.0f << 0.0;
    }

    void density()
    {
        QFETCH(Gas, gas);
        QFETCH(float, setpoint);
        QFETCH(float, pressure);
        QFETCH(float, temperature);
        QFETCH(double, density);
        COMPARE_CLOSE(gas.density(Setpoint{setpoint, 0, 0}, pressure, temperature), density);
    }

    void trueMixture()
    {
        double fHe = -1;
        double fN2 = -1;
        Gas::getTrueMixture(Gas(18, 45), 7.0, 1.3, fHe, fN2);
        COMPARE_CLOSE(fHe, 0.446864);
        COMPARE_CLOSE(fN2, 0.367422);
        Gas::getTrueMixture(Gas(18, 45), 0.0, 1.3, fHe, fN2);
        COMPARE_CLOSE(fHe + fN2, 1.0);
        Gas::getTrueMixture(Gas(101, 0), 7.0, 1.3, fHe, fN2);
        QCOMPARE(fHe, 0.0);
        COMPARE_CLOSE(fN2, 1.0 - 1.3 / 7.0);
    }

    void roundedPercent_data()
    {
        QTest::addColumn<float>("fraction");
        QTest::addColumn<int>("percent");
        QTest::newRow("0.21") << 0.21f << 21;
        QTest::newRow("0.324") << 0.324f << 32;
        QTest::newRow("0.325 rounds up") << 0.325f << 33;
        QTest::newRow("0.355 in float") << 0.355f << 36;
        QTest::newRow("1.0") << 1.0f << 100;
        QTest::newRow("2.56 keeps the low byte") << 2.56f << 0;
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0;
    }

    void roundedPercent()
    {
        QFETCH(float, fraction);
        QTEST(int(divecore::roundedPercent(fraction)), "percent");
    }
};

MAREVANE_TEST_MAIN(GasTest)
#include "tst_gas.moc"

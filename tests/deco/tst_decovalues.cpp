#include "testenvironment.h"

#include "deco/gas.h"
#include "deco/model.h"

#include <QtTest>

#include <cmath>
#include <cstring>
// The engine's log hook must live beside the POSIX one.
#include <syslog.h>

class DecoValuesTest : public QObject
{
    Q_OBJECT

private slots:
    void gasFromPercentages_data()
    {
        QTest::addColumn<int>("o2");
        QTest::addColumn<int>("he");
        QTest::addColumn<QString>("name");
        QTest::addColumn<float>("fO2");
        QTest::addColumn<float>("fHe");
        QTest::addColumn<float>("fN2");

        QTest::newRow("oxygen above 100 %") << 120 << 10 << "OXY" << 1.0f << 0.0f << 0.0f;
        QTest::newRow("helium cut to the rest") << 50 << 60 << "50/50" << 0.5f << 0.5f << 0.0f;
        QTest::newRow("nitrox") << 32 << 0 << "32%" << 0.32f << 0.0f << 0.68f;
        QTest::newRow("hypoxic, two digits") << 5 << 0 << "05%" << 0.05f << 0.0f << 0.95f;
        QTest::newRow("trimix") << 18 << 45 << "18/45" << 0.18f << 0.45f << 0.37f;
        QTest::newRow("air") << 21 << 0 << "21%" << 0.21f << 0.0f << 0.79f;
        QTest::newRow("helium only") << 0 << 100 << "00/100" << 0.0f << 1.0f << 0.0f;
    }

    void gasFromPercentages()
    {
        QFETCH(int, o2);
        QFETCH(int, he);
        QFETCH(QString, name);
        QFETCH(float, fO2);
        QFETCH(float, fHe);
        QFETCH(float, fN2);
        const gas_t gas(static_cast<unsigned char>(o2), static_cast<unsigned char>(he));
        QCOMPARE(QString::fromLatin1(gas.name), name);
        QCOMPARE(gas.fO2 + 1.0f, fO2 + 1.0f);
        QCOMPARE(gas.fHe + 1.0f, fHe + 1.0f);
        QCOMPARE(gas.fN2 + 1.0f, fN2 + 1.0f);
        QCOMPARE(gas.extra1, 0.0f);
        QCOMPARE(gas.extra2, 0);
    }

    void gasNameKeepsSevenCharacters()
    {
        const gas_t gas(32, 0, "Nitrox 32 deco");
        QCOMPARE(QByteArray(gas.name), QByteArray("Nitrox "));
        QCOMPARE(gas.fO2, 0.32f);
    }

    void gasStatics()
    {
        QCOMPARE(QByteArray(gas_t::air.name), QByteArray("21%"));
        QCOMPARE(gas_t::air.fN2, 0.79f);
        QCOMPARE(QByteArray(gas_t::oxygen.name), QByteArray("OXY"));
        QCOMPARE(gas_t::oxygen.fO2, 1.0f);
        QVERIFY(std::isinf(setpoint_t::none.pressure));
        QVERIFY(!setpoint_t::none.closed_circuit());
        QVERIFY(!(setpoint_t{std::nanf(""), 0, 0}.closed_circuit()));
        QVERIFY((setpoint_t{1.3f, 0, 0}.closed_circuit()));
        QCOMPARE(density_t::salt.value, 1.03f);
        QCOMPARE(density_t::iso.value, 1.02f);
        QCOMPARE(density_t::fresh.value, 1.0f);
    }

    void gasFormat_data()
    {
        QTest::addColumn<int>("o2");
        QTest::addColumn<int>("he");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("nitrox") << 32 << 0 << QByteArray("32/00");
        QTest::newRow("trimix") << 18 << 45 << QByteArray("18/45");
        QTest::newRow("oxygen") << 100 << 0 << QByteArray("OXY");
        QTest::newRow("oxygen above 100, helium tens modulo 10") << 150 << 123 << QByteArray("00/23");
    }

    void gasFormat()
    {
        QFETCH(int, o2);
        QFETCH(int, he);
        QFETCH(QByteArray, text);
        char out[8];
        std::memset(out, 'x', sizeof out);
        gas_t::format(0, out, static_cast<unsigned char>(o2), static_cast<unsigned char>(he));
        QCOMPARE(QByteArray(out), text);
        if (o2 != 100)
            QCOMPARE(out[6], '\0');
    }

    void gradientFactorNames_data()
    {
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("30/85") << 30 << 85 << QByteArray("30/85");
        QTest::newRow("05/100") << 5 << 100 << QByteArray("05/100");
        QTest::newRow("100/100") << 100 << 100 << QByteArray("100/100");
    }

    void gradientFactorNames()
    {
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(QByteArray, name);
        const gfs_t gfs(static_cast<unsigned char>(low), static_cast<unsigned char>(high));
        QCOMPARE(QByteArray(gfs.name), name);
        QCOMPARE(gfs.low, float(low) / 100.0f);
        QCOMPARE(gfs.high, float(high) / 100.0f);
    }

    void gradientFactorDefaultsAndLongNames()
    {
        const gfs_t bhl;
        QCOMPARE(bhl.low, 1.0f);
        QCOMPARE(bhl.high, 1.0f);
        QCOMPARE(QByteArray(bhl.name), QByteArray("BHL"));
        const gfs_t named(30, 70, "eighteen-chars-xyz");
        QCOMPARE(QByteArray(named.name), QByteArray("eighteen-chars-"));
    }

    void sstrcpyBoundsItsCopy()
    {
        char field[8];
        std::memset(field, '#', sizeof field);
        char* end = sstrcpy(field, "abcdefghij", 4);
        QCOMPARE(QByteArray(field), QByteArray("abc"));
        QCOMPARE(end, field + 3);
        QCOMPARE(field[4], '#');

        end = sstrcpy(field, nullptr, 4);
        QCOMPARE(field[0], '\0');
        QCOMPARE(end, field);
        QCOMPARE(sstrcpy(nullptr, "abc", 4), nullptr);
    }

    // A size of zero or less used to write the terminator outside the field.
    void sstrcpyWithNoRoomWritesNothing_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -3;
    }

    void sstrcpyWithNoRoomWritesNothing()
    {
        QFETCH(int, size);
        char guard[4] = {'#', '#', '#', '#'};
        QCOMPARE(sstrcpy(guard + 2, "abc", size), nullptr);
        QCOMPARE(QByteArray(guard, 4), QByteArray("####"));
    }

    // The log hook formats into a fixed buffer; a long message must stay in it
    // (AddressSanitizer reports any write past it).
    void syslogBoundsLongMessages()
    {
        const QByteArray longText(500, 'x');
        deco::syslog("%s %d %s", longText.constData(), 42, longText.constData());
        QVERIFY(true);
    }

    void partialPressures()
    {
        const gas_t air = gas_t::air;
        const gas_t trimix(18, 45);
        const setpoint_t oc = setpoint_t::none;
        const setpoint_t sp13{1.3f, 0, 0};

        QCOMPARE(air.PalvN2(oc, 1.013f), (1.013f - 0.0627f) * 0.79f);
        QCOMPARE(trimix.PinspHe(oc, 4.0f), 0.45f * 4.0f);
        QCOMPARE(gas_t::oxygen.PinspN2(oc, 2.0f), 0.0f);
        QCOMPARE(gas_t::oxygen.PalvHe(oc, 2.0f), 0.0f);
        // Closed circuit: the loop holds the set point, the diluent shares the rest.
        QCOMPARE(air.PinspO2(sp13, 1.0f), 1.0f);
        QCOMPARE(air.PinspO2(sp13, 4.0f), 1.3f);
        QCOMPARE(air.PalvN2(sp13, 1.3f + 0.0627f), 0.0f);
        const float d = 5.0f - 0.0627f - 1.3f;
        QCOMPARE(trimix.PinspN2(sp13, 5.0f) + trimix.PinspHe(sp13, 5.0f), d);
        QCOMPARE(trimix.PalvHe(sp13, 5.0f), 0.45f * d / 0.82f);
    }

    void depthsAndLimits()
    {
        const gas_t ean32(32, 0);
        const float mod = ean32.MOD(setpoint_t::none, 1.4f, 0.0f, 0.0f, 1.013f, 1.03f);
        QCOMPARE(mod, (1.4f / 0.32f - 1.013f) * 100.0f / (1.03f * 9.80665f));
        QCOMPARE(ean32.MOP(setpoint_t::none, 1.6f), 1.6f / 0.32f);
        QCOMPARE(ean32.MOP(setpoint_t{1.2f, 0, 0}, 1.6f), 1.2f / 0.32f);

        // 30 m of salt water on 18/45: narcotic depth from the 55 % without helium.
        const gas_t trimix(18, 45);
        const float P = 1.013f + 1.03f * 9.80665f * 30.0f / 100.0f;
        const float end = trimix.END(setpoint_t::none, P, 1.013f, 1.03f);
        QVERIFY(std::fabs(end - (0.55f * P - 1.013f) * 100.0f / (1.03f * 9.80665f)) < 1e-3f);
        // EAD of nitrox 32 at 30 m: the textbook (30 + 10) x 0.68 / 0.79 - 10 = 24.4 m.
        const float ead = ean32.EAD(setpoint_t::none, P, 1.013f, 1.03f);
        QVERIFY2(std::fabs(ead - 24.43f) < 0.05f, qPrintable(QString::number(ead)));
        QCOMPARE(gas_t::air.END(setpoint_t::none, 1.0f, 1.013f, 1.03f), 0.0f);
    }

    void gasDensity()
    {
        // Dry air at 1.013 bar and 20 degrees weighs 1.20 g/L.
        const float air = gas_t::air.density(setpoint_t::none, 1.013f, 20.0f);
        QVERIFY2(std::fabs(air - 1.20f) < 0.01f, qPrintable(QString::number(air)));
        const float loop = gas_t::air.density(setpoint_t{1.3f, 0, 0}, 4.0f, 20.0f);
        const float expected = (1.3f / 4.0f * 31.999f + 2.7f / 4.0f * 28.0134f) * 4.0f / (293.15f * 0.08314f);
        QVERIFY(std::fabs(loop - expected) < 1e-3f);
    }

    // With a pure oxygen diluent the inert shares were 0 / 0.
    void loopOnOxygenDiluentHasTheDensityOfOxygen()
    {
        const float density = gas_t::oxygen.density(setpoint_t{1.3f, 0, 0}, 4.0f, 20.0f);
        QVERIFY(std::isfinite(density));
        QCOMPARE(density, gas_t::oxygen.density(setpoint_t::none, 4.0f, 20.0f));
    }
};

MAREVANE_TEST_MAIN(DecoValuesTest)
#include "tst_decovalues.moc"

#include "testenvironment.h"

#include "decotestsupport.h"
#include "deco/settings.h"

#include <QtTest>

#include <cmath>

using decotest::Bytes;
using decotest::MemoryStream;

namespace {

QList<int> listedGases(const config_t& config)
{
    QList<int> gases;
    for (int k = 0; k < config.gas_count(); ++k)
        gases << config.gas_list[k];
    return gases;
}

// A configuration stream as a device of the given version writes it, built
// field by field: metric, dive mode 1 (closed circuit), GF 30/85, option 0x1234,
// fresh water, 0.950 bar, indices 3, 4, 1, 5, 3, 2, 1, current gas 2.
QByteArray configFixture(int version, int mode = 1)
{
    Bytes b;
    b.u16(7).u8(1).u8(mode).u8(30).u8(85).u16(0x1234).u8(1).u16(950);
    b.u8(3).u8(4).u8(1).u8(5).u8(3).u8(2).u8(1);
    b.u8(0xAA).u8(2).u8(0x07); // reserved, current gas, mask (A, or the active bank's)
    if (version >= 2)
        b.u8(0x05); // mask B
    auto gases = [&b, version](int firstO2) {
        for (int i = 0; i < 8; ++i) {
            b.u8(firstO2 + i).u8(i % 2 ? 20 : 0);
            if (version >= 8)
                b.u8(15 + i).u8(100 + i);
        }
    };
    gases(21);
    if (version < 3) {
        b.u16(700).u16(1200).u16(1400);
    } else {
        b.u16(700).u16(11).u8(1);
        b.u16(1250).u16(22).u8(0);
        b.u16(1450).u16(33).u8(1);
    }
    if (version >= 2)
        gases(40);
    if (version >= 5)
        b.u8(20).u8(30).u8(10);
    if (version >= 10)
        b.u8(1);
    if (version >= 11)
        b.u8(9).u8(8).u8(7).u8(6);
    return b;
}

} // namespace

class ConfigTest : public QObject
{
    Q_OBJECT

private slots:
    void resetDefaults()
    {
        const config_t config;
        QCOMPARE(config.gfs().low, 0.8f);
        QCOMPARE(QByteArray(config.gfs().name), QByteArray("80/80"));
        QCOMPARE(config.surface_pressure, 1.013f);
        QCOMPARE(config.water_density(), 1.03f);
        QCOMPARE(config.vasc(), 1.1f);
        QCOMPARE(config.vdesc(), 2.2f);
        QCOMPARE(config.vasc_stop(), 0.6f);
        QCOMPARE(config.pnarcotic_limit(), 4.0f);
        QCOMPARE(config.pO2_minlimit(), 0.18f);
        QCOMPARE(config.pO2_limit(), 1.6f);
        QCOMPARE(config.pO2_bottomlimit(), 1.4f);
        QCOMPARE(config.density_limit(), 5.2f);
        QCOMPARE(config.laststop_depth(), 3.0f);
        QVERIFY(config.use_deco_setpoint());
        QVERIFY(config.gas_switch_enabled());
        QVERIFY(!config.is_closed_circuit());
        QCOMPARE(QByteArray(config.bank_b[3].name), QByteArray("32%"));
        QCOMPARE(config.setpoints[1].pressure, 1.3f);
        QCOMPARE(config.setpoints[1].value, int16_t(300));
        QVERIFY(!config.current_setpoint().closed_circuit());
        QCOMPARE(config.device_bytes[2], uint8_t(0xFF));
        QCOMPARE(config.device_floats[1], 40.0f);
    }

    void gasListPerDiveMode()
    {
        config_t config;
        QCOMPARE(listedGases(config), QList<int>{0});
        config.set_divemode(divemode_oc2);
        QCOMPARE(listedGases(config), QList<int>{3});
        QCOMPARE(config.current_gas().fO2, 0.32f);
        config.set_divemode(divemode_cc);
        QCOMPARE(listedGases(config), QList<int>{0});
        QVERIFY(config.is_closed_circuit());
        QCOMPARE(config.current_setpoint().pressure, 0.7f);
    }

    void gasListSkipsEqualMixturesAndSorts()
    {
        config_t config;
        config.set_gas_enabled(1, true);
        config.set_divemode(divemode_oc);
        QCOMPARE(listedGases(config), QList<int>{0});

        config.set_gas(2, gas_t(50, 0));
        config.set_gas(3, gas_t(18, 45));
        config.set_gas(4, gas_t(18, 35));
        config.set_gas(5, gas_t::oxygen);
        for (int i = 2; i <= 5; ++i)
            config.set_gas_enabled(i, true);
        QCOMPARE(listedGases(config), QList<int>{0}); // not re-sorted until the mode is set again
        config.set_divemode(divemode_oc);
        QCOMPARE(listedGases(config), (QList<int>{4, 3, 0, 2, 5}));
        QCOMPARE(config.first_gas(), 4);
        QCOMPARE(config.current_gas_index(), 4);
        QCOMPARE(config.next_gas(4), 3);
        QCOMPARE(config.next_gas(5), 5);
        QCOMPARE(config.next_gas(6), 6);
    }

    void bestGas_data()
    {
        QTest::addColumn<float>("depth");
        QTest::addColumn<bool>("ascent");
        QTest::addColumn<int>("gas");
        // Gases: 0 trimix 18/45 (bottom), 1 nitrox 50, 2 oxygen; pO2 1.6 on the
        // ascent, 1.4 at the bottom.
        QTest::newRow("ascent at 5 m takes oxygen") << 5.0f << true << 2;
        QTest::newRow("ascent at 21 m takes nitrox 50") << 21.0f << true << 1;
        QTest::newRow("ascent at 40 m keeps the current gas") << 40.0f << true << 0;
        QTest::newRow("bottom at 60 m keeps a breathable current gas") << 60.0f << false << 0;
        QTest::newRow("bottom at 80 m has nothing lean enough") << 80.0f << false << 0;
    }

    void bestGas()
    {
        QFETCH(float, depth);
        QFETCH(bool, ascent);
        QFETCH(int, gas);
        const config_t config = decotest::trimixWithDecoGases();
        QCOMPARE(config.best_gas(1.013f + depth / 10.0f, ascent), gas);
    }

    // Entry 0 of the list, the leanest, never comes out of the walk.
    void bestGasNeverPicksTheLeanestFromItsWalk()
    {
        config_t config;
        config.set_gas(0, gas_t(10, 70));
        config.set_gas(1, gas_t(21, 35));
        config.set_gas_enabled(1, true);
        config.set_divemode(divemode_oc);
        config.current_gas_slot = 1;
        // At 100 m the trimix 21/35 is far too rich, only 10/70 fits, but the
        // walk does not return entry 0: the current gas stays.
        QCOMPARE(config.best_gas(11.0f, true), 1);
        QCOMPARE(config.best_gas(11.0f, false), 1);
    }

    void indexSettersWrap()
    {
        config_t config;
        config.set_vasc_index(7);
        QCOMPARE(int(config.vasc_index), 2);
        QCOMPARE(config.vasc(), 1.1f);
        config.set_metric(false);
        QCOMPARE(config.vasc(), 1.0668f);
        QCOMPARE(config.laststop_depth(), 3.048f);
        QCOMPARE(config.pnarcotic_limit(), 3.72608f);

        config_t descent;
        descent.set_vdesc_index(3);
        descent.set_metric(false);
        QCOMPARE(descent.vdesc(), 2.4f);
        descent.set_pO2_bottomlimit_index(9);
        QCOMPARE(descent.pO2_bottomlimit(), 1.1f);
        descent.set_density_limit_index(-1);
        QCOMPARE(descent.density_limit(), 6.2f);
    }

    // Reset comes back to metric with every rate in metric units.
    void resetFromImperialIsMetric()
    {
        config_t config;
        config.set_metric(false);
        config.set_vdesc_index(1);
        config.reset_config();
        QCOMPARE(config.metric, uint8_t(1));
        QCOMPARE(config.vdesc(), 2.2f);
        QCOMPARE(config.vasc(), 1.1f);
    }

    void waterType()
    {
        config_t config;
        config.setDensityType(DensityType::fresh);
        QCOMPARE(config.water_density(), 1.0f);
        config.setDensityType(DensityType::iso);
        QCOMPARE(config.water_density(), 1.02f);
        config.setDensityType(DensityType(7));
        QCOMPARE(config.water_density(), 1.02f);
    }

    void gasAtClampsItsIndex()
    {
        config_t config;
        config.set_gas(7, gas_t(50, 0));
        config.set_gas(0, gas_t(18, 45));
        QCOMPARE(config.gas_at(-1).fO2, 0.5f);
        QCOMPARE(config.gas_at(9).fO2, 0.18f);
    }

    // Negative indices used to reach the arrays through C++'s %.
    void negativeIndicesWrapFromTheEnd()
    {
        config_t config;
        QCOMPARE(&config.setpoint_at(-1), &config.setpoints[2]);
        QCOMPARE(&config.setpoint_at(-3), &config.setpoints[0]);
        QCOMPARE(&config.setpoint_at(4), &config.setpoints[1]);
        config.set_setpoint(-2, setpoint_t{1.1f, 5, 1});
        QCOMPARE(config.setpoints[1].pressure, 1.1f);
        config.set_gas(-1, gas_t(40, 0));
        QCOMPARE(config.bank_a[7].fO2, 0.4f);
        config.set_gas(10, gas_t(45, 0));
        QCOMPARE(config.bank_a[2].fO2, 0.45f);
        config.set_gas_enabled(-1, true);
        QCOMPARE(config.mask_a, uint8_t(0x81));
        config.set_gas_enabled(-8, false);
        QCOMPARE(config.mask_a, uint8_t(0x80));
    }

    void disablingTheCurrentGasMovesToTheFirst()
    {
        config_t config;
        config.set_gas(1, gas_t(50, 0));
        config.set_gas_enabled(1, true);
        config.set_divemode(divemode_oc);
        config.current_gas_slot = 1;
        config.set_gas_enabled(1, false);
        QCOMPARE(config.current_gas_index(), 0);

        config.set_divemode(divemode_cc);
        config.current_gas_slot = 0;
        config.set_gas_enabled(0, false);
        QCOMPARE(config.current_gas_index(), 0); // closed circuit keeps its diluent
    }

    void stopPositions()
    {
        config_t config;
        QCOMPARE(config.stop_depth(0), 0.0f);
        QCOMPARE(config.stop_depth(1), 3.0f);
        QCOMPARE(config.stop_depth(4), 12.0f);
        QCOMPARE(config.stop_pressure(0), 1.013f);
        QCOMPARE(config.stop_pressure(-5), 1.013f);
        QCOMPARE(config.stop_pressure(2), 1.013f + 1.03f * 9.80665f * 6.0f / 100.0f);

        config.set_laststop_depth_index(1);
        QCOMPARE(config.stop_depth(1), 6.0f);
        QCOMPARE(config.stop_depth(2), 9.0f);
        QCOMPARE(config.stop_depth(3), 12.0f);

        config.set_metric(false);
        QCOMPARE(config.stop_depth(1), 6.096f);
        QCOMPARE(config.stop_depth(3), 2.0f * 3.048f + 6.096f);
    }

    void streamRoundTrip()
    {
        config_t config;
        config.settings_value = 42;
        config.set_gfs(gfs_t(30, 85));
        config.option = 0xBEEF;
        config.setDensityType(DensityType::fresh);
        config.surface_pressure = 0.95f;
        config.set_vasc_index(4);
        config.set_pO2_limit_index(5);
        config.set_laststop_depth_index(1);
        config.set_gas(1, gas_t(50, 0));
        config.bank_a[1].extra1 = 1.5f;
        config.bank_a[1].extra2 = 17;
        config.set_gas_enabled(1, true);
        config.set_divemode(divemode_oc2);
        config.set_gas(4, gas_t(18, 45));
        config.set_gas_enabled(4, true);
        config.set_setpoint(2, setpoint_t{1.4f, 99, 1});
        config.set_setpoint(0, setpoint_t::none);
        config.device_floats[0] = 12.0f;
        config.device_flag = 1;
        config.device_bytes[3] = 3;
        config.set_divemode(divemode_oc2);

        MemoryStream stream;
        QVERIFY(config.write_config(stream, false));
        config_t back;
        QVERIFY(back.read_config(stream, config_t::config_version));
        QCOMPARE(stream.remaining(), 0);

        QCOMPARE(back.settings_value, 42u);
        QCOMPARE(QByteArray(back.gfs().name), QByteArray("30/85"));
        QCOMPARE(back.option, uint16_t(0xBEEF));
        QCOMPARE(back.water_density(), 1.0f);
        QCOMPARE(back.surface_pressure, 0.95f);
        QCOMPARE(back.vasc(), 1.5f);
        QCOMPARE(back.pO2_limit(), 1.5f);
        QCOMPARE(back.laststop_depth(), 6.0f);
        QCOMPARE(back.divemode, divemode_oc2);
        QCOMPARE(back.mask_a, config.mask_a);
        QCOMPARE(back.mask_b, config.mask_b);
        QCOMPARE(back.bank_a[1].fO2, 0.5f);
        QCOMPARE(back.bank_a[1].extra1, 1.5f);
        QCOMPARE(back.bank_a[1].extra2, 17);
        QCOMPARE(back.bank_b[4].fHe, 0.45f);
        QCOMPARE(listedGases(back), listedGases(config));
        QCOMPARE(back.setpoints[2].pressure, 1.4f);
        QCOMPARE(back.setpoints[2].value, int16_t(99));
        QCOMPARE(back.setpoints[2].flag, uint8_t(1));
        QCOMPARE(back.setpoints[1].pressure, 1.3f);
        // Open circuit travels as the top of the millibar word and comes back as such.
        QVERIFY(!back.setpoints[0].closed_circuit());
        QCOMPARE(back.device_floats[0], 12.0f);
        QCOMPARE(back.device_flag, uint8_t(1));
        QCOMPARE(back.device_bytes[3], uint8_t(3));
    }

    // A settings value of 255 or more used to be written as a plain word,
    // which the reader then took for the escape and rejected or misread.
    void largeSettingsValuesTravelEscaped_data()
    {
        QTest::addColumn<uint>("value");
        QTest::addColumn<uint>("readBack");
        QTest::newRow("254, plain") << 254u << 254u;
        QTest::newRow("255") << 255u << 255u;
        QTest::newRow("300") << 300u << 300u;
        QTest::newRow("65535") << 65535u << 65535u;
        QTest::newRow("beyond a word, clamped") << 70000u << 65535u;
    }

    void largeSettingsValuesTravelEscaped()
    {
        QFETCH(uint, value);
        QFETCH(uint, readBack);
        config_t config;
        config.settings_value = value;
        MemoryStream stream;
        QVERIFY(config.write_config(stream, false));
        config_t back;
        QVERIFY(back.read_config(stream, config_t::config_version));
        QCOMPARE(back.settings_value, readBack);
        QCOMPARE(stream.remaining(), 0);
    }

    // Floats are clamped before they become bytes and words: a GF of 300 %
    // used to wrap to 44 %, a not-a-number became anything.
    void outOfRangeValuesAreClampedWhenWritten()
    {
        config_t config;
        config.set_gfs(gfs_t(30, 85));
        config.gradient_factors.high = 3.0f;
        config.gradient_factors.low = std::nanf("");
        config.surface_pressure = 70.0f;
        config.bank_a[0].extra1 = 30.0f;
        config.bank_a[0].extra2 = 1000;
        config.device_floats[2] = -4.0f;
        MemoryStream stream;
        QVERIFY(config.write_config(stream, false));
        const QByteArray bytes = stream.bytes();
        QCOMPARE(uint8_t(bytes[4]), uint8_t(0));   // GF low
        QCOMPARE(uint8_t(bytes[5]), uint8_t(255)); // GF high
        QCOMPARE(uint8_t(bytes[9]), uint8_t(0xFF)); // surface pressure word, high byte
        QCOMPARE(uint8_t(bytes[10]), uint8_t(0xFF));
        QCOMPARE(uint8_t(bytes[24]), uint8_t(255)); // bank A gas 0, extra fields
        QCOMPARE(uint8_t(bytes[25]), uint8_t(255));
        QCOMPARE(uint8_t(bytes[bytes.size() - 6]), uint8_t(0));
    }

    void withoutMaskBTheStreamIsOneByteShorter()
    {
        config_t config;
        MemoryStream full;
        MemoryStream short_;
        QVERIFY(config.write_config(full, false));
        QVERIFY(config.write_config(short_, true));
        QCOMPARE(short_.bytes().size(), full.bytes().size() - 1);
        // 22 bytes of settings, 2 x 32 of gases, 3 x 5 of set points, 8 device bytes.
        QCOMPARE(full.bytes().size(), 22 + 64 + 15 + 8);
    }

    void escapeWithAnotherVersionFails()
    {
        config_t config;
        config.set_gfs(gfs_t(40, 70));
        MemoryStream stream(Bytes().u16(300).u8(1).u16(5).bytes() + configFixture(11).mid(2));
        QVERIFY(!config.read_config(stream, 11));
        QCOMPARE(QByteArray(config.gfs().name), QByteArray("40/70"));
    }

    void truncatedStreamChangesNothing()
    {
        config_t config;
        MemoryStream stream(configFixture(11).left(40));
        QVERIFY(!config.read_config(stream, 11));
        QCOMPARE(QByteArray(config.gfs().name), QByteArray("80/80"));
        QCOMPARE(config.surface_pressure, 1.013f);
    }

    // Streams of older versions, byte by byte as their devices wrote them.
    void olderVersions_data()
    {
        QTest::addColumn<int>("version");
        for (int version : {1, 2, 3, 5, 8, 10, 11})
            QTest::newRow(qPrintable(QStringLiteral("version %1").arg(version))) << version;
    }

    void olderVersions()
    {
        QFETCH(int, version);
        const QByteArray fixture = configFixture(version);
        MemoryStream stream(fixture);
        config_t config;
        QVERIFY(config.read_config(stream, static_cast<unsigned char>(version)));
        QCOMPARE(stream.remaining(), 0);

        QCOMPARE(config.settings_value, 7u);
        QCOMPARE(config.divemode, divemode_cc);
        QCOMPARE(config.gfs().low, 0.3f);
        QCOMPARE(config.option, uint16_t(0x1234));
        QCOMPARE(config.water_density(), 1.0f);
        QCOMPARE(config.surface_pressure, 0.95f);
        QCOMPARE(config.vasc(), 1.2f);
        QCOMPARE(config.pnarcotic_limit(), 5.6f);
        QCOMPARE(config.pO2_minlimit(), 0.17f);
        QCOMPARE(config.pO2_limit(), 1.5f);
        QCOMPARE(config.pO2_bottomlimit(), 1.3f);
        QCOMPARE(config.density_limit(), 5.6f);
        QCOMPARE(config.laststop_depth(), 6.0f);
        QCOMPARE(config.setpoints[0].pressure, 0.7f);

        if (version < 2) {
            // One bank only, that of the stream's own dive mode (B for closed circuit).
            QCOMPARE(config.mask_b, uint8_t(0x07));
            QCOMPARE(config.mask_a, uint8_t(0x01));
            QCOMPARE(config.bank_b[0].fO2, 0.21f);
            QCOMPARE(config.bank_b[1].fHe, 0.2f);
            QCOMPARE(config.bank_a[0].fO2, 0.21f);
            QCOMPARE(config.bank_a[5].fO2, 0.21f);
        } else {
            QCOMPARE(config.mask_a, uint8_t(0x07));
            QCOMPARE(config.mask_b, uint8_t(0x05));
            QCOMPARE(config.bank_a[5].fO2, 0.26f);
            QCOMPARE(config.bank_b[2].fO2, 0.42f);
        }
        QCOMPARE(config.gas_at(1).extra1, version >= 8 ? 1.6f : 0.0f);
        QCOMPARE(config.gas_at(1).extra2, version >= 8 ? 101 : 0);

        if (version < 3) {
            QCOMPARE(config.setpoints[1].pressure, 1.2f);
            QCOMPARE(config.setpoints[1].value, int16_t(300));
            QCOMPARE(config.setpoints[2].value, int16_t(70));
        } else {
            QCOMPARE(config.setpoints[0].value, int16_t(11));
            QCOMPARE(config.setpoints[0].flag, uint8_t(1));
            QCOMPARE(config.setpoints[1].pressure, 1.25f);
            QCOMPARE(config.setpoints[2].value, int16_t(33));
        }
        QCOMPARE(config.device_floats[0], version >= 5 ? 20.0f : 25.0f);
        QCOMPARE(config.device_flag, uint8_t(version >= 10 ? 1 : 0));
        QCOMPARE(config.device_bytes[0], uint8_t(version >= 11 ? 9 : 0xFF));
        // The mode comes last and picks the first listed gas of its bank.
        QCOMPARE(config.current_gas_index(), config.first_gas());
    }
};

MAREVANE_TEST_MAIN(ConfigTest)
#include "tst_config.moc"

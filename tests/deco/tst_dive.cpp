#include "testenvironment.h"

#include "decotestsupport.h"
#include "deco/dive.h"
#include "deco/zhl16.h"

#include <QtTest>

#include <cmath>

using decotest::Bytes;
using decotest::MemoryStream;

namespace {

constexpr int64_t kBegin = 1700000000;

dive_t validDive()
{
    dive_t dive;
    dive.header.begin_time = kBegin;
    dive.header.end_time = kBegin + 1800;
    dive.header.max_depth = 300;
    dive.header.second_depth = 180;
    return dive;
}

// The header part of a record, getters 1 to 17 in stream order.
void appendHeader(Bytes& b)
{
    b.u64(uint64_t(kBegin)).u16(2).u16(412).u16(4).u8(16).u8(17).u32(5).u16(206).u32(7).u32(300);
    b.u16(9).u16(10).u16(11).u64(uint64_t(kBegin + 3000)).u32(13).f32(14.5f).f32(0.25f);
}

// A record up to its set points: settings value 9, current gas 2, set point 1,
// metric; mode 0; GF 35/75; fresh water at 0.980 bar; every compartment at
// 1.5 bar of nitrogen and 0.25 of helium; mask 0x03 with gases 21+i / 5i.
void appendBody(Bytes& b)
{
    b.u16(9).u8(2 << 3 | 1 << 1 | 1).u8(0).u8(35).u8(75).u16(1000).u16(980);
    for (int j = 0; j < 16; ++j)
        b.u16(1500).u16(250);
    b.u8(0x03);
    for (int i = 0; i < 8; ++i)
        b.u8(21 + i).u8(5 * i);
}

} // namespace

class DiveTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { zhl16_t::initZhl16C(); }

    void freshRecord()
    {
        const dive_t dive;
        QCOMPARE(dive.type, uint8_t(4));
        QCOMPARE(dive.trailer_byte, uint8_t(5));
        QCOMPARE(dive.trailer_long, 28u);
        QCOMPARE(dive.duration_mode, uint8_t(0));
        QCOMPARE(dive.diver.N2[0], 0.750737f);
        QVERIFY(!dive.isValid()); // begin time 0
        QCOMPARE(dive.gfs().high, 0.8f); // the configuration is reset
        QVERIFY(validDive().isValid());
    }

    void validity_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<bool>("valid");
        QTest::newRow("a day long") << 0 << qint64(86400) << true;
        QTest::newRow("a day and a second") << 0 << qint64(86401) << false;
        QTest::newRow("ends before it begins") << 0 << qint64(-1) << false;
        QTest::newRow("version 5") << 1 << qint64(5) << false;
        QTest::newRow("32000 samples") << 2 << qint64(32000) << true;
        QTest::newRow("32001 samples") << 2 << qint64(32001) << false;
        QTest::newRow("409.5 m") << 3 << qint64(4095) << true;
        QTest::newRow("409.6 m") << 3 << qint64(4096) << false;
        QTest::newRow("second depth below the maximum") << 4 << qint64(301) << false;
    }

    void validity()
    {
        QFETCH(int, field);
        QFETCH(qint64, value);
        QFETCH(bool, valid);
        dive_t dive = validDive();
        switch (field) {
        case 0: dive.header.end_time = kBegin + value; break;
        case 1: dive.type = uint8_t(value); break;
        case 2: dive.count = uint32_t(value); break;
        case 3: dive.header.max_depth = uint16_t(value); break;
        default: dive.header.second_depth = uint16_t(value); break;
        }
        QCOMPARE(dive.isValid(), valid);
    }

    void engagement_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("deducted");
        QTest::addColumn<int>("engagement");
        // 30 m of salt water is 3.030 bar above the surface.
        QTest::newRow("30 m for 30 min") << 300 << 1800 << 0 << 17;     // 3.030 x sqrt(30) = 16.6
        QTest::newRow("ten minutes deducted") << 300 << 1800 << 600 << 14; // 3.030 x sqrt(20) = 13.6
        QTest::newRow("more deducted than dived") << 300 << 1800 << 4000 << 0;
        QTest::newRow("maximum depth 0") << 0 << 1800 << 0 << 0;
        QTest::newRow("no duration") << 300 << 0 << 0 << 0;
    }

    void engagement()
    {
        QFETCH(int, depth);
        QFETCH(int, seconds);
        QFETCH(int, deducted);
        QFETCH(int, engagement);
        dive_t dive = validDive();
        dive.header.max_depth = uint16_t(depth);
        dive.header.end_time = kBegin + seconds;
        dive.header.deducted = uint32_t(deducted);
        QCOMPARE(dive.engagement(), engagement);
    }

    // In duration mode 1 the millisecond counters give the duration, across
    // their wrap too.
    void engagementFromTheCounters()
    {
        dive_t dive = validDive();
        dive.duration_mode = 1;
        dive.header.end_time = kBegin; // not used in this mode
        dive.header.begin_counter = 0xFFFF0000u;
        dive.header.end_counter = 0xFFFF0000u + 1800000u;
        QCOMPARE(dive.engagement(), 17);
    }

    // The clamps read "0..4294967296", which wraps to 0 in 32 bits.
    void floatGettersClamp_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<uint>("first");
        QTest::addColumn<uint>("second");
        QTest::newRow("plain") << 2.5f << 2u << 2500u;
        QTest::newRow("beyond 32 bits") << 5e9f << 4294967295u << 4294967295u;
        QTest::newRow("negative") << -3.0f << 0u << 0u;
        QTest::newRow("not a number") << std::nanf("") << 0u << 0u;
    }

    void floatGettersClamp()
    {
        QFETCH(float, value);
        QFETCH(uint, first);
        QFETCH(uint, second);
        dive_t dive;
        dive.header.float14 = value;
        dive.header.float15 = value;
        QCOMPARE(dive.float14(), first);
        QCOMPARE(dive.float15(), second);
    }

    void streamRoundTrip()
    {
        dive_t dive = validDive();
        dive.settings_value = 77;
        dive.set_divemode(divemode_cc);
        dive.set_gas(0, gas_t(21, 35));
        dive.set_gas(1, gas_t(50, 0));
        dive.set_gas_enabled(1, true);
        dive.set_divemode(divemode_cc);
        dive.current_gas_slot = 1;
        dive.current_setpoint_slot = 2;
        dive.set_gfs(gfs_t(30, 85));
        dive.set_setpoint(1, setpoint_t::none);
        dive.set_setpoint(2, setpoint_t{1.45f, 123, 1});
        dive.diver.load_inert(5.0f, 30.0f, gas_t(18, 45), setpoint_t::none);
        dive.count = 1800;
        dive.trailer_word = 0xABCD;
        dive.trailer_flags = 0xC0;
        dive.header.word2 = 2;
        dive.header.word4 = 4;
        dive.header.begin_counter = 5;
        dive.header.long7 = 7;
        dive.header.deducted = 8;
        dive.header.word9 = 9;
        dive.header.word10 = 10;
        dive.header.word11 = 11;
        dive.header.end_counter = 13;
        dive.header.float14 = 14.5f;
        dive.header.float15 = 0.125f;
        dive.header.byte16 = 16;
        dive.header.byte17 = 17;
        dive.trailer_byte = 6;
        dive.trailer_long = 99;
        dive.device_flag = 1;

        MemoryStream stream;
        QVERIFY(dive.write_dive(stream, false));
        QCOMPARE(uint8_t(stream.bytes()[0]), uint8_t(0x04));
        QCOMPARE(uint8_t(stream.bytes()[1]), uint8_t(0x80));
        dive_t back;
        QVERIFY(back.read_dive(stream));
        QCOMPARE(stream.remaining(), 0);

        QCOMPARE(back.type, uint8_t(4));
        QCOMPARE(back.settings_value, 77u);
        QCOMPARE(back.divemode, divemode_cc);
        QCOMPARE(back.current_gas_index(), 1);
        QCOMPARE(back.current_setpoint_index(), 2);
        QCOMPARE(back.metric, uint8_t(1));
        QCOMPARE(QByteArray(back.gfs().name), QByteArray("30/85"));
        // Values in thousandths come back exactly where they are whole
        // thousandths; 1.03 kg/L used to come back as 1.029.
        QCOMPARE(back.water_density(), 1.03f);
        QCOMPARE(back.surface_pressure, 1.013f);
        for (int j = 0; j < 16; ++j) {
            QVERIFY(std::fabs(back.diver.N2[j] - dive.diver.N2[j]) <= 0.0005f);
            QVERIFY(std::fabs(back.diver.He[j] - dive.diver.He[j]) <= 0.0005f);
        }
        QCOMPARE(back.diver.helium, uint8_t(1));
        QCOMPARE(back.mask_b, dive.mask_b);
        QCOMPARE(back.bank_b[0].fHe, 0.35f);
        QCOMPARE(back.bank_b[1].fO2, 0.5f);
        QCOMPARE(back.gas_count(), 2);
        QVERIFY(!back.setpoints[1].closed_circuit());
        QCOMPARE(back.setpoints[2].pressure, 1.45f);
        QCOMPARE(back.setpoints[2].value, int16_t(123));
        QCOMPARE(back.setpoints[2].flag, uint8_t(1));
        QCOMPARE(back.count, 1800u);
        QCOMPARE(back.trailer_word, uint16_t(0xABCD));
        QCOMPARE(back.trailer_flags, uint8_t(0xC0));
        QCOMPARE(back.begin_time(), kBegin);
        QCOMPARE(back.end_time(), kBegin + 1800);
        QCOMPARE(back.max_depth(), uint16_t(300));
        QCOMPARE(back.second_depth(), uint16_t(180));
        QCOMPARE(back.word2(), uint16_t(2));
        QCOMPARE(back.word4(), uint16_t(4));
        QCOMPARE(back.begin_counter(), 5u);
        QCOMPARE(back.long7(), 7u);
        QCOMPARE(back.deducted(), 8u);
        QCOMPARE(back.word9(), uint16_t(9));
        QCOMPARE(back.word10(), uint16_t(10));
        QCOMPARE(back.word11(), uint16_t(11));
        QCOMPARE(back.end_counter(), 13u);
        QCOMPARE(back.float14(), 14u);
        QCOMPARE(back.float15(), 125u);
        QCOMPARE(back.byte16(), uint8_t(16));
        QCOMPARE(back.byte17(), uint8_t(17));
        QCOMPARE(back.trailer_byte, uint8_t(6));
        QCOMPARE(back.trailer_long, 99u);
        QCOMPARE(back.device_flag, uint8_t(1));
        QVERIFY(back.isValid());
    }

    void shortFormLeavesOutVersionAndTrailer()
    {
        const dive_t dive = validDive();
        MemoryStream full;
        MemoryStream shortForm;
        QVERIFY(dive.write_dive(full, false));
        QVERIFY(dive.write_dive(shortForm, true));
        // The version word, three set points' value and byte, and the trailer.
        QCOMPARE(full.bytes().size() - shortForm.bytes().size(), 2 + 3 * 3 + 6);
        QCOMPARE(shortForm.bytes().left(2), QByteArray("\0\0", 2));

        dive_t back;
        back.trailer_byte = 42;
        QVERIFY(back.read_dive(shortForm));
        QCOMPARE(shortForm.remaining(), 0);
        QCOMPARE(back.type, uint8_t(0));
        QCOMPARE(back.setpoints[0].value, int16_t(0));
        QCOMPARE(back.setpoints[1].value, int16_t(300));
        QCOMPARE(back.setpoints[1].flag, uint8_t(1));
        QCOMPARE(back.setpoints[2].value, int16_t(70));
        QCOMPARE(back.setpoints[1].pressure, 1.3f);
        QCOMPARE(back.trailer_byte, uint8_t(42));
        QCOMPARE(back.end_time(), dive.end_time());
    }

    // Without the version word a first word above 0x8000 reads as one: the
    // short form used to write such a settings value and corrupt the record.
    void shortFormKeepsTheSettingsValueBelowTheMark()
    {
        dive_t dive = validDive();
        dive.settings_value = 0x9000;
        MemoryStream stream;
        QVERIFY(dive.write_dive(stream, true));
        dive_t back;
        QVERIFY(back.read_dive(stream));
        QCOMPARE(back.type, uint8_t(0));
        QCOMPARE(back.settings_value, 0x8000u);
        QCOMPARE(back.end_time(), dive.end_time());
        QCOMPARE(stream.remaining(), 0);
    }

    // Thousandths were "clamped to 0..65536", which wraps in a word: 70 bar
    // of nitrogen came out as 4.464.
    void largeValuesAreClampedInTheRecord()
    {
        dive_t dive = validDive();
        dive.diver.N2[0] = 70.0f;
        dive.diver.He[0] = -1.0f;
        dive.surface_pressure = std::nanf("");
        MemoryStream stream;
        QVERIFY(dive.write_dive(stream, false));
        dive_t back;
        QVERIFY(back.read_dive(stream));
        QCOMPARE(back.diver.N2[0], 65.535f);
        QCOMPARE(back.diver.He[0], 0.0f);
        QCOMPARE(back.surface_pressure, 0.0f);
    }

    // A record of the newest version, byte by byte.
    void fixtureOfTheFullForm()
    {
        Bytes b;
        b.u16(0x8003);
        appendBody(b);
        b.u8(3).u16(700).u16(1).u8(1).u16(1300).u16(2).u8(0).u16(0xFFFF).u16(3).u8(5);
        b.u32(250).u16(0x1111).u8(0x80).u8(0xEE);
        appendHeader(b);
        b.u8(7).u32(31).u8(1);

        MemoryStream stream(b);
        dive_t dive;
        QVERIFY(dive.read_dive(stream));
        QCOMPARE(stream.remaining(), 0);
        QCOMPARE(dive.type, uint8_t(3));
        QCOMPARE(dive.settings_value, 9u);
        QCOMPARE(dive.current_gas_index(), 2);
        QCOMPARE(dive.current_setpoint_index(), 1);
        QCOMPARE(dive.gfs().low, 0.35f);
        QCOMPARE(dive.water_density(), 1.0f);
        QCOMPARE(dive.surface_pressure, 0.98f);
        QCOMPARE(dive.diver.N2[15], 1.5f);
        QCOMPARE(dive.diver.He[0], 0.25f);
        QCOMPARE(dive.diver.helium, uint8_t(1));
        QCOMPARE(dive.mask_a, uint8_t(0x03));
        QCOMPARE(dive.bank_a[7].fO2, 0.28f);
        QCOMPARE(dive.bank_a[7].fHe, 0.35f);
        QCOMPARE(dive.gas_count(), 2);
        QCOMPARE(dive.setpoints[0].pressure, 0.7f);
        QCOMPARE(dive.setpoints[0].flag, uint8_t(1));
        QCOMPARE(dive.setpoints[1].value, int16_t(2));
        QVERIFY(!dive.setpoints[2].closed_circuit());
        QCOMPARE(dive.setpoints[2].flag, uint8_t(0)); // only the value 1 reads as set
        QCOMPARE(dive.count, 250u);
        QCOMPARE(dive.trailer_word, uint16_t(0x1111));
        QCOMPARE(dive.max_depth(), uint16_t(412));
        QCOMPARE(dive.byte16(), uint8_t(16));
        QCOMPARE(dive.begin_counter(), 5u);
        QCOMPARE(dive.second_depth(), uint16_t(206));
        QCOMPARE(dive.deducted(), 300u);
        QCOMPARE(dive.end_time(), kBegin + 3000);
        QCOMPARE(dive.float14(), 14u);
        QCOMPARE(dive.float15(), 250u);
        QCOMPARE(dive.trailer_byte, uint8_t(7));
        QCOMPARE(dive.trailer_long, 31u);
        QCOMPARE(dive.device_flag, uint8_t(1));
        QVERIFY(dive.isValid());
        // (412 dm of fresh water: 4.04 bar) x sqrt((3000 - 300) / 60 min)
        QCOMPARE(dive.engagement(), 27);
    }

    // The older record without its version word: set points carry no value
    // or byte and the trailer is absent.
    void fixtureOfTheShortForm()
    {
        Bytes b;
        appendBody(b);
        b.u8(3).u16(600).u16(1200).u16(1400);
        b.u32(12).u16(0).u8(0).u8(0);
        appendHeader(b);

        MemoryStream stream(b);
        dive_t dive;
        QVERIFY(dive.read_dive(stream));
        QCOMPARE(stream.remaining(), 0);
        QCOMPARE(dive.type, uint8_t(0));
        QCOMPARE(dive.settings_value, 9u);
        QCOMPARE(dive.setpoints[0].pressure, 0.6f);
        QCOMPARE(dive.setpoints[0].value, int16_t(0));
        QCOMPARE(dive.setpoints[0].flag, uint8_t(0));
        QCOMPARE(dive.setpoints[1].pressure, 1.2f);
        QCOMPARE(dive.setpoints[1].value, int16_t(300));
        QCOMPARE(dive.setpoints[2].value, int16_t(70));
        QCOMPARE(dive.setpoints[2].flag, uint8_t(1));
        QCOMPARE(dive.count, 12u);
        QCOMPARE(dive.end_time(), kBegin + 3000);
        QCOMPARE(dive.trailer_byte, uint8_t(5));
        QCOMPARE(dive.trailer_long, 28u);
    }

    void truncatedRecordChangesNothing()
    {
        Bytes b;
        b.u16(0x8004);
        appendBody(b);
        MemoryStream stream(b);
        dive_t dive = validDive();
        QVERIFY(!dive.read_dive(stream));
        QCOMPARE(dive.type, uint8_t(4));
        QCOMPARE(dive.gfs().low, 0.8f);
        QCOMPARE(dive.diver.N2[0], 0.750737f);
        QCOMPARE(dive.end_time(), kBegin + 1800);
    }
};

MAREVANE_TEST_MAIN(DiveTest)
#include "tst_dive.moc"

#include "deco/dive.h"

#include "deco/clamp.h"
#include "deco/stream.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint16_t kVersionMark = 0x8000;
constexpr int kCompartments = 16;
constexpr uint8_t kSetpointCount = 3;
constexpr int64_t kLongestDive = 86400; // seconds
constexpr uint16_t kDeepestDive = 4095;  // decimetres
constexpr uint32_t kMostSamples = 32000;

uint16_t thousandths(float value)
{
    return deco::clamp_round<uint16_t>(double(value) * 1000.0);
}

uint8_t percent(float fraction)
{
    return deco::clamp_round<uint8_t>(double(fraction) * 100.0);
}

} // namespace

int64_t dive_t::begin_time() const { return header.begin_time; }
uint16_t dive_t::word2() const { return header.word2; }
uint16_t dive_t::max_depth() const { return header.max_depth; }
uint16_t dive_t::word4() const { return header.word4; }
uint32_t dive_t::begin_counter() const { return header.begin_counter; }
uint16_t dive_t::second_depth() const { return header.second_depth; }
uint32_t dive_t::long7() const { return header.long7; }
uint32_t dive_t::deducted() const { return header.deducted; }
uint16_t dive_t::word9() const { return header.word9; }
uint16_t dive_t::word10() const { return header.word10; }
uint16_t dive_t::word11() const { return header.word11; }
int64_t dive_t::end_time() const { return header.end_time; }
uint32_t dive_t::end_counter() const { return header.end_counter; }
uint8_t dive_t::byte16() const { return header.byte16; }
uint8_t dive_t::byte17() const { return header.byte17; }

uint32_t dive_t::float14() const
{
    return deco::clamp_cast<uint32_t>(header.float14);
}

uint32_t dive_t::float15() const
{
    return deco::clamp_cast<uint32_t>(double(header.float15) * 1000.0);
}

int64_t dive_t::duration() const
{
    if (duration_mode == 1)
        return int64_t(uint32_t(end_counter() - begin_counter()) / 1000);
    // Times at the ends of the clock give the longest duration there is.
    return deco::saturating_sub(end_time(), begin_time());
}

int dive_t::engagement() const
{
    const int64_t seconds = duration();
    if (seconds == 0)
        return 0;
    const float dP = max_depth() == 0
                         ? 0.0f
                         : float(max_depth()) / 10.0f * density * 9.80665f / 100.0f;
    const float minutes = float(deco::saturating_sub(seconds, int64_t(deducted()))) / 60.0f;
    return deco::clamp_round<int>(dP * std::sqrt(std::max(0.0f, minutes)));
}

bool dive_t::isValid() const
{
    const int64_t length = deco::saturating_sub(end_time(), begin_time());
    return type <= newest_version && count <= kMostSamples && max_depth() <= kDeepestDive &&
           second_depth() <= max_depth() && begin_time() > 0 && length >= 0 &&
           length <= kLongestDive;
}

bool dive_t::write_dive(stream_t& stream, bool shortForm) const
{
    if (!shortForm)
        stream.write(uint16_t(kVersionMark | newest_version));
    // Without the version word a reader takes a first word above the mark
    // for one, so the short form keeps the value at or below it.
    stream.write(deco::clamp_cast<uint16_t>(
        std::min<uint32_t>(settings_value, shortForm ? kVersionMark : 0xFFFF)));
    stream.write(uint8_t((current_gas_slot & 7) << 3 | (current_setpoint_slot & 3) << 1 | (metric & 1)));
    stream.write(deco::clamp_cast<uint8_t>(divemode));
    stream.write(percent(gradient_factors.low));
    stream.write(percent(gradient_factors.high));
    stream.write(thousandths(density));
    stream.write(thousandths(surface_pressure));
    for (int j = 0; j < kCompartments; ++j) {
        stream.write(thousandths(diver.N2[j]));
        stream.write(thousandths(diver.He[j]));
    }

    stream.write(active_mask());
    const gas_t* bank = active_bank();
    for (int i = 0; i < 8; ++i) {
        stream.write(percent(bank[i].fO2));
        stream.write(percent(bank[i].fHe));
    }

    stream.write(kSetpointCount);
    for (const setpoint_t& sp : setpoints) {
        stream.write(deco::setpoint_word(sp.pressure));
        if (!shortForm) {
            stream.write(sp.value);
            stream.write(sp.flag != 0);
        }
    }

    stream.write(count);
    stream.write(trailer_word);
    stream.write(trailer_flags);
    stream.write(uint8_t(0));
    stream.write(header.begin_time);
    stream.write(header.word2);
    stream.write(header.max_depth);
    stream.write(header.word4);
    stream.write(header.byte16);
    stream.write(header.byte17);
    stream.write(header.begin_counter);
    stream.write(header.second_depth);
    stream.write(header.long7);
    stream.write(header.deducted);
    stream.write(header.word9);
    stream.write(header.word10);
    stream.write(header.word11);
    stream.write(header.end_time);
    stream.write(header.end_counter);
    stream.write(header.float14);
    stream.write(header.float15);

    if (!shortForm) {
        stream.write(trailer_byte);
        stream.write(trailer_long);
        stream.write(device_flag);
    }
    return !stream.failed();
}

bool dive_t::read_dive(stream_t& stream)
{
    dive_t staged(*this);
    staged.read_fields(stream);
    if (stream.failed())
        return false;
    *this = staged;
    return true;
}

void dive_t::read_fields(stream_t& stream)
{
    const uint16_t first = stream.read<uint16_t>();
    if (first > kVersionMark) {
        type = uint8_t(first & 0xFF);
        settings_value = stream.read<uint16_t>();
    } else {
        type = 0;
        settings_value = first;
    }
    const bool shortForm = type == 0;

    const uint8_t indices = stream.read<uint8_t>();
    current_gas_slot = (indices >> 3) & 7;
    current_setpoint_slot = (indices >> 1) & 3;
    set_metric((indices & 1) != 0);
    // The record's own dive mode picks the bank its gases belong to.
    divemode = divemode_t(stream.read<uint8_t>());
    const uint8_t gfLow = stream.read<uint8_t>();
    const uint8_t gfHigh = stream.read<uint8_t>();
    set_gfs(gfs_t(gfLow, gfHigh));
    density = float(stream.read<uint16_t>()) * 0.001f;
    surface_pressure = float(stream.read<uint16_t>()) * 0.001f;

    float nitrogen[kCompartments];
    float helium[kCompartments];
    for (int j = 0; j < kCompartments; ++j) {
        nitrogen[j] = float(stream.read<uint16_t>()) * 0.001f;
        helium[j] = float(stream.read<uint16_t>()) * 0.001f;
    }
    diver.begin(nitrogen, helium, diver.CNS);

    active_mask() = stream.read<uint8_t>();
    gas_t* bank = active_bank();
    for (int i = 0; i < 8; ++i) {
        const uint8_t o2 = stream.read<uint8_t>();
        const uint8_t he = stream.read<uint8_t>();
        bank[i] = gas_t(o2, he);
    }

    stream.skip(1); // the number of set points, always 3
    if (shortForm) {
        constexpr setpoint_t kShortForm[3] = {{0.0f, 0, 0}, {0.0f, 300, 1}, {0.0f, 70, 1}};
        for (int i = 0; i < 3; ++i) {
            setpoints[i] = kShortForm[i];
            setpoints[i].pressure = deco::setpoint_from_word(stream.read<uint16_t>());
        }
    } else {
        for (setpoint_t& sp : setpoints) {
            sp.pressure = deco::setpoint_from_word(stream.read<uint16_t>());
            sp.value = stream.read<int16_t>();
            sp.flag = stream.read<bool>() ? 1 : 0;
        }
    }

    count = stream.read<uint32_t>();
    trailer_word = stream.read<uint16_t>();
    trailer_flags = stream.read<uint8_t>();
    stream.skip(1);
    header.begin_time = stream.read<int64_t>();
    header.word2 = stream.read<uint16_t>();
    header.max_depth = stream.read<uint16_t>();
    header.word4 = stream.read<uint16_t>();
    header.byte16 = stream.read<uint8_t>();
    header.byte17 = stream.read<uint8_t>();
    header.begin_counter = stream.read<uint32_t>();
    header.second_depth = stream.read<uint16_t>();
    header.long7 = stream.read<uint32_t>();
    header.deducted = stream.read<uint32_t>();
    header.word9 = stream.read<uint16_t>();
    header.word10 = stream.read<uint16_t>();
    header.word11 = stream.read<uint16_t>();
    header.end_time = stream.read<int64_t>();
    header.end_counter = stream.read<uint32_t>();
    header.float14 = stream.read<float>();
    header.float15 = stream.read<float>();

    if (!shortForm) {
        trailer_byte = stream.read<uint8_t>();
        trailer_long = stream.read<uint32_t>();
        device_flag = stream.read<uint8_t>();
    }
    sort_gases();
}

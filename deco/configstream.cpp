// The configuration stream of config_t, in every version a device has written.

#include "deco/clamp.h"
#include "deco/settings.h"
#include "deco/stream.h"

namespace {

// Settings values from this word up travel in the escaped form: the word,
// the byte 2, then the value as a word.
constexpr uint16_t kEscapedValue = 0xFFFF;
constexpr uint16_t kFirstEscapedValue = 255;
constexpr uint8_t kEscapeVersion = 2;

void readGases(stream_t& stream, gas_t* bank, unsigned char version)
{
    for (int i = 0; i < 8; ++i) {
        const uint8_t o2 = stream.read<uint8_t>();
        const uint8_t he = stream.read<uint8_t>();
        bank[i] = gas_t(o2, he);
        if (version >= 8) {
            bank[i].extra1 = float(stream.read<uint8_t>()) / 10.0f;
            bank[i].extra2 = stream.read<uint8_t>();
        }
    }
}

void writeGases(stream_t& stream, const gas_t* bank)
{
    for (int i = 0; i < 8; ++i) {
        stream.write(deco::clamp_round<uint8_t>(double(bank[i].fO2) * 100.0));
        stream.write(deco::clamp_round<uint8_t>(double(bank[i].fHe) * 100.0));
        stream.write(deco::clamp_round<uint8_t>(double(bank[i].extra1) * 10.0));
        stream.write(deco::clamp_cast<uint8_t>(bank[i].extra2));
    }
}

setpoint_t readSetpoint(stream_t& stream)
{
    setpoint_t sp;
    sp.pressure = deco::setpoint_from_word(stream.read<uint16_t>());
    sp.value = stream.read<int16_t>();
    sp.flag = stream.read<bool>() ? 1 : 0;
    return sp;
}

void writeSetpoint(stream_t& stream, const setpoint_t& sp)
{
    stream.write(deco::setpoint_word(sp.pressure));
    stream.write(sp.value);
    stream.write(sp.flag != 0);
}

} // namespace

bool config_t::read_config(stream_t& stream, unsigned char version)
{
    config_t staged(*this);
    if (!staged.read_fields(stream, version) || stream.failed())
        return false;
    config_t::operator=(staged);
    return true;
}

bool config_t::read_fields(stream_t& stream, unsigned char version)
{
    const uint16_t first = stream.read<uint16_t>();
    if (first < kFirstEscapedValue) {
        settings_value = first;
    } else {
        if (stream.read<uint8_t>() != kEscapeVersion)
            return false;
        settings_value = stream.read<uint16_t>();
    }

    set_metric(stream.read<uint8_t>() != 0);
    const divemode_t mode = divemode_t(stream.read<uint8_t>());
    const uint8_t gfLow = stream.read<uint8_t>();
    const uint8_t gfHigh = stream.read<uint8_t>();
    set_gfs(gfs_t(gfLow, gfHigh));

    option = stream.read<uint16_t>();
    setDensityType(DensityType(stream.read<uint8_t>()));
    const float surface = float(stream.read<uint16_t>()) * 0.001f;
    if (surface > 0.5f && surface < 1.05f)
        surface_pressure = surface;

    set_vasc_index(stream.read<uint8_t>());
    set_pnarcotic_limit_index(stream.read<uint8_t>());
    set_pO2_minlimit_index(stream.read<uint8_t>());
    set_pO2_limit_index(stream.read<uint8_t>() & 7);
    set_pO2_bottomlimit_index(stream.read<uint8_t>() & 7);
    set_density_limit_index(stream.read<uint8_t>() & 3);
    set_laststop_depth_index(stream.read<uint8_t>() & 1);

    stream.skip(1);
    const uint8_t current = stream.read<uint8_t>();
    current_gas_slot = current >= 8 ? 0 : current;
    const uint8_t mask = stream.read<uint8_t>();
    if (version < 2) {
        // One bank only: the one the stream's own dive mode uses.
        divemode = mode;
        active_mask() = mask;
        readGases(stream, active_bank(), version);
    } else {
        mask_a = mask;
        mask_b = stream.read<uint8_t>();
        readGases(stream, bank_a, version);
    }

    if (version < 3) {
        setpoints[0].pressure = deco::setpoint_from_word(stream.read<uint16_t>());
        setpoints[1].pressure = deco::setpoint_from_word(stream.read<uint16_t>());
        setpoints[1].value = 300;
        setpoints[2].pressure = deco::setpoint_from_word(stream.read<uint16_t>());
        setpoints[2].value = 70;
    } else {
        for (setpoint_t& sp : setpoints)
            sp = readSetpoint(stream);
    }

    if (version >= 2)
        readGases(stream, bank_b, version);
    if (version >= 5)
        for (float& value : device_floats)
            value = stream.read<uint8_t>();
    if (version >= 10)
        device_flag = stream.read<bool>() ? 1 : 0;
    if (version >= 11)
        for (uint8_t& byte : device_bytes)
            byte = stream.read<uint8_t>();

    sort_gases();
    set_divemode(mode);
    return true;
}

bool config_t::write_config(stream_t& stream, bool withoutMaskB) const
{
    if (settings_value < kFirstEscapedValue) {
        stream.write(uint16_t(settings_value));
    } else {
        stream.write(kEscapedValue);
        stream.write(kEscapeVersion);
        stream.write(deco::clamp_cast<uint16_t>(settings_value));
    }
    stream.write(metric);
    stream.write(deco::clamp_cast<uint8_t>(divemode));
    stream.write(deco::clamp_round<uint8_t>(double(gradient_factors.low) * 100.0));
    stream.write(deco::clamp_round<uint8_t>(double(gradient_factors.high) * 100.0));
    stream.write(option);
    stream.write(uint8_t(density_type));
    stream.write(deco::clamp_round<uint16_t>(double(surface_pressure) * 1000.0));

    stream.write(vasc_index);
    stream.write(pnarcotic_index);
    stream.write(pO2_min_index);
    stream.write(pO2_max_index);
    stream.write(pO2_bottom_index);
    stream.write(density_limit_index);
    stream.write(laststop_index);
    stream.write(uint8_t(0));
    stream.write(current_gas_slot);
    stream.write(mask_a);
    if (!withoutMaskB)
        stream.write(mask_b);
    writeGases(stream, bank_a);
    for (const setpoint_t& sp : setpoints)
        writeSetpoint(stream, sp);
    writeGases(stream, bank_b);
    for (float value : device_floats)
        stream.write(deco::clamp_round<uint8_t>(value));
    stream.write(device_flag);
    for (uint8_t byte : device_bytes)
        stream.write(byte);
    return !stream.failed();
}

#include "deco/settings.h"

#include "deco/clamp.h"

#include <cmath>

namespace {

constexpr float kGravity = 9.80665f;

// Gas slot of an index: below 0 reads gas 7, above 7 reads gas 0.
constexpr int bankSlot(int i)
{
    return i < 0 ? 7 : (i > 7 ? 0 : i);
}

} // namespace

float settings_t::stop_depth(int i) const
{
    if (i < 1)
        return 0.0f;
    const float last = laststop_depth();
    if (i == 1)
        return last;
    const float step = metric ? 3.0f : 3.048f;
    return float(i - 1) * step + std::round(last / step) * step;
}

float settings_t::stop_pressure(int i) const
{
    if (i < 1)
        return surface_pressure;
    return surface_pressure + water_density() * kGravity * stop_depth(i) / 100.0f;
}

config_t::config_t()
{
    reset_config();
}

void config_t::reset_config()
{
    gradient_factors = gfs_t(80, 80);
    option = 0;
    setDensityType(DensityType::salt);
    vasc_index = 2;
    pnarcotic_index = 2;
    pO2_min_index = 2;
    pO2_max_index = 6;
    pO2_bottom_index = 4;
    density_limit_index = 1;
    laststop_index = 0;
    surface_pressure = 1.013f;
    // Recomputes every value above from its index, in metric units.
    set_metric(true);
    set_vdesc_index(2);

    for (int i = 0; i < 8; ++i) {
        bank_a[i] = gas_t::air;
        bank_b[i] = gas_t::air;
    }
    bank_b[3] = gas_t(32, 0);
    mask_a = 0x01;
    mask_b = 0x09;
    current_gas_slot = 0;
    gas_switch = 1;
    setpoints[0] = {0.7f, 0, 0};
    setpoints[1] = {1.3f, 300, 0};
    setpoints[2] = {1.5f, 70, 0};
    current_setpoint_slot = 0;
    for (uint8_t& byte : device_bytes)
        byte = 0xFF;
    sort_gases();
    set_divemode(divemode_oc);
}

bool config_t::is_closed_circuit() const { return divemode == divemode_cc; }
const gfs_t& config_t::gfs() const { return gradient_factors; }
const float& config_t::water_density() const { return density; }
float config_t::vasc() const { return vasc_rate; }
float config_t::vasc_stop() const { return vasc_stop_rate; }
float config_t::vdesc() const { return vdesc_rate; }
float config_t::pnarcotic_limit() const { return pnarcotic; }
float config_t::pO2_minlimit() const { return pO2_min; }
float config_t::pO2_limit() const { return pO2_max; }
float config_t::pO2_bottomlimit() const { return pO2_bottom; }
float config_t::density_limit() const { return density_max; }
bool config_t::use_deco_setpoint() const { return true; }
bool config_t::gas_switch_enabled() const { return gas_switch != 0; }
uint16_t config_t::option_value() const { return option; }
float config_t::laststop_depth() const { return laststop; }
int config_t::gas_count() const { return gas_list_count; }
int config_t::current_gas_index() const { return current_gas_slot; }
const gas_t& config_t::current_gas() const { return gas_at(current_gas_index()); }
int config_t::current_setpoint_index() const { return current_setpoint_slot; }

int config_t::first_gas() const
{
    return gas_list_count > 0 ? gas_list[0] : 0;
}

int config_t::next_gas(int i) const
{
    for (int k = 0; k < gas_list_count; ++k)
        if (gas_list[k] == i)
            return k + 1 < gas_list_count ? gas_list[k + 1] : i;
    return i;
}

const gas_t& config_t::gas_at(int i) const
{
    return active_bank()[bankSlot(i)];
}

const setpoint_t& config_t::current_setpoint() const
{
    return is_closed_circuit() ? setpoint_at(current_setpoint_index()) : setpoint_t::none;
}

const setpoint_t& config_t::setpoint_at(int i) const
{
    return setpoints[deco::wrap_index(i, 3)];
}

void config_t::set_divemode(divemode_t m)
{
    divemode = m;
    sort_gases();
    current_gas_slot = uint8_t(first_gas());
}

void config_t::set_gfs(const gfs_t& gfs)
{
    gradient_factors = gfs;
}

void config_t::set_metric(bool on)
{
    metric = on ? 1 : 0;
    setDensityType(density_type);
    set_vasc_index(vasc_index);
    set_pnarcotic_limit_index(pnarcotic_index);
    set_pO2_minlimit_index(pO2_min_index);
    set_pO2_limit_index(pO2_max_index);
    set_pO2_bottomlimit_index(pO2_bottom_index);
    set_density_limit_index(density_limit_index);
    set_laststop_depth_index(laststop_index);
}

void config_t::setDensityType(DensityType type)
{
    density_type = type;
    switch (type) {
    case DensityType::salt: density = density_t::salt.value; break;
    case DensityType::fresh: density = density_t::fresh.value; break;
    case DensityType::iso: density = density_t::iso.value; break;
    }
}

void config_t::set_vasc_index(int i)
{
    vasc_index = uint8_t(deco::wrap_index(i, 5));
    vasc_rate = vasc_table[vasc_index][units()];
}

void config_t::set_vdesc_index(int i)
{
    vdesc_index = uint8_t(deco::wrap_index(i, 7));
    vdesc_rate = vdesc_table[vdesc_index][units()];
}

void config_t::set_pnarcotic_limit_index(int i)
{
    pnarcotic_index = uint8_t(deco::wrap_index(i, 5));
    pnarcotic = pnarcotic_table[pnarcotic_index][units()];
}

void config_t::set_pO2_minlimit_index(int i)
{
    pO2_min_index = uint8_t(deco::wrap_index(i, 3));
    pO2_min = pO2_min_table[pO2_min_index];
}

void config_t::set_pO2_limit_index(int i)
{
    pO2_max_index = uint8_t(deco::wrap_index(i, 8));
    pO2_max = pO2_max_table[pO2_max_index];
}

void config_t::set_pO2_bottomlimit_index(int i)
{
    pO2_bottom_index = uint8_t(deco::wrap_index(i, 8));
    pO2_bottom = pO2_max_table[pO2_bottom_index];
}

void config_t::set_density_limit_index(int i)
{
    density_limit_index = uint8_t(deco::wrap_index(i, 4));
    density_max = density_limit_table[density_limit_index];
}

void config_t::set_laststop_depth_index(int i)
{
    laststop_index = uint8_t(deco::wrap_index(i, 2));
    laststop = laststop_table[laststop_index][units()];
}

bool config_t::uses_bank_b() const
{
    return divemode == divemode_cc || divemode == divemode_oc2;
}

gas_t* config_t::active_bank() { return uses_bank_b() ? bank_b : bank_a; }
const gas_t* config_t::active_bank() const { return uses_bank_b() ? bank_b : bank_a; }
uint8_t& config_t::active_mask() { return uses_bank_b() ? mask_b : mask_a; }
uint8_t config_t::active_mask() const { return uses_bank_b() ? mask_b : mask_a; }

void config_t::sort_gases()
{
    gas_list_count = 0;
    for (uint8_t& entry : gas_list)
        entry = 0;

    int from = 0;
    int to = 7;
    if (divemode == divemode_cc)
        to = 2;
    else if (divemode == divemode_oc2)
        from = 3;
    const gas_t* bank = active_bank();
    const uint8_t mask = active_mask();

    for (int i = from; i <= to; ++i) {
        if ((mask & (1 << i)) == 0)
            continue;
        bool duplicate = false;
        for (int k = 0; k < gas_list_count; ++k)
            duplicate = duplicate || (bank[gas_list[k]].fO2 == bank[i].fO2 &&
                                      bank[gas_list[k]].fHe == bank[i].fHe);
        if (!duplicate)
            gas_list[gas_list_count++] = uint8_t(i);
    }

    // Insertion sort by oxygen, then helium, both ascending.
    auto before = [bank](int x, int y) {
        return bank[x].fO2 < bank[y].fO2 || (bank[x].fO2 == bank[y].fO2 && bank[x].fHe < bank[y].fHe);
    };
    for (int k = 1; k < gas_list_count; ++k) {
        const uint8_t entry = gas_list[k];
        int m = k;
        for (; m > 0 && before(entry, gas_list[m - 1]); --m)
            gas_list[m] = gas_list[m - 1];
        gas_list[m] = entry;
    }
}

int config_t::best_gas(float P, bool ascent) const
{
    const int current = current_gas_index();
    if (is_closed_circuit() || gas_count() == 1)
        return current;
    const float limit = ascent ? pO2_limit() : pO2_bottomlimit();
    if (!ascent && current_gas().PinspO2(setpoint_t::none, P) <= limit)
        return current;

    // From the richest gas down; the leanest entry is never picked here.
    for (int k = gas_list_count - 1; k >= 1; --k) {
        const gas_t& gas = gas_at(gas_list[k]);
        if (!ascent && std::round(gas.fO2 * 100.0f) > 39.0f)
            continue;
        if (gas.PinspO2(setpoint_t::none, P) <= limit)
            return gas_list[k];
    }
    return current;
}

void config_t::set_gas(int i, const gas_t& gas)
{
    active_bank()[deco::wrap_index(i, 8)] = gas;
}

void config_t::set_gas_enabled(int i, bool on)
{
    uint8_t& mask = active_mask();
    const uint8_t bit = uint8_t(1 << deco::wrap_index(i, 8));
    mask = on ? uint8_t(mask | bit) : uint8_t(mask & ~bit);
    if (divemode != divemode_cc && (mask & (1 << bankSlot(current_gas_slot))) == 0)
        current_gas_slot = uint8_t(first_gas());
}

void config_t::set_setpoint(int i, const setpoint_t& sp)
{
    setpoints[deco::wrap_index(i, 3)] = sp;
}

namespace deco {

uint16_t setpoint_word(float pressure)
{
    if (!std::isfinite(pressure))
        return 0xFFFF;
    const uint16_t millibar = clamp_round<uint16_t>(double(pressure) * 1000.0);
    return millibar == 0xFFFF ? 0xFFFE : millibar;
}

float setpoint_from_word(uint16_t millibar)
{
    return millibar == 0xFFFF ? setpoint_t::none.pressure : float(millibar) * 0.001f;
}

} // namespace deco

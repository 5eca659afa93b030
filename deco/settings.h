#pragma once

#include "deco/gas.h"

#include <cstdint>

class stream_t;

enum divemode_t : int32_t {
    divemode_oc = 0,  // open circuit, bank A
    divemode_cc = 1,  // closed circuit, bank B gases 0..2
    divemode_oc2 = 2, // open circuit on bank B gases 3..7
};

enum class DensityType : uint8_t { salt = 0, fresh = 1, iso = 2 };

// Every setting a computation reads. No operation fails: indices are
// wrapped, values out of range ignored.
class settings_t
{
public:
    uint8_t metric = 1;             // 1 metric, 0 imperial
    float surface_pressure = 1.0f;  // bar
    uint32_t settings_value = 0;    // carried by the streams, not interpreted

    virtual ~settings_t() = default;

    virtual bool is_closed_circuit() const = 0;
    virtual const gfs_t& gfs() const = 0;
    virtual const float& water_density() const = 0;    // kg/L
    virtual float vasc() const = 0;                     // bar/min
    virtual float vasc_stop() const = 0;                // bar/min
    virtual float vdesc() const = 0;                    // bar/min
    virtual float pnarcotic_limit() const = 0;          // bar
    virtual float pO2_minlimit() const = 0;             // bar
    virtual float pO2_limit() const = 0;                // bar, during the ascent
    virtual float pO2_bottomlimit() const = 0;          // bar, at the bottom
    virtual float density_limit() const = 0;            // g/L
    virtual bool use_deco_setpoint() const = 0;
    virtual bool gas_switch_enabled() const = 0;
    virtual uint16_t option_value() const = 0;
    virtual float laststop_depth() const = 0;           // m
    virtual int gas_count() const = 0;
    virtual int first_gas() const = 0;
    virtual int next_gas(int i) const = 0;
    virtual int current_gas_index() const = 0;
    virtual const gas_t& current_gas() const = 0;
    virtual const gas_t& gas_at(int i) const = 0;
    virtual int current_setpoint_index() const = 0;
    virtual const setpoint_t& current_setpoint() const = 0;
    virtual const setpoint_t& setpoint_at(int i) const = 0;

    // Stop 1 is the last stop; stop i > 1 lies (i - 1) steps of 3 m (10 ft)
    // below the step nearest to the last stop's depth.
    float stop_depth(int i) const;
    float stop_pressure(int i) const;
};

// The user's choices for one computation.
class config_t : public settings_t
{
public:
    // Option tables, metric value then imperial value.
    static constexpr float vasc_table[5][2] = {
        {0.8f, 0.762f}, {1.0f, 0.9144f}, {1.1f, 1.0668f}, {1.2f, 1.2192f}, {1.5f, 1.3716f}};
    static constexpr float vdesc_table[7][2] = {{1.8f, 1.3716f}, {2.0f, 1.8288f}, {2.2f, 2.286f},
                                                {2.4f, 2.7432f}, {2.6f, 2.7432f}, {2.8f, 2.7432f},
                                                {3.0f, 2.7432f}};
    static constexpr float pnarcotic_table[5][2] = {
        {3.2f, 3.2384f}, {3.6f, 3.48224f}, {4.0f, 3.72608f}, {4.8f, 4.4576f}, {5.6f, 5.18912f}};
    static constexpr float pO2_min_table[3] = {0.16f, 0.17f, 0.18f};
    static constexpr float pO2_max_table[8] = {1.0f, 1.1f, 1.2f, 1.3f, 1.4f, 1.5f, 1.6f, 1.7f};
    static constexpr float density_limit_table[4] = {5.0f, 5.2f, 5.6f, 6.2f};
    static constexpr float laststop_table[2][2] = {{3.0f, 3.048f}, {6.0f, 6.096f}};

    gfs_t gradient_factors;
    divemode_t divemode = divemode_oc;
    uint16_t option = 0;
    DensityType density_type = DensityType::salt;
    float density = 1.0f;               // water density, kg/L
    uint8_t vasc_index = 0;
    float vasc_rate = 0.0f;
    float vasc_stop_rate = 0.6f;
    uint8_t vdesc_index = 0;
    float vdesc_rate = 0.0f;
    uint8_t pnarcotic_index = 2;
    float pnarcotic = 0.0f;
    uint8_t pO2_min_index = 0;
    float pO2_min = 0.0f;
    uint8_t pO2_max_index = 0;
    float pO2_max = 0.0f;
    uint8_t pO2_bottom_index = 0;
    float pO2_bottom = 0.0f;
    uint8_t density_limit_index = 0;
    float density_max = 0.0f;
    uint8_t laststop_index = 0;
    float laststop = 0.0f;
    gas_t bank_a[8];
    gas_t bank_b[8];
    uint8_t mask_a = 0;
    uint8_t mask_b = 0;
    uint8_t gas_list_count = 0;         // the sorted gas list
    uint8_t gas_list[8] = {};
    uint8_t current_gas_slot = 0;
    uint8_t gas_switch = 0;
    setpoint_t setpoints[3] = {setpoint_t::none, setpoint_t::none, setpoint_t::none};
    uint8_t current_setpoint_slot = 0;
    // Device fields, carried by the streams only.
    uint8_t device_byte = 255;
    uint32_t device_value = 0;
    uint8_t device_byte2 = 0;
    uint8_t device_bytes[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    uint8_t device_flag = 0;
    float device_floats[3] = {25.0f, 40.0f, 15.0f};

    config_t();

    bool is_closed_circuit() const override;
    const gfs_t& gfs() const override;
    const float& water_density() const override;
    float vasc() const override;
    float vasc_stop() const override;
    float vdesc() const override;
    float pnarcotic_limit() const override;
    float pO2_minlimit() const override;
    float pO2_limit() const override;
    float pO2_bottomlimit() const override;
    float density_limit() const override;
    bool use_deco_setpoint() const override;
    bool gas_switch_enabled() const override;
    uint16_t option_value() const override;
    float laststop_depth() const override;
    int gas_count() const override;
    int first_gas() const override;
    int next_gas(int i) const override;
    int current_gas_index() const override;
    const gas_t& current_gas() const override;
    const gas_t& gas_at(int i) const override;
    int current_setpoint_index() const override;
    const setpoint_t& current_setpoint() const override;
    const setpoint_t& setpoint_at(int i) const override;

    virtual void set_divemode(divemode_t m);
    virtual void set_gfs(const gfs_t& gfs);

    void reset_config();
    void set_metric(bool on);
    void setDensityType(DensityType type);
    void set_vasc_index(int i);
    void set_vdesc_index(int i);
    void set_pnarcotic_limit_index(int i);
    void set_pO2_minlimit_index(int i);
    void set_pO2_limit_index(int i);
    void set_pO2_bottomlimit_index(int i);
    void set_density_limit_index(int i);
    void set_laststop_depth_index(int i);

    void sort_gases();
    int best_gas(float P, bool ascent) const;
    void set_gas(int i, const gas_t& gas);
    void set_gas_enabled(int i, bool on);
    void set_setpoint(int i, const setpoint_t& sp);

    // The configuration stream. read_config changes nothing unless the whole
    // stream reads; write_config writes the newest version (11).
    bool read_config(stream_t& stream, unsigned char version);
    bool write_config(stream_t& stream, bool withoutMaskB) const;

    static constexpr unsigned char config_version = 11;

protected:
    bool uses_bank_b() const;
    gas_t* active_bank();
    const gas_t* active_bank() const;
    uint8_t& active_mask();
    uint8_t active_mask() const;

private:
    int units() const { return metric ? 0 : 1; }
    bool read_fields(stream_t& stream, unsigned char version);
};

namespace deco {

// A modulo that never goes negative: indices below 0 wrap from the end.
constexpr int wrap_index(int i, int n)
{
    const int r = i % n;
    return r < 0 ? r + n : r;
}

// The set-point pressure as a word of millibar. Open circuit travels as the
// top of the word, which reads back as open circuit.
uint16_t setpoint_word(float pressure);
float setpoint_from_word(uint16_t millibar);

} // namespace deco

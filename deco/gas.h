#pragma once

#include "deco/model.h"

#include <cmath>
#include <cstdint>
#include <limits>

// Closed-circuit set point. An infinite or not-a-number pressure means open
// circuit; any finite one is the oxygen pressure the loop holds.
struct setpoint_t
{
    float pressure;   // oxygen partial pressure, bar
    int16_t value;    // carried by the streams only
    uint8_t flag;     // carried by the streams only

    static const setpoint_t none;

    bool closed_circuit() const { return std::isfinite(pressure); }
};

inline constexpr setpoint_t setpoint_t::none{std::numeric_limits<float>::infinity(), 0, 0};

namespace deco::detail {

// Writes value in decimal with at least minDigits digits; returns the end.
constexpr char* put_number(char* out, int value, int minDigits)
{
    char digits[12] = {};
    int count = 0;
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0 || count < minDigits);
    while (count > 0)
        *out++ = digits[--count];
    return out;
}

// "%02d/%02d" of two percentages; out must hold 8 bytes.
constexpr void put_pair(char* out, int first, int second)
{
    char* end = put_number(out, first, 2);
    *end++ = '/';
    end = put_number(end, second, 2);
    *end = '\0';
}

} // namespace deco::detail

// A breathing gas of the engine.
struct gas_t
{
    char name[8];
    float fO2;
    float fHe;
    float fN2;
    float extra1;   // carried by the configuration stream in tenths
    int32_t extra2; // carried by the configuration stream as a byte

    static const gas_t air;
    static const gas_t oxygen;

    constexpr gas_t() : gas_t(21, 0) {}

    constexpr gas_t(unsigned char o2Percent, unsigned char hePercent, const char* givenName = nullptr)
        : name{}, fO2(0), fHe(0), fN2(0), extra1(0), extra2(0)
    {
        const int o2 = o2Percent < 100 ? o2Percent : 100;
        const int he = hePercent < 100 - o2 ? hePercent : 100 - o2;
        fO2 = float(o2) / 100.0f;
        fHe = float(he) / 100.0f;
        const float n2 = 1.0f - fO2 - fHe;
        fN2 = n2 < 0.0f ? 0.0f : (n2 > 1.0f ? 1.0f : n2);

        if (givenName != nullptr) {
            deco::detail::copy_text(name, givenName, sizeof name);
        } else if (o2Percent >= 100) {
            deco::detail::copy_text(name, "OXY", sizeof name);
        } else if (he != 0) {
            deco::detail::put_pair(name, o2, he);
        } else {
            char* end = deco::detail::put_number(name, o2, 2);
            end[0] = '%';
            end[1] = '\0';
        }
    }

    // "OXY" for 100 % oxygen, else five characters and two NULs: the two
    // digits of O2 (00 above 100), "/", the last two digits of He.
    static void format(int, char* out, unsigned char o2Percent, unsigned char hePercent);

    float PinspO2(const setpoint_t& sp, float P) const;
    float PinspN2(const setpoint_t& sp, float P) const;
    float PalvN2(const setpoint_t& sp, float P) const;
    float PinspHe(const setpoint_t& sp, float P) const;
    float PalvHe(const setpoint_t& sp, float P) const;
    float END(const setpoint_t& sp, float P, float Psurf, float dens) const;
    float EAD(const setpoint_t& sp, float P, float Psurf, float dens) const;
    float MOP(const setpoint_t& sp, float pO2max, float = 0.0f, float = 0.0f) const;
    float MOD(const setpoint_t& sp, float pO2max, float, float, float Psurf, float dens) const;
    float density(const setpoint_t& sp, float P, float T) const;

    constexpr bool is_oxygen() const { return fO2 == 1.0f; }
};

inline constexpr gas_t gas_t::air{21, 0};
inline constexpr gas_t gas_t::oxygen{100, 0};

// Gradient factors as fractions (1.0 = 100 %) with a short name.
struct gfs_t
{
    float low;
    float high;
    char name[16];

    constexpr gfs_t() : low(1.0f), high(1.0f), name{}
    {
        deco::detail::copy_text(name, "BHL", sizeof name);
    }

    constexpr gfs_t(unsigned char lowPercent, unsigned char highPercent, const char* givenName = nullptr)
        : low(float(lowPercent) / 100.0f), high(float(highPercent) / 100.0f), name{}
    {
        if (givenName != nullptr)
            deco::detail::copy_text(name, givenName, sizeof name);
        else
            deco::detail::put_pair(name, lowPercent, highPercent);
    }
};

// Water density in kg/L.
struct density_t
{
    float value;

    constexpr explicit density_t(float v) : value(v) {}

    static const density_t fresh;
    static const density_t iso;
    static const density_t salt;
};

inline constexpr density_t density_t::fresh{1.0f};
inline constexpr density_t density_t::iso{1.02f};
inline constexpr density_t density_t::salt{1.03f};

namespace deco {

// Metres of water for a pressure difference in bar.
constexpr float depth_of(float dP, float dens)
{
    return dP * 100.0f / (dens * 9.80665f);
}

} // namespace deco

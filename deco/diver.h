#pragma once

#include "deco/gas.h"

#include <cstddef>
#include <cstdint>

class stream_t;

// Surface-interval reduction levels; the first six hours of a surface
// interval desaturate at the level's factor.
enum SurfaceReduction : uint8_t {
    reduction_none = 0,   // factor 1.0
    reduction_low = 1,    // 0.54
    reduction_medium = 2, // 0.32
    reduction_high = 3,   // 0.18
};

// The tissue state of one diver: inert-gas pressures of the sixteen
// compartments, the CNS load and the surface-interval reduction. A plain
// value of 140 bytes, copied freely; the model tables must be installed
// (zhl16_t::initZhl16C) before any loading.
struct diver_t
{
    float N2[16];              // bar, compartment 1 first
    float He[16];              // bar
    float CNS;                 // fraction, 1.0 = 100 %
    uint8_t helium;            // 1 once helium was breathed; He is computed only then
    SurfaceReduction reduction;
    float reduction_factor;

    diver_t();

    void begin(float Psurf);
    void begin(const float* nitrogen, const float* helium, float cns);
    // A state the engine can load: CNS from 0 to below 10, every pressure a
    // finite number of at least 0.
    bool valid() const;

    void load_inert(float P1, float P2, float t, const gas_t& gas, const setpoint_t& sp);
    void load_inert(float P, float t, const gas_t& gas, const setpoint_t& sp);
    void load_inert_seconds(float P, int n, const gas_t& gas, const setpoint_t& sp);
    void surface_inert(float P, long tRef, long tFrom, long tTo, bool);
    void purge_inert(const gas_t& gas);
    float load_oxygen(float P1, float P2, float t, const gas_t& gas, const setpoint_t& sp);

    float calc_supersaturation(float P) const;
    bool calc_icd(const gas_t& gas, const setpoint_t& sp, float P) const;
    float gf(float P) const;
    float gf(float P, int i) const;

    void setReduction(SurfaceReduction r);
    void setNextReduction();
    SurfaceReduction getReduction() const { return reduction; }

    bool write(stream_t& stream) const;
    bool read(stream_t& stream);

private:
    void load_bits(float pN2, float pHe, int n);
};

static_assert(sizeof(diver_t) == 140);
static_assert(offsetof(diver_t, N2) == 0);
static_assert(offsetof(diver_t, He) == 64);
static_assert(offsetof(diver_t, CNS) == 128);
static_assert(offsetof(diver_t, helium) == 132);
static_assert(offsetof(diver_t, reduction) == 133);
static_assert(offsetof(diver_t, reduction_factor) == 136);

// The coefficient tables of the model and the tolerated pressures of a
// tissue state; tissue loading and the solver build on them.

#include "deco/diver.h"
#include "deco/zhl16.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int N = zhl16_t::compartments;
constexpr double kLn2 = 0.6931471805599453;

// Bühlmann ZH-L16C, nitrogen (compartment 1 at 4.0 minutes).
constexpr float kZhl16cN2Halftimes[N] = {4.0f,   8.0f,   12.5f,  18.5f,  27.0f,  38.3f,
                                         54.3f,  77.0f,  109.0f, 146.0f, 187.0f, 239.0f,
                                         305.0f, 390.0f, 498.0f, 635.0f};
constexpr float kZhl16cN2A[N] = {1.2599f, 1.0000f, 0.8618f, 0.7562f, 0.6200f, 0.5043f,
                                 0.4410f, 0.4000f, 0.3750f, 0.3500f, 0.3295f, 0.3065f,
                                 0.2835f, 0.2610f, 0.2480f, 0.2327f};
constexpr float kZhl16cN2B[N] = {0.5050f, 0.6514f, 0.7222f, 0.7825f, 0.8126f, 0.8434f,
                                 0.8693f, 0.8910f, 0.9092f, 0.9222f, 0.9319f, 0.9403f,
                                 0.9477f, 0.9544f, 0.9602f, 0.9653f};

// Bühlmann ZH-L16, helium.
constexpr float kZhl16HeHalftimes[N] = {1.51f,  3.02f,  4.72f,   6.99f,   10.21f,  14.48f,
                                        20.53f, 29.11f, 41.20f,  55.19f,  70.69f,  90.34f,
                                        115.29f, 147.42f, 188.24f, 240.03f};
constexpr float kZhl16HeA[N] = {1.7424f, 1.3830f, 1.1919f, 1.0458f, 0.9220f, 0.8205f,
                                0.7305f, 0.6502f, 0.5950f, 0.5545f, 0.5333f, 0.5189f,
                                0.5181f, 0.5176f, 0.5172f, 0.5119f};
constexpr float kZhl16HeB[N] = {0.4245f, 0.5747f, 0.6527f, 0.7223f, 0.7582f, 0.7957f,
                                0.8279f, 0.8553f, 0.8757f, 0.8903f, 0.8997f, 0.9073f,
                                0.9122f, 0.9171f, 0.9217f, 0.9267f};

// The factors of the last few intervals, for the tables now installed. A
// computation alternates between a handful of intervals (the time between
// two points, the travel from a depth to each stop it tries), and each new
// one costs two exponentials per compartment.
struct KeptFactors
{
    float minutes;
    zhl16_t::factors_t factors;
};
constexpr int kKeptIntervals = 8;
KeptFactors sKept[kKeptIntervals] = {};
int sKeptCount = 0;
int sKeptNext = 0; // the entry a new interval replaces, oldest first

void fillFactors(float t, zhl16_t::factors_t& factors)
{
    if (t == 1.0f / 60.0f) {
        // One second: the first row of the tables.
        std::memcpy(factors.F_N2, zhl16_t::F_N2_tab[0], sizeof factors.F_N2);
        std::memcpy(factors.E_N2, zhl16_t::E_N2_tab[0], sizeof factors.E_N2);
        std::memcpy(factors.F_He, zhl16_t::F_He_tab[0], sizeof factors.F_He);
        std::memcpy(factors.E_He, zhl16_t::E_He_tab[0], sizeof factors.E_He);
        return;
    }
    for (int j = 0; j < N; ++j) {
        factors.F_N2[j] = std::exp(-zhl16_t::k_N2[j] * t);
        factors.E_N2[j] = (1.0f - factors.F_N2[j]) / zhl16_t::k_N2[j];
        factors.F_He[j] = std::exp(-zhl16_t::k_He[j] * t);
        factors.E_He[j] = (1.0f - factors.F_He[j]) / zhl16_t::k_He[j];
    }
}

void fillTables(const float* halftimes, float* k, float (*F)[N], float (*E)[N])
{
    for (int j = 0; j < N; ++j) {
        const double kj = kLn2 / double(halftimes[j]);
        k[j] = float(kj);
        for (int i = 0; i < zhl16_t::table_rows; ++i) {
            const double f = std::exp(-kj * double(1 << i) / 60.0);
            F[i][j] = float(f);
            E[i][j] = float((1.0 - f) / kj);
        }
    }
}

struct coefficients
{
    float a;
    float b;
};

// Coefficients of compartment j, blended by its helium share once helium
// has been breathed. An empty compartment counts as nitrogen.
coefficients mixed(const diver_t& diver, int j)
{
    if (diver.helium == 0)
        return {zhl16_t::a_N2[j], zhl16_t::b_N2[j]};
    const float inert = diver.N2[j] + diver.He[j];
    const float r = inert > 0.0f ? diver.He[j] / inert : 0.0f;
    return {zhl16_t::a_N2[j] * (1.0f - r) + zhl16_t::a_He[j] * r,
            zhl16_t::b_N2[j] * (1.0f - r) + zhl16_t::b_He[j] * r};
}

// The ambient pressure the limit of a compartment holding `inert` bar
// tolerates under the gradient factor gf.
float limitAmbient(float inert, coefficients c, float gf)
{
    return (inert - c.a * gf) / (gf / c.b - gf + 1.0f);
}

// The tolerated ambient pressure of a compartment: its limit's, 0 for an
// empty one.
float toleratedAmbient(float inert, float limit)
{
    return inert > 0.0f ? limit : 0.0f;
}

// Every compartment's load and limit. Without helium the compartments are
// computed side by side, each with the operations of limitAmbient.
struct Limits
{
    float inert[N];
    float ambient[N];

    Limits(const diver_t& diver, float gf)
    {
        for (int j = 0; j < N; ++j)
            inert[j] = diver.N2[j] + diver.He[j];
        if (diver.helium == 0) {
            for (int j = 0; j < N; ++j)
                ambient[j] = limitAmbient(inert[j], {zhl16_t::a_N2[j], zhl16_t::b_N2[j]}, gf);
            return;
        }
        for (int j = 0; j < N; ++j)
            ambient[j] = limitAmbient(inert[j], mixed(diver, j), gf);
    }

    float tolerated(int j) const { return toleratedAmbient(inert[j], ambient[j]); }
};

} // namespace

float zhl16_t::h_N2[N], zhl16_t::a_N2[N], zhl16_t::b_N2[N];
float zhl16_t::h_He[N], zhl16_t::a_He[N], zhl16_t::b_He[N];
float zhl16_t::k_N2[N], zhl16_t::k_He[N];
float zhl16_t::F_N2_tab[table_rows][N], zhl16_t::E_N2_tab[table_rows][N];
float zhl16_t::F_He_tab[table_rows][N], zhl16_t::E_He_tab[table_rows][N];

void zhl16_t::set_mode(const char* name, const float* hN2, const float* aN2, const float* bN2,
                       const float* hHe, const float* aHe, const float* bHe)
{
    sstrcpy(model_t::model, name, sizeof model_t::model);
    std::memcpy(h_N2, hN2, sizeof h_N2);
    std::memcpy(a_N2, aN2, sizeof a_N2);
    std::memcpy(b_N2, bN2, sizeof b_N2);
    std::memcpy(h_He, hHe, sizeof h_He);
    std::memcpy(a_He, aHe, sizeof a_He);
    std::memcpy(b_He, bHe, sizeof b_He);
    fillTables(h_N2, k_N2, F_N2_tab, E_N2_tab);
    fillTables(h_He, k_He, F_He_tab, E_He_tab);
    sKeptCount = 0;
    sKeptNext = 0;
}

void zhl16_t::initZhl16C()
{
    set_mode("zhl16c", kZhl16cN2Halftimes, kZhl16cN2A, kZhl16cN2B, kZhl16HeHalftimes, kZhl16HeA,
             kZhl16HeB);
}

const zhl16_t::factors_t& zhl16_t::interval_factors(float t)
{
    for (int i = 0; i < sKeptCount; ++i)
        if (sKept[i].minutes == t)
            return sKept[i].factors;
    KeptFactors& kept = sKept[sKeptNext];
    kept.minutes = t;
    fillFactors(t, kept.factors);
    sKeptCount = std::max(sKeptCount, sKeptNext + 1);
    sKeptNext = (sKeptNext + 1) % kKeptIntervals;
    return kept.factors;
}

float zhl16_t::PtolIg(const diver_t& diver, unsigned char j, float P, float gf)
{
    if (j >= N)
        return 0.0f;
    const coefficients c = mixed(diver, j);
    return P * (gf / c.b - gf + 1.0f) + c.a * gf;
}

float zhl16_t::PtolIg(const diver_t& diver, float P, float gf)
{
    float largest = PtolIg(diver, 0, P, gf);
    for (unsigned char j = 1; j < N; ++j) {
        const float p = PtolIg(diver, j, P, gf);
        if (p > largest)
            largest = p;
    }
    return largest;
}

float zhl16_t::PtolAmb(const diver_t& diver, unsigned char j, float gf)
{
    if (j >= N)
        return 0.0f;
    const float inert = diver.N2[j] + diver.He[j];
    return toleratedAmbient(inert, limitAmbient(inert, mixed(diver, j), gf));
}

float zhl16_t::PtolAmb(const diver_t& diver, float gf)
{
    const Limits limits(diver, gf);
    float ceiling = 0.0f;
    for (int j = 0; j < N; ++j) {
        const float p = limits.tolerated(j);
        if (p > ceiling)
            ceiling = p;
    }
    return ceiling;
}

bool zhl16_t::IsTolAmb(const diver_t& diver, float P, float gf)
{
    const Limits limits(diver, gf);
    for (int j = 0; j < N; ++j)
        if (!(P > limits.tolerated(j)))
            return false;
    return true;
}

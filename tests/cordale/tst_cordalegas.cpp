// A program of libCordale's users: it links the library alone and computes
// with the gas library through the library's interface.

#include "divecore/gas.h"
#include "divecore/gaslist.h"
#include "divecore/gasnames.h"

#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

int failures = 0;

void expect(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "FAIL: %s\n", what);
        ++failures;
    }
}

// Whether the function's code lies in libCordale.
bool fromCordale(const void* function)
{
    Dl_info info{};
    return dladdr(function, &info) != 0 && info.dli_fname && std::strstr(info.dli_fname, "libCordale") != nullptr;
}

} // namespace

int main()
{
    // Nitrox 32 with a 1.4 bar limit, in salt water at sea level.
    divecore::Gas nitrox;
    nitrox.setFractionO2(0.32);
    nitrox.setPO2Max(1.4f);
    expect(nitrox.gasType() == 2, "nitrox 32 is a nitrox");
    expect(divecore::gasShortName(nitrox) == "Nx32", "nitrox 32 is named Nx32");
    expect(divecore::gasFullName(nitrox) == "Nitrox 32", "nitrox 32 is named Nitrox 32 in full");
    const float mod = nitrox.MOD(divecore::Setpoint::none, 1.6f, 0, 0, 1.0f, 1.025f);
    expect(std::abs(mod - 33.576f) < 0.01f, "nitrox 32 reaches 33.58 m at 1.4 bar");
    expect(std::abs(nitrox.PinspO2(divecore::Setpoint::none, 4.0f) - 1.28f) < 1e-6f, "1.28 bar of oxygen at 30 m");

    // Trimix 18/45 in a list with the nitrox: at 4 bar the richer nitrox is
    // taken; at 7 bar it is beyond its limit and the trimix is taken.
    divecore::Gas trimix;
    trimix.setFractionO2(0.18);
    trimix.setFractionHe(0.45);
    trimix.setPO2Max(1.4f);
    char name[16];
    divecore::gasName(trimix, name, sizeof name);
    expect(std::string(name) == "18/45", "trimix 18/45 is named 18/45");
    divecore::GasList gases;
    gases.add(trimix);
    gases.add(nitrox);
    expect(divecore::getBestMixAtDepth(gases.data(), gases.count(), 4.0, 1.0, divecore::MixtureUse::OpenCircuit) == 1,
           "the nitrox is best at 30 m");
    expect(divecore::getBestMixAtDepth(gases.data(), gases.count(), 7.0, 1.0, divecore::MixtureUse::OpenCircuit) == 0,
           "the trimix is best at 60 m");

    // The computations are the library's own.
    expect(fromCordale(reinterpret_cast<const void*>(&divecore::gasShortName)), "the gas names come from libCordale");
    expect(fromCordale(reinterpret_cast<const void*>(&divecore::getBestMixAtDepth)),
           "the gas searches come from libCordale");

    if (failures == 0)
        std::printf("PASS: the gas library through libCordale\n");
    return failures == 0 ? 0 : 1;
}

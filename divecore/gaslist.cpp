#include "divecore/gaslist.h"

namespace divecore {

namespace {

bool isCandidate(const Gas& gas, MixtureUse use)
{
    return gas.inactive == 0 && gas.use == use;
}

// A fixed switch depth (metres) read as a pressure difference in bar.
double switchDepthPressure(const Gas& gas, double k)
{
    return double(gas.switchDepth) / 10.0 * k;
}

} // namespace

void GasList::setGases(const GasList& other, bool append)
{
    if (!append)
        mGases.clear();
    // Copied first, so that a list given itself ends up doubled and intact.
    const std::vector<Gas> added = other.mGases;
    mGases.insert(mGases.end(), added.begin(), added.end());
}

void GasList::add(const Gas& gas)
{
    mGases.push_back(gas);
}

void GasList::remove(int index)
{
    if (index >= 0 && index < count())
        mGases.erase(mGases.begin() + index);
}

int getFirstActive(const Gas* gases, int count)
{
    for (int i = 0; i < count; ++i) {
        if (gases[i].inactive != 1)
            return i;
    }
    return -1;
}

int getSameMixture(const Gas* gases, int count, const Gas& gas)
{
    for (int i = 0; i < count; ++i) {
        if (gases[i].fO2 == gas.fO2 && gases[i].fHe == gas.fHe && gases[i].use == gas.use)
            return i;
    }
    return -1;
}

int getBestMixAtDepth(const Gas* gases, int count, double p, double k, MixtureUse use)
{
    double best = 0.0;
    int result = -1;
    for (int i = 0; i < count; ++i) {
        const Gas& gas = gases[i];
        if (!isCandidate(gas, use))
            continue;
        const double pO2 = double(gas.fO2) * p;
        if (gas.fixedSwitchDepth == 1) {
            if (p < switchDepthPressure(gas, k) + double(1.013f)) {
                result = i;
                best = pO2;
            }
        } else if (pO2 > best && double(gas.pO2Max) >= pO2) {
            result = i;
            best = pO2;
        }
    }
    return result;
}

int getMixBeforeDepth(const Gas* gases, int count, double& limit, double k, MixtureUse use)
{
    double current = limit;
    int result = -1;
    for (int i = 0; i < count; ++i) {
        const Gas& gas = gases[i];
        if (!isCandidate(gas, use))
            continue;
        const double v = gas.fixedSwitchDepth == 1 ? switchDepthPressure(gas, k) : double(gas.pO2Max / gas.fO2);
        if (v > current) {
            current = v;
            limit = v;
            result = i;
        }
    }
    return result;
}

} // namespace divecore

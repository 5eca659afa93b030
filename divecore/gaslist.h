#pragma once

#include "divecore/gas.h"

#include <vector>

namespace divecore {

// A growable list of gases in insertion order.
class DIVECORE_EXPORT GasList
{
public:
    // Takes `other`'s gases, after the own ones when `append` is set.
    void setGases(const GasList& other, bool append);
    void add(const Gas& gas);
    // Removes the gas at `index`; an index outside the list changes nothing.
    void remove(int index);

    int count() const { return int(mGases.size()); }
    const Gas& at(int index) const { return mGases.at(std::size_t(index)); }
    const Gas* data() const { return mGases.data(); }

private:
    std::vector<Gas> mGases;
};

// Searches over a run of `count` gases starting at `gases` (a count below 1 is
// an empty run). Each returns an index into the run, or -1.

// The first gas that is not switched off.
DIVECORE_EXPORT int getFirstActive(const Gas* gases, int count);
// The first gas with exactly `gas`'s fractions and use, active or not.
DIVECORE_EXPORT int getSameMixture(const Gas* gases, int count, const Gas& gas);
// The active gas of `use` to breathe at ambient pressure `p` (bar): the richest
// one within its maximum oxygen pressure, or the one whose fixed switch depth
// lies deeper than `p`. `k` turns decimetres of water into bar.
DIVECORE_EXPORT int getBestMixAtDepth(const Gas* gases, int count, double p, double k, MixtureUse use);
// The active gas of `use` whose limit (maximum operating pressure, or fixed
// switch depth) is the largest above `limit`; `limit` then holds that value.
DIVECORE_EXPORT int getMixBeforeDepth(const Gas* gases, int count, double& limit, double k, MixtureUse use);

} // namespace divecore

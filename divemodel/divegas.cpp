#include "divemodel/divegas.h"

using divecore::MixtureUse;

namespace {

// The mixture classes of divecore::Gas::gasType.
enum MixtureClass { Air = 0, Oxygen = 1, Nitrox = 2, Trimix = 3, Heliox = 4, Hypoxic = 5 };

constexpr int kTrimixOxygenLimit = 22; // % at and above which a trimix is a triox

} // namespace

constinit const DiveGas diveGasAir;

quint8 DiveGas::getGasType() const
{
    switch (gasType()) {
    case Air:
        return 0;
    case Oxygen:
        return 2;
    case Nitrox:
        return 1;
    case Trimix:
        return o2Percent() < kTrimixOxygenLimit ? 3 : 5;
    case Heliox:
        return 4;
    case Hypoxic:
        return hePercent() > 0 ? 3 : 1;
    default:
        return 6;
    }
}

QString DiveGas::getName() const
{
    if (!mName.isEmpty())
        return mName;
    switch (gasType()) {
    case Air:
        return QStringLiteral("Air");
    case Oxygen:
        return QStringLiteral("Oxy");
    case Nitrox:
    case Hypoxic:
        return QStringLiteral("Nx%1").arg(int(o2Percent()));
    case Trimix:
        return (o2Percent() < kTrimixOxygenLimit ? QStringLiteral("Tx%1/%2") : QStringLiteral("Triox%1/%2"))
            .arg(int(o2Percent()))
            .arg(int(hePercent()));
    case Heliox:
        return QStringLiteral("Hx%1/%2").arg(int(o2Percent())).arg(int(hePercent()));
    default:
        return QStringLiteral("Unknown");
    }
}

int DiveGas::legacyGasClass() const
{
    if (legacyClassByte == 1)
        return 1;
    return use == MixtureUse::Bailout ? 2 : 0;
}

void DiveGas::setLegacyGasClass(int gasClass)
{
    switch (gasClass) {
    case 1:
        legacyClassByte = 1;
        use = MixtureUse::Diluent;
        break;
    case 2:
        legacyClassByte = 0;
        use = MixtureUse::Bailout;
        break;
    default:
        legacyClassByte = 0;
        use = MixtureUse::OpenCircuit;
        break;
    }
}

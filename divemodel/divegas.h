#pragma once

#include "divecore/gas.h"

#include <QString>

class QJsonObject;

// A gas of a dive: a mixture with an identifier, a display name, a colour and
// the byte of the older gas classes.
class DiveGas : public divecore::Gas
{
public:
    constexpr DiveGas() = default;

    // 0 air, 1 nitrox or hypoxic mix, 2 oxygen, 3 trimix up to 21 % oxygen,
    // 4 heliox, 5 richer trimix, 6 unknown.
    quint8 getGasType() const;
    // `mName`, or a name built from the mixture ("Nx32", "Tx21/35").
    QString getName() const;
    // 1 diluent, 2 bailout, 0 open circuit.
    int legacyGasClass() const;
    void setLegacyGasClass(int gasClass);

    quint8 o2Percent() const { return divecore::roundedPercent(fO2); }
    quint8 hePercent() const { return divecore::roundedPercent(fHe); }

    // The gas object of the dive's JSON form: identifier, name, whole
    // percentages, maximum oxygen pressure, colour and class. Reading goes
    // through the setters and keeps their bounds.
    QJsonObject toJson() const;
    void fromJson(const QJsonObject& object);

    QString mId;
    QString mName;
    quint32 color = 0xffffff;
    quint8 legacyClassByte = 0;
};

// Air with no identifier or name, colour 0xffffff, class 0: what a dive hands
// out for a gas index it doesn't have.
extern const DiveGas diveGasAir;

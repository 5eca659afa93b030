#include "divemodel/dive.h"

#include <cmath>
#include <utility>

const DiveGas& Dive::gasAt(int index) const
{
    return index >= 0 && index < gases.size() ? gases.at(index) : diveGasAir;
}

void Dive::clear()
{
    QString manufacturer = std::move(computerManufacturer);
    const quint8 keptUploaded = uploaded;
    const quint8 keptDiverMode = diverMode;
    const quint16 keptGasSet = gasSet;
    *this = Dive();
    computerManufacturer = std::move(manufacturer);
    uploaded = keptUploaded;
    diverMode = keptDiverMode;
    gasSet = keptGasSet;
}

void Dive::setGasSet(quint16 code)
{
    gasSet = code;
    if (code > 1536)
        divemode = 6;
    else if (code >= 33)
        divemode = 4;
    else if (code == 32)
        divemode = 1;
    else
        divemode = 0;
}

void Dive::setGasIndexOnLines(int index)
{
    for (DiveLine& line : lines)
        line.gasIndex = index;
}

QString Dive::getDiverModeStr() const
{
    QString text = diverMode != 0 ? QStringLiteral("PLS") : QStringLiteral("PLB");
    if (divemode == 0)
        text += QStringLiteral(" OC");
    return text;
}

QString Dive::getGasSetStr() const
{
    switch (gasSet) {
    case 0: return QStringLiteral("None");
    case 1: return QStringLiteral("Air");
    case 2: return QStringLiteral("Nx30");
    case 4: return QStringLiteral("Nx40");
    case 9: return QStringLiteral("Air + OxyAR");
    case 17: return QStringLiteral("Air + OxySR");
    case 32: return QStringLiteral("Oxy");
    case 64: return QStringLiteral("Nx60");
    case 128: return QStringLiteral("Nx50");
    case 256: return QStringLiteral("Nx40");
    case 1280: return QStringLiteral("Nx40 + Oxy");
    case 1536: return QStringLiteral("Nx30 + Oxy");
    case 2080: return QStringLiteral("Nx60 Oxymix");
    default: return QStringLiteral("Inconnu");
    }
}

DivePosition Dive::getPositionAt(int timeSec, bool onDecoLines) const
{
    const QList<DiveLine>& list = onDecoLines ? decoLines : lines;
    DivePosition position;
    const double t = timeSec;
    for (qsizetype i = 1; i < list.size(); ++i) {
        const DiveLine& a = list.at(i - 1);
        const DiveLine& b = list.at(i);
        if (!(t >= std::trunc(a.timeSec) && std::trunc(b.timeSec) >= t))
            continue;
        const double f = b.timeSec > a.timeSec ? (t - a.timeSec) / (b.timeSec - a.timeSec) : 0.0;
        position.prevLine = &a;
        position.nextLine = &b;
        position.decoCeiling = a.decoCeiling + f * (b.decoCeiling - a.decoCeiling);
        position.tankPressure = a.tankPressure + f * (double(b.tankPressure) - double(a.tankPressure));
        break;
    }
    return position;
}

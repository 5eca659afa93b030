#pragma once

#include "divemodel/dive.h"

#include <QString>

#include <cmath>

namespace testkit {

// A gas as the database gives it back: fractions and class, no id, no name.
inline DiveGas storedGas(int o2Percent, int hePercent, int gasClass)
{
    DiveGas gas;
    gas.setFractionO2(o2Percent / 100.0);
    gas.setFractionHe(hePercent / 100.0);
    gas.setLegacyGasClass(gasClass);
    return gas;
}

// Thirty samples 20 s apart with what a UDDF file carries: open circuit on
// air, closed circuit on a trimix diluent, the bailout nitrox, back to air; a
// 3 m ceiling span with no-decompression times before and after it; depths
// and temperatures with decimals; a name with an accent.
inline Dive mixedGasDive(qint64 beginTime = 0)
{
    Dive dive;
    dive.name = QStringLiteral("Épave du Nérée");
    dive.beginTime = beginTime;
    dive.gases = {storedGas(21, 0, 0), storedGas(18, 45, 1), storedGas(50, 0, 2)};
    for (int i = 0; i < 30; ++i) {
        DiveLine line;
        line.timeSec = 20.0 * i;
        line.depth = i == 29 ? 0.0 : 1.3 + 0.37 * i * (29 - i) / 7.0;
        line.ambientTemp = 21.3 - 0.1 * i;
        line.gasIndex = i < 8 ? 0 : i < 16 ? 1 : i < 22 ? 2 : 0;
        line.ccr = i >= 8 && i < 16;
        line.decoCeiling = i >= 17 && i < 23 ? 3.0 : 0.0;
        line.ndl = line.decoCeiling > 0.0 ? 0 : qint16(99 - 3 * i);
        dive.lines.append(line);
    }
    return dive;
}

// The first sample whose time, depth, ceiling, no-decompression time, gas or
// circuit differs, or whose temperature differs by more than 1e-9 °C, as a
// text; empty when the samples agree.
inline QString firstSampleDifference(const Dive& read, const Dive& expected)
{
    if (read.lines.size() != expected.lines.size())
        return QStringLiteral("%1 samples instead of %2").arg(read.lines.size()).arg(expected.lines.size());
    const auto described = [](const DiveLine& line) {
        return QStringLiteral("(%1 s, %2 m, %3 °C, ceiling %4, ndl %5, gas %6, ccr %7)")
            .arg(line.timeSec, 0, 'g', 17)
            .arg(line.depth, 0, 'g', 17)
            .arg(line.ambientTemp, 0, 'g', 17)
            .arg(line.decoCeiling)
            .arg(line.ndl)
            .arg(line.gasIndex)
            .arg(line.ccr);
    };
    for (qsizetype i = 0; i < read.lines.size(); ++i) {
        const DiveLine& a = read.lines.at(i);
        const DiveLine& b = expected.lines.at(i);
        if (a.timeSec != b.timeSec || a.depth != b.depth || a.decoCeiling != b.decoCeiling || a.ndl != b.ndl
            || a.gasIndex != b.gasIndex || a.ccr != b.ccr || !(std::abs(a.ambientTemp - b.ambientTemp) <= 1e-9))
            return QStringLiteral("sample %1: %2 instead of %3").arg(i).arg(described(a), described(b));
    }
    return QString();
}

// The first gas whose fractions or class differ, as a text; empty when the
// gases agree.
inline QString firstGasDifference(const Dive& read, const Dive& expected)
{
    if (read.gases.size() != expected.gases.size())
        return QStringLiteral("%1 gases instead of %2").arg(read.gases.size()).arg(expected.gases.size());
    for (qsizetype i = 0; i < read.gases.size(); ++i) {
        const DiveGas& a = read.gases.at(i);
        const DiveGas& b = expected.gases.at(i);
        if (a.fO2 != b.fO2 || a.fHe != b.fHe || a.legacyGasClass() != b.legacyGasClass())
            return QStringLiteral("gas %1: %2/%3 class %4 instead of %5/%6 class %7")
                .arg(i)
                .arg(a.fO2)
                .arg(a.fHe)
                .arg(a.legacyGasClass())
                .arg(b.fO2)
                .arg(b.fHe)
                .arg(b.legacyGasClass());
    }
    return QString();
}

// What a UDDF file keeps of a dive that differs between the two: samples,
// gases or begin time, as a text; empty when nothing does.
inline QString firstDifference(const Dive& read, const Dive& expected)
{
    QString difference = firstSampleDifference(read, expected);
    if (difference.isEmpty())
        difference = firstGasDifference(read, expected);
    if (difference.isEmpty() && read.beginTime != expected.beginTime)
        difference = QStringLiteral("begins at %1 instead of %2").arg(read.beginTime).arg(expected.beginTime);
    return difference;
}

} // namespace testkit

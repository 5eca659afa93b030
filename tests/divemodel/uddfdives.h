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
    for (qsizetype i = 0; i < read.lines.size(); ++i) {
        const DiveLine& a = read.lines.at(i);
        const DiveLine& b = expected.lines.at(i);
        if (a.timeSec != b.timeSec || a.depth != b.depth || a.decoCeiling != b.decoCeiling || a.ndl != b.ndl
            || a.gasIndex != b.gasIndex || a.ccr != b.ccr || !(std::abs(a.ambientTemp - b.ambientTemp) <= 1e-9))
            return QStringLiteral("sample %1: (%2 s, %3 m, %4 °C, ceiling %5, ndl %6, gas %7, ccr %8) instead of "
                                  "(%9 s, %10 m, %11 °C, ceiling %12, ndl %13, gas %14, ccr %15)")
                .arg(i)
                .arg(a.timeSec, 0, 'g', 17)
                .arg(a.depth, 0, 'g', 17)
                .arg(a.ambientTemp, 0, 'g', 17)
                .arg(a.decoCeiling)
                .arg(a.ndl)
                .arg(a.gasIndex)
                .arg(a.ccr)
                .arg(b.timeSec, 0, 'g', 17)
                .arg(b.depth, 0, 'g', 17)
                .arg(b.ambientTemp, 0, 'g', 17)
                .arg(b.decoCeiling)
                .arg(b.ndl)
                .arg(b.gasIndex)
                .arg(b.ccr);
    }
    return QString();
}

} // namespace testkit

#pragma once

#include "divemodel/dive.h"

#include <QtTest>

namespace testkit {

// What the database keeps of a dive's gases and samples reads back as it
// was stored.
inline void compareStoredGasesAndSamples(const Dive& read, const Dive& stored)
{
    QCOMPARE(read.gases.size(), stored.gases.size());
    for (qsizetype i = 0; i < stored.gases.size(); ++i) {
        QCOMPARE(read.gases.at(i).o2Percent(), stored.gases.at(i).o2Percent());
        QCOMPARE(read.gases.at(i).hePercent(), stored.gases.at(i).hePercent());
        QCOMPARE(read.gases.at(i).legacyGasClass(), stored.gases.at(i).legacyGasClass());
    }

    QCOMPARE(read.lines.size(), stored.lines.size());
    for (qsizetype i = 0; i < stored.lines.size(); ++i) {
        const DiveLine& a = read.lines.at(i);
        const DiveLine& b = stored.lines.at(i);
        QCOMPARE(a.timeSec, b.timeSec);
        QCOMPARE(a.depth, b.depth);
        QCOMPARE(a.ambientTemp, b.ambientTemp);
        QCOMPARE(a.otu, b.otu);
        QCOMPARE(a.cns, b.cns);
        QCOMPARE(a.decoCeiling, b.decoCeiling);
        QCOMPARE(a.gradientFactor, b.gradientFactor);
        QCOMPARE(a.alertFlag, b.alertFlag);
        QCOMPARE(a.alertFlagTransmitter, b.alertFlagTransmitter);
        QCOMPARE(a.gasIndex, b.gasIndex);
        QCOMPARE(a.battery, b.battery);
        QCOMPARE(a.tankPressure, b.tankPressure);
        QCOMPARE(a.gfLow, b.gfLow);
        QCOMPARE(a.gfHigh, b.gfHigh);
        QCOMPARE(a.ppO2, b.ppO2);
        QCOMPARE(a.tankPressureTxIndex, b.tankPressureTxIndex);
    }
}

} // namespace testkit

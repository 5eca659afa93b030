#include "divefixtures.h"

#include <cmath>

namespace testkit {

Dive makeDive(const QString& name, const QString& serial, int samples, double maxDepth,
              qint64 beginTime)
{
    Dive dive;
    dive.name = name;
    dive.computerSerial = serial;
    dive.computerName = QStringLiteral("Computer of ") + serial;
    dive.computerModel = 1;
    dive.beginTime = beginTime;
    dive.samplePeriod = 2;
    DiveGas nitrox;
    nitrox.setFractionO2(0.32);
    dive.gases = {DiveGas(), nitrox};
    const int half = std::max(1, samples / 2);
    for (int i = 0; i < samples; ++i) {
        DiveLine line;
        line.timeSec = 2.0 * i;
        line.depth = maxDepth * (i <= half ? double(i) / half : double(samples - 1 - i) / half);
        line.ambientTemp = 18.5;
        line.gasIndex = i < half ? 0 : 1;
        line.tankPressure = quint16(200 - i % 150);
        line.ppO2 = 0.21 * (1.0 + line.depth / 10.0);
        dive.lines.append(line);
    }
    return dive;
}

} // namespace testkit

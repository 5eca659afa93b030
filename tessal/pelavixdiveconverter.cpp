#include "tessal/pelavixdiveconverter.h"

#include "divemodel/diveanalysis.h"
#include "divemodel/divelimits.h"

#include <array>
#include <cmath>

namespace {

constexpr int kGasSlots = 12;

double finiteOrZero(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

void keepFiniteFigures(DiveHeader& header)
{
    for (double* value : {&header.maxDepth, &header.avgDepth, &header.totalDecoTime, &header.ascentTime,
                          &header.minTemperature, &header.maxTemperature})
        *value = finiteOrZero(*value);
    for (float* value : {&header.otu, &header.iss})
        *value = float(finiteOrZero(*value));
}

// "007 - 12/05/2024 10:20": the number and the begin of the dive.
QString diveName(const DiveHeader& header)
{
    return QStringLiteral("%1 - %2")
        .arg(header.diveNumber, 3, 10, QLatin1Char('0'))
        .arg(header.getBeginString());
}

// The enabled gas slots that hold a breathable mixture become the dive's
// gases; `indexOfSlot` gets each slot's index in them, -1 for the others.
QList<DiveGas> gasesOf(const DiveHeader& header, std::array<qint32, kGasSlots>& indexOfSlot)
{
    QList<DiveGas> gases;
    for (int slot = 0; slot < kGasSlots; ++slot) {
        indexOfSlot[slot] = -1;
        const int o2 = header.gasPO2[slot];
        const int he = header.gasPHe[slot];
        if (!(header.gasEnabled & (1u << slot)) || o2 == 0 || !divelimits::isMixture(o2 / 100.0, he / 100.0))
            continue;
        DiveGas gas;
        gas.setFractionO2(o2 / 100.0);
        gas.setFractionHe(he / 100.0);
        indexOfSlot[slot] = qint32(gases.size());
        gases.append(gas);
    }
    if (gases.isEmpty())
        gases.append(DiveGas());
    return gases;
}

DiveLine lineOf(const DiveSample& sample, const std::array<qint32, kGasSlots>& indexOfSlot)
{
    DiveLine line;
    line.timeSec = sample.time;
    line.depth = sample.depth / 100.0;
    line.ambientTemp = sample.temperature / 10.0;
    line.decoCeiling = sample.ceiling / 100.0;
    line.ndl = qint16(qMin<int>(sample.ndl, 32767));
    line.ppO2 = sample.ppO2 / 1000.0;
    line.cns = sample.cns;
    line.gasIndex = sample.gasIndex < kGasSlots ? indexOfSlot[sample.gasIndex] : -1;
    line.tankPressure = sample.tankPressure;
    line.pelavixAlerts = sample.alerts;
    line.battery = sample.battery;
    return line;
}

} // namespace

Dive PelavixDiveConverter::toDive(const PelavixDiveHeader& header, const QList<DiveSample>& samples,
                                  const QuelmSession& session, QString* refusal)
{
    Dive dive;
    static_cast<DiveHeader&>(dive) = header;
    keepFiniteFigures(dive);
    dive.computerModel = DiveHeader::kPelavixModel;
    dive.name = diveName(header);
    dive.computerName = session.computerName;
    dive.computerSerial = session.serialNumber;
    dive.firmwareVersion = session.firmwareVersionText;

    std::array<qint32, kGasSlots> indexOfSlot{};
    dive.gases = gasesOf(header, indexOfSlot);
    dive.lines.reserve(samples.size());
    for (const DiveSample& sample : samples) {
        if (!dive.lines.isEmpty() && sample.time <= dive.lines.constLast().timeSec)
            continue;
        dive.lines.append(lineOf(sample, indexOfSlot));
    }
    // A sample on a gas the dive does not list keeps the gas before it.
    DiveAnalysis::fixNonDefinedGas(dive);
    dive.sampleCount = quint32(dive.lines.size());
    if (const QString error = divelimits::diveError(dive); !error.isEmpty()) {
        if (refusal)
            *refusal = error;
        return Dive();
    }
    return dive;
}

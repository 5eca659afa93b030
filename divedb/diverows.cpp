#include "divedb/diverows.h"

#include "divedb/divecolumns.h"
#include "divedb/divedb.h"

#include <QLatin1String>

using namespace divecolumns;

namespace diverows {

namespace {

// Texts are written as values, never NULL, so that a lookup by an empty
// name finds the dive stored with it.
QString text(const QString& value)
{
    return value.isNull() ? QString(QLatin1String("")) : value;
}

} // namespace

DiveRow insertedDive(int id, const Dive& dive)
{
    return {qint64(id),
            text(dive.name),
            DiveDb::storedComputerName(dive.computerName),
            qint64(dive.beginTime),
            DiveDb::storedSerial(dive.computerSerial),
            qint64(dive.samplePeriod),
            diveAlertWord(dive),
            qint64(dive.alertsAI),
            qint64(dive.diverMode),
            qint64(dive.divemode),
            qint64(dive.ocdivemode),
            qint64(dive.gfLow),
            qint64(dive.gfHigh),
            qint64(dive.density),
            qint64(dive.surfacePressure),
            qint64(dive.computerModel),
            text(dive.firmwareVersion),
            text(dive.place),
            text(dive.site),
            text(dive.buddy),
            qint64(dive.diveNumber),
            qint64(dive.uploaded),
            qint64(dive.gasSet),
            tissueBlob(dive.diverN2),
            tissueBlob(dive.diverHe)};
}

RewrittenDiveRow rewrittenDive(int id, const Dive& dive)
{
    const DiveRow all = insertedDive(id, dive);
    constexpr int kRewritten[] = {1, 2, 3, 4, 5, 6, 7, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 0};
    RewrittenDiveRow row;
    for (std::size_t i = 0; i < row.size(); ++i)
        row[i] = all[kRewritten[i]];
    return row;
}

GasRow gas(int id, qsizetype index, const DiveGas& gas)
{
    return {qint64(id), qint64(index + 1), qint64(int(gas.o2Percent())), qint64(int(gas.hePercent())),
            qint64(gas.legacyGasClass())};
}

SampleRow sample(int id, qsizetype index, const DiveLine& line)
{
    return {qint64(id),
            qint64(index),
            line.timeSec,
            line.depth,
            line.ambientTemp,
            line.otu,
            line.cns,
            line.decoCeiling,
            line.gradientFactor,
            qint64(line.alertFlag),
            qint64(line.gasIndex),
            qint64(line.alertFlagTransmitter),
            qint64(line.battery),
            qint64(line.tankPressure),
            qint64(line.gfLow),
            qint64(line.gfHigh),
            line.ppO2,
            qint64(storedTransmitterIndex(line.tankPressureTxIndex)),
            sampleAlertPelavix(line)};
}

} // namespace diverows

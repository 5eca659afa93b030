#include "divedb/divecolumns.h"

#include <algorithm>

namespace divecolumns {

namespace {

// The larger value of each two-bit field of `a` and `b`, for the fields whose
// low bits are set in `fieldLowBits`; the other bits are dropped.
quint32 largerFields(quint32 a, quint32 b, quint32 fieldLowBits)
{
    quint32 result = 0;
    for (int bit = 0; bit < 32; bit += 2) {
        const quint32 low = 1u << bit;
        if (!(fieldLowBits & low))
            continue;
        const quint32 field = 3u << bit;
        result |= std::max(a & field, b & field);
    }
    return result;
}

} // namespace

QByteArray tissueBlob(const quint16 (&values)[16])
{
    QByteArray blob(32, '\0');
    for (int i = 0; i < 16; ++i) {
        blob[2 * i] = char(values[i] & 0xff);
        blob[2 * i + 1] = char(values[i] >> 8);
    }
    return blob;
}

void readTissueBlob(const QByteArray& blob, quint16 (&values)[16])
{
    for (int i = 0; i < 16 && blob.size() >= 2 * i + 2; ++i)
        values[i] = quint16(quint8(blob[2 * i]) | (quint8(blob[2 * i + 1]) << 8));
}

qint64 diveAlertWord(const Dive& dive)
{
    return dive.computerModel == DiveHeader::kQuelmModel ? qint64(dive.alertsQuelm)
                                             : qint64(dive.alertsPelavix);
}

void setDiveAlertWord(Dive& dive, qint64 value)
{
    if (dive.computerModel == DiveHeader::kQuelmModel)
        dive.alertsQuelm = quint32(value);
    else if (dive.computerModel == DiveHeader::kPelavixModel)
        dive.alertsPelavix = quint32(value) & 0xffffffu;
}

qint64 sampleAlertPelavix(const DiveLine& line)
{
    return qint64(line.pelavixAlerts) + 65536 * qint64(line.pelavixAlerts2 & 0xff);
}

void setSampleAlertPelavix(DiveLine& line, qint64 value)
{
    line.pelavixAlerts = quint16(value & 0xffff);
    line.pelavixAlerts2 = quint16((value >> 16) & 0xff);
}

quint32 pelavixAlertFromQuelm(quint8 flag, quint8 transmitter)
{
    const auto has = [](quint8 byte, int bit) { return (byte >> bit) & 1u; };
    quint32 value = 0;
    // Graded alerts: a Quelm alert gives the highest level.
    const int gradedFrom[][2] = {{1, 0}, {2, 2}, {3, 4}, {6, 6}, {7, 8}};
    for (const auto& [quelmBit, pelavixBit] : gradedFrom) {
        if (has(flag, quelmBit))
            value |= 3u << pelavixBit;
    }
    value |= has(flag, 0) << 10;
    value |= has(flag, 4) << 11;
    value |= has(flag, 5) << 12;
    // Each pair of transmitter alert bits becomes one bit of the second word.
    for (int pair = 0; pair < 4; ++pair) {
        if ((transmitter >> (2 * pair)) & 3u)
            value |= 1u << (16 + 2 * pair);
    }
    return value;
}

quint32 pelavixAlertSummary(const QList<DiveLine>& lines)
{
    constexpr quint32 firstByteFields = 0x55;       // four two-bit fields
    constexpr quint32 secondByteLevel = 0x1u << 8;  // bits 0-1 of the high byte
    constexpr quint32 secondByteFlags = 0x3cu << 8; // bits 2-5 of the high byte
    quint32 summary = 0;
    for (const DiveLine& line : lines) {
        const quint32 alerts = line.pelavixAlerts;
        summary = largerFields(summary, alerts, firstByteFields | secondByteLevel) |
                  ((summary | alerts) & secondByteFlags) |
                  ((summary | (quint32(line.pelavixAlerts2 & 0xff) << 16)) & 0xff0000u);
    }
    return summary;
}

int storedTransmitterIndex(quint8 index)
{
    return qint8(index);
}

quint8 transmitterIndexFromColumn(std::optional<qint64> value)
{
    return value ? quint8(*value) : quint8(255);
}

} // namespace divecolumns

// The dive computer's raw header record, read field by field.
#include "divemodel/diveheader.h"

#include <QDataStream>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {

constexpr int kRecordSize = 218;
constexpr char kMagic[] = "QuelmDiveBinaryFile";
constexpr int kMagicLength = sizeof kMagic - 1;

// The bytes of a record; every value is little-endian at its offset.
class Record
{
public:
    explicit Record(const char* bytes)
        : mBytes(bytes)
    {
    }

    bool hasMagic() const { return std::memcmp(mBytes, kMagic, kMagicLength) == 0; }

    template<typename T>
    T at(int offset) const
    {
        return qFromLittleEndian<T>(mBytes + offset);
    }

    // Whether the record's floating-point fields are all finite numbers.
    bool numbersFinite() const
    {
        for (const int offset : {137, 145, 153, 161, 175, 183}) {
            if (!std::isfinite(at<double>(offset)))
                return false;
        }
        return std::isfinite(at<float>(209)) && std::isfinite(at<float>(213));
    }

private:
    const char* mBytes;
};

} // namespace

bool DiveHeader::readFromFile(QDataStream& stream)
{
    char bytes[kRecordSize];
    if (stream.readRawData(bytes, kRecordSize) != kRecordSize)
        return false;
    const Record record(bytes);
    if (!record.hasMagic() || !record.numbersFinite())
        return false;
    diveNumber = record.at<quint16>(21);
    activeGasSetPoint = record.at<quint8>(23);
    divemode = record.at<quint8>(24);
    gfLow = record.at<quint8>(25);
    gfHigh = record.at<quint8>(26);
    density = record.at<quint8>(27);
    surfacePressure = record.at<quint16>(28);
    // Sixteen pairs of nitrogen and helium tissue values.
    for (int k = 0; k < 16; ++k) {
        diverN2[k] = record.at<quint16>(30 + 4 * k);
        diverHe[k] = record.at<quint16>(32 + 4 * k);
    }
    gasEnabled = record.at<quint16>(94);
    // The first eight computer gases, oxygen and helium in pairs.
    for (int k = 0; k < 8; ++k) {
        gasPO2[k] = record.at<quint8>(96 + 2 * k);
        gasPHe[k] = record.at<quint8>(97 + 2 * k);
    }
    for (int k = 0; k < 3; ++k)
        setpoint[k] = record.at<quint16>(113 + 2 * k);
    sampleCount = record.at<quint32>(119);
    alertFlags = record.at<quint32>(123);
    beginTime = record.at<qint64>(127);
    cnsBegin = record.at<quint16>(135);
    maxDepth = record.at<double>(137);
    avgDepth = record.at<double>(145);
    minTemperature = record.at<double>(153);
    maxTemperature = record.at<double>(161);
    ndl = record.at<quint32>(169);
    deepestStop = record.at<quint16>(173);
    totalDecoTime = record.at<double>(175);
    ascentTime = record.at<double>(183);
    cnsMax = record.at<quint16>(191);
    pO2Min = record.at<quint16>(193);
    pO2Max = record.at<quint16>(195);
    endTime = record.at<qint64>(197);
    desatTime = record.at<quint32>(205);
    otu = record.at<float>(209);
    iss = record.at<float>(213);
    samplePeriod = record.at<quint8>(217);
    return true;
}

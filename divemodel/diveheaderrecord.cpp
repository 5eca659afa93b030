// The dive computer's raw header record, read field by field.
#include "divemodel/diveheader.h"

#include "divemodel/divelimits.h"

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

bool DiveHeader::readFromFile(QDataStream& stream, QString* reason)
{
    char bytes[kRecordSize];
    if (stream.readRawData(bytes, kRecordSize) != kRecordSize)
        return false;
    const Record record(bytes);
    if (!record.hasMagic() || !record.numbersFinite())
        return false;
    DiveHeader read = *this;
    read.diveNumber = record.at<quint16>(21);
    read.activeGasSetPoint = record.at<quint8>(23);
    read.divemode = record.at<quint8>(24);
    read.gfLow = record.at<quint8>(25);
    read.gfHigh = record.at<quint8>(26);
    read.density = record.at<quint8>(27);
    read.surfacePressure = record.at<quint16>(28);
    // Sixteen pairs of nitrogen and helium tissue values.
    for (int k = 0; k < 16; ++k) {
        read.diverN2[k] = record.at<quint16>(30 + 4 * k);
        read.diverHe[k] = record.at<quint16>(32 + 4 * k);
    }
    read.gasEnabled = record.at<quint16>(94);
    // The first eight computer gases, oxygen and helium in pairs.
    for (int k = 0; k < 8; ++k) {
        read.gasPO2[k] = record.at<quint8>(96 + 2 * k);
        read.gasPHe[k] = record.at<quint8>(97 + 2 * k);
    }
    for (int k = 0; k < 3; ++k)
        read.setpoint[k] = record.at<quint16>(113 + 2 * k);
    read.sampleCount = record.at<quint32>(119);
    read.alertFlags = record.at<quint32>(123);
    read.beginTime = record.at<qint64>(127);
    read.cnsBegin = record.at<quint16>(135);
    read.maxDepth = record.at<double>(137);
    read.avgDepth = record.at<double>(145);
    read.minTemperature = record.at<double>(153);
    read.maxTemperature = record.at<double>(161);
    read.ndl = record.at<quint32>(169);
    read.deepestStop = record.at<quint16>(173);
    read.totalDecoTime = record.at<double>(175);
    read.ascentTime = record.at<double>(183);
    read.cnsMax = record.at<quint16>(191);
    read.pO2Min = record.at<quint16>(193);
    read.pO2Max = record.at<quint16>(195);
    read.endTime = record.at<qint64>(197);
    read.desatTime = record.at<quint32>(205);
    read.otu = record.at<float>(209);
    read.iss = record.at<float>(213);
    read.samplePeriod = record.at<quint8>(217);
    const QString error = divelimits::headerError(read);
    if (!error.isEmpty()) {
        if (reason)
            *reason = error;
        return false;
    }
    *this = read;
    return true;
}

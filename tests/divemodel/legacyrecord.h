#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cstring>

namespace testkit {

inline constexpr int kRecordSize = 218;

// The record, field by field at the offsets of the computer's layout, each
// field with a value of its own; the two unused places hold noise.
class LegacyRecord
{
public:
    LegacyRecord()
        : mBytes(kRecordSize, char(0))
    {
        std::memcpy(mBytes.data(), "QuelmDiveBinaryFile", 19);
        put<quint16>(19, 0xa5a5);
        put<quint16>(21, 51234);               // diveNumber
        put<quint8>(23, 2);                    // activeGasSetPoint
        put<quint8>(24, 6);                    // divemode
        put<quint8>(25, 40);                   // gfLow
        put<quint8>(26, 85);                   // gfHigh
        put<quint8>(27, 1);                    // density
        put<quint16>(28, 1008);                // surfacePressure
        for (int k = 0; k < 16; ++k) {
            put<quint16>(30 + 4 * k, quint16(0x1100 + k)); // diverN2
            put<quint16>(32 + 4 * k, quint16(0x2200 + k)); // diverHe
        }
        put<quint16>(94, 0x00ff);              // gasEnabled
        for (int k = 0; k < 8; ++k) {
            put<quint8>(96 + 2 * k, quint8(21 + k)); // gasPO2
            put<quint8>(97 + 2 * k, quint8(35 + k)); // gasPHe
        }
        put<quint8>(112, 0x5a);
        put<quint16>(113, 70);                 // setpoint
        put<quint16>(115, 130);
        put<quint16>(117, 140);
        put<quint32>(119, 3000000001u);        // sampleCount
        put<quint32>(123, 0x89abcdefu);        // alertFlags
        put<qint64>(127, 2208988800);          // beginTime, 2040
        put<quint16>(135, 17);                 // cnsBegin
        put<double>(137, 45.75);               // maxDepth
        put<double>(145, 21.125);              // avgDepth
        put<double>(153, 12.5);                // minTemperature
        put<double>(161, 19.25);               // maxTemperature
        put<quint32>(169, 4000000002u);        // ndl
        put<quint16>(173, 9);                  // deepestStop
        put<double>(175, 840.5);               // totalDecoTime
        put<double>(183, 660.25);              // ascentTime
        put<quint16>(191, 44);                 // cnsMax
        put<quint16>(193, 19);                 // pO2Min
        put<quint16>(195, 155);                // pO2Max
        put<qint64>(197, 2208994200);          // endTime
        put<quint32>(205, 4100000003u);        // desatTime
        put<float>(209, 23.5f);                // otu
        put<float>(213, 1.75f);                // iss
        put<quint8>(217, 4);                   // samplePeriod
    }

    template<typename T>
    void put(int offset, T value)
    {
        qToLittleEndian(value, mBytes.data() + offset);
    }

    const QByteArray& bytes() const { return mBytes; }

private:
    QByteArray mBytes;
};

} // namespace testkit

#pragma once

#include <QDateTime>
#include <QString>

class QDataStream;
class QJsonObject;

// What a dive computer reports about a dive as a whole. The field order and
// widths are shared with the dive computer library's converter.
struct DiveHeader
{
    // The computer families of `computerModel`.
    static constexpr qint32 kQuelmModel = 1;
    static constexpr qint32 kPelavixModel = 2;
    static constexpr qint32 kOtherMakerModel = 4;

    quint16 diveNumber = 0;
    qint32 computerModel = 0;
    qint64 beginTime = 0;     // s since the epoch, UTC
    qint64 endTime = 0;
    double maxDepth = 0;      // m
    double avgDepth = 0;
    quint8 samplePeriod = 5;  // s
    quint32 sampleCount = 0;
    quint8 divemode = 0;
    quint8 ocdivemode = 1;
    quint16 surfacePressure = 0; // mbar
    quint8 density = 0;          // 0 salt water, else fresh
    quint8 gfLow = 80;           // %
    quint8 gfHigh = 80;
    quint16 deepestStop = 0;
    quint16 cnsBegin = 0;
    quint16 cnsMax = 0;
    quint32 ndl = 0;
    double totalDecoTime = 0; // s
    double ascentTime = 0;    // s
    quint32 desatTime = 0;
    quint16 diverN2[16] = {};
    quint16 diverHe[16] = {};
    quint16 gasEnabled = 0;
    quint8 gasPO2[12] = {};
    quint8 gasPHe[12] = {};
    quint8 reservedBlock[49] = {}; // carried by the computer's record, never read
    quint8 activeGas = 0;
    quint8 activeGasSetPoint = 0;
    quint8 setpointEnabled = 0;
    quint16 setpoint[3] = {};
    quint32 alertFlags = 0;
    quint16 alertFlags16 = 0;
    double minTemperature = 0; // °C
    double maxTemperature = 0;
    quint16 minTankPressure = 0; // bar
    quint16 maxTankPressure = 0;
    quint16 pO2Min = 0;
    quint16 pO2Max = 0;
    float otu = 0;
    float iss = 0;
    QString place;
    QString buddy;
    QString site;
    QString notes;

    QDateTime getBeginDateTime() const;
    QDateTime getEndDateTime() const;
    // "dd/MM/yyyy HH:mm" in UTC.
    QString getBeginString() const;
    QString getEndString() const;
    // The dive's length, "mm:ss" or "hh:mm:ss"; 00:00 when the end is not after the begin.
    QString getDurationString() const;
    double getDepthMax() const { return maxDepth; }
    double getDepthAvg() const { return avgDepth; }

    // The header object of the dive's JSON form. Reading it leaves the open-
    // circuit mode, the place, the tank pressure range and the computer's
    // block as they were; a missing key reads 0 (5 s for the sample period).
    QJsonObject toJson() const;
    void fromJson(const QJsonObject& object);

    // Reads the dive computer's raw header record (218 bytes, little-endian
    // whatever the stream's byte order). False, with the header unchanged,
    // for a record cut short, one without the record's magic, or one holding
    // a number that is not finite, and for one holding a value beyond what a
    // dive can be, which `reason` (when given) then names; the fields the
    // record lacks keep their values.
    bool readFromFile(QDataStream& stream, QString* reason = nullptr);
};

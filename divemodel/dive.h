#pragma once

#include "divemodel/ceilpoint.h"
#include "divemodel/diveformat.h"
#include "divemodel/divegas.h"
#include "divemodel/diveheader.h"
#include "divemodel/diveline.h"
#include "divemodel/diveposition.h"

#include <QList>
#include <QString>

class QJsonObject;

// One whole dive: the computer's header, identity, samples, gases, the lists
// that the analyses compute and the alert words. The field order and widths
// are shared with the dive computer library's converter.
struct Dive : DiveHeader
{
    // Bit groups of `alertsQuelm`; the other bits are carried unchanged.
    static constexpr quint32 alertRAMask = 0x3u << 2;
    static constexpr quint32 alertRRMask = 0x3u << 22;
    static constexpr quint32 alertYoyoMask = 0x3u << 26; // worst yoyo level of the dive
    static constexpr quint32 alert24HMask = 0x3u << 30;

    QString name;
    QString computerName; // the computer's owner name
    QString computerManufacturer;
    QString computerSerial;
    QString firmwareVersion;
    qint32 format = qint32(DiveFormat::Unknown);
    QList<DiveLine> lines;             // samples in time order
    QList<DiveLine> decoLines;         // computed decompression ascent after the last sample
    QList<DiveLine> ceilTrackingLines;
    QList<DiveLine> stopLines;
    QList<DiveGas> gases;              // indexed by DiveLine::gasIndex
    quint32 alertsQuelm = 0;
    quint32 alertsPelavix : 24 = 0;
    quint8 alertsAI = 0;
    quint8 uploaded = 0;
    double maxTime = 0;                // s, the largest sample time
    // 0 valid, 1 yoyo on a previous dive, 2 "TAR > 0.8", 3 too many yoyos,
    // 4 surface interval too long.
    qint32 invalidReason = 0;
    qint32 dtrStartIndex = -1;         // sample where the DTR icon starts; -1 none
    QList<CeilPoint> ceilingPoints;
    bool decoNotTerminated = false;
    QList<CeilPoint> yoyoMarks;        // value = yoyo level
    quint8 diverMode = 255;            // 0 "PLB", else "PLS"
    quint16 gasSet = 1;

    // The gas at `index`, or air for an index the dive doesn't have.
    const DiveGas& gasAt(int index) const;
    // Back to a new dive, keeping the computer's maker, the upload mark, the
    // diver mode and the gas set.
    void clear();
    // Stores the gas set and the computer dive mode it implies.
    void setGasSet(quint16 code);
    void setGasIndexOnLines(int index);
    // "PLB" or "PLS", followed by " OC" in open circuit.
    QString getDiverModeStr() const;
    QString getGasSetStr() const;
    // The samples (or computed ascent lines) around `timeSec` and the values
    // interpolated between them; all zero when no pair brackets the time.
    DivePosition getPositionAt(int timeSec, bool onDecoLines) const;

    // The dive's JSON form: its header, samples, gases and the dive's own
    // values, which overwrite the header's when read. It leaves out the
    // computed lists and marks, the upload mark and the invalid reason, which
    // reading resets; a missing key reads as its default (1013 mbar, GF
    // 80/80, gas set 1, unknown format, diver mode 0).
    QJsonObject toJson() const;
    void fromJson(const QJsonObject& object);
    // The one-way export object: local date and time, millimetre depths, the
    // water's salinity and the computer's model.
    QJsonObject toSubsurfaceJson() const;
};

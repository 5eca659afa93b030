#pragma once

#include <QtGlobal>

// Bit fields of `DiveLine::alertFlag` (computers of the Quelm family).
enum class QuelmAlertType : quint8 {
    D24H = 0,   // bit 7
    Effort = 1, // bit 6
    Yoyo = 2,   // bits 5-4, level 0-3
    Pmax = 3,   // bit 3, maximum depth exceeded
    RR = 4,     // bit 2, fast ascent
    RA = 5,     // bits 1-0
};

// Bit fields of `DiveLine::pelavixAlerts` (the Pelavix computer).
enum class PelavixAlertType : quint8 {
    FastAscent = 0, // bit 10
    Ceiling = 1,    // bits 1-0
    Hyperoxic = 2,  // bits 3-2
    Hypoxic = 3,    // bits 5-4
    Density = 4,    // bit 11
    Narcotic = 5,   // bit 12
    Cns = 6,        // bits 7-6
    Battery = 7,    // bits 9-8
};

// One sample of a dive.
struct DiveLine
{
    double timeSec = 0;     // s from the start
    double depth = 0;       // m
    double pressure = 0;
    double speed = 0;       // m/min, positive when descending
    double ambientTemp = 0; // °C
    double decoCeiling = 0; // m, 0 none
    qint16 ndl = 0;         // min
    double gradientFactor = 0;
    double otu = 0;
    double cns = 0;
    double ppO2 = 0;        // bar
    qint32 gasIndex = -1;   // into Dive::gases; -1 not defined
    quint8 setpointIndex = 0;
    bool ccr = false;
    quint8 alertFlag = 0;            // QuelmAlertType fields
    quint8 alertFlagTransmitter = 0; // bit n: alert of tank transmitter n
    quint16 pelavixAlerts = 0;       // PelavixAlertType fields
    quint16 pelavixAlerts2 = 0;      // carried, not interpreted
    quint16 battery = 0;
    quint16 tankPressure = 0;        // bar, 0 none
    quint8 tankPressureTxIndex = 255; // 255 none
    quint8 gfLow = 0;
    quint8 gfHigh = 0;
    qint32 tag = 0;
    bool isMaxDepth = false;

    // Writes `value`, masked to the field's width, into the field; a type
    // outside the table changes nothing.
    void setAlertFlag(QuelmAlertType type, quint8 value);
    quint8 flagQuelm(QuelmAlertType type) const;
    quint8 flagPelavix(PelavixAlertType type) const;
    // Bit n of the transmitter alerts; 0 for n above 7.
    quint8 flagTransmitter(quint8 n) const;
    // Whether every number of the sample is finite: what a reader refuses to
    // let into a dive otherwise.
    bool hasFiniteValues() const;
};

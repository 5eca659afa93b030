#pragma once

#include <QtGlobal>

// One sample of a dive as the computer records it, in its own units.
struct DiveSample
{
    quint32 time = 0;         // s from the start of the dive
    quint16 depth = 0;        // cm
    qint16 temperature = 0;   // tenths of °C
    quint16 ceiling = 0;      // cm, 0 none
    quint16 ndl = 0;          // min
    quint16 ppO2 = 0;         // mbar
    quint16 cns = 0;          // %
    quint8 gasIndex = 0;      // the header's gas slot, 0 to 11
    quint16 tankPressure = 0; // bar, 0 none
    quint16 alerts = 0;       // PelavixAlertType fields
    quint16 battery = 0;

    friend bool operator==(const DiveSample&, const DiveSample&) = default;
};

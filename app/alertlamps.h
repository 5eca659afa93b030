#pragma once

#include <QString>
#include <QtGlobal>

// The alert lamps of a dive's summary, read from the computer's 24-bit alert
// word (byte 0 holds bits 0-7, byte 1 bits 8-15, byte 2 bits 16-23).
struct AlertLevels
{
    int ceiling = 0; // 0 to 3
    int highO2 = 0;  // 0 to 3
    int battery = 0; // 0 to 3; 1 is already red
    int ascent = 0;  // 0 or 1
    int ai = 0;      // 0 or 1, red when set
};

AlertLevels alertLevels(quint32 alertWord);

// The image of a lamp at `level`: green, orange, then red; a lamp whose
// first level is already serious (`redAtOne`) shows red from level 1.
QString alertLampIcon(int level, bool redAtOne);

#pragma once

#include <QtGlobal>

// Firmware 2.0.11 (letter code 0): from this version on the computer keeps
// a binary system log, and either computer menu entry may lead to the dive
// download or to the firmware manager.
inline constexpr quint32 kFirmware2_0_11 = 0x02000B00;

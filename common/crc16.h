#pragma once

#include <cstdint>

// CRC-16/SPI-FUJITSU (AUG-CCITT): polynomial 0x1021, most significant bit
// first, register preset to 0xFFFF, augmented by sixteen zero bits.
std::uint16_t crc16(unsigned length, const unsigned char* data);

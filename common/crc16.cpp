#include "common/crc16.h"

namespace {

constexpr std::uint16_t kPolynomial = 0x1021;

void shiftIn(std::uint16_t& reg, unsigned bit)
{
    const bool carry = (reg & 0x8000) != 0;
    reg = std::uint16_t((reg << 1) | bit);
    if (carry)
        reg ^= kPolynomial;
}

} // namespace

std::uint16_t crc16(unsigned length, const unsigned char* data)
{
    std::uint16_t reg = 0xFFFF;
    for (unsigned i = 0; i < length; ++i) {
        for (int bit = 7; bit >= 0; --bit)
            shiftIn(reg, (data[i] >> bit) & 1u);
    }
    for (int bit = 0; bit < 16; ++bit)
        shiftIn(reg, 0);
    return reg;
}

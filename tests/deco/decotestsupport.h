#pragma once

#include "deco/settings.h"
#include "deco/stream.h"

#include <QByteArray>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace decotest {

// A byte stream over a QByteArray: reads from the front, writes at the end.
class MemoryStream : public stream_t
{
public:
    MemoryStream() = default;
    explicit MemoryStream(const QByteArray& bytes) : mBytes(bytes) {}

    int read_bytes(void* data, int n) override
    {
        const int available = std::min<qsizetype>(n, mBytes.size() - mPosition);
        std::memcpy(data, mBytes.constData() + mPosition, size_t(std::max(available, 0)));
        mPosition += std::max(available, 0);
        return std::max(available, 0);
    }

    int write_bytes(const void* data, int n) override
    {
        mBytes.append(static_cast<const char*>(data), n);
        return n;
    }

    const QByteArray& bytes() const { return mBytes; }
    int remaining() const { return int(mBytes.size() - mPosition); }

private:
    QByteArray mBytes;
    qsizetype mPosition = 0;
};

// Builds a little-endian byte fixture by hand, field by field.
class Bytes
{
public:
    Bytes& u8(int v) { mBytes.append(char(uint8_t(v))); return *this; }
    Bytes& u16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Bytes& u32(uint32_t v) { return u16(int(v & 0xFFFF)).u16(int(v >> 16)); }
    Bytes& u64(uint64_t v) { return u32(uint32_t(v)).u32(uint32_t(v >> 32)); }
    Bytes& f32(float v) { return u32(std::bit_cast<uint32_t>(v)); }
    Bytes& repeat(int count, int byte) { for (int i = 0; i < count; ++i) u8(byte); return *this; }
    QByteArray bytes() const { return mBytes; }
    operator QByteArray() const { return mBytes; }

private:
    QByteArray mBytes;
};

// Open circuit on trimix 18/45 with nitrox 50 and oxygen for the ascent.
inline config_t trimixWithDecoGases()
{
    config_t config;
    config.set_gas(0, gas_t(18, 45));
    config.set_gas(1, gas_t(50, 0));
    config.set_gas(2, gas_t::oxygen);
    config.set_gas_enabled(1, true);
    config.set_gas_enabled(2, true);
    config.set_divemode(divemode_oc);
    return config;
}

} // namespace decotest

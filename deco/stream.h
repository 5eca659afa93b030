#pragma once

#include <bit>
#include <cstdint>
#include <type_traits>

// An abstract byte stream. Values travel little-endian. A read that comes
// short yields zero for the missing bytes and marks the stream failed; the
// mark stays until clear_failure().
class stream_t
{
public:
    virtual ~stream_t() = default;

    // Reads up to n bytes into data; returns how many were read.
    virtual int read_bytes(void* data, int n) = 0;
    // Writes n bytes; returns how many were taken.
    virtual int write_bytes(const void* data, int n) = 0;

    template <typename T>
    T read()
    {
        using Bits = typename bits_of<T>::type;
        uint8_t bytes[sizeof(T)] = {};
        if (read_bytes(bytes, int(sizeof bytes)) != int(sizeof bytes))
            m_failed = true;
        Bits bits = 0;
        for (int i = int(sizeof bytes) - 1; i >= 0; --i)
            bits = Bits(Bits(bits << 8) | bytes[i]);
        if constexpr (std::is_same_v<T, bool>)
            return bits == 1;
        else
            return std::bit_cast<T>(bits);
    }

    template <typename T>
    void write(T value)
    {
        using Bits = typename bits_of<T>::type;
        Bits bits = 0;
        if constexpr (std::is_same_v<T, bool>)
            bits = value ? 1 : 0;
        else
            bits = std::bit_cast<Bits>(value);
        uint8_t bytes[sizeof(T)] = {};
        for (uint8_t& byte : bytes) {
            byte = uint8_t(bits & 0xFF);
            bits = Bits(bits >> 8);
        }
        if (write_bytes(bytes, int(sizeof bytes)) != int(sizeof bytes))
            m_failed = true;
    }

    // Skips n bytes of reserved space.
    void skip(int n)
    {
        for (int i = 0; i < n; ++i)
            read<uint8_t>();
    }

    bool failed() const { return m_failed; }
    void clear_failure() { m_failed = false; }

private:
    template <typename T>
    struct bits_of
    {
        static_assert(std::is_arithmetic_v<T>, "streams carry numbers only");
        using type = std::conditional_t<sizeof(T) == 1, uint8_t,
                     std::conditional_t<sizeof(T) == 2, uint16_t,
                     std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>>;
    };

    bool m_failed = false;
};

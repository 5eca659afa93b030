#pragma once

#include "deco/diver.h"
#include "deco/settings.h"

#include <cstdint>

class stream_t;

// The header of a dive as a dive computer keeps it. The engine stores,
// checks and carries these fields; it gives meaning only to the times, the
// depths and the durations.
struct dive_header_t
{
    int64_t begin_time = 0;       // seconds since the epoch
    uint16_t word2 = 0;
    uint16_t max_depth = 0;       // decimetres
    uint16_t word4 = 0;
    uint32_t begin_counter = 0;   // milliseconds
    uint16_t second_depth = 0;    // decimetres, never below the maximum
    uint32_t long7 = 0;
    uint32_t deducted = 0;        // seconds that do not count toward engagement
    uint16_t word9 = 0;
    uint16_t word10 = 0;
    uint16_t word11 = 0;
    int64_t end_time = 0;         // seconds since the epoch
    uint32_t end_counter = 0;     // milliseconds
    float float14 = 0.0f;
    float float15 = 0.0f;
    uint8_t byte16 = 0;
    uint8_t byte17 = 0;
};

// The record of one dive: its configuration, the diver's tissue state and
// the header.
class dive_t : public config_t
{
public:
    static constexpr uint8_t newest_version = 4;

    uint32_t count = 0;           // at most 32000 in a valid record
    uint8_t type = newest_version; // the record's format version
    diver_t diver;
    dive_header_t header;
    uint16_t trailer_word = 0;
    uint8_t trailer_flags = 0;    // the low six bits start cleared
    uint32_t trailer_value = 0;
    uint8_t duration_mode = 0;    // 1: the duration comes from the millisecond counters
    uint8_t trailer_byte = 5;
    uint32_t trailer_long = 28;

    dive_t() = default;

    virtual int64_t begin_time() const;
    virtual uint16_t word2() const;
    virtual uint16_t max_depth() const;
    virtual uint16_t word4() const;
    virtual uint32_t begin_counter() const;
    virtual uint16_t second_depth() const;
    virtual uint32_t long7() const;
    virtual uint32_t deducted() const;
    virtual uint16_t word9() const;
    virtual uint16_t word10() const;
    virtual uint16_t word11() const;
    virtual int64_t end_time() const;
    virtual uint32_t end_counter() const;
    virtual uint32_t float14() const;
    virtual uint32_t float15() const; // the value × 1000
    virtual uint8_t byte16() const;
    virtual uint8_t byte17() const;
    // Pressure above the surface at the maximum depth times the square root
    // of the counted minutes, rounded.
    virtual int engagement() const;

    bool isValid() const;

    // The record stream; read_dive changes nothing unless the whole record reads.
    bool write_dive(stream_t& stream, bool shortForm) const;
    bool read_dive(stream_t& stream);

private:
    int64_t duration() const;
    void read_fields(stream_t& stream);
};

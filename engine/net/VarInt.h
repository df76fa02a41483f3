#pragma once
// The variable-length integer forms of the wire, on raw bytes: unsigned, seven bits a byte, low bits
// first, the high bit set while more bytes follow (five bytes at most); signed, a first byte of six
// magnitude bits, the sign at 0x40 and 0x80 when more follow, then the rest of the magnitude unsigned.
// The callers make sure of the room (MAX_BYTES) and report what these answer as not decodable.
#include <cstddef>
#include <cstdint>

namespace VarInt {
constexpr std::size_t MAX_BYTES = 5;

// Answers the bytes written.
inline std::size_t putUInt(uint8_t* out, uint32_t v)
{
    std::size_t n = 0;
    while (v >= 0x80) {
        out[n++] = static_cast<uint8_t>(v | 0x80);
        v >>= 7;
    }
    out[n++] = static_cast<uint8_t>(v);
    return n;
}

inline std::size_t putInt(uint8_t* out, int32_t value)
{
    const bool negative = value < 0;
    uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    uint8_t first = static_cast<uint8_t>(magnitude & 0x3F);
    if (negative) {
        first |= 0x40;
    }
    magnitude >>= 6;
    if (magnitude != 0) {
        first |= 0x80;
    }
    out[0] = first;
    return magnitude != 0 ? 1 + putUInt(out + 1, magnitude) : 1;
}

// Reads an unsigned form from at least MAX_BYTES bytes; answers the bytes used, 0 for an overlong form.
inline std::size_t getUInt(const uint8_t* p, uint32_t& value)
{
    // One and two bytes, the usual lengths, at once.
    if (p[0] < 0x80) {
        value = p[0];
        return 1;
    }
    if (p[1] < 0x80) {
        value = (p[0] & 0x7Fu) | (static_cast<uint32_t>(p[1]) << 7);
        return 2;
    }
    uint32_t v = 0;
    for (std::size_t k = 0; k < MAX_BYTES; ++k) {
        const uint8_t byte = p[k];
        if (k == MAX_BYTES - 1 && (byte & 0xF0) != 0) {
            return 0;
        }
        v |= static_cast<uint32_t>(byte & 0x7F) << (7 * k);
        if ((byte & 0x80) == 0) {
            value = v;
            return k + 1;
        }
    }
    return 0;
}
} // namespace VarInt

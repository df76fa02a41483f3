#pragma once
// Fixed-width UTF-8 text fields of the stored records (names, game id, version). Writing encodes the wide
// text as UTF-8; while the encoding does not fit in the field less its terminating NUL, the last UTF-16 unit
// of the text is dropped and the text encoded again. Bytes after the NUL keep what they held.
#include <cstddef>
#include <cstring>
#include <string>

#include "engine/core/UString.h"

template <std::size_t Width>
struct FixedText {
    static_assert(Width >= 1);

    // The UTF-8 form of the longest prefix of `text`, cut at a whole UTF-16 unit, that fits in Width - 1 bytes.
    // Each unit encodes on its own, so the cut is found in one pass.
    static std::string fit(UStringView text)
    {
        std::size_t bytes = 0;
        std::size_t units = 0;
        for (char16_t u : text) {
            const std::size_t length = u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
            if (bytes + length > Width - 1) {
                break;
            }
            bytes += length;
            ++units;
        }
        return wideToUtf8(text.substr(0, units));
    }

    static void assign(char (&field)[Width], UStringView text)
    {
        const std::string bytes = fit(text);
        std::memcpy(field, bytes.data(), bytes.size());
        field[bytes.size()] = 0;
    }

    // The field's NUL-terminated UTF-8 text decoded; a field without a NUL is read to its end.
    static UString read(const char (&field)[Width]) { return toUString(field, Width); }

    // Gives a field read from outside a terminating NUL in its last byte when it has none at all.
    static void terminate(char (&field)[Width])
    {
        if (std::memchr(field, 0, Width) == nullptr) {
            field[Width - 1] = 0;
        }
    }
};

using FixedText16 = FixedText<16>;
using FixedText32 = FixedText<32>;
using FixedText256 = FixedText<256>;

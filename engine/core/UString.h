#pragma once
// The engine's text type and its conversions. Text is UTF-16 inside the program; UTF-8 appears only at
// file and network borders. Nothing here depends on the C library's locale.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using UString = std::u16string;
using UStringView = std::u16string_view;

// Decodes NUL-terminated (or sized) UTF-8: bytes below 0x80 as they are, two- and three-byte sequences
// decoded, any other lead byte passed through as its value.
UString utf8ToWide(std::string_view text);
// UTF-8 with 1 byte below 0x80, 2 below 0x800, else 3 bytes per UTF-16 unit (no surrogate pairing).
std::string wideToUtf8(UStringView text);
// The bytes of that form, and the form itself written at `out` (room for utf8Length bytes); answers the
// end of what it wrote.
std::size_t utf8Length(UStringView text);
inline uint8_t* encodeUtf8(UStringView text, uint8_t* out)
{
    for (char16_t u : text) {
        if (u < 0x80) {
            *out++ = static_cast<uint8_t>(u);
        } else if (u < 0x800) {
            *out++ = static_cast<uint8_t>(0xC0 | (u >> 6));
            *out++ = static_cast<uint8_t>(0x80 | (u & 0x3F));
        } else {
            *out++ = static_cast<uint8_t>(0xE0 | (u >> 12));
            *out++ = static_cast<uint8_t>(0x80 | ((u >> 6) & 0x3F));
            *out++ = static_cast<uint8_t>(0x80 | (u & 0x3F));
        }
    }
    return out;
}
// The wide string of a narrow NUL-terminated UTF-8 text (reads at most `capacity` bytes).
UString toUString(const char* text, std::size_t capacity = std::string::npos);
// A UTF-8 byte-order mark is skipped, a UTF-16LE mark makes the rest UTF-16LE, anything else is UTF-8.
UString decodeTextBuffer(const void* bytes, std::size_t size);
// Splits at line feeds, dropping a carriage return before each line feed.
std::vector<UString> splitLines(UStringView text);
// Removes space, tab, carriage return and line feed from both ends, in place.
void trimString(UString& text);
// ASCII-only case folding, for look-ups that ignore case.
UString toLowerAscii(UStringView text);
std::string toLowerAscii(std::string_view text);

#include "engine/core/UString.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

UString utf8ToWide(std::string_view text)
{
    UString out;
    out.reserve(text.size());
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0) {
            break;
        }
        if (c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        }
        auto cont = [&](std::size_t k) {
            return i + k < n && (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        };
        if ((c & 0xE0) == 0xC0 && cont(1)) {
            out.push_back(static_cast<char16_t>(((c & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F)));
            i += 2;
        } else if ((c & 0xF0) == 0xE0 && cont(1) && cont(2)) {
            out.push_back(static_cast<char16_t>(((c & 0x0F) << 12) |
                                                ((static_cast<unsigned char>(text[i + 1]) & 0x3F) << 6) |
                                                (static_cast<unsigned char>(text[i + 2]) & 0x3F)));
            i += 3;
        } else if (c >= 0xF0 && c <= 0xF4 && cont(1) && cont(2) && cont(3)) {
            // Text from outside (a web reply, a typed name) may hold characters beyond U+FFFF; our own
            // records never do, so anything but a well-formed sequence keeps its byte values.
            const uint32_t code = ((c & 0x07u) << 18) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 12) |
                                  ((static_cast<unsigned char>(text[i + 2]) & 0x3Fu) << 6) |
                                  (static_cast<unsigned char>(text[i + 3]) & 0x3Fu);
            if (code < 0x10000u || code > 0x10FFFFu) {
                out.push_back(c);
                ++i;
                continue;
            }
            out.push_back(static_cast<char16_t>(0xD800u + ((code - 0x10000u) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00u + ((code - 0x10000u) & 0x3FFu)));
            i += 4;
        } else {
            out.push_back(c);
            ++i;
        }
    }
    return out;
}

std::size_t utf8Length(UStringView text)
{
    std::size_t n = 0;
    for (char16_t u : text) {
        n += u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
    }
    return n;
}

std::string wideToUtf8(UStringView text)
{
    std::string out(utf8Length(text), '\0');
    encodeUtf8(text, reinterpret_cast<uint8_t*>(out.data()));
    return out;
}

UString toUString(const char* text, std::size_t capacity)
{
    if (text == nullptr) {
        return {};
    }
    std::size_t len = 0;
    while (len < capacity && text[len] != 0) {
        ++len;
    }
    return utf8ToWide(std::string_view(text, len));
}

UString decodeTextBuffer(const void* bytes, std::size_t size)
{
    const auto* p = static_cast<const unsigned char*>(bytes);
    if (p == nullptr || size == 0) {
        return {};
    }
    if (size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
        return utf8ToWide(std::string_view(reinterpret_cast<const char*>(p + 3), size - 3));
    }
    if (size >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        UString out;
        out.reserve((size - 2) / 2);
        for (std::size_t i = 2; i + 1 < size; i += 2) {
            out.push_back(static_cast<char16_t>(p[i] | (p[i + 1] << 8)));
        }
        return out;
    }
    return utf8ToWide(std::string_view(reinterpret_cast<const char*>(p), size));
}

std::vector<UString> splitLines(UStringView text)
{
    std::vector<UString> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == UStringView::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == u'\r') {
            --stop;
        }
        lines.emplace_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

void trimString(UString& text)
{
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    std::size_t b = 0;
    while (b < text.size() && blank(text[b])) {
        ++b;
    }
    std::size_t e = text.size();
    while (e > b && blank(text[e - 1])) {
        --e;
    }
    text = text.substr(b, e - b);
}

UString toLowerAscii(UStringView text)
{
    UString out(text);
    for (auto& c : out) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c + 32);
        }
    }
    return out;
}

std::string toLowerAscii(std::string_view text)
{
    std::string out(text);
    for (auto& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + 32);
        }
    }
    return out;
}

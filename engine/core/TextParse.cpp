#include "engine/core/TextParse.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {
// The ASCII form of `text` without surrounding blanks; empty when a unit is not ASCII.
std::optional<std::string> asciiTrimmed(UStringView text)
{
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && blank(text[begin])) {
        ++begin;
    }
    while (end > begin && blank(text[end - 1])) {
        --end;
    }
    std::string out;
    out.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i) {
        if (text[i] >= 0x80) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(text[i]));
    }
    if (out.empty()) {
        return std::nullopt;
    }
    return out;
}
} // namespace

std::optional<int32_t> parseInt32(UStringView text)
{
    auto s = asciiTrimmed(text);
    if (!s) {
        return std::nullopt;
    }
    const char* first = s->data();
    const char* last = first + s->size();
    if (*first == '+') {
        ++first;
    }
    int32_t value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value, 10);
    if (ec != std::errc() || ptr != last) {
        return std::nullopt;
    }
    return value;
}

std::optional<uint32_t> parseHex32(UStringView text)
{
    auto s = asciiTrimmed(text);
    if (!s) {
        return std::nullopt;
    }
    const char* first = s->data();
    const char* last = first + s->size();
    if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) {
        first += 2;
    } else if (*first == '#') {
        ++first;
    }
    if (first == last || last - first > 8) {
        return std::nullopt;
    }
    uint32_t value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value, 16);
    if (ec != std::errc() || ptr != last) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseDouble(UStringView text)
{
    auto s = asciiTrimmed(text);
    if (!s) {
        return std::nullopt;
    }
    const char* first = s->data();
    const char* last = first + s->size();
    if (*first == '+') {
        ++first;
    }
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec != std::errc() || ptr != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

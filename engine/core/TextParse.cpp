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

// Converts the whole of the trimmed text with `convert(first, last, value)`; fails unless every character
// is taken. A leading "+" is allowed where `allowPlus` says so (never before a "-").
template <class T, class Convert>
std::optional<T> parseAll(UStringView text, bool allowPlus, Convert convert)
{
    auto s = asciiTrimmed(text);
    if (!s) {
        return std::nullopt;
    }
    const char* first = s->data();
    const char* last = first + s->size();
    if (allowPlus && *first == '+') {
        ++first;
        if (first == last || *first == '-') {
            return std::nullopt;
        }
    }
    T value{};
    auto [ptr, ec] = convert(first, last, value);
    if (ec != std::errc() || ptr != last) {
        return std::nullopt;
    }
    return value;
}
} // namespace

std::optional<int32_t> parseInt32(UStringView text)
{
    return parseAll<int32_t>(text, true,
                             [](const char* f, const char* l, int32_t& v) { return std::from_chars(f, l, v, 10); });
}

std::optional<uint32_t> parseHex32(UStringView text)
{
    return parseAll<uint32_t>(text, false, [](const char* f, const char* l, uint32_t& v) {
        if (l - f > 2 && f[0] == '0' && (f[1] == 'x' || f[1] == 'X')) {
            f += 2;
        } else if (*f == '#') {
            ++f;
        }
        if (f == l || l - f > 8) {
            return std::from_chars_result{f, std::errc::invalid_argument};
        }
        return std::from_chars(f, l, v, 16);
    });
}

std::optional<double> parseDouble(UStringView text)
{
    auto value = parseAll<double>(text, true, [](const char* f, const char* l, double& v) {
        return std::from_chars(f, l, v, std::chars_format::general);
    });
    if (value && !std::isfinite(*value)) {
        return std::nullopt;
    }
    return value;
}

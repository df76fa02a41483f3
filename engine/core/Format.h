#pragma once
// printf-style formatting into UString. "%s" takes a UString (or a UTF-8 narrow string, decoded), "%c" one
// UTF-16 unit, "%d"/"%i"/"%u"/"%x"/"%X"/"%o" integers with flags, width and precision, "%f"/"%lf"/"%e"/"%g"
// doubles, "%p" pointers, "%%" a percent sign. Length modifiers (h, l, ll, I64) are accepted and ignored;
// every argument carries its own type. Results never depend on the C library's locale.
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "engine/core/UString.h"

class FormatArg {
public:
    enum class Kind { Signed, Unsigned, Float, Wide, Narrow, Pointer };

    template <class T>
        requires(std::is_integral_v<T> && std::is_signed_v<T> && !std::is_same_v<T, char> && !std::is_same_v<T, bool>)
    FormatArg(T v) : kind(Kind::Signed), s(v) {}
    template <class T>
        requires(std::is_integral_v<T> && std::is_unsigned_v<T> && !std::is_same_v<T, char16_t>)
    FormatArg(T v) : kind(Kind::Unsigned), u(v) {}
    template <class T>
        requires std::is_enum_v<T>
    FormatArg(T v) : kind(Kind::Signed), s(static_cast<long long>(v)) {}
    FormatArg(bool v) : kind(Kind::Signed), s(v ? 1 : 0) {}
    FormatArg(char v) : kind(Kind::Signed), s(static_cast<unsigned char>(v)) {}
    FormatArg(char16_t v) : kind(Kind::Unsigned), u(v) {}
    FormatArg(float v) : kind(Kind::Float), d(v) {}
    FormatArg(double v) : kind(Kind::Float), d(v) {}
    FormatArg(const UString& v) : kind(Kind::Wide), w(v) {}
    FormatArg(UStringView v) : kind(Kind::Wide), w(v) {}
    FormatArg(const char16_t* v) : kind(Kind::Wide), w(v ? UStringView(v) : UStringView(u"(null)")) {}
    FormatArg(const std::string& v) : kind(Kind::Narrow), n(v) {}
    FormatArg(std::string_view v) : kind(Kind::Narrow), n(v) {}
    FormatArg(const char* v) : kind(Kind::Narrow), n(v ? std::string_view(v) : std::string_view("(null)")) {}
    FormatArg(const void* v) : kind(Kind::Pointer), u(reinterpret_cast<std::uintptr_t>(v)) {}

    Kind kind;
    long long s = 0;
    unsigned long long u = 0;
    double d = 0.0;
    UStringView w;
    std::string_view n;
};

// Formats into `out` (replacing its contents).
void formatArgsInto(UString& out, UStringView format, const FormatArg* args, std::size_t count);

template <class... Args>
UString formatString(UStringView format, const Args&... args)
{
    UString out;
    if constexpr (sizeof...(Args) == 0) {
        formatArgsInto(out, format, nullptr, 0);
    } else {
        const FormatArg list[] = {FormatArg(args)...};
        formatArgsInto(out, format, list, sizeof...(Args));
    }
    return out;
}

template <class... Args>
void formatStringInto(UString& out, UStringView format, const Args&... args)
{
    if constexpr (sizeof...(Args) == 0) {
        formatArgsInto(out, format, nullptr, 0);
    } else {
        const FormatArg list[] = {FormatArg(args)...};
        formatArgsInto(out, format, list, sizeof...(Args));
    }
}

// A narrow (UTF-8) convenience for file names and log texts built from ASCII formats.
template <class... Args>
std::string formatNarrow(UStringView format, const Args&... args)
{
    return wideToUtf8(formatString(format, args...));
}

// A text from outside as a message may show it: each control character written as a backslash, "x" and two
// hexadecimal digits ("\x01"), and a backslash doubled, so that nothing in it acts on the log or the screen.
UString escapeControls(UStringView text);

// The text cut to at most `maxLength` UTF-16 units (never between the two of a surrogate pair), "..." added
// where it was cut: a long value quoted in a message.
UString shortened(UStringView text, std::size_t maxLength);

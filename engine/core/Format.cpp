#include "engine/core/Format.h"

#include <charconv>
#include <cmath>

#include "engine/core/MathUtil.h"

namespace {

struct Spec {
    bool left = false;
    bool zero = false;
    bool plus = false;
    bool space = false;
    bool alt = false;
    int width = -1;
    int precision = -1;
    char16_t conv = 0;
};

void appendAscii(UString& out, std::string_view s)
{
    for (char c : s) {
        out.push_back(static_cast<unsigned char>(c));
    }
}

void pad(UString& out, const UString& body, const Spec& spec, bool numeric)
{
    const int len = static_cast<int>(body.size());
    if (spec.width <= len) {
        out += body;
        return;
    }
    const int fill = spec.width - len;
    if (spec.left) {
        out += body;
        out.append(static_cast<std::size_t>(fill), u' ');
    } else if (spec.zero && numeric) {
        // Zeros go after any sign or 0x prefix.
        std::size_t prefix = 0;
        if (!body.empty() && (body[0] == u'-' || body[0] == u'+' || body[0] == u' ')) {
            prefix = 1;
        }
        if (body.size() >= prefix + 2 && body[prefix] == u'0' && (body[prefix + 1] == u'x' || body[prefix + 1] == u'X')) {
            prefix += 2;
        }
        out.append(body, 0, prefix);
        out.append(static_cast<std::size_t>(fill), u'0');
        out.append(body, prefix);
    } else {
        out.append(static_cast<std::size_t>(fill), u' ');
        out += body;
    }
}

UString formatInteger(unsigned long long magnitude, bool negative, int base, bool upper, const Spec& spec)
{
    char digits[72];
    auto res = std::to_chars(digits, digits + sizeof(digits), magnitude, base);
    std::string d(digits, res.ptr);
    if (upper) {
        for (auto& c : d) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 32);
            }
        }
    }
    if (spec.precision >= 0) {
        if (spec.precision == 0 && magnitude == 0) {
            d.clear();
        }
        while (static_cast<int>(d.size()) < spec.precision) {
            d.insert(d.begin(), '0');
        }
    }
    UString body;
    if (negative) {
        body.push_back(u'-');
    } else if (spec.plus && (spec.conv == u'd' || spec.conv == u'i')) {
        body.push_back(u'+');
    } else if (spec.space && (spec.conv == u'd' || spec.conv == u'i')) {
        body.push_back(u' ');
    }
    if (spec.alt && magnitude != 0) {
        if (base == 16) {
            appendAscii(body, upper ? "0X" : "0x");
        } else if (base == 8) {
            body.push_back(u'0');
        }
    }
    appendAscii(body, d);
    return body;
}

UString formatFloat(double v, const Spec& spec)
{
    UString body;
    if (std::isnan(v)) {
        appendAscii(body, "nan");
        return body;
    }
    if (std::isinf(v)) {
        appendAscii(body, v < 0 ? "-inf" : (spec.plus ? "+inf" : "inf"));
        return body;
    }
    const int precision = spec.precision < 0 ? 6 : spec.precision;
    char buf[512];
    std::to_chars_result res{};
    switch (spec.conv) {
    case u'e':
    case u'E':
        res = std::to_chars(buf, buf + sizeof(buf), v, std::chars_format::scientific, precision);
        break;
    case u'g':
    case u'G':
        res = std::to_chars(buf, buf + sizeof(buf), v, std::chars_format::general, precision == 0 ? 1 : precision);
        break;
    default:
        res = std::to_chars(buf, buf + sizeof(buf), v, std::chars_format::fixed, precision);
        break;
    }
    if (res.ec != std::errc()) {
        appendAscii(body, "?");
        return body;
    }
    std::string s(buf, res.ptr);
    if (spec.conv == u'E' || spec.conv == u'G') {
        for (auto& c : s) {
            if (c == 'e') {
                c = 'E';
            }
        }
    }
    if (s[0] != '-') {
        if (spec.plus) {
            body.push_back(u'+');
        } else if (spec.space) {
            body.push_back(u' ');
        }
    }
    appendAscii(body, s);
    return body;
}

} // namespace

void formatArgsInto(UString& out, UStringView format, const FormatArg* args, std::size_t count)
{
    out.clear();
    std::size_t next = 0;
    const std::size_t n = format.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = format[i];
        if (c != u'%') {
            out.push_back(c);
            continue;
        }
        if (i + 1 >= n) {
            out.push_back(u'%');
            break;
        }
        if (format[i + 1] == u'%') {
            out.push_back(u'%');
            ++i;
            continue;
        }
        Spec spec;
        std::size_t j = i + 1;
        for (; j < n; ++j) {
            const char16_t f = format[j];
            if (f == u'-') {
                spec.left = true;
            } else if (f == u'0') {
                spec.zero = true;
            } else if (f == u'+') {
                spec.plus = true;
            } else if (f == u' ') {
                spec.space = true;
            } else if (f == u'#') {
                spec.alt = true;
            } else {
                break;
            }
        }
        auto readNumber = [&](int& target) {
            if (j < n && format[j] == u'*') {
                target = (next < count && args[next].kind == FormatArg::Kind::Signed) ? static_cast<int>(args[next].s)
                         : (next < count)                                             ? static_cast<int>(args[next].u)
                                                                                      : 0;
                ++next;
                ++j;
                return;
            }
            int v = 0;
            bool any = false;
            while (j < n && format[j] >= u'0' && format[j] <= u'9') {
                v = v * 10 + (format[j] - u'0');
                if (v > 4096) {
                    v = 4096;
                }
                any = true;
                ++j;
            }
            if (any) {
                target = v;
            }
        };
        readNumber(spec.width);
        if (spec.width < 0 && spec.width != -1) {
            spec.left = true;
            spec.width = -spec.width;
        }
        if (j < n && format[j] == u'.') {
            ++j;
            spec.precision = 0;
            readNumber(spec.precision);
        }
        // Length modifiers carry no meaning here: each argument knows its own type.
        while (j < n && (format[j] == u'l' || format[j] == u'h' || format[j] == u'L' || format[j] == u'z' ||
                         format[j] == u'j' || format[j] == u't' || format[j] == u'q')) {
            ++j;
        }
        if (j + 2 < n && format[j] == u'I' && format[j + 1] == u'6' && format[j + 2] == u'4') {
            j += 3;
        }
        if (j >= n) {
            out.append(format.substr(i));
            break;
        }
        spec.conv = format[j];
        i = j;
        if (next >= count) {
            // A missing argument prints the conversion as it stands instead of reading garbage.
            out.push_back(u'%');
            out.push_back(spec.conv);
            continue;
        }
        const FormatArg& a = args[next++];
        switch (spec.conv) {
        case u'd':
        case u'i': {
            long long v = a.kind == FormatArg::Kind::Signed     ? a.s
                          : a.kind == FormatArg::Kind::Float    ? truncateClamped<long long>(a.d)
                                                                : static_cast<long long>(a.u);
            const unsigned long long mag = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
            pad(out, formatInteger(mag, v < 0, 10, false, spec), spec, spec.precision < 0);
            break;
        }
        case u'u':
        case u'x':
        case u'X':
        case u'o': {
            unsigned long long v = 0;
            if (a.kind == FormatArg::Kind::Signed) {
                // Negative values wrap like a 32-bit value unless they need more bits.
                v = (a.s < 0 && a.s >= INT32_MIN) ? static_cast<unsigned long long>(static_cast<std::uint32_t>(a.s))
                                                  : static_cast<unsigned long long>(a.s);
            } else if (a.kind == FormatArg::Kind::Float) {
                v = truncateClamped<unsigned long long>(a.d);
            } else {
                v = a.u;
            }
            const int base = spec.conv == u'u' ? 10 : (spec.conv == u'o' ? 8 : 16);
            pad(out, formatInteger(v, false, base, spec.conv == u'X', spec), spec, spec.precision < 0);
            break;
        }
        case u'c': {
            UString body;
            const auto unit = a.kind == FormatArg::Kind::Signed ? static_cast<char16_t>(a.s) : static_cast<char16_t>(a.u);
            body.push_back(unit);
            pad(out, body, spec, false);
            break;
        }
        case u's':
        case u'S': {
            UString body;
            if (a.kind == FormatArg::Kind::Wide) {
                body = UString(a.w);
            } else if (a.kind == FormatArg::Kind::Narrow) {
                body = utf8ToWide(a.n);
            } else if (a.kind == FormatArg::Kind::Signed) {
                appendAscii(body, std::to_string(a.s));
            } else {
                appendAscii(body, std::to_string(a.u));
            }
            if (spec.precision >= 0 && static_cast<int>(body.size()) > spec.precision) {
                body.resize(static_cast<std::size_t>(spec.precision));
            }
            pad(out, body, spec, false);
            break;
        }
        case u'f':
        case u'F':
        case u'e':
        case u'E':
        case u'g':
        case u'G': {
            const double v = a.kind == FormatArg::Kind::Float    ? a.d
                             : a.kind == FormatArg::Kind::Signed ? static_cast<double>(a.s)
                                                                 : static_cast<double>(a.u);
            // Zeros pad numbers only; "inf" and "nan" are padded with blanks.
            pad(out, formatFloat(v, spec), spec, std::isfinite(v));
            break;
        }
        case u'p': {
            Spec ps = spec;
            ps.alt = false;
            ps.precision = 8;
            pad(out, formatInteger(a.u, false, 16, false, ps), spec, false);
            break;
        }
        default:
            // Unknown conversion: print it as written and give the argument back.
            out.push_back(u'%');
            out.push_back(spec.conv);
            --next;
            break;
        }
    }
}

UString escapeControls(UStringView text)
{
    static constexpr char16_t HEX[] = u"0123456789abcdef";
    UString out;
    out.reserve(text.size());
    for (const char16_t c : text) {
        if (c == u'\\') {
            out += u"\\\\";
        } else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            out += u"\\x";
            out.push_back(HEX[c >> 4]);
            out.push_back(HEX[c & 0xF]);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

UString shortened(UStringView text, std::size_t maxLength)
{
    if (text.size() <= maxLength) {
        return UString(text);
    }
    std::size_t keep = maxLength;
    if (keep > 0 && text[keep - 1] >= 0xD800 && text[keep - 1] < 0xDC00) {
        --keep; // the pair's first half goes with its second
    }
    return UString(text.substr(0, keep)) + u"...";
}

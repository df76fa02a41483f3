// Text forms and parsing of the plain value properties.
#include <cmath>

#include "engine/core/Format.h"
#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyDWORD.h"
#include "engine/core/PropertyDouble.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertySecureInt.h"
#include "engine/core/PropertyUColor.h"
#include "engine/core/PropertyUString.h"
#include "engine/core/TextParse.h"

const RuntimeClass PropertyBool::classRecord(u"PropertyBool", &Property::classRecord, nullptr);
const RuntimeClass PropertyInt::classRecord(u"PropertyInt", &Property::classRecord, nullptr);
const RuntimeClass PropertyDWORD::classRecord(u"PropertyDWORD", &Property::classRecord, nullptr);
const RuntimeClass PropertyFloat::classRecord(u"PropertyFloat", &Property::classRecord, nullptr);
const RuntimeClass PropertyDouble::classRecord(u"PropertyDouble", &Property::classRecord, nullptr);
const RuntimeClass PropertyUColor::classRecord(u"PropertyUColor", &Property::classRecord, nullptr);
const RuntimeClass PropertyUString::classRecord(u"PropertyUString", &Property::classRecord, nullptr);
const RuntimeClass PropertySecureInt::classRecord(u"PropertySecureInt", &Property::classRecord, nullptr);
const RuntimeClass PropertyContainer::classRecord(u"PropertyContainer", &Property::classRecord, nullptr);

namespace {
constexpr char16_t GLYPH_TRUE = u'\u000E';
constexpr char16_t GLYPH_FALSE = u'\u000D';

bool equalsIgnoringCase(UStringView text, UStringView word) { return toLowerAscii(text) == word; }

// The empty text stores `cleared`; other text stores what `parse` makes of it, when it makes anything.
template <class T, class Parse>
bool parseInto(UStringView text, T& out, T cleared, Parse parse)
{
    if (text.empty()) {
        out = cleared;
        return true;
    }
    auto parsed = parse(text);
    if (!parsed) {
        return false;
    }
    out = static_cast<T>(*parsed);
    return true;
}

// A double that also fits a float.
std::optional<double> parseFloatRange(UStringView text)
{
    auto parsed = parseDouble(text);
    if (parsed && !std::isfinite(static_cast<float>(*parsed))) {
        return std::nullopt;
    }
    return parsed;
}
} // namespace

PropertyBool::PropertyBool(UStringView name, uint32_t flags, bool* value) : Property(name, flags, value) {}

UString PropertyBool::toString() const { return UString(1, *value() ? GLYPH_TRUE : GLYPH_FALSE); }

bool PropertyBool::fromString(UStringView text)
{
    UString t(text);
    trimString(t);
    if (t.empty() || t == UStringView(&GLYPH_FALSE, 1) || t == u"0" || equalsIgnoringCase(t, u"false") ||
        equalsIgnoringCase(t, u"no")) {
        *value() = false;
        return true;
    }
    if (t == UStringView(&GLYPH_TRUE, 1) || t == u"1" || equalsIgnoringCase(t, u"true") ||
        equalsIgnoringCase(t, u"yes")) {
        *value() = true;
        return true;
    }
    return false;
}

PropertyInt::PropertyInt(UStringView name, uint32_t flags, int32_t* value) : Property(name, flags, value) {}

UString PropertyInt::toString() const { return formatString(u"%d", *value()); }

bool PropertyInt::fromString(UStringView text) { return parseInto(text, *value(), 0, parseInt32); }

PropertySecureInt::PropertySecureInt(UStringView name, uint32_t flags, SecureInt* value)
    : Property(name, flags, value)
{
}

UString PropertySecureInt::toString() const { return formatString(u"%d", value()->get()); }

bool PropertySecureInt::fromString(UStringView text)
{
    int32_t v = 0;
    if (!parseInto(text, v, 0, parseInt32)) {
        return false;
    }
    value()->set(v);
    return true;
}

PropertyDWORD::PropertyDWORD(UStringView name, uint32_t flags, uint32_t* value) : Property(name, flags, value) {}

UString PropertyDWORD::toString() const { return formatString(u"%08x", *value()); }

bool PropertyDWORD::fromString(UStringView text) { return parseInto(text, *value(), 0u, parseHex32); }

PropertyFloat::PropertyFloat(UStringView name, uint32_t flags, float* value) : Property(name, flags, value) {}

UString PropertyFloat::toString() const { return formatString(u"%.9lf", static_cast<double>(*value())); }

bool PropertyFloat::fromString(UStringView text) { return parseInto(text, *value(), 0.0f, parseFloatRange); }

PropertyDouble::PropertyDouble(UStringView name, uint32_t flags, double* value) : Property(name, flags, value) {}

UString PropertyDouble::toString() const { return formatString(u"%.9lf", *value()); }

bool PropertyDouble::fromString(UStringView text) { return parseInto(text, *value(), 0.0, parseDouble); }

PropertyUColor::PropertyUColor(UStringView name, uint32_t flags, UColor* value) : Property(name, flags, value) {}

UString PropertyUColor::toString() const { return formatString(u"%08x", value()->argb); }

bool PropertyUColor::fromString(UStringView text) { return parseInto(text, value()->argb, 0u, parseHex32); }

PropertyUString::PropertyUString(UStringView name, uint32_t flags, UString* value, int32_t maxLength)
    : Property(name, flags, value), maxLength(maxLength)
{
}

UString PropertyUString::toString() const { return *value(); }

bool PropertyUString::fromString(UStringView text)
{
    if (maxLength >= 0 && text.size() > static_cast<std::size_t>(maxLength)) {
        text = text.substr(0, static_cast<std::size_t>(maxLength));
    }
    value()->assign(text);
    return true;
}

PropertyContainer::PropertyContainer(UStringView name, uint32_t flags, void* address) : Property(name, flags, address)
{
}

UString PropertyContainer::toString() const { return getFirstChild() != nullptr ? u"..." : u"(empty)"; }

bool PropertyContainer::fromString(UStringView text) { return text.empty(); }

void PropertyContainer::serialize(Packet& packet)
{
    for (Property* p = getFirstProperty(); p != nullptr; p = p->getNextProperty()) {
        p->serialize(packet);
    }
}

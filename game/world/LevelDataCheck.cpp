#include "game/world/LevelDataCheck.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Format.h"
#include "engine/core/Logger.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/net/Packet.h"

namespace {
std::size_t utf8Length(char16_t c) { return c < 0x80 ? 1 : (c < 0x800 ? 2 : 3); }
} // namespace

UString LevelDataCheck::Range::text() const
{
    return whole ? formatString(u"%d to %d", static_cast<int>(lo), static_cast<int>(hi))
                 : formatString(u"%g to %g", lo, hi);
}

UString LevelDataCheck::Range::outOfRange(double value) const
{
    // A whole number beyond what an int holds (typed as 1e10) is written as a number in general.
    const bool asWhole = whole && value >= -2147483648.0 && value <= 2147483647.0;
    return asWhole ? formatString(u"%d is out of range %s", static_cast<int>(value), text())
                   : formatString(u"%g is out of range %s", value, text());
}

const LevelDataCheck::TypedValue* LevelDataCheck::TypedValue::current = nullptr;

LevelDataCheck::TypedValue::TypedValue(const void* address, std::optional<Range>* query)
    : address(address), query(query), outer(current)
{
    current = this;
}

LevelDataCheck::TypedValue::~TypedValue() { current = outer; }

LevelDataCheck::LevelDataCheck(const KivBase& object)
    : object(object), refusing(THEROLE != nullptr && THEROLE->isReadingUntrusted()), typed(TypedValue::current)
{
}

bool LevelDataCheck::noted(const void* value, UStringView name, const Range& limits) const
{
    if (!querying()) {
        return false;
    }
    if (value == typed->address) {
        *typed->query = limits;
        (*typed->query)->name = name;
    }
    return true;
}

void LevelDataCheck::warn(UStringView name, UStringView what) const
{
    Logger::logFrom("EditorObject::netPostReplicate", u"Warning: object %d: '%s' %s", object.objectUID,
                    UString(name), UString(what));
}

void LevelDataCheck::refuse(UStringView name, UStringView what) const
{
    UString value = formatString(u"'%s' %s", UString(name), UString(what));
    UString message = formatString(u"object %d (%s): %s", object.objectUID, object.getTypeName(), value);
    throw Refused(std::move(message), std::move(value));
}

bool LevelDataCheck::within(UStringView name, float& value, float lo, float hi, float fallback)
{
    const Range limits{{}, lo, hi};
    if (noted(&value, name, limits)) {
        return false;
    }
    if (!std::isfinite(value)) {
        if (refusing) {
            refuse(name, u"is not a number");
        }
        warn(name, formatString(u"is not a number; set to %g.", static_cast<double>(fallback)));
        value = fallback;
        ++changes;
        return true;
    }
    if (value < lo || value > hi) {
        if (refusing) {
            refuse(name, limits.outOfRange(value));
        }
        warn(name, formatString(u"%.1f is out of range; clamped.", static_cast<double>(value)));
        value = std::clamp(value, lo, hi);
        ++changes;
        return true;
    }
    return false;
}

bool LevelDataCheck::above(UStringView name, const float& value, UStringView lowerName, const float& lower)
{
    if (querying() || value > lower) {
        return true;
    }
    if (refusing) {
        const auto v = static_cast<double>(value);
        const auto l = static_cast<double>(lower);
        if (typed != nullptr && typed->address == &lower) {
            refuse(lowerName, formatString(u"%g is out of range: it must be less than '%s' %g", l, UString(name), v));
        }
        refuse(name, formatString(u"%g is out of range: it must be greater than '%s' %g", v, UString(lowerName), l));
    }
    return false;
}

bool LevelDataCheck::coordinate(UStringView name, float& value)
{
    return within(name, value, -MAX_COORDINATE, MAX_COORDINATE, 0.0f);
}

bool LevelDataCheck::speed(UStringView name, float& value)
{
    return within(name, value, -MAX_SPEED, MAX_SPEED, 0.0f);
}

bool LevelDataCheck::scale(UStringView name, float& value)
{
    return within(name, value, -MAX_SCALE, MAX_SCALE, 1.0f);
}

bool LevelDataCheck::angle(UStringView name, float& value)
{
    return within(name, value, -MAX_ANGLE, MAX_ANGLE, 0.0f);
}

bool LevelDataCheck::size(UStringView name, float& value, float lo, float hi, float fallback)
{
    if (noted(&value, name, Range{{}, lo, hi})) {
        return false;
    }
    if (!std::isfinite(value)) {
        warn(name, formatString(u"is not a number; set to %.1f.", static_cast<double>(fallback)));
        value = fallback;
        ++changes;
        return true;
    }
    if (value < lo || value > hi) {
        warn(name, formatString(u"%.1f is out of range; clamped.", static_cast<double>(value)));
        value = std::clamp(value, lo, hi);
        ++changes;
        return true;
    }
    return false;
}

bool LevelDataCheck::range(UStringView name, int32_t& value, int32_t lo, int32_t hi)
{
    const Range limits{{}, static_cast<double>(lo), static_cast<double>(hi), true};
    if (noted(&value, name, limits)) {
        return false;
    }
    if (value < lo || value > hi) {
        warn(name, limits.outOfRange(value) + u"; clamped.");
        value = std::clamp(value, lo, hi);
        ++changes;
        return true;
    }
    return false;
}

bool LevelDataCheck::reach(UStringView name, int32_t& value, int32_t lo, int32_t hi)
{
    if (refusing && !querying() && (value < lo || value > hi)) {
        refuse(name, Range{{}, static_cast<double>(lo), static_cast<double>(hi), true}.outOfRange(value));
    }
    return range(name, value, lo, hi);
}

bool LevelDataCheck::seconds(UStringView name, double& value, double max, double fallback)
{
    const Range limits{{}, 0.0, max};
    if (noted(&value, name, limits) || (value >= 0.0 && value <= max)) {
        return false;
    }
    const UString why = std::isfinite(value) ? limits.outOfRange(value) : UString(u"is not a number");
    if (refusing) {
        refuse(name, why);
    }
    warn(name, formatString(u"%s; set to %g.", why, fallback));
    value = fallback;
    ++changes;
    return true;
}

bool LevelDataCheck::objectOfClass(UStringView name, KivBase*& pointer, const RuntimeClass* required)
{
    if (querying() || pointer == nullptr || required == nullptr || pointer->isDerivedFrom(required)) {
        return false;
    }
    warn(name, formatString(u"names object %d of the wrong class; emptied.", pointer->objectUID));
    pointer = nullptr;
    ++changes;
    return true;
}

bool LevelDataCheck::text(UStringView name, UString& value, std::size_t maxBytes)
{
    if (querying()) {
        return false;
    }
    std::size_t bytes = 0;
    std::size_t keep = 0;
    for (; keep < value.size(); ++keep) {
        const std::size_t n = utf8Length(value[keep]);
        if (bytes + n > maxBytes) {
            break;
        }
        bytes += n;
    }
    if (keep == value.size()) {
        return false;
    }
    // Never split a surrogate pair.
    if (keep > 0 && value[keep - 1] >= 0xD800 && value[keep - 1] < 0xDC00) {
        --keep;
    }
    warn(name, formatString(u"is longer than %d bytes; clipped.", static_cast<int>(maxBytes)));
    value.resize(keep);
    ++changes;
    return true;
}

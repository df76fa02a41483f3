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

LevelDataCheck::LevelDataCheck(const KivBase& object)
    : object(object), refusing(THEROLE != nullptr && THEROLE->isReadingUntrusted())
{
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
            refuse(name, formatString(u"%g is out of range %g to %g", static_cast<double>(value),
                                      static_cast<double>(lo), static_cast<double>(hi)));
        }
        warn(name, formatString(u"%.1f is out of range; clamped.", static_cast<double>(value)));
        value = std::clamp(value, lo, hi);
        ++changes;
        return true;
    }
    return false;
}

bool LevelDataCheck::above(UStringView name, float value, UStringView lowerName, float lower)
{
    if (value > lower) {
        return true;
    }
    if (refusing) {
        refuse(name, formatString(u"%g is out of range: it must be greater than '%s' %g", static_cast<double>(value),
                                  UString(lowerName), static_cast<double>(lower)));
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
    if (value < lo || value > hi) {
        warn(name, formatString(u"%d is out of range %d to %d; clamped.", value, lo, hi));
        value = std::clamp(value, lo, hi);
        ++changes;
        return true;
    }
    return false;
}

bool LevelDataCheck::reach(UStringView name, int32_t& value, int32_t lo, int32_t hi)
{
    if (refusing && (value < lo || value > hi)) {
        refuse(name, formatString(u"%d is out of range %d to %d", value, lo, hi));
    }
    return range(name, value, lo, hi);
}

bool LevelDataCheck::objectOfClass(UStringView name, KivBase*& pointer, const RuntimeClass* required)
{
    if (pointer == nullptr || required == nullptr || pointer->isDerivedFrom(required)) {
        return false;
    }
    warn(name, formatString(u"names object %d of the wrong class; emptied.", pointer->objectUID));
    pointer = nullptr;
    ++changes;
    return true;
}

bool LevelDataCheck::text(UStringView name, UString& value, std::size_t maxBytes)
{
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

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

// Why a value that is no finite number is refused or replaced.
UString notFinite(double value) { return std::isnan(value) ? u"is not a number" : u"is infinite"; }
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

LevelDataCheck::Run LevelDataCheck::Run::typed(const void* value)
{
    Run run;
    run.value = value;
    return run;
}

LevelDataCheck::Run LevelDataCheck::Run::rangeOf(const void* value, std::optional<Range>& answer)
{
    Run run;
    run.value = value;
    run.answer = &answer;
    return run;
}

LevelDataCheck::LevelDataCheck(const KivBase& object) : LevelDataCheck(object, Run()) {}

LevelDataCheck::LevelDataCheck(const KivBase& object, const Run& run)
    : object(object), run(run),
      refusing(run.value != nullptr || (THEROLE != nullptr && THEROLE->isReadingUntrusted()))
{
}

LevelDataCheck::Range LevelDataCheck::wholeRange(int32_t lo, int32_t hi)
{
    return Range{{}, static_cast<double>(lo), static_cast<double>(hi), true};
}

void LevelDataCheck::answer(const void* value, UStringView name, Range limits) const
{
    // The first check of the value answers: a narrower one may come before the general one.
    if (value == run.value && !run.answer->has_value()) {
        limits.name = name;
        *run.answer = std::move(limits);
    }
}

void LevelDataCheck::warn(UStringView name, UStringView what) const
{
    if (asking()) {
        return;
    }
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
    if (asking()) {
        answer(&value, name, limits);
        return false;
    }
    if (!std::isfinite(value)) {
        if (refusing) {
            refuse(name, notFinite(value));
        }
        warn(name, formatString(u"%s; set to %g.", notFinite(value), static_cast<double>(fallback)));
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
    if (asking() || value > lower) {
        return true;
    }
    if (!refusing) {
        return false;
    }
    const auto v = static_cast<double>(value);
    const auto l = static_cast<double>(lower);
    // Named by the edge typed into the editor: the lower one, else this one.
    if (isTyped(&lower)) {
        refuse(lowerName, formatString(u"%g is out of range: it must be less than '%s' %g", l, UString(name), v));
    } else {
        refuse(name, formatString(u"%g is out of range: it must be greater than '%s' %g", v, UString(lowerName), l));
    }
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
    if (asking()) {
        answer(&value, name, Range{{}, lo, hi});
        return false;
    }
    if (!std::isfinite(value)) {
        warn(name, formatString(u"%s; set to %.1f.", notFinite(value), static_cast<double>(fallback)));
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
    const Range limits = wholeRange(lo, hi);
    if (asking()) {
        answer(&value, name, limits);
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
    if (!asking() && refusing && (value < lo || value > hi)) {
        refuse(name, wholeRange(lo, hi).outOfRange(value));
    }
    return range(name, value, lo, hi);
}

bool LevelDataCheck::startRange(UStringView name, const float& value, float lo, float hi)
{
    const Range limits{{}, lo, hi};
    if (asking()) {
        answer(&value, name, limits);
    } else if (isTyped(&value) && !std::isfinite(value)) {
        refuse(name, notFinite(value));
    } else if (isTyped(&value) && (value < lo || value > hi)) {
        refuse(name, limits.outOfRange(value));
    }
    return false;
}

bool LevelDataCheck::startRange(UStringView name, const int32_t& value, int32_t lo, int32_t hi)
{
    const Range limits = wholeRange(lo, hi);
    if (asking()) {
        answer(&value, name, limits);
    } else if (isTyped(&value) && (value < lo || value > hi)) {
        refuse(name, limits.outOfRange(value));
    }
    return false;
}

bool LevelDataCheck::clampAtStart(UStringView name, float& value, float lo, float hi)
{
    if (std::isnan(value)) {
        warn(name, formatString(u"%s; set to %g.", notFinite(value), static_cast<double>(lo)));
        value = lo;
    } else if (value < lo || value > hi) {
        warn(name, Range{{}, lo, hi}.outOfRange(value) + u"; clamped.");
        value = std::clamp(value, lo, hi);
    } else {
        return false;
    }
    ++changes;
    return true;
}

bool LevelDataCheck::seconds(UStringView name, double& value, double max, double fallback)
{
    const Range limits{{}, 0.0, max};
    if (asking()) {
        answer(&value, name, limits);
        return false;
    }
    if (value >= 0.0 && value <= max) {
        return false;
    }
    const UString why = std::isfinite(value) ? limits.outOfRange(value) : notFinite(value);
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
    if (asking() || pointer == nullptr || required == nullptr || pointer->isDerivedFrom(required)) {
        return false;
    }
    warn(name, formatString(u"names object %d of the wrong class; emptied.", pointer->objectUID));
    pointer = nullptr;
    ++changes;
    return true;
}

bool LevelDataCheck::text(UStringView name, UString& value, std::size_t maxBytes)
{
    if (asking()) {
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

#include "engine/core/InterpolatedValue.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/MathUtil.h"

float InterpolatedValue::interpolate(int32_t type, float from, float to, float t)
{
    switch (type) {
    case 0: return from;
    case 1: return from + (to - from) * t;
    case 6: return from + (to - from) * (1.0f - std::cos(std::numbers::pi_v<float> * t)) * 0.5f;
    default:
        if (type < 0 || type >= V3::EASE_TYPES) {
            KIV_FATAL(formatString(u"Unknown InterpolatedValue type (%d)", type));
        }
        return from + (to - from) * V3::easeFactor(type, t);
    }
}

InterpolatedValue::InterpolatedValue(float value, float speed, int32_t type, bool bClamp, bool bAngle)
    : value(value), speed(speed), type(type), bClamp(bClamp), bAngle(bAngle), from(value), to(value)
{
}

void InterpolatedValue::tick(double /*time*/, double dt)
{
    progress += speed * static_cast<float>(dt);
    if (bClamp) {
        progress = std::clamp(progress, 0.0f, 1.0f);
    }
    value = interpolate(type, from, to, progress);
}

void InterpolatedValue::setTarget(float target, float newSpeed)
{
    constexpr float pi = std::numbers::pi_v<float>;
    if (newSpeed > 0.0f) {
        speed = newSpeed;
    }
    from = value;
    if (bAngle) {
        target = wrapAngle(target);
        if (target - from > pi) {
            target -= 2.0f * pi;
        } else if (from - target > pi) {
            target += 2.0f * pi;
        }
    }
    to = target;
    progress = 0.0f;
}

void InterpolatedValue::setValue(float v)
{
    if (bAngle) {
        v = wrapAngle(v);
    }
    value = from = to = v;
    progress = 0.0f;
}

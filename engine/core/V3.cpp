#include "engine/core/V3.h"

#include <algorithm>
#include <numbers>

V3 V3::normalized() const
{
    const float len = length();
    return len > 0.0f ? *this * (1.0f / len) : V3();
}

bool V3::isWithinDistance(const V3& other, float radius) const
{
    return (other - *this).lengthSquared() < radius * radius;
}

float V3::easeFactor(int type, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    constexpr float pi = std::numbers::pi_v<float>;
    const float u = 1.0f - t;
    switch (type) {
    case 0: return 0.0f;
    case 1: return t;
    case 2: return t * t;
    case 3: return 1.0f - u * u;
    case 4: return t < 0.5f ? 2.0f * t * t : 1.0f - 2.0f * u * u;
    case 5: return 1.0f - std::cos(t * pi * 0.5f);
    case 6: return 0.5f - 0.5f * std::cos(pi * t);
    case 7: return std::sin(t * pi * 0.5f);
    case 8: return t * t * t;
    case 9: return 1.0f - u * u * u;
    case 10: return t < 0.5f ? 4.0f * t * t * t : 1.0f - 4.0f * u * u * u;
    case 11: return t * t * t * t;
    case 12: return 1.0f - u * u * u * u;
    case 13: return t < 0.5f ? 8.0f * t * t * t * t : 1.0f - 8.0f * u * u * u * u;
    case 14: return t <= 0.0f ? 0.0f : std::exp2(10.0f * t - 10.0f);
    case 15: return t >= 1.0f ? 1.0f : 1.0f - std::exp2(-10.0f * t);
    case 16:
        if (t <= 0.0f || t >= 1.0f) {
            return t;
        }
        return t < 0.5f ? std::exp2(20.0f * t - 10.0f) * 0.5f : 1.0f - std::exp2(-20.0f * t + 10.0f) * 0.5f;
    case 17: return t * t * (3.0f - 2.0f * t);
    default: return t;
    }
}

void V3::ease(int type, const V3& from, const V3& to, float t)
{
    if (type < 0 || type >= EASE_TYPES) {
        return;
    }
    const float f = easeFactor(type, t);
    *this = from + (to - from) * f;
}

V3 V3::bezier(const V3& p0, const V3& t0, const V3& p1, const V3& t1, float t)
{
    const V3 c1 = p0 + t0;
    const V3 c2 = p1 - t1;
    const float u = 1.0f - t;
    return p0 * (u * u * u) + c1 * (3.0f * u * u * t) + c2 * (3.0f * u * t * t) + p1 * (t * t * t);
}

#include "engine/core/UColor.h"

#include <algorithm>

#include "engine/core/MathUtil.h"

namespace {
uint32_t toByte(float v)
{
    // Truncated toward zero and kept within a byte.
    return static_cast<uint32_t>(std::clamp(truncateClamped<int>(v), 0, 255));
}
} // namespace

UColor UColor::scale(UColor colour, float factor)
{
    return fromArgb(colour.a(), toByte(static_cast<float>(colour.r()) * factor),
                    toByte(static_cast<float>(colour.g()) * factor), toByte(static_cast<float>(colour.b()) * factor));
}

UColor lerpColor(UColor a, UColor b, float t)
{
    auto channel = [t](uint32_t x, uint32_t y) {
        const float fx = static_cast<float>(x);
        return toByte(fx + (static_cast<float>(y) - fx) * t);
    };
    return UColor::fromArgb(channel(a.a(), b.a()), channel(a.r(), b.r()), channel(a.g(), b.g()),
                            channel(a.b(), b.b()));
}

#include "engine/core/MathUtil.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float PI = 3.1415927f;
constexpr float TWO_PI = 6.2831855f;
} // namespace

float linearStep(float lo, float hi, float v)
{
    if (lo == hi) {
        return 0.0f;
    }
    return std::clamp((v - lo) / (hi - lo), 0.0f, 1.0f);
}

float mapRangeClamped(float outA, float outB, float inA, float inB, float x)
{
    return outA + (outB - outA) * linearStep(inA, inB, x);
}

float easeOutQuad(float a, float b, float t)
{
    const float u = 1.0f - t;
    return a + (b - a) * (1.0f - u * u);
}

float wrapAngle(float a)
{
    float w = std::fmod(a, TWO_PI);
    if (w < 0.0f) {
        w += TWO_PI;
    }
    return w >= TWO_PI ? 0.0f : w;
}

float interpolateAngle(float a, float b, float t)
{
    a = wrapAngle(a);
    b = wrapAngle(b);
    if (b - a > PI) {
        a += TWO_PI;
    } else if (a - b > PI) {
        a -= TWO_PI;
    }
    return a + (b - a) * t;
}

float angleDifference(float a, float b)
{
    float wa = std::fmod(a, TWO_PI);
    if (a < 0.0f) {
        wa += TWO_PI;
    }
    float wb = std::fmod(b, TWO_PI);
    if (b < 0.0f) {
        wb += TWO_PI;
    }
    if (wa < wb) {
        const float d = wb - wa;
        return d < PI ? d : wb - (wa + TWO_PI);
    }
    if (wa > wb) {
        return wa - wb < PI ? wb - wa : (wb + TWO_PI) - wa;
    }
    return 0.0f;
}

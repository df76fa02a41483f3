#pragma once
// Small scalar helpers of the game objects and screens.
#include <cmath>
#include <limits>

// (v - lo) / (hi - lo) clamped to [0, 1]; 0 when lo equals hi.
float linearStep(float lo, float hi, float v);
// Maps x from [inA, inB] onto [outA, outB]; the fraction is clamped to [0, 1] and is 0 when inA equals inB.
float mapRangeClamped(float outA, float outB, float inA, float inB, float x);
// a + (b - a) * (1 - (1 - t)^2).
float easeOutQuad(float a, float b, float t);
// Wraps both angles into [0, 2 pi) and interpolates from a to b by t along the shorter arc; the result is
// not wrapped again.
float interpolateAngle(float a, float b, float t);
// The signed turn from a to b (radians), never larger than pi in size.
float angleDifference(float a, float b);
// The angle wrapped into [0, 2 pi).
float wrapAngle(float a);

// x truncated toward zero into the integer type Int, as a cast does, where the value may come from data: a
// value beyond Int's range gives its nearest end, and NaN gives 0, where the cast would be undefined.
template <class Int>
Int truncateClamped(double x)
{
    using Limits = std::numeric_limits<Int>;
    if (std::isnan(x)) {
        return 0;
    }
    // The powers of two at the ends are exact doubles: the lowest value, and one above the highest.
    if (x >= std::ldexp(1.0, Limits::digits)) {
        return Limits::max();
    }
    if (x < static_cast<double>(Limits::min())) {
        return Limits::min();
    }
    return static_cast<Int>(x);
}

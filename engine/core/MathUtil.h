#pragma once
// Small scalar helpers of the game objects and screens.

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

#pragma once
// A value that runs from one number to another along an easing curve at a given speed (progress per
// second). With the angle flag, targets take the shorter way round.
#include <cstdint>

#include "engine/core/KivBase.h"

class InterpolatedValue : public KivBase {
public:
    // Curves 0 to 17: 0 holds `from`, 1 is linear, 6 is (1 - cos(pi t)) / 2, the rest are the easing
    // curves of V3::ease. Any other type is fatal.
    static float interpolate(int32_t type, float from, float to, float t);

    InterpolatedValue() = default;
    InterpolatedValue(float value, float speed, int32_t type, bool bClamp, bool bAngle);

    // Advances the progress by speed * dt (clamped to [0, 1] with the clamp flag) and updates the value.
    void tick(double time, double dt) override;
    // Runs from the current value to `target`; a speed above 0 replaces the speed, 0 keeps it.
    void setTarget(float target, float newSpeed = 0.0f);
    // Jumps to `v` (wrapped into [0, 2 pi) with the angle flag).
    void setValue(float v);

    float value = 0.0f;
    float speed = 1.0f;
    int32_t type = 1;
    bool bClamp = true;
    bool bAngle = false;
    float from = 0.0f;
    float to = 0.0f;
    float progress = 0.0f;
};

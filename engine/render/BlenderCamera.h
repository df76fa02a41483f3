#pragma once
// The camera of a ContextBlender. Its child cameras are modifiers: each tick it walks them in order and
// eases from its target towards each modifier's eye; a modifier that completes its transition removes the
// one before it. It also rolls the view for a camera shake.
#include "engine/render/Camera.h"

class BlenderCamera : public Camera {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    BlenderCamera();

    void updateTick(double time, double dt) override;
    // Target and eye to (x, y, z), look-at x and y to (x, y), every modifier destroyed.
    void snapTo(float x, float y, float z);
    // Starts a shake (the level's camera shake writes these).
    void shake(double amplitude, double duration);

    V3 target;
    double shakeAmplitude = 0.0;
    double shakeDuration = 0.0;
    double shakeElapsed = 0.0;
};

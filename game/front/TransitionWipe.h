#pragma once
// The black transition between screens: an iris with a shaped, turning rim that closes to black at level 1
// and is open (draws nothing) at level 0. Level moves toward targetLevel at one unit per second.
#include "engine/render/Renderable.h"

class TransitionWipe : public Renderable {
public:
    static constexpr int STEPS = 128;

    TransitionWipe();
    void tick(double time, double dt) override;
    void render() override;

    // The rim's shape factor at step i of STEPS.
    static float shapeFactor(int i);

    float level = 0.0f;
    float targetLevel = 0.0f;
};

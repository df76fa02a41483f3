#pragma once
// One character of a message: appears after its delay, fades in over 0.25 s, stays, fades out over the
// last 0.25 s of its time and then deletes itself. Its age is its time in state.
#include "engine/render/Renderable.h"

class FadingGlyph : public Renderable {
public:
    FadingGlyph(Skin* skin, float x, float y, float z, double delay, double time);
    void tick(double time, double dt) override;

    V3 basePosition;
    double startDelay;
    double displayTime;
};

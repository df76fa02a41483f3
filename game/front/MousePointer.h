#pragma once
// The mouse pointer sprite ("mousePointer"): follows the pointer of the layer that ticks it, and fades or
// hides in touch input.
#include "engine/render/Renderable.h"

class MousePointer : public Renderable {
public:
    MousePointer();
    void tick(double time, double dt) override;
};

#pragma once
// An on-screen button of the HUD for touch play: drawn at half alpha, lit fully while a finger is on it
// and fading back over 0.25 s. `pressed` tells, frame by frame, whether a touch lies inside its square.
#include "engine/core/InterpolatedValue.h"
#include "engine/render/Renderable.h"

class Context;

class TouchButton : public Renderable {
public:
    TouchButton(Skin* skin, bool newTouchesOnly);
    void tick(double time, double dt) override;

    bool pressed = false;
    float radius = 45.0f;
    bool bNewTouchesOnly;
    InterpolatedValue brightness{128.0f, 4.0f, 1, true, false};
};

namespace HudTouch {
// A touch point's place in the world of a layer's camera at the touch's depth (x, y in screen pixels
// from the lower-left corner, as the input keeps them).
V3 toLayer(const Context& layer, const V3& touch);
// The width of the game screen in pixels (the graphics' back buffer; 800 without graphics).
int screenWidth();
int screenHeight();
} // namespace HudTouch

#pragma once
// The winter backdrop behind the front-end screens: a sharp and a blurred picture with a cross-fade
// between them, and blinking Christmas lights. Made once after loading and shared as the background layer
// of several screens, so the cross-fade carries on from screen to screen.
#include "engine/render/Context.h"

class Renderable;

class ContextIntro : public Context {
public:
    ContextIntro();
    void tickContents(double time, double dt) override;

    bool bBlurred = true; // the cross-fade's target: true shows the blurred picture
    Renderable* pSharp = nullptr;
    Renderable* pLights = nullptr;
    Renderable* pBlurred = nullptr;
    float blend = 1.0f; // 0 sharp only, 1 blurred only

private:
    int lightsFrame = -1;
};

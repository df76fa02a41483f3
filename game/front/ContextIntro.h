#pragma once
// The winter backdrop behind the front-end screens: a sharp and a blurred picture with a cross-fade
// between them, and blinking Christmas lights. Made once after loading and shared as the background layer
// of several screens, so the cross-fade carries on from screen to screen. The pictures cover the screen
// whatever its size, and follow it when it changes.
#include "engine/render/Context.h"
#include "game/menus/ScreenFit.h"

class Renderable;

class ContextIntro : public Context {
public:
    ContextIntro();
    void tickContents(double time, double dt) override;
    void renderEntry() override;

    bool bBlurred = true; // the cross-fade's target: true shows the blurred picture
    Renderable* pSharp = nullptr;
    Renderable* pLights = nullptr;
    Renderable* pBlurred = nullptr;
    float blend = 1.0f; // 0 sharp only, 1 blurred only

private:
    // The view for the screen's size, and the pictures scaled together to cover it about their centre;
    // never smaller than their own size, so a screen the pictures already cover shows them as they are.
    void fitToScreen();

    int lightsFrame = -1;
    ScreenFit::FittedSize fittedSize;
};

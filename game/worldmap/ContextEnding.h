#pragma once
// The closing screen after the player has reached the last level: congratulation lines that fade in and
// out over the sharpening winter backdrop with falling snow, then the credits and a few last words. The
// continue input or the back key returns to the world map.
#include "engine/core/UString.h"
#include "engine/render/Context.h"

class TextSprite;

class ContextEnding : public Context {
public:
    // Seconds on the screen's clock at which the credits start.
    static constexpr double CREDITS_TIME = 84.0;

    ContextEnding();

    void onActivate(bool firstActivation) override;
    void onDeactivate(bool closing) override;
    void tickContents(double time, double dt) override;

    // A centred line that shows after `delay` for `duration` seconds, fading in and out.
    TextSprite* addTimedText(const UString& text, float y, double duration, double delay, bool large);

private:
    void runEvent(int index);
    void startCredits();

    bool bBackdropSharpening = false;
};

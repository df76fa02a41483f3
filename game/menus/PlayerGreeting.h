#pragma once
// The main menu's greeting of the current player ("Hello, %s!") with the hint that a click changes the
// player. A press on the greeting opens the players page; a current player without a name is asked for
// one at once.
#include "engine/render/Renderable.h"
#include "game/menus/Navigable.h"

class TextSprite;

class PlayerGreeting : public Renderable, public Navigable {
public:
    PlayerGreeting(float x, float y, float z);

    void tick(double time, double dt) override;
    void onInputModeChange() override;
    V3 getNavigationPoint(int index) override;
    // The hint for the current input mode.
    void updateCaption();
    bool isHovered() const { return bHovered; }

    TextSprite* greetingText = nullptr;
    TextSprite* hintText = nullptr;

private:
    bool bHovered = false;
};

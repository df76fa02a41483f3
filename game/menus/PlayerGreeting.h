#pragma once
// The main menu's greeting of the current player ("Hello, %s!") with the hint that a click changes the
// player. A press on the greeting opens the players page; a current player without a name is asked for
// one at once.
#include <memory>

#include "engine/render/Renderable.h"
#include "game/menus/Navigable.h"

class FontGDI;
class TextSprite;

class PlayerGreeting : public Renderable, public Navigable {
public:
    static constexpr int GREETING_HEIGHT = 24;

    PlayerGreeting(float x, float y, float z);
    ~PlayerGreeting() override;

    void tick(double time, double dt) override;
    void render() override;
    void onInputModeChange() override;
    V3 getNavigationPoint(int index) override;
    // The hint for the current input mode.
    void updateCaption();
    bool isHovered() const { return bHovered; }

    TextSprite* greetingText = nullptr;
    TextSprite* hintText = nullptr;

private:
    bool bHovered = false;
    // Names may hold any character, so the greeting goes through a system font, at a size that reads well
    // over the backdrop.
    std::unique_ptr<FontGDI> greetingFont;
};

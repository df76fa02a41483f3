#pragma once
// Overlays and effects on a level that runs in the shared level environment: opening overlays by their
// keys, reading back what they hold, and a few helpers to build overlays by hand.
#include <vector>

#include "LevelFixture.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/render/KivGraphics.h"
#include "game/level/ContextLevelManager.h"
#include "game/userdata/ProfileData.h"
#include "engine/text/TextSprite.h"
#include "game/level/LevelBuilder.h"
#include "game/overlays/Overlay.h"

class MenuPanel;

class OverlayTest : public LevelTest {
public:
    static constexpr int ESCAPE = 0x01;
    static constexpr int SPACE = 57;
    static constexpr int RETURN = 0x1C;
    static constexpr int KEY_M = 0x32;

protected:
    void SetUp() override;
    void TearDown() override;

    // Plays the builder's level up to the playing state.
    void startPlaying();
    // Opens the touch guide by its HUD button.
    void openGuide();
    // Makes the level's server the current role again (frames leave none), for overlays made by hand.
    void useLevelRole();
    // One press and release of a key, a frame each.
    void tap(int key);
    // The overlay the level's root object has open, or null.
    Overlay* overlay();
    // Runs frames until no overlay is open (at most `limit`); answers whether it closed.
    bool runUntilClosed(int limit = 20);

public:
    // The text sprites and panels among an object's children, in order.
    static std::vector<TextSprite*> texts(KivBase& parent);
    static MenuPanel* panel(KivBase& parent);
    // The first text sprite whose text is `text`, or null.
    static TextSprite* findText(KivBase& parent, const UString& text);

protected:
    LevelBuilder builder;
};

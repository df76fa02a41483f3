#pragma once
// The world map: the 32 levels as icons along a road over the valley picture. The player scrolls the map,
// picks an available level and starts it; when the level returns, its run is booked into the player's
// profile, the next level is unlocked with a pan of the camera and a growing road, hint and season
// dialogs appear and the user data are saved. A state machine of seven states drives it. On a screen
// larger than 800 x 600 the map is enlarged to cover it, while its icons and texts keep their size in
// pixels; it is laid out anew whenever the screen changes its size.
#include <vector>

#include "engine/core/InterpolatedValue.h"
#include "engine/render/Camera.h"
#include "game/level/ContextLevelManager.h"
#include "game/menus/ContextMenu.h"
#include "game/worldmap/BezierPathSimple.h"

class MenuBackButton;
class MenuButton;
class MenuSprite;
class ValleyDashedLine;
class ValleyIconLayer;
class ValleyInfoPanel;
class ValleyLevelIcon;
struct LevelStats;
struct ProfileData;

class ContextValley : public ContextMenu {
public:
    enum State {
        STATE_WELCOME = 1,
        STATE_CHOOSE = 2,
        STATE_FADE_OUT = 3,
        STATE_START_LEVEL = 4,
        STATE_LEVEL_RUNNING = 5,
        STATE_LEVEL_RETURNED = 6,
        STATE_NEXT_UNLOCKED = 7,
    };
    // The result codes the level hands back.
    using enum ContextLevelManager::Result;
    static constexpr float REVEAL_SPEED = 0.33f;  // a whole pan or reveal takes 1 / 0.33 s
    static constexpr float ARROW_SPEED = 200.0f;  // units per second while the pointer rests on an arrow
    static constexpr float PICK_MOUSE = 25.0f;
    static constexpr float PICK_TOUCH = 50.0f;

    ContextValley();
    ~ContextValley() override;

    void onActivate(bool firstActivation) override;
    void tickContents(double time, double dt) override;
    void renderContents() override;
    void onStateChange() override;

    // The icon of a level (0..31).
    ValleyLevelIcon* getIcon(int level) const;
    // How far the camera may move either way from the middle of the map: the picture's edges just reach
    // the screen's edges there.
    float scrollLimit() const;
    // The icon's x clamped to the camera's range.
    float scrollTargetOf(int level) const;
    // How much the map is enlarged to cover a screen of w x h pixels: 1 up to 800 x 600.
    static float mapScaleFor(int w, int h);
    // What the HUD shows over the map (buttons, arrows, the score strip), in map units at depth z.
    std::vector<Camera::Rect> hudOverMap(float z) const;
    // The scroll arrows on the screen, in map units at depth z, in place of what `rects` held (each frame,
    // into the same list).
    void arrowsOverMap(std::vector<Camera::Rect>& rects, float z) const;

    ContextLevelManager* levelManager = nullptr; // owned while a level runs
    Renderable* background = nullptr;
    ContextMenu* hudMenu = nullptr;
    ValleyIconLayer* iconLayer = nullptr;
    ValleyInfoPanel* infoPanel = nullptr;
    MenuSprite* arrowLeft = nullptr;
    MenuSprite* arrowRight = nullptr;
    MenuButton* buttonPlay = nullptr;
    MenuBackButton* buttonBack = nullptr;
    MenuButton* buttonRecipe = nullptr;
    Renderable* hudStrip = nullptr;
    BezierPathSimple path;
    ValleyDashedLine* dashedLine = nullptr;
    InterpolatedValue pathReveal{0.0f, REVEAL_SPEED, 6, true, false};
    InterpolatedValue scroll{0.0f, REVEAL_SPEED, 6, true, false};
    // The map's enlargement, and the screen size it was laid out for.
    float mapScale = 1.0f;
    int laidOutWidth = 0;
    int laidOutHeight = 0;

private:
    static ProfileData& player();
    void enterStateAfter(int32_t newState, double delay);
    void pickLevel();
    void bookReturnedLevel();
    void unlockNextLevel();
    void pushDialog(int title, int text);
    int levelResult() const;
    const LevelStats* runStats() const;
    void deleteLevelManager();
    // Lays the map and the HUD out for the present screen size: the cameras, the map's enlargement, the
    // road, the icons and their titles, and the HUD at the screen's edges.
    void layOut();
    // Lifts the level titles by `lift`, then moves them apart where neighbours would cover each other,
    // and inside x = +-halfWidth.
    void placeTitles(float halfWidth, float lift);
    // Adds where a shown HUD item, w x h pixels about its place, lies over the map at depth z.
    void addOverMap(std::vector<Camera::Rect>& rects, const Renderable* item, float w, float h, float z) const;
    // The same for a sprite, as large as its skin.
    void addSpriteOverMap(std::vector<Camera::Rect>& rects, const Renderable* sprite, float z) const;

    bool bUnlocking = false;
};

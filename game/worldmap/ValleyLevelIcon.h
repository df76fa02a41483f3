#pragma once
// One level on the world map: hidden while the level is locked, the plain icon once it is available, and
// a dial filled by the level's points once it has been finished; the selected level wears a ring and
// sparkles. Under the icon its percentage, above it the level's title.
#include <optional>
#include <vector>

#include "engine/render/Camera.h"
#include "engine/render/Renderable.h"
#include "game/menus/Navigable.h"

class FontQuad;
class Texture;
struct LevelStats;

class ValleyLevelIcon : public Renderable, public Navigable {
public:
    ValleyLevelIcon(int level, float L, const V3& P);

    // Puts the icon at arc length L of the road, at the point P there (on whole units).
    void placeOn(float L, const V3& P);

    void tick(double time, double dt) override;
    // Every layer of the icon in turn: sparkles, ring, icon, badge, percentage, title.
    void render() override;
    // One of those layers (0 to LAYERS - 1). A row of icons drawn layer by layer keeps each texture's
    // sprites together, so they reach the device in a few batches. The title keeps clear of
    // `titleKeepClear` (what is drawn over the map there, in map units).
    static constexpr int LAYERS = 6;
    void renderLayer(int layer, const std::vector<Camera::Rect>& titleKeepClear);
    // The keyboard navigation's hot spot: index 0 is the icon in screen pixels; any other ends the list.
    V3 getNavigationPoint(int index) override;

    // The font of the title and percentage (outlined, so they read on every season's grass); null before
    // the fonts are loaded.
    FontQuad* textFont() const;
    // Whether the title shows (the level is available), and the rectangle it covers in map units.
    bool showsTitle() const;
    Camera::Rect titleRect() const;

    // The "valleyDot" frame that shows these points (0 to 1000) out of `frames` frames.
    static int dotFrameFor(int totalPoints, int frames);

    int levelNumber = 0;
    float arcLength = 0.0f;
    // How far the map has moved the title from its place over the icon, to keep it clear of the road, of
    // its neighbours' titles and inside the map.
    V3 titleShift;
    double sparkleTimer = 0.0;
    double sparkleInterval = 0.25;
    Texture* dotTexture = nullptr; // not owned

private:
    const LevelStats& record() const;
    // How far the title at `rect` slides sideways when `visible` of the map is on the screen: the least it
    // takes to stand whole on the screen and clear of `keepClear`, as long as it still stands over some of
    // its icon. None when it cannot (its icon is off the screen, at its very edge or under an arrow): the
    // title is then not drawn, rather than cut.
    std::optional<float> titleSlide(const Camera::Rect& rect, const Camera::Rect& visible,
                                    const std::vector<Camera::Rect>& keepClear) const;
    bool isSelected() const;

    Renderable ring;  // drawn under the selected level's icon
    Renderable badge; // drawn over a level finished with all points
};

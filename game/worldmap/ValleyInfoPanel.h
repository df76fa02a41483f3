#pragma once
// The speech bubble beside a finished level's icon on the world map: the player's best results in that
// level, row by row, with a badge beside each category at full points and each new record of the last
// run. Its columns are as wide as the texts and badges they hold. It opens towards the middle of the
// screen, or moves where that keeps other levels' titles and the HUD in sight. Debug builds add the
// level's lifetime counters.
#include <vector>

#include "engine/render/Camera.h"
#include "engine/render/Renderable.h"

class SlicedSkin;
class ValleyLevelIcon;

class ValleyInfoPanel : public Renderable {
public:
    static constexpr int ROWS = 7;

    ValleyInfoPanel();

    // Rebuilds the rows for the icon's level and places the bubble beside it. The caller shows the panel.
    void setLevel(ValleyLevelIcon* newIcon);
    void render() override;
    // The rectangle that the bubble's body covers on the map, and that with the rows' badges, which may
    // reach past the body.
    Camera::Rect bubbleRect() const;
    Camera::Rect coveredRect() const;

    ValleyLevelIcon* icon = nullptr; // not owned
    // Parts of the screen drawn over the map (the HUD), in map units: the bubble keeps clear of them.
    std::vector<Camera::Rect> keepClear;

private:
    // Beside the icon, opening towards (sx, sy): `lift` units further from it than its usual place along
    // y, and `slide` units back over it along x.
    struct Placement {
        float sx, sy, lift, slide;
    };
    // A rectangle of the map the bubble should not cover; one that `must` stay in sight outweighs all others.
    struct Obstacle {
        Camera::Rect rect;
        bool must;
    };
    static V3 positionFor(const ValleyLevelIcon& beside, const Placement& where);
    void placeBeside(const ValleyLevelIcon& beside);
    // What the bubble covers of the obstacles, and how much of it is off the screen.
    static float coverCost(const Camera::Rect& box, const std::vector<Obstacle>& obstacles, const Camera::Rect& view);
    // For a bubble centred there (opening up for sy > 0): its body, its body with the rows' badges, and
    // where the rows built about the origin go to stand in the middle of it.
    Camera::Rect bodyAt(const V3& centre, float sy) const;
    Camera::Rect coveredAt(const V3& centre, float sy) const;
    V3 blockOffset(const V3& centre, float sy) const;

    SlicedSkin* bubble = nullptr; // the panel's own skin
    Camera::Rect block;           // the rows with their badges, about the origin
    float rowHeight = 0.0f;
};

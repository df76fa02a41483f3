#pragma once
// The season's hills behind the level: three horizontally repeated strips of the far and near hill sprites
// (not owned) that scroll slower than the level and follow the camera vertically almost fully.
#include <cstdint>

#include "engine/core/KivBase.h"

class Camera;
class Skin;

class ParallaxHills : public KivBase {
public:
    ParallaxHills(KivBase* farHills, KivBase* nearHills);
    void render() override;

    // Where a strip's tiles go in the plane z = 0: the left edge of the first tile, the height, the number
    // of tiles of `tileWidth` that cover the camera's view from left to right, and the offset's scale.
    struct Strip {
        float firstLeft = 0.0f;
        float y = 0.0f;
        int tiles = 0;
        float offsetScale = 1.0f;
    };
    // p the depth factor (the strip scrolls at 1/p of the camera's horizontal speed), q the follow factor
    // (it rises by 1/q of the camera's vertical movement on screen).
    static Strip layout(const Camera& camera, float tileWidth, float p, float q, float offsetY);
    // Draws one strip; answers the number of tiles drawn.
    static int drawStrip(const Camera& camera, Skin* skin, float p, float q, float offsetX, float offsetY,
                         float offsetZ, std::uint32_t colour);

    int tilesDrawn = 0; // in the last render

    Skin* farHills;
    Skin* nearHills;
};

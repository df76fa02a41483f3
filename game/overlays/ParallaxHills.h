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

    // Draws one strip: p the depth factor (1/p of the camera's horizontal speed), q the follow factor (the
    // strip rises by 1/q of the camera's vertical movement on screen). Answers the number of tiles drawn.
    static int drawStrip(const Camera& camera, Skin* skin, float p, float q, float offsetX, float offsetY,
                         float offsetZ, std::uint32_t colour);

    Skin* farHills;
    Skin* nearHills;
};

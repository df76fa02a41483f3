#pragma once
// A snowfall: flakes of the "snowFlake" sheet spread over a box of `spread` screens around a camera,
// drifting left and down with a sideways sway; flakes leaving the box come back on the other side. When
// the screen's size changes the box, and the flakes in it, stretch to the new size.
#include <memory>
#include <span>

#include "engine/core/KivBase.h"
#include "engine/core/V3.h"
#include "engine/render/Renderable.h"
#include "game/menus/ScreenFit.h"

class Camera;
class Texture;

class SnowFlake : public KivBase {
public:
    struct Flake {
        Renderable sprite;
        float phase = 0.0f; // radians in [0, 2 pi)
        V3 pos;             // the place before the sway
    };

    // count = whole part of 128 x density.
    SnowFlake(Camera* camera, float spread, float density);
    ~SnowFlake() override;

    void tick(double time, double dt) override;
    void render() override;

    Camera* pCamera = nullptr; // not owned
    std::unique_ptr<Flake[]> flakes;
    std::span<Flake> all() { return {flakes.get(), static_cast<std::size_t>(count)}; }
    int count = 0;
    float spread = 1.0f;
    Texture* pSkin = nullptr; // the "snowFlake" sheet

private:
    ScreenFit::FittedSize fittedSize;
};

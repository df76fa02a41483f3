#pragma once
// A modifier of the level camera that follows the pig with a dead zone of a tenth of the screen, kept
// inside the level's playing area.
#include "engine/render/Camera.h"

class CameraFollowHero : public Camera {
public:
    CameraFollowHero();
    // The transition step, then the follow rule.
    void tick(double time, double dt) override;
};

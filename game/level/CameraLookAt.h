#pragma once
// A modifier of the level camera that holds the view on a fixed point, placed so that the view stays
// inside the level's playing area. Appended to the game layer's BlenderCamera, which eases towards it.
#include "engine/render/Camera.h"

class CameraLookAt : public Camera {
public:
    CameraLookAt(float x, float y, float depth);
    // The transition step alone.
    void tick(double time, double dt) override;
};

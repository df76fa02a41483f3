#pragma once
// The falling leaves of autumn levels: leaves of the "autumnLeaf" sheet drifting down and to the left,
// swaying 16 units to each side and turning through the sheet's frames (all but the last).
#include "game/effects/WeatherEmitter.h"

class LeafEmitter : public WeatherEmitter {
public:
    LeafEmitter(Camera* camera, float spread, float intensity);
    void tick(double time, double dt) override;

    // The sheet frame shown at a phase, for a sheet of `frames` frames.
    static int frameAt(float phase, int frames);
};

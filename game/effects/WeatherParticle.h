#pragma once
// One drop or leaf of the weather: a sprite at half size, never culled, with its sway phase and the base
// position it drifts from.
#include "engine/core/V3.h"
#include "engine/render/Renderable.h"

class WeatherParticle : public Renderable {
public:
    WeatherParticle()
    {
        bSkipVisibility = true;
        scale = V3(0.5f, 0.5f, 1.0f);
        updateVisuals();
    }

    float phase = 0.0f; // radians in [0, 2 pi)
    V3 base;
};

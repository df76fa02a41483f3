#pragma once
// The rain of spring levels: drops of the "rainDrop" sheet falling steeply to the left.
#include "game/effects/WeatherEmitter.h"

class RainEmitter : public WeatherEmitter {
public:
    RainEmitter(Camera* camera, float spread, float intensity);
    void tick(double time, double dt) override;
};

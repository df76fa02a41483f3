#pragma once
// The weather of a level, made by the level start on the game layer's camera: rain in spring, falling
// leaves in autumn, snowfall in winter. The particles themselves come with the level's weather; for now
// each emitter keeps its settings and draws nothing.
#include "engine/core/KivBase.h"

class Camera;

class WeatherEmitter : public KivBase {
public:
    WeatherEmitter(Camera* camera, float spread, float intensity)
        : camera(camera), spread(spread), intensity(intensity) {}
    void render() override {}

    Camera* camera;
    float spread;
    float intensity;
};

class RainEmitter : public WeatherEmitter {
public:
    using WeatherEmitter::WeatherEmitter;
};

class LeafEmitter : public WeatherEmitter {
public:
    using WeatherEmitter::WeatherEmitter;
};

class SnowEmitter : public WeatherEmitter {
public:
    using WeatherEmitter::WeatherEmitter;
};

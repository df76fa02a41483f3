#include "game/effects/RainEmitter.h"

#include <cmath>

#include "engine/render/Quad.h"
#include "engine/render/Texture.h"

namespace {
constexpr float TWO_PI = 6.28318530717959f;
}

RainEmitter::RainEmitter(Camera* camera, float spread, float intensity)
    : WeatherEmitter(camera, spread, intensity, u"rainDrop")
{
    Quad* drop = sheet != nullptr && !sheet->skins.empty() ? sheet->skins[0] : nullptr;
    for (WeatherParticle& p : all()) {
        p.pSkin = drop;
        p.position = p.base;
        p.updateVisuals();
    }
}

void RainEmitter::tick(double time, double dt)
{
    KivBase::tick(time, dt);
    wrap();
    const float step = static_cast<float>(dt);
    for (WeatherParticle& p : all()) {
        p.phase = std::fmod(p.phase + 2.0f * step, TWO_PI);
        if (p.phase < 0.0f) {
            p.phase += TWO_PI;
        }
        p.base += V3(-64.0f, -256.0f, 0.0f) * step;
        p.position = p.base;
        p.updateVisuals();
    }
}

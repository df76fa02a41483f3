#include "game/effects/LeafEmitter.h"

#include <cmath>

#include "engine/core/KivRandom.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"

namespace {
constexpr float PI = 3.14159265358979f;
constexpr float TWO_PI = 2.0f * PI;

// A leaf's roll about the view axis, drawn right after its place.
void drawRoll(WeatherParticle& p) { p.rotation.z = KivRandom::nextFloat() * PI / 2.0f - PI / 4.0f; }
} // namespace

LeafEmitter::LeafEmitter(Camera* camera, float spread, float intensity)
    : WeatherEmitter(camera, spread, intensity, u"autumnLeaf", &drawRoll)
{
    for (WeatherParticle& p : all()) {
        p.position = p.base;
        p.updateVisuals();
    }
}

int LeafEmitter::frameAt(float phase, int frames)
{
    return static_cast<int>(phase / TWO_PI * static_cast<float>(frames - 1));
}

void LeafEmitter::tick(double time, double dt)
{
    KivBase::tick(time, dt);
    wrap();
    const float step = static_cast<float>(dt);
    const int frames = sheet != nullptr ? static_cast<int>(sheet->skins.size()) : 0;
    for (WeatherParticle& p : all()) {
        p.phase = std::fmod(p.phase + 2.0f * step, TWO_PI);
        if (p.phase < 0.0f) {
            p.phase += TWO_PI;
        }
        p.base += V3(-32.0f, -64.0f, 0.0f) * step;
        const int frame = frameAt(p.phase, frames);
        if (frame >= 0 && frame < frames) {
            p.pSkin = sheet->skins[static_cast<std::size_t>(frame)];
        }
        p.position = V3(p.base.x + std::cos(p.phase) * 16.0f, p.base.y, p.base.z);
        p.updateVisuals();
    }
}

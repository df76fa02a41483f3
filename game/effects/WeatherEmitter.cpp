#include "game/effects/WeatherEmitter.h"

#include <cmath>

#include "engine/core/KivRandom.h"
#include "engine/render/Camera.h"
#include "engine/render/Texture.h"
#include "game/level/LevelServices.h"
#include "game/overlays/OverlayKit.h"

namespace {
constexpr float TWO_PI = 6.28318530717959f;
}

int WeatherEmitter::countFor(float intensity)
{
    const float wanted = 128.0f * intensity;
    return wanted > 0.0f && std::isfinite(wanted) ? static_cast<int>(std::min(wanted, 128.0f)) : 0;
}

WeatherEmitter::WeatherEmitter(Camera* camera_, float spread_, float intensity, UStringView sheetName,
                               ExtraDraws extraDraws)
    : camera(camera_), count(countFor(intensity)), spread(spread_)
{
    sheet = dynamic_cast<Texture*>(LevelServices::resource(sheetName));
    particles = std::make_unique<WeatherParticle[]>(static_cast<std::size_t>(count));
    const int w = OverlayKit::screenWidth();
    const float fw = static_cast<float>(w);
    const float fh = static_cast<float>(OverlayKit::screenHeight());
    for (WeatherParticle& p : all()) {
        p.phase = KivRandom::nextFloat() * TWO_PI;
        p.base.z = KivRandom::nextFloat() * static_cast<float>(-(w / 3));
        p.base.y = -spread * fh / 2.0f + KivRandom::nextFloat() * (spread * fh);
        p.base.x = -spread * fw / 2.0f + KivRandom::nextFloat() * (spread * fw);
        if (extraDraws != nullptr) {
            extraDraws(p);
        }
    }
}

void WeatherEmitter::wrap()
{
    const float cx = camera != nullptr ? camera->eye.x : 0.0f;
    const float cy = camera != nullptr ? camera->eye.y : 0.0f;
    const float hw = static_cast<float>(OverlayKit::screenWidth()) * spread * 0.5f;
    const float hh = spread * static_cast<float>(OverlayKit::screenHeight()) * 0.5f;
    for (WeatherParticle& p : all()) {
        if (p.base.x < cx - hw) {
            p.base.x += 2.0f * hw;
        }
        if (p.base.x > cx + hw) {
            p.base.x -= 2.0f * hw;
        }
        if (p.base.y < cy - hh) {
            p.base.y += 2.0f * hh;
        }
        if (p.base.y > cy + hh) {
            p.base.y -= 2.0f * hh;
        }
    }
}

void WeatherEmitter::render()
{
    for (WeatherParticle& p : all()) {
        p.render();
    }
    KivBase::render();
}

#include "game/front/SnowFlake.h"

#include <cmath>

#include "engine/core/KivRandom.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Camera.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"

namespace {
constexpr float PI = 3.14159265358979f;
constexpr float TWO_PI = 2.0f * PI;
} // namespace

SnowFlake::SnowFlake(Camera* camera, float spread_, float density) : pCamera(camera), spread(spread_)
{
    const float wanted = 128.0f * density;
    count = wanted > 0.0f ? static_cast<int>(wanted) : 0;
    if (ResourceManager* resources = ResourceManager::instance()) {
        pSkin = dynamic_cast<Texture*>(resources->find(u"snowFlake", true));
    }
    flakes = std::make_unique<Flake[]>(static_cast<std::size_t>(count));
    fittedSize.update();
    const int w = fittedSize.width;
    const float fw = static_cast<float>(w), fh = static_cast<float>(fittedSize.height);
    for (Flake& flake : all()) {
        flake.phase = KivRandom::nextFloat() * TWO_PI;
        const float z = KivRandom::nextFloat() * static_cast<float>(-w / 3);
        const float y = -fh * spread / 2.0f + KivRandom::nextFloat() * fh * spread;
        const float x = -fw * spread / 2.0f + KivRandom::nextFloat() * fw * spread;
        flake.pos = V3(x, y, z);
        flake.sprite.scale = V3(0.5f, 0.5f, 1.0f);
        flake.sprite.rotation.z = KivRandom::nextFloat() * PI / 2.0f - PI / 4.0f;
        if (pSkin != nullptr && !pSkin->skins.empty()) {
            flake.sprite.pSkin = pSkin->skins[0];
        }
        flake.sprite.position = flake.pos;
        flake.sprite.updateVisuals();
        flake.sprite.bSkipVisibility = true;
    }
}

SnowFlake::~SnowFlake() = default;

void SnowFlake::tick(double time, double dt)
{
    KivBase::tick(time, dt);
    const float cx = pCamera != nullptr ? pCamera->eye.x : 0.0f;
    const float cy = pCamera != nullptr ? pCamera->eye.y : 0.0f;
    const int oldWidth = fittedSize.width, oldHeight = fittedSize.height;
    if (fittedSize.update()) {
        const float sx = static_cast<float>(fittedSize.width) / static_cast<float>(oldWidth);
        const float sy = static_cast<float>(fittedSize.height) / static_cast<float>(oldHeight);
        for (Flake& flake : all()) {
            flake.pos = V3(cx + (flake.pos.x - cx) * sx, cy + (flake.pos.y - cy) * sy, flake.pos.z * sx);
        }
    }
    const float hw = spread * static_cast<float>(fittedSize.width) / 2.0f;
    const float hh = spread * static_cast<float>(fittedSize.height) / 2.0f;
    const float left = cx - hw, right = cx + hw, bottom = cy - hh, top = cy + hh;
    const float step = static_cast<float>(dt);
    const int frames = pSkin != nullptr ? static_cast<int>(pSkin->skins.size()) : 0;
    for (Flake& flake : all()) {
        V3& p = flake.pos;
        if (p.x < left) {
            p.x += right - left;
        }
        if (p.x > right) {
            p.x -= right - left;
        }
        if (p.y < bottom) {
            p.y += top - bottom;
        }
        if (p.y > top) {
            p.y -= top - bottom;
        }
        flake.phase = std::fmod(flake.phase + 2.0f * step, TWO_PI);
        if (flake.phase < 0.0f) {
            flake.phase += TWO_PI;
        }
        p.x += -32.0f * step;
        p.y += -64.0f * step;
        if (frames > 0) {
            float t = std::fmod(flake.phase, PI / 2.0f) / (PI / 2.0f);
            t = t < 0.0f ? 0.0f : t > 1.0f ? 1.0f : t;
            const int frame = static_cast<int>(static_cast<float>(frames - 1) * t);
            if (frame < frames) {
                flake.sprite.pSkin = pSkin->skins[static_cast<std::size_t>(frame)];
            }
        }
        flake.sprite.position = V3(p.x + 16.0f * std::cos(flake.phase), p.y, p.z);
        flake.sprite.updateVisuals();
    }
}

void SnowFlake::render()
{
    for (Flake& flake : all()) {
        flake.sprite.render();
    }
    KivBase::render();
}

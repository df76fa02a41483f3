#include "game/menus/GameLogo.h"

#include <algorithm>

#include "engine/files/ResourceManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Quad.h"

GameLogo::GameLogo() : FadingSprite(nullptr, V3(), 0.0, 0.0, 999999.0, 0.0)
{
    bAutoDelete = false;
    ResourceManager* resources = ResourceManager::instance();
    logoSprite.setSkin(resources->find<Quad>(u"logo:0"));
    const Kiv* engine = Kiv::instance();
    const bool holiday = engine != nullptr && engine->bHoliday;
    subtitleSprite.setSkin(resources->find<Quad>(holiday ? u"logoSubtitle:1" : u"logoSubtitle:0"));
    subtitleSprite.position = V3(0.0f, -180.0f, 0.0f);
    subtitleSprite.scale = V3(1.0f, 0.0f, 1.0f);
    updateVisuals();
}

void GameLogo::tick(double time, double dt)
{
    FadingSprite::tick(time, dt);
    const auto alpha = static_cast<std::uint32_t>(static_cast<float>(color.a()) * getFade());
    const UColor shown((color.argb & 0x00FFFFFFu) | (alpha << 24));
    logoSprite.color = shown;
    subtitleSprite.color = shown;
    const float t = std::clamp(static_cast<float>(age) - 2.0f, 0.0f, 1.0f);
    const float height = 1.0f - (1.0f - t) * (1.0f - t);
    if (subtitleSprite.scale.y != height) {
        subtitleSprite.scale = V3(1.0f, height, 1.0f);
    }
    updateVisuals();
}

void GameLogo::updateVisuals()
{
    FadingSprite::updateVisuals();
    logoSprite.setParentMatrix(world);
    subtitleSprite.setParentMatrix(world);
}

void GameLogo::render()
{
    if (bHidden) {
        return;
    }
    logoSprite.render();
    if (bShowSubtitle) {
        subtitleSprite.render();
    }
    KivBase::render();
}

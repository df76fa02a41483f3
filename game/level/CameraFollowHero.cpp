#include "game/level/CameraFollowHero.h"

#include "engine/render/Renderable.h"
#include "game/level/GameController.h"
#include "game/level/TouchButton.h"

namespace {
V3 heroPosition(const GameController* gc)
{
    KivBase* hero = gc != nullptr ? gc->findHeroOrNull() : nullptr;
    const auto* r = dynamic_cast<const Renderable*>(hero);
    return r != nullptr ? r->position : V3();
}

float followDepth() { return static_cast<float>(-(HudTouch::screenWidth() / 2)); }
} // namespace

CameraFollowHero::CameraFollowHero()
{
    eye = heroPosition(GameController::getCurrent());
    eye.z = followDepth();
}

void CameraFollowHero::tick(double /*time*/, double dt)
{
    stepTransition(dt);
    const GameController* gc = GameController::getCurrent();
    if (gc == nullptr) {
        return;
    }
    const V3 hero = heroPosition(gc);
    const float w = static_cast<float>(HudTouch::screenWidth());
    const float h = static_cast<float>(HudTouch::screenHeight());
    float cx = eye.x;
    float cy = eye.y;
    const float dx = w * 0.1f;
    if (cx > hero.x + dx) {
        cx = hero.x + dx;
    }
    if (cx < hero.x - dx) {
        cx = hero.x - dx;
    }
    const float dy = 0.1f * h;
    if (cy > hero.y + dy) {
        cy = hero.y + dy;
    }
    if (cy < hero.y - dy) {
        cy = hero.y - dy;
    }
    const PlayingArea& area = gc->playingArea;
    const float hw = w * 0.5f;
    const float hh = 0.5f * h;
    if (cx < area.left + hw) {
        cx = area.left + hw;
    }
    if (cx > area.right - hw) {
        cx = area.right - hw;
    }
    if (cy < area.bottom + hh) {
        cy = area.bottom + hh;
    }
    if (cy > area.top - hh) {
        cy = area.top - hh;
    }
    eye = V3(cx, cy, followDepth());
    lookAt.x = cx;
    lookAt.y = cy;
}

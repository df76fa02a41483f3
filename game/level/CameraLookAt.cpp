#include "game/level/CameraLookAt.h"

#include "game/level/GameController.h"
#include "game/level/TouchButton.h"

CameraLookAt::CameraLookAt(float x, float y, float depth)
{
    const float w = static_cast<float>(HudTouch::screenWidth());
    const float h = static_cast<float>(HudTouch::screenHeight());
    const float k = -depth / (w * 0.5f);
    const float hw = (w * 0.5f) * k;
    const float hh = k * (0.5f * h);
    if (const GameController* gc = GameController::getCurrent()) {
        const PlayingArea& area = gc->playingArea;
        if (x < area.left + hw) {
            x = area.left + hw;
        }
        if (x > area.right - hw) {
            x = area.right - hw;
        }
        if (y < area.bottom + hh) {
            y = area.bottom + hh;
        }
        if (y > area.top - hh) {
            y = area.top - hh;
        }
    }
    eye = V3(x, y, depth);
    lookAt = V3(x, y, 0.0f);
}

void CameraLookAt::tick(double /*time*/, double dt) { stepTransition(dt); }

#include "game/world/AppleGhost.h"

#include <algorithm>

const RuntimeClass AppleGhost::classRecord(RuntimeClass::hashName(u"AppleGhost"), &Renderable::classRecord,
                                           &RuntimeClass::factoryOf<AppleGhost>);

AppleGhost::AppleGhost(const V3& at, Skin* skin)
{
    setSkin(skin, false);
    color = UColor(0x80ffffffu);
    setPosition(at);
}

void AppleGhost::tick(double time, double dt)
{
    Renderable::tick(time, dt);
    age += dt;
    if (age >= LIFETIME) {
        bDeleted = true;
        return;
    }
    const float alpha = static_cast<float>(std::clamp(1.0 - age / LIFETIME, 0.0, 1.0)) * 128.0f;
    color = UColor((static_cast<uint32_t>(alpha) << 24) | 0x00ffffffu);
    position.y += RISE_SPEED * static_cast<float>(dt);
    updateVisuals();
}

#include "game/level/TouchButton.h"

#include <cmath>

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Camera.h"
#include "engine/render/Context.h"
#include "engine/render/KivGraphics.h"

int HudTouch::screenWidth()
{
    const KivGraphics* graphics = KivGraphics::instance();
    return graphics != nullptr && graphics->width > 0 ? graphics->width : 800;
}

int HudTouch::screenHeight()
{
    const KivGraphics* graphics = KivGraphics::instance();
    return graphics != nullptr && graphics->height > 0 ? graphics->height : 600;
}

V3 HudTouch::toLayer(const Context& layer, const V3& touch)
{
    const Camera& cam = *layer.camera;
    const float d = cam.lookAt.z - cam.eye.z;
    const float k = (touch.z - cam.eye.z) / (static_cast<float>(screenWidth()) * 0.5f);
    return V3(cam.eye.x - d + touch.x * k, cam.eye.y - d * cam.aspectFactor + touch.y * k, touch.z);
}

TouchButton::TouchButton(Skin* skin, bool newTouchesOnly) : bNewTouchesOnly(newTouchesOnly)
{
    bHasInvXform = true;
    scaleMode = SCALE_ASPECT;
    const Kiv* kiv = Kiv::instance();
    if (kiv != nullptr && kiv->deviceClass == 0) {
        setScale(V3(1.5f, 1.5f, scale.z));
    }
    radius = 45.0f * scale.x;
    setSkin(skin);
    color = UColor(0x80FFFFFFu);
}

void TouchButton::tick(double time, double dt)
{
    Renderable::tick(time, dt);
    brightness.tick(time, dt);
    pressed = false;
    Kiv* kiv = Kiv::instance();
    KivInput* input = kiv != nullptr ? kiv->input : nullptr;
    const Context* layer = getParent() != nullptr ? dynamic_cast<const Context*>(getParent()) : nullptr;
    if (input != nullptr && layer != nullptr && layer->camera != nullptr) {
        for (int i = 0; i < input->getTouchCount(); ++i) {
            const KivTouchPoint* touch = input->getTouchPoint(i);
            if (touch == nullptr || (bNewTouchesOnly && !touch->hasFlag(KivTouchPoint::FLAG_BEGAN))) {
                continue;
            }
            // A finger lifted in this frame stays in the list for that frame but no longer holds the button.
            if (!touch->hasFlag(KivTouchPoint::FLAG_DOWN)) {
                continue;
            }
            const V3 p = HudTouch::toLayer(*layer, touch->position);
            if (std::fabs(p.x - position.x) < radius && std::fabs(p.y - position.y) < radius) {
                pressed = true;
                brightness.setValue(255.0f);
                brightness.setTarget(128.0f, 0.0f);
                break;
            }
        }
    }
    const auto alpha = static_cast<uint32_t>(brightness.value);
    color = UColor((alpha << 24) | (color.argb & 0x00FFFFFFu));
}

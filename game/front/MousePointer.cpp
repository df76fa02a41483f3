#include "game/front/MousePointer.h"

#include "engine/files/ResourceManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Context.h"
#include "engine/render/Skin.h"

MousePointer::MousePointer()
{
    const Kiv* engine = Kiv::instance();
    const bool release = engine != nullptr && engine->bRelease;
    if (ResourceManager* resources = ResourceManager::instance()) {
        setSkin(dynamic_cast<Skin*>(resources->find(release ? u"mousePointer:1" : u"mousePointer:0", false)));
    }
    bSkipVisibility = true;
}

void MousePointer::tick(double time, double dt)
{
    if (const Context* current = Context::getCurrent()) {
        position = V3(current->pointer.x, current->pointer.y, 0.0f);
    }
    updateVisuals();
    const Kiv* engine = Kiv::instance();
    const bool touch = engine != nullptr && engine->input != nullptr && engine->input->getInputMode() == KivInput::INPUT_TOUCH;
    if (engine != nullptr && engine->bRelease) {
        color.argb = (color.argb & 0x00FFFFFFu) | 0xFF000000u;
        bHidden = touch;
    } else {
        bHidden = false;
        color.argb = (color.argb & 0x00FFFFFFu) | (touch ? 0x40000000u : 0xFF000000u);
    }
    Renderable::tick(time, dt);
}

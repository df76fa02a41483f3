#include "game/front/ContextSplash.h"

#include "engine/files/ResourceManager.h"
#include "engine/render/FadingSprite.h"
#include "engine/render/Skin.h"

ContextSplash::ContextSplash()
{
    endTime = DURATION;
    bDeleteWhenClosed = true;
    bWaitForContinue = true;
    bShowPointer = false;
    clearColor = UColor(0xFF000000u);
    Skin* logo = nullptr;
    if (ResourceManager* resources = ResourceManager::instance()) {
        logo = dynamic_cast<Skin*>(resources->find(u"kmstudios:0", true));
    }
    auto* sprite = new FadingSprite(logo, V3(), 0.0, 0.25, 2.5, 0.5);
    sprite->scaleMode = Renderable::SCALE_ASPECT;
    sprite->updateVisuals();
    addChild(sprite);
}

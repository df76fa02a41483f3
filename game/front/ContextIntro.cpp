#include "game/front/ContextIntro.h"

#include <algorithm>
#include <cmath>

#include "engine/files/ResourceManager.h"
#include "engine/render/Renderable.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"

namespace {
Skin* findSkin(const char16_t* name)
{
    ResourceManager* resources = ResourceManager::instance();
    return resources != nullptr ? dynamic_cast<Skin*>(resources->find(name, true)) : nullptr;
}
} // namespace

ContextIntro::ContextIntro()
{
    pSharp = new Renderable();
    pSharp->setSkin(findSkin(u"intro:0"));
    addChild(pSharp);
    pLights = new Renderable();
    addChild(pLights);
    pBlurred = new Renderable();
    pBlurred->setSkin(findSkin(u"intro-blurred:0"));
    addChild(pBlurred);
    fitToScreen();
}

void ContextIntro::fitToScreen()
{
    if (!fittedSize.update()) {
        return;
    }
    ScreenFit::fitCamera(*camera);
    const Skin* picture = pSharp->pSkin;
    const float cover = picture != nullptr ? ScreenFit::coverScale(picture->width, picture->height) : 1.0f;
    const float scale = std::max(1.0f, cover);
    for (Renderable* layer : {pSharp, pLights, pBlurred}) {
        layer->setScale(V3(scale, scale, 1.0f));
    }
}

void ContextIntro::renderEntry()
{
    fitToScreen();
    Context::renderEntry();
}

void ContextIntro::tickContents(double tickTime, double dt)
{
    Context::tickContents(tickTime, dt);
    blend += static_cast<float>((bBlurred ? 0.5 : -0.5) * dt);
    blend = blend < 0.0f ? 0.0f : blend > 1.0f ? 1.0f : blend;
    const auto alpha = static_cast<std::uint32_t>(blend * 255.0f);
    pBlurred->color.argb = (pBlurred->color.argb & 0x00FFFFFFu) | (alpha << 24);
    pBlurred->bHidden = blend == 0.0f;
    pSharp->bHidden = blend == 1.0f;

    const int frame = static_cast<int>(std::floor(time)) % 2;
    if (frame != lightsFrame) {
        lightsFrame = frame;
        ResourceManager* resources = ResourceManager::instance();
        auto* sheet = resources != nullptr ? dynamic_cast<Texture*>(resources->find(u"intro-xmaslights", false)) : nullptr;
        if (sheet != nullptr && frame < static_cast<int>(sheet->skins.size())) {
            pLights->setSkin(sheet->skins[static_cast<std::size_t>(frame)]);
        }
    }
}

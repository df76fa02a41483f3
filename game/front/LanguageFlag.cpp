#include "game/front/LanguageFlag.h"

#include "engine/core/ErrorManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Context.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/menus/ContextMenu.h"

LanguageFlag::LanguageFlag(int language_, int skinIndex) : language(language_)
{
    bHasInvXform = true;
    auto* texture = ResourceManager::instance()->find<Texture>(u"languageFlags");
    if (!(skinIndex >= 0 && skinIndex < static_cast<int>(texture->skins.size()))) {
        ErrorManager::assertionFailed("skinIndex >= 0 && skinIndex < tex->skins.size()", "LanguageFlag::LanguageFlag",
                                      "LanguageFlag", __LINE__);
    }
    Quad* skin = texture->skins[static_cast<std::size_t>(skinIndex)];
    if (pSkin != skin) {
        setSkin(skin);
    }
    const float factor = static_cast<float>(Kiv::instance()->hq2x);
    scale.x = factor;
    scale.y = factor;
    updateVisuals();
}

void LanguageFlag::tick(double /*time*/, double /*dt*/)
{
    const Context* screen = Context::getCurrent();
    const Kiv* engine = Kiv::instance();
    if (screen == nullptr || engine == nullptr || engine->input == nullptr) {
        return;
    }
    if (isPointInside(screen->pointer) && engine->input->isAnyTouchDown()) {
        Kiv::instance()->defaultLanguage = language;
        if (Global* global = Global::instance(); global != nullptr && global->contextManager != nullptr) {
            if (Context* top = global->contextManager->getTop()) {
                top->bClosed = true;
            }
        }
    }
}

V3 LanguageFlag::getNavigationPoint(int index)
{
    if (index != 0 || !bNavigable) {
        return Navigable::NONE;
    }
    return ContextMenu::planeToPointer(ContextMenu::contextOf(this), position);
}

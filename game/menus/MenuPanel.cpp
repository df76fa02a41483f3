#include "game/menus/MenuPanel.h"

#include "engine/files/ResourceManager.h"
#include "engine/render/Quad.h"
#include "engine/render/SlicedSkin.h"
#include "engine/text/FontQuad.h"
#include "game/menus/MenuSupport.h"

MenuPanel::MenuPanel(float x, float y, float z, float width, float height, bool opaque, const UString& panelCaption)
    : caption(panelCaption)
{
    Quad* source =
        ResourceManager::instance()->find<Quad>(opaque ? u"gui-game-square-opaque:0" : u"gui-game-square:0");
    auto* frame = new SlicedSkin(source);
    frame->setBorders(36, 36, 36, 36);
    frame->setSize(width, height);
    position = V3(x, y, z);
    setSkin(frame, true);
}

void MenuPanel::render()
{
    Renderable::render();
    if (bHidden || caption.empty() || pSkin == nullptr) {
        return;
    }
    MenuSupport::printFitted(MenuSupport::font(MenuSupport::FONT_MEDIUM),
                             V3(position.x, position.y + pSkin->height / 2.0f - 30.0f, position.z),
                             UColor(0x80000000u), 0x14, caption, pSkin->width - 72.0f);
}

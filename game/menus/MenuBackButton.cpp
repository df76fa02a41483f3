#include "game/menus/MenuBackButton.h"

#include "game/front/ContextManager.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/MenuSupport.h"

MenuBackButton::MenuBackButton(float x, float y, float z, const UString& itemCaption, const UString& itemHint)
    : MenuButton(x, y, z, itemCaption, itemHint)
{
}

ContextMenu* MenuBackButton::getOwningMenu() const
{
    ContextMenu* menu = nullptr;
    for (KivBase* node = getParent(); node != nullptr; node = node->getParent()) {
        if (auto* found = dynamic_cast<ContextMenu*>(node)) {
            menu = found;
            break;
        }
    }
    while (menu != nullptr && menu->navigationOwner != nullptr && menu->navigationOwner != menu) {
        menu = menu->navigationOwner;
    }
    return menu;
}

void MenuBackButton::onClick()
{
    MenuItem::onClick();
    if (ContextMenu* menu = getOwningMenu()) {
        menu->bClosed = true;
    } else if (ContextManager* manager = MenuSupport::screens()) {
        if (Context* top = manager->getTop()) {
            top->bClosed = true;
        }
    }
}

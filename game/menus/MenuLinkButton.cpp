#include "game/menus/MenuLinkButton.h"

#include "game/front/ContextManager.h"
#include "game/front/Global.h"

MenuLinkButton::MenuLinkButton(float x, float y, float z, const UString& itemCaption, const UString& itemHint)
    : MenuButton(x, y, z, itemCaption, itemHint)
{
}

void MenuLinkButton::onClick()
{
    MenuItem::onClick();
    if (Global* global = Global::instance()) {
        global->exitUrl = url;
        if (global->contextManager != nullptr) {
            global->contextManager->bQuit = true;
        }
    }
}

#include "game/options/ContextControlsOptions.h"

#include "game/language/Language.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuSupport.h"
#include "game/options/ContextAlternativeControls.h"
#include "game/options/ContextKeyboardControls.h"
#include "game/options/ContextPlayerControls.h"
#include "game/options/ContextTouchControls.h"

ContextControlsOptions::ContextControlsOptions() : ContextOptionPage(STR_CONTROLS)
{
    auto button = [&](float y, int textId) {
        auto* item = new MenuButton(0.0f, y, 0.0f, MenuSupport::text(textId), UString());
        // Wider than the default, so that "Alternative Steuerung" stands at full height.
        item->setWidth(300);
        addItem(item);
        return item;
    };
    pTouchButton = button(row(2), STR_DEVICE_TOUCHSCREEN);
    pKeyboardButton = button(row(1), STR_DEVICE_KEYBOARD);
    pPlayerButton = button(row(0), STR_CONTROLS0);
    pAlternativeButton = button(row(-1), STR_CONTROLS2);
    addBackButton();
}

void ContextControlsOptions::tickContents(double tickTime, double dt)
{
    ContextOptionPage::tickContents(tickTime, dt);
    if (pTouchButton->takeClick()) {
        MenuSupport::pushScreen(new ContextTouchControls());
    }
    if (pPlayerButton->takeClick()) {
        MenuSupport::pushScreen(new ContextPlayerControls());
    }
    if (pAlternativeButton->takeClick()) {
        MenuSupport::pushScreen(new ContextAlternativeControls());
    }
    if (pKeyboardButton->takeClick()) {
        MenuSupport::pushScreen(new ContextKeyboardControls());
    }
}

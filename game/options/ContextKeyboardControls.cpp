#include "game/options/ContextKeyboardControls.h"

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/TextSprite.h"
#include "game/language/Language.h"
#include "game/menus/MenuItem.h"
#include "game/menus/MenuSupport.h"

ContextKeyboardControls::ContextKeyboardControls() : ContextOptionPage(STR_DEVICE_KEYBOARD)
{
    pMenuKeyItem = new MenuItem(0.0f, 0.0f, 0.0f, MenuSupport::text(STR_CONTROLSINGAMEMENU), UString());
    pMenuKeyItem->setWidth(192);
    pMenuKeyItem->captionLocation = ALIGN_READING_START;
    pMenuKeyItem->bDisabled = true;
    pMenuKeyItem->disabledHint = MenuSupport::text(STR_CONTROLSINGAMEMENUHINT);
    appendChild(pMenuKeyItem);

    const Kiv* engine = Kiv::instance();
    const UString name = engine != nullptr && engine->input != nullptr ? engine->input->keyNames[1] : UString();
    pKeyName = new TextSprite(0.0f, 0.0f, 0.0f, name, MenuSupport::font(MenuSupport::FONT_MEDIUM),
                              UColor(0x80000000u));
    pKeyName->flags = 20;
    pKeyName->bShadow = false;
    appendChild(pKeyName);
    addBackButton();
}

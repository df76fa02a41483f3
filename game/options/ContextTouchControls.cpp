#include "game/options/ContextTouchControls.h"

#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuChoiceItem.h"
#include "game/menus/MenuSupport.h"

ContextTouchControls::ContextTouchControls() : ContextOptionPage(STR_DEVICE_TOUCHSCREEN)
{
    auto* placement = new MenuChoiceItem(0.0f, 0.0f, 0.0f, &Global::instance()->config.touchArrowPlacement, 0, 1,
                                         STR_IOS_ENUMARROWPLACEMENT0, MenuSupport::text(STR_IOS_ARROWPLACEMENT),
                                         UString());
    placement->captionLocation = MenuItem::CAPTION_ABOVE;
    addItem(placement);
    addBackButton();
}

#include "game/options/ContextGraphicsOptions.h"

#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuChoiceItem.h"
#include "game/menus/MenuSupport.h"
#include "game/options/ContextAdvancedGraphics.h"

ContextGraphicsOptions::ContextGraphicsOptions() : ContextOptionPage(STR_GRAPHICS)
{
    GameConfiguration& config = Global::instance()->config;
    addItem(new MenuChoiceItem(0.0f, 0.0f, 0.0f, &config.detail, 0, 1, STR_ENUMDETAIL0, MenuSupport::text(STR_DETAIL),
                               MenuSupport::text(STR_DETAILHINT)));
    pAdvancedButton = new MenuButton(static_cast<float>(cornerX - 128), static_cast<float>(-cornerY), 0.0f,
                                     MenuSupport::text(STR_ADVANCEDOPTIONS), UString());
    addItem(pAdvancedButton);
    keepToEdges(pAdvancedButton, true, true);
    addBackButton();
}

void ContextGraphicsOptions::tickContents(double tickTime, double dt)
{
    ContextOptionPage::tickContents(tickTime, dt);
    if (pAdvancedButton->takeClick()) {
        MenuSupport::pushScreen(new ContextAdvancedGraphics());
    }
}

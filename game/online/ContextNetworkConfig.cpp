#include "game/online/ContextNetworkConfig.h"

#include "engine/text/TextSprite.h"
#include "game/front/ContextIntro.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuSupport.h"
#include "game/online/CountryListItem.h"

namespace {
int32_t gNoConfiguration = 0; // bound when there is no Global (tools, tests of the item alone)
}

ContextNetworkConfig::ContextNetworkConfig()
{
    bDeleteWhenClosed = true;
    Global* global = Global::instance();
    if (global != nullptr) {
        pPreObject = global->contextIntro;
    }
    addTitle(STR_NETCONFIGTITLE);

    pCountryItem = new CountryListItem(128.0f, static_cast<float>(-rowHeight), 0.0f,
                                       global != nullptr ? &global->config.countryIndex : &gNoConfiguration,
                                       MenuSupport::text(STR_SELECTYOURCOUNTRY),
                                       MenuSupport::text(STR_SELECTYOURCOUNTRYHINT));
    addItem(pCountryItem);
    addBackButton(STR_CANCEL);
    pNextButton = new MenuButton(static_cast<float>(cornerX - 80), static_cast<float>(-cornerY), 0.0f,
                                 MenuSupport::text(STR_NEXT), UString());
    pNextButton->setWidth(160);
    addItem(pNextButton);
    keepToEdges(pNextButton, true, true);
}

void ContextNetworkConfig::tickContents(double time, double dt)
{
    ContextMenu::tickContents(time, dt);
    if (pNextButton->takeClick()) {
        if (Global* global = Global::instance()) {
            global->config.bNetworkConfigured = 1;
        }
        bClosed = true;
    }
}

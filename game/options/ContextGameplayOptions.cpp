#include "game/options/ContextGameplayOptions.h"

#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuSupport.h"
#include "game/menus/MenuToggleItem.h"

ContextGameplayOptions::ContextGameplayOptions() : ContextOptionPage(STR_GAMEPLAY)
{
    GameConfiguration& config = Global::instance()->config;
    struct Row {
        int caption;
        int hint;
        float y;
        uint8_t* flag;
    };
    const Row rows[] = {{STR_TUTORIAL, STR_TUTORIALHINT, row(1), &config.bTutorial},
                        {STR_COLORBLIND, STR_COLORBLINDHINT, row(0), &config.bColorBlind},
                        {STR_SHOWCLOCK, STR_SHOWCLOCKHINT, row(-1), &config.bShowClock},
                        {STR_ALLOWCHEATS, STR_ALLOWCHEATSHINT, row(-2), &config.bAllowCheats}};
    for (const Row& r : rows) {
        addItem(new MenuToggleItem(0.0f, r.y, 0.0f, asFlag(*r.flag), MenuSupport::text(r.caption),
                                   MenuSupport::text(r.hint)));
    }
    addBackButton();
}

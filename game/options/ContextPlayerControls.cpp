#include "game/options/ContextPlayerControls.h"

#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuSupport.h"
#include "game/options/KeyBindingItem.h"

ContextPlayerControls::ContextPlayerControls() : ContextPlayerControls(STR_CONTROLS0, 0) {}

ContextPlayerControls::ContextPlayerControls(int titleId, int column) : ContextOptionPage(titleId)
{
    GameConfiguration& config = Global::instance()->config;
    struct Row {
        int caption;
        int action;
    };
    // The crouch action (down) has no row: it is not offered for binding.
    const Row rows[ITEMS] = {{STR_CONTROLSUP, GameConfiguration::BIND_USE},
                             {STR_CONTROLSLEFT, GameConfiguration::BIND_LEFT},
                             {STR_CONTROLSRIGHT, GameConfiguration::BIND_RIGHT},
                             {STR_CONTROLSFIRE, GameConfiguration::BIND_JUMP},
                             {STR_CONTROLSALTFIRE, GameConfiguration::BIND_STATISTICS},
                             {STR_CONTROLSMAP, GameConfiguration::BIND_MAP}};
    for (int i = 0; i < ITEMS; ++i) {
        GameConfiguration::KeyBinding& binding = config.keyBindings[rows[i].action];
        uint32_t* slot = column == 0 ? &binding.keyboard : &binding.joystick;
        pItems[i] = new KeyBindingItem(V3(0.0f, row(static_cast<float>(2 - i)), 0.0f), slot,
                                       MenuSupport::text(rows[i].caption), UString());
        pItems[i]->setWidth(192);
        addItem(pItems[i]);
    }
    addBackButton();
}

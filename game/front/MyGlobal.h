#pragma once
// The game's Global: it decides which screen the front end starts with.
#include "game/front/Global.h"

class MyGlobal : public Global {
public:
    // The one MyGlobal of the process (null while there is none).
    static MyGlobal* instance();

    // Pushes the game's main menu, which becomes the bottom screen of the stack.
    void createContexts() override;
};

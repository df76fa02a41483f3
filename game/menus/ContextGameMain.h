#pragma once
// The game's main menu: Start Game opens the world map.
#include "game/menus/ContextMain.h"

class ContextGameMain : public ContextMain {
public:
    void startGame() override { openValley(); }
    // Opens the world map above the main menu.
    void openValley();
};

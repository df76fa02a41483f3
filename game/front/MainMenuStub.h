#pragma once
// Stand-in for the game's main menu until the menu screens exist: a screen that shows the intro backdrop
// and the snowfall and closes on Escape, which ends the game.
#include "engine/render/Context.h"

class MainMenuStub : public Context {
public:
    MainMenuStub();
    void onActivate(bool firstActivation) override;
};

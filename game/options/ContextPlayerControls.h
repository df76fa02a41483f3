#pragma once
// A key-binding page: one binding item per action over one column of the bindings (the Player Controls
// page shows the keyboard column; the Alternative Controls page derives from it for the joystick column).
#include "game/options/ContextOptionPage.h"

class KeyBindingItem;

class ContextPlayerControls : public ContextOptionPage {
public:
    ContextPlayerControls();

    static constexpr int ITEMS = 6;
    KeyBindingItem* pItems[ITEMS] = {};

protected:
    ContextPlayerControls(int titleId, int column);
};

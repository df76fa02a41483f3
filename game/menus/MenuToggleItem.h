#pragma once
// A narrow menu item bound to a bool: shows a check mark while it is true; each press flips it once.
#include "game/menus/MenuItem.h"

class MenuToggleItem : public MenuItem {
public:
    MenuToggleItem(float x, float y, float z, bool* value, const UString& caption, const UString& hint);

    void tick(double time, double dt) override;
    void render() override;

    bool* pValue;
};

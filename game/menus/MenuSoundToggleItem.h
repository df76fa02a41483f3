#pragma once
// A toggle that applies the settings after each flip, without a click sound and without reporting a click.
#include "game/menus/MenuToggleItem.h"

class MenuSoundToggleItem : public MenuToggleItem {
public:
    MenuSoundToggleItem(float x, float y, float z, bool* value, const UString& caption, const UString& hint);

    void onClick() override;
};

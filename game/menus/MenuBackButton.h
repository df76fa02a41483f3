#pragma once
// The button that closes the menu it belongs to: the top-level menu above it (for an item of a sub-menu,
// the menu that owns the sub-menu's navigation), never a screen below that.
#include "game/menus/MenuButton.h"

class ContextMenu;

class MenuBackButton : public MenuButton {
public:
    MenuBackButton(float x, float y, float z, const UString& caption, const UString& hint);

    void onClick() override;
    // The menu a click closes; null when the button stands in no menu.
    ContextMenu* getOwningMenu() const;
};

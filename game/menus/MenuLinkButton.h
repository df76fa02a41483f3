#pragma once
// A button that leaves the game for a web page: its click stores the URL as the exit URL and ends the
// game; the page is opened after the game has closed.
#include "game/menus/MenuButton.h"

class MenuLinkButton : public MenuButton {
public:
    MenuLinkButton(float x, float y, float z, const UString& caption, const UString& hint);

    void onClick() override;

    UString url;
};

#pragma once
// What can be done with the high-score table besides looking at it: the world-wide tables on the maker's
// web site, the upload of the table, and its reset (after "Are you sure?").
#include "game/menus/ContextMenu.h"

class MenuBackButton;
class MenuButton;
class MenuLinkButton;

class ContextHighScoreOptions : public ContextMenu {
public:
    ContextHighScoreOptions();

    void tickContents(double time, double dt) override;

    MenuBackButton* pOkButton = nullptr;
    MenuLinkButton* pWorldWideButton = nullptr;
    MenuButton* uploadButton = nullptr;
    MenuButton* resetButton = nullptr;
};

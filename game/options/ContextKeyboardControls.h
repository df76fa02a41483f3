#pragma once
// The keyboard page: shows the fixed key of the in-game menu, which cannot be changed.
#include "game/options/ContextOptionPage.h"

class MenuItem;
class TextSprite;

class ContextKeyboardControls : public ContextOptionPage {
public:
    ContextKeyboardControls();

    MenuItem* pMenuKeyItem = nullptr;
    TextSprite* pKeyName = nullptr;
};

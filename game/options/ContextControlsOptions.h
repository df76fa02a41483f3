#pragma once
// The Controls menu: the touch-screen page, the fixed keyboard key, and the two binding pages (keyboard
// column and joystick column).
#include "game/options/ContextOptionPage.h"

class MenuButton;

class ContextControlsOptions : public ContextOptionPage {
public:
    ContextControlsOptions();

    void tickContents(double time, double dt) override;

    MenuButton* pTouchButton = nullptr;
    MenuButton* pKeyboardButton = nullptr;
    MenuButton* pPlayerButton = nullptr;
    MenuButton* pAlternativeButton = nullptr;
};

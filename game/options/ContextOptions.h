#pragma once
// The Options menu: one button per option page, the network wizard, the language change (only when the
// edition does not fix the language) and the help page.
#include "game/options/ContextOptionPage.h"

class MenuButton;

class ContextOptions : public ContextOptionPage {
public:
    ContextOptions();

    void tickContents(double time, double dt) override;

    // Forgets the chosen language and restarts the game, which then asks for the language again.
    static void changeLanguage();

    MenuButton* pGameplayButton = nullptr;
    MenuButton* pControlsButton = nullptr;
    MenuButton* pGraphicsButton = nullptr;
    MenuButton* pSoundButton = nullptr;
    MenuButton* pNetworkWizardButton = nullptr;
    MenuButton* pChangeLanguageButton = nullptr; // null when the language is fixed
    MenuButton* pHelpButton = nullptr;
};

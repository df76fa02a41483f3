#pragma once
// The Graphics page: the detail level, and the way to the advanced page with the display settings. The
// detail reaches the engine with the next application of the settings.
#include "game/options/ContextOptionPage.h"

class MenuButton;

class ContextGraphicsOptions : public ContextOptionPage {
public:
    ContextGraphicsOptions();

    void tickContents(double time, double dt) override;

    MenuButton* pAdvancedButton = nullptr;
};

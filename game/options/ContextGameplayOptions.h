#pragma once
// The Gameplay page: in-game help, colour-blind apples, the level clock and the cheat keys. The level reads
// the flags where it uses them, so a change made from the pause menu shows on the next frame.
#include "game/options/ContextOptionPage.h"

class ContextGameplayOptions : public ContextOptionPage {
public:
    ContextGameplayOptions();
};

#pragma once
// The credits page: the credits rising over the intro backdrop with the version in the bottom-right
// corner. It closes by itself after 124 seconds, or on the Jump input, a click, a touch or the back key.
#include "game/menus/ContextMenu.h"

class CreditsScroller;
class TextSprite;

class ContextCredits : public ContextMenu {
public:
    static constexpr double DURATION = 124.0;

    ContextCredits();

    // The rising lines with a dark rim under each, so that they read over the roof, the snow and the sky.
    void renderContents() override;

    CreditsScroller* pScroller = nullptr;
    TextSprite* pVersion = nullptr;
};

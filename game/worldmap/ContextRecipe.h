#pragma once
// The secret recipe: one page per level, unlocked by finishing that level with all its points. A selector
// turns the pages; a locked page says how to unlock it. A link button opens the whole recipe on the
// maker's web site (the game closes first) and OK returns to the world map.
#include <cstdint>

#include "engine/core/UString.h"
#include "game/menus/ContextMenu.h"

class MenuChoiceItem;
class MenuLinkButton;

class ContextRecipe : public ContextMenu {
public:
    static constexpr int PAGES = 32;
    static constexpr std::uint32_t PARCHMENT_TINT = 0xFF8A8A9Au;

    ContextRecipe();

    void tickContents(double time, double dt) override;

    // Builds the current page anew.
    void showPage();
    // The link to the recipe page for the current player's unlocked parts, on the configured web host.
    static UString buildRecipeUrl();

    int32_t page = 0;
    MenuChoiceItem* pageSelector = nullptr;
    KivBase* pageContainer = nullptr;
    MenuLinkButton* linkButton = nullptr;

private:
    int32_t shownPage = -1;
};

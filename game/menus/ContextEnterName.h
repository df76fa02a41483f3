#pragma once
// The name entry of a new player: typed on the physical keyboard, or on touch input on an on-screen
// keyboard. OK (or Enter) adds the player with the name trimmed of blanks, makes it current and turns the
// in-game help on. The layout follows the input mode; the typed name survives every rebuild.
#include <memory>

#include "engine/core/UString.h"
#include "game/menus/ContextMenu.h"

class FontGDI;
class MenuButton;
class TextSprite;

class ContextEnterName : public ContextMenu {
public:
    static constexpr std::size_t MAXNAMELENGTH = 16;

    // mayCancel: Escape and the back key close the page without adding a player.
    explicit ContextEnterName(bool mayCancel);
    ~ContextEnterName() override;

    // Replaces every child with the layout of the current input mode.
    void buildKeyboard();
    void onInputModeChange() override;
    void tickContents(double time, double dt) override;
    void renderContents() override;
    // The on-screen keys of the current layout (0 on the physical keyboard's layout).
    int countKeys() const;

    MenuButton* pOkButton = nullptr;
    TextSprite* pNameSprite = nullptr;
    UString name;
    char16_t pendingCharacter = 0;

private:
    bool bRebuildPending = false;
    // The name may hold any character: it is drawn through a system font, large and outlined so that it
    // reads on the panel.
    std::unique_ptr<FontGDI> nameFont;
};

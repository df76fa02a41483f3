#pragma once
// The frame shared by the option pages: deleted when closed, the intro backdrop behind, the title in the
// large font at the top and a Back button at the bottom left (bottom right when reading right to left).
// Pages build their items between the constructor and addBackButton, in navigation order.
#include <cstdint>

#include "game/menus/ContextMenu.h"

class TextSprite;

class ContextOptionPage : public ContextMenu {
public:
    explicit ContextOptionPage(int titleId);

    // Rows of the page grid: n rows above the centre (negative: below).
    float row(float n) const { return n * static_cast<float>(rowHeight); }

    // A stored one-byte flag (0 or 1) as the bool a toggle item edits.
    static bool* asFlag(uint8_t& flag)
    {
        static_assert(sizeof(bool) == sizeof(uint8_t));
        return reinterpret_cast<bool*>(&flag);
    }

    TextSprite* pTitle = nullptr;
};

#pragma once
// The players page: the profiles listed by name, the current one in red with a pointer glyph. A press on
// a row makes that player current; Add opens the name entry, Delete removes the current player after
// "Are you sure?", Done closes the page. At most eight players can be added here; the last one stays.
#include "game/menus/ContextMenu.h"

class MenuButton;
class ProfileListItem;

class ContextPlayers : public ContextMenu {
public:
    static constexpr int MAXADDABLE = 8;
    static constexpr float ROW_HEIGHT = 30.0f;
    static constexpr float FIRST_ROW_BOTTOM = 120.0f;
    // The rows stand between the list's top and the buttons' top edge.
    static constexpr float LIST_TOP = FIRST_ROW_BOTTOM + ROW_HEIGHT;
    static constexpr float LIST_BOTTOM = -104.0f;
    static constexpr float PANEL_WIDTH = 760.0f;
    // The three buttons under the list: as wide as each, a little apart.
    static constexpr int BUTTON_WIDTH = 230;
    static constexpr float BUTTON_SPACING = 240.0f;

    ContextPlayers();

    void tickContents(double time, double dt) override;
    void renderContents() override;
    // The height of each row for that many players: 30, or less when more than eight (a player file may
    // hold ten) would reach under the buttons.
    static float rowHeight(int rows);
    // The middle of row i of that many rows, in page units.
    static float rowMiddle(int i, int rows);
    // The row whose area holds the page point, or -1.
    static int rowAt(const V3& point, int rows);

    MenuButton* pAddButton = nullptr;
    MenuButton* pDeleteButton = nullptr;
    MenuButton* pDoneButton = nullptr;
    ProfileListItem* pList = nullptr;
};

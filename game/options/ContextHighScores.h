#pragma once
// The local high-score table, one season (eight levels) per page: level, player, score, time and
// percentage of each level's best run. "More options..." leads to the world-wide tables, the upload and
// the reset of the table.
#include "engine/core/UColor.h"
#include "game/menus/ContextMenu.h"

class MenuBackButton;
class MenuButton;
class MenuChoiceItem;

class ContextHighScores : public ContextMenu {
public:
    static constexpr int ROWS = 8;
    static constexpr int SEASONS = 4;

    ContextHighScores();

    void tickContents(double time, double dt) override;
    void renderContents() override;

    // The colour of a row of a season's page (before the highlight of a marked row).
    static UColor rowColor(int season, int row);

    UColor highlightColour{0xFFFFFFFFu};
    int32_t season = 0;
    MenuChoiceItem* pSeasonItem = nullptr;
    MenuButton* optionsButton = nullptr;
    MenuBackButton* pOkButton = nullptr;
};

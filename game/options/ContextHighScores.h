#pragma once
// The local high-score table, one season (eight levels) per page: level, player, score, time and
// percentage of each level's best run. "More options..." leads to the world-wide tables, the upload and
// the reset of the table.
#include <memory>

#include "engine/core/UColor.h"
#include "engine/core/UString.h"
#include "game/menus/ContextMenu.h"

class FontGDI;
class MenuBackButton;
class MenuButton;
class MenuChoiceItem;

class ContextHighScores : public ContextMenu {
public:
    static constexpr int ROWS = 8;
    static constexpr int SEASONS = 4;

    // The system face draws the names at this size: the size the medium font, in which the other columns
    // are drawn, was made from the same face at, so a name stands as large as the numbers beside it.
    static constexpr int NAME_PIXEL_SIZE = 22;

    ContextHighScores();
    ~ContextHighScores() override;

    void tickContents(double time, double dt) override;
    void renderContents() override;

    // The colour of a row of a season's page (before the highlight of a marked row).
    static UColor rowColor(int season, int row);

    // What a row prints, left to right.
    struct RowTexts {
        UString number; // the level's, from 1
        UString name;   // "..." for a level nobody has finished
        UString score;
        UString time;
        UString percent;
    };
    // The texts of a row of the page's season (0 to ROWS - 1).
    RowTexts rowTexts(int row) const;

    UColor highlightColour{0xFFFFFFFFu};
    int32_t season = 0;
    MenuChoiceItem* pSeasonItem = nullptr;
    MenuButton* optionsButton = nullptr;
    MenuBackButton* pOkButton = nullptr;

private:
    // The season held to the pages there are.
    int seasonShown() const;
    // Names may hold any letter, which only the system face has.
    std::unique_ptr<FontGDI> nameFont;
};

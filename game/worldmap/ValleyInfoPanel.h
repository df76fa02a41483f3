#pragma once
// The speech bubble beside a finished level's icon on the world map: the player's best results in that
// level, row by row, with a badge beside each category at full points and each new record of the last
// run. It opens towards the middle of the screen. Debug builds add the level's lifetime counters.
#include "engine/render/Renderable.h"

class SlicedSkin;
class ValleyLevelIcon;

class ValleyInfoPanel : public Renderable {
public:
    static constexpr int ROWS = 7;

    ValleyInfoPanel();

    // Rebuilds the rows for the icon's level and places the bubble beside it. The caller shows the panel.
    void setLevel(ValleyLevelIcon* newIcon);
    void render() override;

    ValleyLevelIcon* icon = nullptr; // not owned

private:
    SlicedSkin* bubble = nullptr; // the panel's own skin
};

#pragma once
// A plain sprite that menu navigation can reach (the world map's level icons, the language flags): its one
// hot spot is its own position, while bNavigable is set.
#include "engine/render/Renderable.h"
#include "game/menus/Navigable.h"

class NavigableSprite : public Renderable, public Navigable {
public:
    V3 getNavigationPoint(int index) override;

    bool bNavigable = true;
};

#pragma once
// A sprite that can join a menu's keyboard navigation: while its navigation flag is set its one hot spot
// is its place on the screen.
#include "engine/render/Renderable.h"
#include "game/menus/Navigable.h"

class MenuSprite : public Renderable, public Navigable {
public:
    MenuSprite() = default;

    V3 getNavigationPoint(int index) override;

    bool bNavigable = false;
};

#pragma once
// The players page's list as a navigation target: one hot spot per profile row, at the left end of the
// row's middle. It draws nothing; the page draws the rows.
#include "engine/render/Renderable.h"
#include "game/menus/Navigable.h"

class ProfileListItem : public Renderable, public Navigable {
public:
    V3 getNavigationPoint(int index) override;
};

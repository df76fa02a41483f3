#pragma once
// One flag of the language screen: a press on it stores its language as the engine's choice and closes
// the screen.
#include "engine/render/Renderable.h"
#include "game/menus/Navigable.h"

class LanguageFlag : public Renderable, public Navigable {
public:
    LanguageFlag(int language, int skinIndex);

    // The click test; the flag's children and state are not ticked.
    void tick(double time, double dt) override;
    // The navigation hot spot: index 0 is the flag's place in pointer coordinates; any other ends the list.
    V3 getNavigationPoint(int index) override;

    int language = 0;
    bool bNavigable = true;
};

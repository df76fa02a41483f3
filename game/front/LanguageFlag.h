#pragma once
// One flag of the language screen: a press on it stores its language as the engine's choice and closes
// the screen.
#include "engine/render/Renderable.h"

class LanguageFlag : public Renderable {
public:
    LanguageFlag(int language, int skinIndex);

    // The click test; the flag's children and state are not ticked.
    void tick(double time, double dt) override;
    // The navigation hot spot (index 0: the flag's place in pointer coordinates); (-1, -1, -1) ends.
    V3 getNavigationPoint(int index) const;

    int language = 0;
    bool bNavigable = true;
};

#pragma once
// The game logo with its subtitle, which unfolds vertically between two and three seconds after the logo
// was made. The logo stays: no delay, no fades, shown practically for ever.
#include "engine/render/FadingSprite.h"

class GameLogo : public FadingSprite {
public:
    GameLogo();

    void tick(double time, double dt) override;
    void render() override;
    void updateVisuals() override;

    bool bShowSubtitle = true;
    Renderable logoSprite;
    Renderable subtitleSprite;
};

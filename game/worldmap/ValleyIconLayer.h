#pragma once
// The world map's layer of level icons: it draws them layer by layer (all sparkles, all rings, all icons,
// all badges, then the texts), so that sprites of one texture follow each other.
#include <vector>

#include "engine/core/KivBase.h"
#include "engine/render/Camera.h"

class ValleyIconLayer : public KivBase {
public:
    void render() override;

    // What the map's HUD draws over the icons (the scroll arrows), in map units: the titles keep clear of
    // it. The map sets it every frame.
    std::vector<Camera::Rect> titleKeepClear;
};

#pragma once
// The world map's layer of level icons: it draws them layer by layer (all sparkles, all rings, all icons,
// all badges, then the texts), so that sprites of one texture follow each other.
#include "engine/core/KivBase.h"

class ValleyIconLayer : public KivBase {
public:
    void render() override;
};

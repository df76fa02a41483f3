#pragma once
// How the level editor's tool elements look: default element height, caption gap, frame margin, the
// nine-slice borders and the caption font, and the skin sheet each style number stands for.
#include <cstdint>

#include "engine/core/UString.h"

class FontQuad;
class GUIitem;

class GUItheme {
public:
    virtual ~GUItheme() = default;
    // Looks up the style's sheet and gives it to the item; an unknown style is fatal.
    virtual void setStyle(GUIitem& item, int style) = 0;

    int32_t rowHeight = 0;
    int32_t captionGap = 0;
    int32_t frameBorder = 0;
    int32_t sliceBorders[4] = {0, 0, 0, 0};
    FontQuad* pFont = nullptr;
};

#pragma once
// A texture image with its frames, and the skin sheet that describes them.
#include <string>
#include <vector>

#include "tools/databuilder/Picture.h"

struct SheetFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int originAdjustX = 0;
    int originAdjustY = 0;
};

struct SpriteSheet {
    Picture image;
    std::vector<SheetFrame> frames;
};

// Packs the frames left to right in rows, in order, with a clear gap around each so that filtering does
// not bleed between neighbours; the sheet comes out roughly square, at most `maxWidth` wide unless a frame
// is wider.
SpriteSheet packFrames(const std::vector<Picture>& frames, int maxWidth = 2048, int gap = 2);
// The skin sheet's file beside an image file, named as the engine's textures look for it.
std::string sheetFile(const std::string& imageFile);
// The skin sheet: one "Skin %d" section per frame with left, top, width, height, origin_adjust_x and
// origin_adjust_y.
std::string skinSheetText(const std::vector<SheetFrame>& frames);

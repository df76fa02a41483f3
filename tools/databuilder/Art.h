#pragma once
// The game's pictures, drawn by code: one drawing function per kind of picture, reused with parameters,
// and a table that gives every texture and image of the catalogue its drawing, frame size and frame count.
#include <string>
#include <vector>

#include "tools/databuilder/Canvas.h"
#include "tools/databuilder/SpriteSheet.h"

// The sheet of a texture or image resource, by its resource name. Throws when the name has no drawing.
SpriteSheet drawArt(const std::string& resourceName, const Typefaces& faces);
// True when the name has a drawing.
bool hasArt(const std::string& resourceName);
// The glyphs of the fonts' symbol pages, white, each `height` pixels tall. The interface page holds
// codes 0 to 14: 1 check mark, 2 pointer, 3 to 6 the arrow keys left, right, up and down, 7 and 8 the left
// and right arrows, 9 back, 10 next, 13 and 14 an empty and a ticked box; 0, 11 and 12 are blank. The
// editor page holds codes 128 to 130: group, sub-object and call markers.
std::vector<Picture> drawSymbolGlyphs(bool editor, int height, const Typefaces& faces);

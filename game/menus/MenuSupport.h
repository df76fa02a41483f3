#pragma once
// What the menu screens and items take from the rest of the game: the fonts held by Global, sounds and
// texts by name or id, the reading direction, and the screen stack.
#include <cstdint>

#include "engine/core/UColor.h"
#include "engine/core/UString.h"
#include "engine/core/V3.h"

class Context;
class ContextManager;
class FontQuad;
class TextSprite;

namespace MenuSupport {

enum FontKind { FONT_TINY, FONT_SMALL, FONT_SMALL_OUTLINE, FONT_MEDIUM, FONT_MEDIUM_OUTLINE, FONT_LARGE };

// Global's font of that kind, or the font registered under its name; null when neither exists.
FontQuad* font(FontKind kind);
bool isRightToLeft();
// The current language's text of an id.
UString text(int id);
// The sound of that name played once (random pitch), or at a frequency ratio. A missing sound is fatal.
void playSound(const char16_t* name);
void playSoundPitched(const char16_t* name, float ratio);
// The root screen stack (null without Global).
ContextManager* screens();
// Pushes a screen on the root stack; a screen that nobody can take is deleted.
void pushScreen(Context* screen);
// The scale at which a text anchored at world x with the alignment flags stays on the screen (1.0 when
// it fits); `scaleX` is the scale it is drawn with otherwise.
float fitToScreen(const FontQuad* font, const UString& text, float anchorX, std::uint32_t flags, float scaleX);
// The eight directions, one unit out, in which a line is drawn again in a rim colour to outline it.
inline constexpr float RIM[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
// The dark rim that keeps light text readable over the pictures behind the menus (roof, snow, sky), and
// how far out it is drawn, in pixels.
inline constexpr std::uint32_t DARK_RIM = 0xD0100008u;
inline constexpr float RIM_WIDTH = 1.5f;
// The dark rim for a text of that colour: its alpha is the rim's times the text's, so it fades with it.
UColor darkRimFor(UColor text);
// Prints a line in the current context's view in the dark rim, drawn RIM_WIDTH out in the eight rim
// directions before the line itself.
void printRimmed(FontQuad* font, const V3& at, UColor color, std::uint32_t flags, const UString& text);
// Draws a text sprite's line `width` pixels out in the eight rim directions in the rim colour (its alpha
// times the sprite's current alpha and fade), so that the sprite drawn afterwards stands in a rim. Nothing
// while the sprite is hidden or not showing.
void drawRim(const TextSprite& sprite, UColor rim, float width = RIM_WIDTH);
// Prints a line in the current context's view, narrowed to maxWidth when it is wider, with a shadow
// displaced by `offset` first while the graphics detail is on (shadow colour 0: none).
void printFitted(FontQuad* font, const V3& at, UColor color, std::uint32_t flags, const UString& text, float maxWidth,
                 const V3& offset = V3(), UColor shadow = UColor(0u));

} // namespace MenuSupport

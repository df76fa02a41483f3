#pragma once
// Small pieces shared by the in-level overlays and the speech bubble: the game's three fonts, the screen
// size, plain text sprites, the "continue" footer and the colour of a markup run.
#include <cstdint>

#include "engine/core/UColor.h"
#include "engine/core/UString.h"

class FontQuad;
class Skin;
class TextSprite;

namespace OverlayKit {

// Half-transparent black: the colour of unmarked text on the light panels.
constexpr std::uint32_t TEXT_DARK = 0x80000000u;
// Opaque dark brown for wrapped text blocks on the light panels: a block's marked runs take the block's
// alpha, so a half-transparent block colour would fade them too.
constexpr std::uint32_t TEXT_DARK_SOLID = 0xFF3C3428u;
constexpr std::uint32_t WHITE = 0xFFFFFFFFu;
constexpr std::uint32_t GREEN = 0xFF00FF00u;

FontQuad* fontLarge();
FontQuad* fontMedium();
FontQuad* fontSmall();
int screenWidth();
int screenHeight();
// The engine's device class: 1 large screen, 0 phone.
int deviceClass();
// True while the player plays by touch.
bool touchMode();

// A text sprite without shadow that stays until its parent goes.
TextSprite* text(float x, float y, const UString& text, FontQuad* font, std::uint32_t colour, std::uint32_t flags);
// "Press <key> to continue" with the key's display name, or "Tap to continue" in touch mode.
UString continuePrompt(int keyCode);
// A run's colour: the markup's default (1) draws as half-transparent black.
std::uint32_t runColour(std::uint32_t markupColour);
// A frame of a sprite sheet by name ("sheet:n"); fatal when missing.
Skin* sprite(UStringView name);

} // namespace OverlayKit

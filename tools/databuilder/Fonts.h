#pragma once
// The bitmap fonts: glyph pages rendered with FreeType in code-page order, their skin sheets, the
// code-point tables and the symbol pages.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "game/resources/ResourceCatalogue.h"
#include "tools/databuilder/Canvas.h"
#include "tools/databuilder/SpriteSheet.h"

// The 256 code points of a code page (Windows-1252 only: the code page every language names). Bytes that
// the code page leaves undefined map to the same code point. Throws for an unknown code page.
std::array<std::uint16_t, 256> codePageTable(std::string_view codePage);
// The table as the game reads it: 256 little-endian 16-bit code points.
std::vector<std::uint8_t> codePointTableBytes(std::string_view codePage);

// The glyph pages of a font for a code page, from index 33 on, one skin per glyph, every glyph as tall as
// the font. Throws when the font has no rendering style.
std::vector<SpriteSheet> makeGlyphPages(const ResourceCatalogue::FontEntry& font, std::string_view codePage,
                                        const Typefaces& faces);
// A symbol page, its glyphs as tall as the letters of the page's font and outlined as they are. Throws when
// the page names no font of the catalogue.
SpriteSheet makeSymbolPage(const ResourceCatalogue::SymbolPageEntry& page, const Typefaces& faces);

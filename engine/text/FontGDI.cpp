#include "engine/text/FontGDI.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/text/TextAlign.h"

struct FontGDI::Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Face()
    {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
    }
};

std::string FontGDI::fontFileFor(const UString& name)
{
    // Every face the game asks for is drawn with DejaVu Sans; it has the metrics of a plain sans face.
    (void)name;
    return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

FontGDI::FontGDI(const UString& name, int height) : face(std::make_unique<Face>()), faceName(name), pixelHeight(height)
{
    const std::string file = fontFileFor(name);
    if (height <= 0 || FT_Init_FreeType(&face->library) != 0 ||
        FT_New_Face(face->library, file.c_str(), 0, &face->face) != 0 ||
        FT_Set_Pixel_Sizes(face->face, 0, static_cast<FT_UInt>(height)) != 0) {
        KIV_FATAL(formatString(u"Could not load the system font '%s' at %d pixels from '%s'.", name, height, file));
    }
    ascent = static_cast<int>((face->face->size->metrics.ascender + 63) >> 6);
    const int descent = static_cast<int>((-face->face->size->metrics.descender + 63) >> 6);
    lineHeight = std::max(1, ascent + descent);
    cache = std::make_unique<FontCache>(formatString(u"%s%dpx", name, height), lineHeight, false,
                                        [this](const UString& text, int& w, int& h, std::vector<std::uint32_t>& px) {
                                            return rasterize(text, w, h, px);
                                        });
}

FontGDI::~FontGDI() = default;

int FontGDI::measureLine(const UString& text) const
{
    int width = 0;
    for (char16_t c : text) {
        if (FT_Load_Char(face->face, c, FT_LOAD_DEFAULT) == 0) {
            width += static_cast<int>((face->face->glyph->advance.x + 32) >> 6);
        }
    }
    return width;
}

bool FontGDI::rasterize(const UString& text, int& width, int& height, std::vector<std::uint32_t>& pixels) const
{
    width = measureLine(text);
    height = lineHeight;
    if (width <= 0) {
        return false;
    }
    pixels.assign(static_cast<std::size_t>(width) * height, 0x00FFFFFFu);
    int penX = 0;
    for (char16_t c : text) {
        if (FT_Load_Char(face->face, c, FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot g = face->face->glyph;
        const FT_Bitmap& bitmap = g->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const int y = ascent - g->bitmap_top + static_cast<int>(row);
            if (y < 0 || y >= height) {
                continue;
            }
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const int x = penX + g->bitmap_left + static_cast<int>(col);
                if (x < 0 || x >= width) {
                    continue;
                }
                const unsigned coverage = bitmap.buffer[row * static_cast<unsigned>(bitmap.pitch) + col];
                std::uint32_t& p = pixels[static_cast<std::size_t>(y) * width + x];
                const unsigned old = p >> 24;
                p = (std::max(old, coverage) << 24) | 0x00FFFFFFu;
            }
        }
        penX += static_cast<int>((g->advance.x + 32) >> 6);
    }
    return true;
}

void FontGDI::drawText(const float* world16, std::uint32_t color, std::uint32_t flags, const UString& text, float x,
                       float y, float z, float scaleX, float scaleY)
{
    const FontCacheEntry* entry = cache->get(text);
    if (entry == nullptr) {
        return;
    }
    const TextAlign::Offset offset = TextAlign::compute(flags, entry->width, lineHeight, 0, 0, scaleX, scaleY);
    cache->draw(*entry, world16, color, x + offset.x, y + offset.y, z, scaleX, scaleY);
}

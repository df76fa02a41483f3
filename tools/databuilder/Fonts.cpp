#include "tools/databuilder/Fonts.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "tools/databuilder/Art.h"
#include "tools/databuilder/SpriteSheet.h"

using namespace ResourceCatalogue;

namespace {

// How each font is rendered: pixel size of the face, bold, and the width of its dark outline.
struct FontStyle {
    const char* fileName;
    int pixelSize;
    bool bold;
    int outline;
    int pageSize; // largest side of a glyph page
};

const FontStyle STYLES[] = {
    {"font-tiny", 9, false, 0, 256},
    {"font-small", 14, false, 0, 256},
    {"font-small-outline", 14, true, 1, 256},
    {"font-medium", 22, false, 0, 512},
    {"font-medium-outline", 22, true, 2, 512},
    {"font-large", 40, true, 3, 512},
};

const FontStyle& styleOf(const FontEntry& font) {
    for (const FontStyle& s : STYLES)
        if (std::strcmp(s.fileName, font.fileName) == 0)
            return s;
    throw std::runtime_error(std::string("No rendering style for the font '") + font.fileName + "'");
}

// 0x80 to 0x9F of Windows-1252; the rest of the code page equals Latin-1.
constexpr std::uint16_t CP1252_HIGH[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

struct Metrics {
    int ascent, descent, height; // height includes the outline on both sides
};

Metrics setSize(FT_Face face, const FontStyle& style) {
    if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(style.pixelSize)) != 0)
        throw std::runtime_error("FreeType refused a pixel size");
    int ascent = int(std::ceil(face->size->metrics.ascender / 64.0));
    int descent = int(std::ceil(-face->size->metrics.descender / 64.0));
    return {ascent, descent, ascent + descent + 2 * style.outline};
}

// White ink of the given coverage, under a dark outline of radius `o` when `o` > 0: the outline's alpha is
// the largest coverage within the radius.
Picture inkCell(const std::vector<float>& cover, int width, int height, int o) {
    Picture cell(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float a = cover[std::size_t(y) * width + x], edge = 0;
            for (int dy = -o; dy <= o && o > 0; ++dy)
                for (int dx = -o; dx <= o; ++dx) {
                    int sx = x + dx, sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= width || sy >= height || dx * dx + dy * dy > o * o + o)
                        continue;
                    edge = std::max(edge, cover[std::size_t(sy) * width + sx]);
                }
            float alpha = std::max(a, edge);
            std::uint8_t shade = std::uint8_t(std::lround(255 * (o > 0 ? a : 1.0f)));
            std::uint8_t* p = cell.pixel(x, y);
            p[0] = p[1] = p[2] = alpha > 0 ? shade : 0;
            p[3] = std::uint8_t(std::lround(255 * alpha));
        }
    return cell;
}

// One glyph cell: white glyph with straight alpha, under a dark outline when the style has one. Parts of
// the glyph outside the cell's height are cut, so no glyph is taller than the font.
Picture renderGlyph(FT_Face face, const FontStyle& style, const Metrics& m, std::uint32_t codePoint) {
    FT_UInt index = FT_Get_Char_Index(face, codePoint);
    int spaceAdvance = std::max(1, int(std::lround(face->size->metrics.x_ppem * 0.3)));
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
        return Picture(spaceAdvance + 2 * style.outline, m.height); // no glyph: a blank of a space's width
    FT_GlyphSlot g = face->glyph;
    const FT_Bitmap& bm = g->bitmap;
    int advance = int(std::lround(g->advance.x / 64.0));
    int shift = std::max(0, -g->bitmap_left);
    int inkWidth = std::max(advance, g->bitmap_left + int(bm.width)) + shift;
    int o = style.outline;
    int width = std::max(1, inkWidth) + 2 * o;
    std::vector<float> cover(std::size_t(width) * m.height, 0.0f);
    for (unsigned row = 0; row < bm.rows; ++row)
        for (unsigned col = 0; col < bm.width; ++col) {
            int x = o + shift + g->bitmap_left + int(col), y = o + m.ascent - g->bitmap_top + int(row);
            if (x >= 0 && y >= 0 && x < width && y < m.height)
                cover[std::size_t(y) * width + x] = bm.buffer[row * bm.pitch + col] / 255.0f;
        }
    return inkCell(cover, width, m.height, o);
}

// A drawn symbol (white on clear) as a cell of the font: as tall as the font, outlined as its letters are.
Picture symbolCell(const Picture& symbol, int o) {
    int width = symbol.width + 2 * o, height = symbol.height + 2 * o;
    std::vector<float> cover(std::size_t(width) * height, 0.0f);
    for (int y = 0; y < symbol.height; ++y)
        for (int x = 0; x < symbol.width; ++x)
            cover[std::size_t(y + o) * width + x + o] = symbol.pixel(x, y)[3] / 255.0f;
    return inkCell(cover, width, height, o);
}

// Splits the glyph cells over pages no larger than `pageSize` on a side, in order.
std::vector<SpriteSheet> packPages(const std::vector<Picture>& cells, int pageSize) {
    std::vector<SpriteSheet> pages;
    std::size_t first = 0;
    while (first < cells.size()) {
        // Take as many cells as fit into one page.
        int x = 0, y = 0, shelf = 0;
        std::size_t last = first;
        for (; last < cells.size(); ++last) {
            int w = cells[last].width + 2, h = cells[last].height + 2;
            if (x + w > pageSize) {
                x = 0;
                y += shelf;
                shelf = 0;
            }
            if (y + h > pageSize)
                break;
            x += w;
            shelf = std::max(shelf, h);
        }
        if (last == first)
            throw std::runtime_error("A glyph is larger than its page");
        std::vector<Picture> part(cells.begin() + long(first), cells.begin() + long(last));
        pages.push_back(packFrames(part, pageSize, 1));
        first = last;
    }
    return pages;
}

} // namespace

std::array<std::uint16_t, 256> codePageTable(std::string_view codePage) {
    if (codePage != "1252")
        throw std::runtime_error("No code-point table for the code page '" + std::string(codePage) + "'");
    std::array<std::uint16_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[std::size_t(i)] = (i >= 0x80 && i < 0xA0) ? CP1252_HIGH[i - 0x80] : std::uint16_t(i);
    return table;
}

std::vector<std::uint8_t> codePointTableBytes(std::string_view codePage) {
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t c : codePageTable(codePage)) {
        bytes.push_back(std::uint8_t(c & 0xFF));
        bytes.push_back(std::uint8_t(c >> 8));
    }
    return bytes;
}

std::vector<SpriteSheet> makeGlyphPages(const FontEntry& font, std::string_view codePage, const Typefaces& faces) {
    const FontStyle& style = styleOf(font);
    FT_Face face = faces.face(style.bold);
    Metrics m = setSize(face, style);
    std::array<std::uint16_t, 256> table = codePageTable(codePage);
    std::vector<Picture> cells;
    for (int i = FIRST_GLYPH_INDEX; i < CODE_PAGE_ENTRIES; ++i)
        cells.push_back(renderGlyph(face, style, m, table[std::size_t(i)]));
    std::vector<SpriteSheet> pages = packPages(cells, style.pageSize);
    if (!font.compositeChars && pages.size() > 1)
        throw std::runtime_error(std::string("The font '") + font.fileName + "' must fit on one page");
    return pages;
}

SpriteSheet makeSymbolPage(const SymbolPageEntry& page, const Typefaces& faces) {
    const FontEntry* font = findFont(page.font);
    if (!font)
        throw std::runtime_error(std::string("The symbol page ") + page.name + " names no font");
    const FontStyle& style = styleOf(*font);
    Metrics m = setSize(faces.face(style.bold), style);
    std::vector<Picture> cells;
    for (const Picture& symbol : drawSymbolGlyphs(page.firstCode != 0, m.height - 2 * style.outline, faces))
        cells.push_back(symbolCell(symbol, style.outline));
    return packFrames(cells, style.pageSize, 1);
}

// The fonts as the font loader takes them: glyphs in code-page order from index 33, every glyph within the
// font's height, the letters and accents present, the symbol pages, and the code-point table.
#include <gtest/gtest.h>

#include "DataArchives.h"

using namespace ResourceCatalogue;

namespace {

struct Page {
    MemoryImageFile image;
    std::vector<SheetRect> glyphs;
};

std::vector<Page> loadPages(const FontEntry& font) {
    const DataArchives& data = DataArchives::get();
    std::vector<Page> pages;
    for (int n = 1; data.has(Archive::CodePage, glyphPageFile(font, "1252", n)); ++n) {
        std::string file = glyphPageFile(font, "1252", n);
        pages.push_back({decodeImage(data.read(Archive::CodePage, file), file),
                         readSheet(data.read(Archive::CodePage, sheetFile(file)))});
    }
    return pages;
}

Page loadSymbols(const SymbolPageEntry& entry) {
    const DataArchives& data = DataArchives::get();
    return {decodeImage(data.read(Archive::Main, entry.file), entry.file),
            readSheet(data.read(Archive::Main, sheetFile(entry.file)))};
}

// The font's height: the tallest glyph of the first page the font takes.
int heightOf(const Page& first) {
    int height = 0;
    for (const SheetRect& g : first.glyphs)
        height = std::max(height, g.height);
    return height;
}

} // namespace

TEST(FontData, GlyphsFitTheCodePageAndTheFontHeight) {
    for (const FontEntry& font : fonts()) {
        SCOPED_TRACE(font.name);
        std::vector<Page> pages = loadPages(font);
        ASSERT_FALSE(pages.empty());
        // The tiny font takes its first page only; the others continue page after page.
        std::size_t used = font.compositeChars ? pages.size() : 1;
        int next = FIRST_GLYPH_INDEX, height = heightOf(pages[0]);
        for (std::size_t p = 0; p < used; ++p) {
            EXPECT_LE(next + int(pages[p].glyphs.size()), CODE_PAGE_ENTRIES);
            next += int(pages[p].glyphs.size());
            for (const SheetRect& g : pages[p].glyphs)
                EXPECT_LE(g.height, height);
        }
        EXPECT_EQ(next, CODE_PAGE_ENTRIES) << "every character of the code page has a glyph";
    }
}

TEST(FontData, LettersDigitsAndAccentsHaveInk) {
    // Index in the code page: 'A', 'a', '0', and the accents the composite characters are built from.
    const int inked[] = {'A', 'a', '0', 0x60, 0x5E, 0xB4, 0xA8, 0x98, 0xB8, 0xB0, 0x88, 0xE4, 0x80};
    for (const FontEntry& font : fonts()) {
        SCOPED_TRACE(font.name);
        std::vector<Page> pages = loadPages(font);
        for (int index : inked) {
            int glyph = index - FIRST_GLYPH_INDEX;
            std::size_t p = 0;
            while (p < pages.size() && glyph >= int(pages[p].glyphs.size()))
                glyph -= int(pages[p++].glyphs.size());
            ASSERT_LT(p, pages.size()) << index;
            EXPECT_TRUE(hasInk(pages[p].image, pages[p].glyphs[std::size_t(glyph)])) << "index " << index;
        }
    }
}

TEST(FontData, SymbolPagesFitTheirFonts) {
    for (const SymbolPageEntry& entry : symbolPages()) {
        SCOPED_TRACE(entry.name);
        const FontEntry* font = findFont(entry.font);
        ASSERT_NE(font, nullptr);
        int fontHeight = heightOf(loadPages(*font)[0]);
        Page page = loadSymbols(entry);
        for (const SheetRect& g : page.glyphs)
            EXPECT_LE(g.height, fontHeight);
        if (entry.firstCode != 0) {
            // The editor's markers sit above the code page's letters.
            EXPECT_GE(page.glyphs.size(), 3u);
            EXPECT_LE(entry.firstCode + page.glyphs.size(), std::size_t(CODE_PAGE_ENTRIES));
            continue;
        }
        // Interface symbols sit below the first printable code: check mark, pointer, the four arrow
        // keys, both arrows, back, next and the two boxes are drawn; the spare codes are blank.
        ASSERT_GE(page.glyphs.size(), 15u);
        EXPECT_LE(page.glyphs.size(), 32u);
        for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 14})
            EXPECT_TRUE(hasInk(page.image, page.glyphs[std::size_t(code)])) << code;
        for (int code : {0, 11, 12})
            EXPECT_FALSE(hasInk(page.image, page.glyphs[std::size_t(code)])) << code;
        // A font's symbols are drawn at its size: the medium font's check mark is taller than the tiny's.
        if (std::string(entry.font) == "fontMedium") {
            EXPECT_GT(page.glyphs[1].height, loadSymbols(symbolPages()[0]).glyphs[1].height);
        }
    }
}

TEST(FontData, CodePointTableOfWindows1252) {
    const std::vector<std::uint8_t>& table =
        DataArchives::get().read(Archive::CodePage, codePointTableFile("", "1252"));
    ASSERT_EQ(table.size(), std::size_t(CODE_PAGE_ENTRIES) * 2);
    auto at = [&](int i) { return table[std::size_t(i) * 2] | (table[std::size_t(i) * 2 + 1] << 8); };
    EXPECT_EQ(at(0xE4), 0x00E4);
    EXPECT_EQ(at(0x80), 0x20AC);
    EXPECT_EQ(at('A'), 'A');
    EXPECT_EQ(at(0x9F), 0x0178);
    EXPECT_EQ(at(0x8A), 0x0160);
    EXPECT_EQ(at(0x81), 0x0081); // undefined bytes keep their value
    EXPECT_EQ(at(0xFF), 0x00FF);
}

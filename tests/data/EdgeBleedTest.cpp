// Clear pixels round a sprite carry its edge colours, so that filtering draws no dark fringes; alpha is
// never touched.
#include <gtest/gtest.h>

#include "DataArchives.h"
#include "tools/databuilder/Picture.h"

using namespace ResourceCatalogue;

namespace {

void put(Picture& p, int x, int y, std::uint8_t b, std::uint8_t g, std::uint8_t r, std::uint8_t a) {
    std::uint8_t* px = p.pixel(x, y);
    px[0] = b, px[1] = g, px[2] = r, px[3] = a;
}

} // namespace

TEST(EdgeBleed, ClearPixelsTakeTheColourOfTheirDrawnNeighboursOnly) {
    Picture p(12, 5);
    put(p, 2, 2, 255, 255, 255, 255); // a white dot
    put(p, 9, 2, 0, 0, 200, 10);      // a faint red dot: its colour counts, however faint
    Picture before = p;
    bleedEdges(p, 2);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            EXPECT_EQ(p.pixel(x, y)[3], before.pixel(x, y)[3]) << x << "," << y;
    EXPECT_EQ(p.pixel(3, 3)[0], 255); // diagonal neighbour of the white dot
    EXPECT_EQ(p.pixel(4, 2)[2], 255); // two pixels out
    EXPECT_EQ(p.pixel(5, 2)[2], 0);   // beyond the reach
    EXPECT_EQ(p.pixel(8, 1)[2], 200);
    EXPECT_EQ(p.pixel(8, 1)[0], 0);
    // Drawn pixels keep their colour.
    EXPECT_EQ(p.pixel(9, 2)[2], 200);

    Picture clear(8, 8);
    bleedEdges(clear);
    EXPECT_TRUE(clear.bgra == Picture(8, 8).bgra); // nothing drawn, nothing to bleed
}

TEST(EdgeBleed, TwoColoursMeetHalfWay) {
    Picture p(5, 1);
    put(p, 0, 0, 0, 0, 0, 255);
    put(p, 4, 0, 200, 200, 200, 255);
    Picture once = p;
    bleedEdges(once, 1);
    EXPECT_EQ(once.pixel(1, 0)[0], 0);
    EXPECT_EQ(once.pixel(3, 0)[0], 200);
    EXPECT_EQ(once.pixel(2, 0)[0], 0); // one pass reaches one pixel out
    bleedEdges(p, 2);
    EXPECT_EQ(p.pixel(2, 0)[0], 100);
}

TEST(EdgeBleed, ArchivedSpritesAndGlyphsHaveNoDarkFringe) {
    // A clear pixel beside a light drawn one must not be black.
    auto check = [](Archive archive, const std::string& file) {
        SCOPED_TRACE(file);
        MemoryImageFile image = decodeImage(DataArchives::get().read(archive, file), file);
        int fringes = 0, edges = 0;
        for (int y = 1; y + 1 < image.getHeight(); ++y)
            for (int x = 1; x + 1 < image.getWidth(); ++x) {
                std::uint32_t c = image.getPixel(x, y), right = image.getPixel(x + 1, y);
                if ((c >> 24) != 0 || (right >> 24) < 128 || (right & 0xFF) < 200)
                    continue;
                ++edges;
                fringes += (c & 0xFFFFFF) == 0;
            }
        EXPECT_GT(edges, 0);
        EXPECT_EQ(fringes, 0);
    };
    check(Archive::Main, "gfx/snowflake3d.tga");
    check(Archive::Main, "gfx/glint.tga");
    check(Archive::CodePage, glyphPageFile(fonts()[1], "1252", 1));
}

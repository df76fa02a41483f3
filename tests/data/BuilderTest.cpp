// The builder's pieces against the engine's readers, its refusal of entries it cannot make, and its
// determinism.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "DataArchives.h"
#include "support/TempDir.h"
#include "tools/databuilder/Art.h"
#include "tools/databuilder/Fonts.h"
#include "tools/databuilder/Picture.h"
#include "tools/databuilder/Sounds.h"
#include "tools/databuilder/SpriteSheet.h"

using namespace ResourceCatalogue;

namespace {

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(Builder, PackedTgaDecodesToTheSamePixels) {
    // Runs longer than a packet, single pixels, raw stretches longer than a packet and varied alpha.
    Picture picture(300, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 300; ++x) {
            std::uint8_t* p = picture.pixel(x, y);
            bool run = y == 0 || (y == 2 && x < 150);
            p[0] = run ? 10 : std::uint8_t(x * 7);
            p[1] = run ? 20 : std::uint8_t(x * 3 + y);
            p[2] = run ? 30 : std::uint8_t(255 - x);
            p[3] = run ? 255 : std::uint8_t(x);
        }
    std::vector<std::uint8_t> tga = encodeTga(picture);
    MemoryImageFile image = decodeImage(tga, "test.tga");
    ASSERT_EQ(image.getWidth(), 300);
    ASSERT_EQ(image.getHeight(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 300; ++x) {
            const std::uint8_t* p = picture.pixel(x, y);
            std::uint32_t want = std::uint32_t(p[3]) << 24 | p[2] << 16 | p[1] << 8 | p[0];
            ASSERT_EQ(image.getPixel(x, y), want) << x << "," << y;
        }
    EXPECT_LT(encodeTga(Picture(256, 256)).size(), 256u * 256u / 10); // empty space packs away
}

TEST(Builder, JpegDecodes) {
    Picture picture(40, 30);
    for (std::size_t i = 0; i < picture.bgra.size(); i += 4) {
        picture.bgra[i] = 200, picture.bgra[i + 1] = 100, picture.bgra[i + 2] = 50, picture.bgra[i + 3] = 255;
    }
    MemoryImageFile image = decodeImage(encodeJpeg(picture, 90), "test.jpg");
    EXPECT_EQ(image.getWidth(), 40);
    EXPECT_EQ(image.getHeight(), 30);
    std::uint32_t p = image.getPixel(20, 15);
    EXPECT_NEAR(int((p >> 16) & 0xFF), 50, 6);
    EXPECT_NEAR(int(p & 0xFF), 200, 6);
}

TEST(Builder, PackedFramesStayApartAndInOrder) {
    std::vector<Picture> frames;
    for (int i = 0; i < 23; ++i)
        frames.emplace_back(10 + (i * 37) % 90, 5 + (i * 53) % 70);
    frames.emplace_back(600, 10); // wider than the sheet would be otherwise
    SpriteSheet sheet = packFrames(frames, 256, 2);
    ASSERT_EQ(sheet.frames.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const SheetFrame& a = sheet.frames[i];
        EXPECT_EQ(a.width, frames[i].width);
        EXPECT_EQ(a.height, frames[i].height);
        EXPECT_GE(a.left, 2);
        EXPECT_LE(a.left + a.width + 2, sheet.image.width);
        EXPECT_LE(a.top + a.height + 2, sheet.image.height);
        for (std::size_t j = 0; j < i; ++j) {
            const SheetFrame& b = sheet.frames[j];
            bool apart = a.left >= b.left + b.width + 2 || b.left >= a.left + a.width + 2 ||
                         a.top >= b.top + b.height + 2 || b.top >= a.top + a.height + 2;
            EXPECT_TRUE(apart) << i << " meets " << j;
        }
    }
}

TEST(Builder, EveryCatalogueEntryHasAGeneratorAndUnknownOnesFailLoudly) {
    for (const TextureEntry& t : preLoaderTextures())
        EXPECT_TRUE(hasArt(t.name)) << t.name;
    for (const TextureEntry& t : textures())
        EXPECT_TRUE(hasArt(t.name)) << t.name;
    for (const SoundEntry& s : sounds())
        EXPECT_TRUE(hasSound(s.file)) << s.file;
    for (const FileEntry& m : music())
        EXPECT_TRUE(hasSound(m.file)) << m.file;

    Typefaces faces(DATABUILDER_FONT_DIR);
    EXPECT_THROW(drawArt("noSuchSheet", faces), std::runtime_error);
    EXPECT_THROW(makeSoundFile("sfx/noSuchSound.ogg"), std::runtime_error);
    EXPECT_THROW(codePageTable("1250"), std::runtime_error);
    FontEntry unknown = fonts()[1];
    unknown.fileName = "font-unknown";
    EXPECT_THROW(makeGlyphPages(unknown, "1252", faces), std::runtime_error);
    SymbolPageEntry orphan = symbolPages()[0];
    orphan.font = "fontNone";
    EXPECT_THROW(makeSymbolPage(orphan, faces), std::runtime_error);
    EXPECT_THROW(Typefaces("/no/such/folder"), std::runtime_error);
}

TEST(Builder, TwoRunsGiveIdenticalBytes) {
    TempDir out;
    std::string command = DataArchives::folder() + "/databuilder --out " + out.path() + " --fonts " +
                          DATABUILDER_FONT_DIR + " --levels " + LEVEL_SOURCE_DIR;
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (Archive archive : {Archive::Main, Archive::Language, Archive::Levels, Archive::CodePage}) {
        std::string name = archiveFileName(archive);
        std::vector<std::uint8_t> fresh = readFile(out.file(name));
        ASSERT_FALSE(fresh.empty()) << name;
        EXPECT_TRUE(fresh == readFile(DataArchives::folder() + "/" + name)) << name;
    }
    EXPECT_TRUE(readFile(out.file(".cfg.static")) == readFile(DataArchives::folder() + "/.cfg.static"));
}

TEST(Builder, HillStripsJoinSideBySide) {
    // The hills are drawn as a repeated strip: the ridge, and any tree standing on the join, run on from
    // the last column into the first, so the two columns are covered to nearly the same height.
    Typefaces faces(DATABUILDER_FONT_DIR);
    for (const char* name : {"hillsA-spring", "hillsB-spring", "hillsA-summer", "hillsB-summer", "hillsA-autumn",
                             "hillsB-autumn", "hillsA-winter", "hillsB-winter"}) {
        SCOPED_TRACE(name);
        Picture hills = drawArt(name, faces).image;
        auto covered = [&](int x) {
            int n = 0;
            for (int y = 0; y < hills.height; ++y)
                n += hills.pixel(x, y)[3] >= 128;
            return n;
        };
        EXPECT_GT(covered(0), hills.height / 4);
        EXPECT_NEAR(covered(0), covered(hills.width - 1), 6);
    }
}

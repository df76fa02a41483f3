#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/ErrorManager.h"
#include "engine/render/MemoryImageFile.h"
#include "support/TempDir.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

// The 54-byte header of a bottom-up 24-bit BMP of w x h (below 256) pixels, without pixel data.
Bytes bmpHeader(std::uint8_t w, std::uint8_t h)
{
    Bytes bmp(54, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[10] = 54;
    bmp[14] = 40;
    bmp[18] = w;
    bmp[22] = h;
    bmp[26] = 1;
    bmp[28] = 24;
    return bmp;
}

Bytes tgaHeader(int type, int w, int h, int bits, int descriptor)
{
    Bytes b(18, 0);
    b[2] = static_cast<std::uint8_t>(type);
    b[12] = static_cast<std::uint8_t>(w);
    b[13] = static_cast<std::uint8_t>(w >> 8);
    b[14] = static_cast<std::uint8_t>(h);
    b[15] = static_cast<std::uint8_t>(h >> 8);
    b[16] = static_cast<std::uint8_t>(bits);
    b[17] = static_cast<std::uint8_t>(descriptor);
    return b;
}

// The message of the fatal error that decoding raises; empty when it decodes.
UString decodeError(const Bytes& bytes, MemoryImageFile* out = nullptr)
{
    ErrorManager::setThrowForTests(true);
    MemoryImageFile image;
    try {
        image.decode(bytes.data(), bytes.size(), u"test.img");
    } catch (const FatalError& e) {
        return e.message;
    }
    if (out != nullptr) {
        *out = image;
    }
    return {};
}
} // namespace

TEST(MemoryImageFile, TgaRowsComeOutTopDownInEveryLayout)
{
    // 2x2, bottom-up, 32-bit with alpha: file order is bottom row first (B, G, R, A).
    Bytes bottomUp = tgaHeader(2, 2, 2, 32, 8);
    const std::uint8_t rows[] = {0, 0, 255, 255, 0, 255, 0, 255,   // bottom: red, green
                                 255, 0, 0, 128, 255, 255, 255, 0}; // top: blue half alpha, white clear
    bottomUp.insert(bottomUp.end(), rows, rows + sizeof(rows));
    MemoryImageFile image;
    ASSERT_EQ(decodeError(bottomUp, &image), u"");
    EXPECT_EQ(image.getPixel(0, 0), 0x800000FFu);
    EXPECT_EQ(image.getPixel(1, 0), 0x00FFFFFFu);
    EXPECT_EQ(image.getPixel(0, 1), 0xFFFF0000u);
    EXPECT_EQ(image.getPixel(1, 1), 0xFF00FF00u);
    EXPECT_TRUE(image.hasAlpha());

    // Top-down, 24-bit, run-length packed: one run of three red pixels and one raw green one.
    Bytes rle = tgaHeader(10, 2, 2, 24, 0x20);
    const std::uint8_t packets[] = {0x82, 0, 0, 255, 0x00, 0, 255, 0};
    rle.insert(rle.end(), packets, packets + sizeof(packets));
    ASSERT_EQ(decodeError(rle, &image), u"");
    EXPECT_EQ(image.getPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(image.getPixel(0, 1), 0xFFFF0000u);
    EXPECT_EQ(image.getPixel(1, 1), 0xFF00FF00u);
    EXPECT_FALSE(image.hasAlpha());

    // 32 bits without alpha bits in the descriptor: opaque.
    Bytes noAlpha = tgaHeader(2, 1, 1, 32, 0);
    noAlpha.insert(noAlpha.end(), {1, 2, 3, 0});
    ASSERT_EQ(decodeError(noAlpha, &image), u"");
    EXPECT_EQ(image.getPixel(0, 0), 0xFF030201u);
}

TEST(MemoryImageFile, DamagedTruncatedAndAbsurdFilesAreFatalWithAClearMessage)
{
    Bytes tga = tgaHeader(2, 4, 4, 32, 8);
    tga.resize(tga.size() + 4 * 4 * 4 - 1); // one byte short
    EXPECT_EQ(decodeError(tga), u"Could not read image 'test.img': the TGA pixel data is truncated.");
    Bytes rle = tgaHeader(10, 4, 4, 24, 0);
    rle.insert(rle.end(), {0x83, 1, 2, 3}); // four of sixteen pixels
    EXPECT_NE(decodeError(rle).find(u"truncated"), UString::npos);
    EXPECT_NE(decodeError(tgaHeader(2, 60000, 60000, 32, 8)).find(u"too large"), UString::npos);
    EXPECT_NE(decodeError(tgaHeader(2, 0, 5, 32, 8)).find(u"no pixels"), UString::npos);
    EXPECT_NE(decodeError(tgaHeader(7, 2, 2, 32, 8)).find(u"not a supported TGA"), UString::npos);
    EXPECT_NE(decodeError(Bytes{1, 2}).find(u"empty or truncated"), UString::npos);

    // A colour-mapped image whose index points past the map.
    Bytes mapped = tgaHeader(1, 1, 1, 8, 0);
    mapped[1] = 1;
    mapped[5] = 1; // one entry
    mapped[7] = 24;
    mapped.insert(mapped.end(), {0, 0, 255, 5});
    EXPECT_NE(decodeError(mapped).find(u"outside the colour map"), UString::npos);

    // BMP: a header that claims more rows than the file holds, and an absurd size.
    Bytes bmp = bmpHeader(16, 16);
    EXPECT_NE(decodeError(bmp).find(u"BMP pixel data is truncated"), UString::npos);
    bmp[21] = 0x7F; // width 0x7F000010
    EXPECT_NE(decodeError(bmp).find(u"too large"), UString::npos);

    // JPG: a start marker and then nothing useful.
    EXPECT_NE(decodeError(Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F'}).find(u"JPG"), UString::npos);
}

TEST(MemoryImageFile, BmpAndJpgDecodeThroughTheirLibraries)
{
    // 2x2 24-bit bottom-up BMP: rows padded to 8 bytes.
    Bytes bmp = bmpHeader(2, 2);
    const std::uint8_t rows[] = {0, 0, 255, 0, 255, 0, 0, 0,  // bottom: red, green
                                 255, 0, 0, 255, 255, 255, 0, 0}; // top: blue, white
    bmp.insert(bmp.end(), rows, rows + sizeof(rows));
    MemoryImageFile image;
    ASSERT_EQ(decodeError(bmp, &image), u"");
    EXPECT_EQ(image.getPixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(image.getPixel(1, 1), 0xFF00FF00u);

    // A JPG written by the screenshot writer reads back close to what went in; cut short it is fatal.
    TempDir dir;
    std::vector<std::uint32_t> pixels(32 * 16, 0xFF20C040u);
    ASSERT_TRUE(MemoryImageFile::writeJPG(dir.file("a.jpg"), pixels.data(), 32, 16, 95));
    MemoryImageFile jpg(0, utf8ToWide(dir.file("a.jpg")));
    EXPECT_EQ(jpg.getWidth(), 32);
    EXPECT_EQ(jpg.getHeight(), 16);
    const std::uint32_t p = jpg.getPixel(5, 5);
    EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 0x20, 4);
    EXPECT_NEAR(static_cast<int>((p >> 8) & 0xFF), 0xC0, 4);
    std::FILE* f = std::fopen(dir.file("a.jpg").c_str(), "rb");
    Bytes all(4096);
    all.resize(std::fread(all.data(), 1, all.size(), f));
    std::fclose(f);
    all.resize(all.size() / 2);
    const UString cut = decodeError(all);
    EXPECT_NE(cut.find(u"truncated"), UString::npos) << wideToUtf8(cut);
}

TEST(MemoryImageFile, BlankHalvingDitheringAndPurging)
{
    ErrorManager::setThrowForTests(true);
    MemoryImageFile image = MemoryImageFile::MemoryImageFileBlank(3, 2);
    EXPECT_EQ(image.getPixel(2, 1), 0u);
    image.setPixel(0, 0, 0xFF000000u);
    image.setPixel(1, 0, 0xFF0000FFu);
    image.setPixel(0, 1, 0xFF0000FFu);
    image.setPixel(1, 1, 0xFF0000FFu);
    image.halve();
    EXPECT_EQ(image.getWidth(), 1);
    EXPECT_EQ(image.getHeight(), 1);
    EXPECT_EQ(image.getPixel(0, 0), 0xFF0000BFu); // (0 + 3 x 255) / 4, rounded
    EXPECT_THROW(image.getPixel(1, 0), FatalError);
    EXPECT_THROW(MemoryImageFile::MemoryImageFileBlank(0, 10), FatalError);

    // Dithering keeps pure colours and brings the rest onto the 5-6-5 grid.
    MemoryImageFile grad = MemoryImageFile::MemoryImageFileBlank(4, 4);
    for (int i = 0; i < 16; ++i) {
        grad.setPixel(i % 4, i / 4, i == 0 ? 0xFFFFFFFFu : 0xFF808080u);
    }
    grad.dither();
    EXPECT_EQ(grad.getPixel(0, 0), 0xFFFFFFFFu);
    for (int i = 1; i < 16; ++i) {
        const std::uint32_t r = (grad.getPixel(i % 4, i / 4) >> 16) & 0xFF;
        EXPECT_TRUE(r == 0x84 || r == 0x7B) << r;
    }
}

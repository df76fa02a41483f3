#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "engine/render/Camera.h"
#include "engine/render/Context.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"
#include "engine/text/FontCache.h"
#include "engine/text/FontGDI.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextBlock.h"
#include "engine/text/TextBlockSprite.h"
#include "engine/text/TextLine.h"
#include "engine/text/TextSprite.h"
#include "support/TempDir.h"
#include "GraphicsFixture.h"

namespace {
// A glyph page of solid white glyphs of the given widths, 10 pixels high, side by side, with its sheet.
std::unique_ptr<Texture> glyphPage(const TempDir& dir, const std::string& name, std::initializer_list<int> widths,
                                   int height = 10)
{
    int total = 0;
    for (int w : widths) {
        total += w;
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(total) * height, 0xFFFFFFFFu);
    EXPECT_TRUE(MemoryImageFile::writeTGA(dir.file(name + ".tga"), pixels.data(), total, height));
    std::string sheet;
    int left = 0, index = 0;
    for (int w : widths) {
        sheet += "[Skin " + std::to_string(index++) + "]\nleft=" + std::to_string(left) + "\ntop=0\nwidth=" +
                 std::to_string(w) + "\nheight=" + std::to_string(height) + "\n";
        left += w;
    }
    std::FILE* f = std::fopen(dir.file(name + ".ini").c_str(), "wb");
    std::fwrite(sheet.data(), 1, sheet.size(), f);
    std::fclose(f);
    return std::make_unique<Texture>(Texture::KEEP_IMAGE, utf8ToWide(dir.file(name + ".tga")));
}

void registerIdentityTable(const UString& codePage, char16_t at0x80)
{
    std::vector<std::uint8_t> bytes(512);
    for (int i = 0; i < 256; ++i) {
        const int code = i == 0x80 ? at0x80 : i;
        bytes[i * 2] = static_cast<std::uint8_t>(code);
        bytes[i * 2 + 1] = static_cast<std::uint8_t>(code >> 8);
    }
    FontQuad::registerCodePageTable(codePage, bytes.data(), bytes.size());
}

UString fatalOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const FatalError& e) {
        return e.report;
    }
    return {};
}
} // namespace

class Text : public GraphicsFixture {
protected:
    void SetUp() override
    {
        GraphicsFixture::SetUp();
        context = std::make_unique<Context>(); // a camera for this screen
        FontQuad::setLanguage(u"1252", false);
        registerIdentityTable(u"1252", 0x20AC);
        // 'A' 4 wide, 'B' 6 wide, 'C' 8 wide, 0x20AC 3 wide, through the code page from index 0x41.
        page = glyphPage(dir, "page", {4, 6, 8});
        font.addSourceTexture(page.get(), 0x41, false);
        euro = glyphPage(dir, "euro", {3});
        font.addSourceTexture(euro.get(), 0x80, false);
    }

    struct Box {
        int left = 99999, top = 99999, right = -1, bottom = -1;
    };
    // One scene, sent to the device without waiting for it.
    void scene(const std::function<void()>& draw)
    {
        graphics->beginScene();
        graphics->clear(GLDevice::ClearTarget, 0xFF000000u);
        context->renderEntry(); // sets the view of the context's camera
        Context::setCurrent(context.get());
        context->camera->render();
        draw();
        Context::setCurrent(nullptr);
        graphics->endScene();
    }
    Box drawn(const std::function<void()>& draw)
    {
        scene(draw);
        int w = 0, h = 0;
        const std::vector<std::uint32_t> pixels = graphics->readScreen(w, h);
        Box b;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if ((pixels[static_cast<std::size_t>(y) * w + x] & 0xFFFFFFu) != 0) {
                    b.left = std::min(b.left, x);
                    b.top = std::min(b.top, y);
                    b.right = std::max(b.right, x + 1);
                    b.bottom = std::max(b.bottom, y + 1);
                }
            }
        }
        return b;
    }

    TempDir dir;
    std::unique_ptr<Texture> page, euro;
    FontQuad font;
    std::unique_ptr<Context> context;
};

TEST_F(Text, CodePageMappingMeasurementAndExtent)
{
    ASSERT_NE(font.getSymbol(u'A'), nullptr);
    EXPECT_EQ(font.getSymbol(u'B')->pBaseQuad->width, 6.0f);
    EXPECT_EQ(font.getSymbol(0x20AC)->pBaseQuad->width, 3.0f); // table entry 0x80
    EXPECT_EQ(font.getSymbol(0x80), nullptr);
    EXPECT_EQ(font.getLineHeight(), 10);
    // Advances: glyph width plus the spacing in force when it was added (1); no glyph: space advance (4).
    EXPECT_EQ(font.measureLine(u"AB"), 12);
    EXPECT_EQ(font.measureLine(u"A B"), 16);
    EXPECT_EQ(font.measureLine(u"A\x1e{ff0000}B"), 12); // markup takes no room
    EXPECT_EQ(font.measureLine(u"ABC", 12.0f), 2);
    EXPECT_EQ(font.measureLine(u"ABC", 100.0f), 3);
    int w = 0, h = 0;
    font.getTextExtent(u"C\u20ac", w, h);
    EXPECT_EQ(w, 13);
    EXPECT_EQ(h, 10);
    font.scale[1] = 1.55f;
    EXPECT_EQ(font.getScaledLineHeight(), 15);
}

TEST_F(Text, BadGlyphPagesAndMissingTablesAreFatal)
{
    FontQuad other;
    EXPECT_NE(fatalOf([&] { other.addSourceTexture(page.get(), 254, false); })
                  .find(u"Statement: nextSymbolToLoad + _pTexture->skins.size() <= codepage2unicodeEntries"),
              UString::npos);
    auto tall = glyphPage(dir, "tall", {5}, 14);
    EXPECT_NE(fatalOf([&] { font.addSourceTexture(tall.get(), 0x50, false); })
                  .find(u"Statement: sym->pBaseQuad->height <= fontHeightRaw"),
              UString::npos);
    FontQuad::setLanguage(u"1251", false);
    EXPECT_NE(fatalOf([&] { other.addSourceTexture(page.get(), 0x41, false); }).find(u"No LUT for codepage '1251'."),
              UString::npos);
    FontQuad::setLanguage(u"1252", false);
    EXPECT_FALSE(other.addSourceTexture(nullptr, 0, true));
    // Raw codes: symbols below 32 for the GUI pages.
    EXPECT_TRUE(other.addSourceTexture(page.get(), 2, true));
    EXPECT_NE(other.getSymbol(0x04), nullptr);
}

TEST_F(Text, CompositeGlyphsAreBuiltFromBaseAndAccent)
{
    FontQuad composite;
    composite.accentOffsetCapital = 2;
    composite.accentOffsetSmall = 5;
    registerIdentityTable(u"1250", 0x20AC);
    auto letters = glyphPage(dir, "letters", {8, 6});
    auto accent = glyphPage(dir, "accent", {2});
    FontQuad::setLanguage(u"1250", true);
    composite.addSourceTexture(letters.get(), 'A', true);    // 'A', 'B'
    composite.addSourceTexture(accent.get(), 0xB4, true);    // acute
    composite.addSourceTexture(letters.get(), 'a', true);    // 'a', 'b'
    composite.setupCompositeChars();
    const FontQuad::Symbol* aacute = composite.getSymbol(0xC1);
    ASSERT_NE(aacute, nullptr);
    EXPECT_EQ(aacute->pBaseQuad, composite.getSymbol('A')->pBaseQuad);
    EXPECT_EQ(aacute->pAccentQuad, accent->skins[0]);
    EXPECT_EQ(aacute->accentX, 3);
    EXPECT_EQ(aacute->accentY, 2);
    EXPECT_EQ(composite.getSymbol(0xE1)->accentY, 5);   // small a
    EXPECT_EQ(composite.getSymbol(0x106), nullptr);     // C acute of 1250: the font has no 'C'
    EXPECT_EQ(composite.getSymbol(0xC0), nullptr); // no grave accent glyph
    EXPECT_EQ(composite.measureLine(u"\u00c1"), composite.measureLine(u"A"));

    // Without the option nothing is composed.
    FontQuad plain;
    FontQuad::setLanguage(u"1252", false);
    plain.addSourceTexture(letters.get(), 'A', true);
    plain.addSourceTexture(accent.get(), 0xB4, true);
    plain.setupCompositeChars();
    EXPECT_EQ(plain.getSymbol(0xC1), nullptr);
}

TEST_F(Text, EveryAlignmentFlagPlacesTheLine)
{
    graphics->bEnableFontCache = false;
    // "AB": 11 pixels of ink, 12 of advance, 10 high. The anchor is the screen centre (320, 240).
    struct Case {
        std::uint32_t flags;
        int left, top;
    };
    const Case cases[] = {{0x00, 320, 240}, {0x01, 320, 240}, {0x02, 320, 240}, {0x03, 320, 240},
                          {0x04, 314, 240}, {0x05, 314, 240}, {0x08, 308, 240}, {0x09, 308, 240},
                          {0x0C, 302, 240}, {0x10, 320, 235}, {0x12, 320, 235}, {0x14, 314, 235},
                          {0x15, 314, 235}, {0x18, 308, 235}, {0x20, 320, 230}, {0x24, 314, 230},
                          {0x30, 320, 225}, {0x40, 320, 235}};
    for (const Case& c : cases) {
        const auto box = drawn([&] { font.print(V3(0, 0, 0), UColor(0xFFFFFFFFu), c.flags, u"AB"); });
        EXPECT_EQ(box.left, c.left) << std::hex << c.flags;
        EXPECT_EQ(box.top, c.top) << std::hex << c.flags;
        EXPECT_EQ(box.right - box.left, 11) << std::hex << c.flags;
        EXPECT_EQ(box.bottom - box.top, 10) << std::hex << c.flags;
    }
    // Scale applies to the offsets as well.
    font.scale[0] = 2.0f;
    const auto wide = drawn([&] { font.print(V3(0, 0, 0), UColor(0xFFFFFFFFu), 0x08, u"AB"); });
    EXPECT_EQ(wide.left, 320 - 24);
    EXPECT_EQ(wide.right - wide.left, 22);
    EXPECT_EQ(wide.bottom - wide.top, 10);
    // Each glyph's height follows the vertical scale alone.
    font.scale[1] = 3.0f;
    const auto tall = drawn([&] { font.print(V3(0, 0, 0), UColor(0xFFFFFFFFu), 0x08, u"AB"); });
    EXPECT_EQ(tall.right - tall.left, 22);
    EXPECT_EQ(tall.bottom - tall.top, 30);
}

TEST_F(Text, SystemFontFlagAndTheStringCache)
{
    FontGDI system(u"Arial", 12);
    EXPECT_GT(system.getLineHeight(), 10);
    EXPECT_GT(system.measureLine(u"Hello"), system.measureLine(u"Hi"));
    FontQuad::setSystemFont(&system);
    const auto viaSystem = drawn([&] { font.print(V3(0, 0, 0), UColor(0xFFFFFFFFu), 0x200, u"Hello"); });
    EXPECT_GT(viaSystem.right - viaSystem.left, 15);
    EXPECT_EQ(system.getCache().size(), 1u);
    FontQuad::setSystemFont(nullptr);

    // Four or more characters go through the font's cache: same pixels, one rasterisation.
    font.createFontCache();
    ASSERT_NE(font.getCache(), nullptr);
    EXPECT_EQ(font.getCache()->getName(), u"<unknown>10px");
    EXPECT_EQ(font.capHeight, 10);
    graphics->bEnableFontCache = false;
    const auto direct = drawn([&] { font.print(V3(0, 0, 0), UColor(0xFFFFFFFFu), 0x05, u"ABCA"); });
    graphics->bEnableFontCache = true;
    const auto cached = drawn([&] { font.print(V3(0, 0, 0), UColor(0xFFFFFFFFu), 0x05, u"ABCA"); });
    drawn([&] { font.print(V3(0, 0, 0), UColor(0xFFFFFFFFu), 0x05, u"ABCA"); });
    EXPECT_EQ(cached.left, direct.left);
    EXPECT_EQ(cached.right, direct.right);
    EXPECT_EQ(cached.top, direct.top);
    EXPECT_EQ(cached.bottom, direct.bottom);
    EXPECT_EQ(font.getCache()->getRenderCount(), 1);
    drawn([&] { font.print(V3(0, 0, 0), UColor(0xFFFFFFFFu), 0x05, u"ABC"); }); // too short for the cache
    EXPECT_EQ(font.getCache()->size(), 1u);
}

TEST_F(Text, NewCachedTextWaitsForNoEarlierSceneAndChangesNoQueuedText)
{
    // Each string a block 8 pixels wide per character and 10 high: white, or clear when it starts with 'x'.
    FontCache cache(u"blocks", 10, false, [](const UString& text, int& w, int& h, std::vector<std::uint32_t>& px) {
        w = 8 * static_cast<int>(text.size());
        h = 10;
        px.assign(static_cast<std::size_t>(w) * h, text[0] == u'x' ? 0x00FFFFFFu : 0xFFFFFFFFu);
        return true;
    });
    const FontCacheEntry* old = cache.get(u"old");
    ASSERT_NE(old, nullptr);
    // The device's program for draws of two textures in one call is made first: a software renderer
    // draws what is queued while it makes one, which would blur the timings below.
    drawn([&] {
        cache.draw(*old, nullptr, 0xFFFFFFFFu, -100.0f, 100.0f, 0.0f, 1.0f, 1.0f);
        font.print(V3(0, 0, 0), UColor(0xFFFFFFFFu), 0x05, u"AB");
    });
    // A scene the GPU takes long to draw, reading the cache's texture: the old text stretched over the screen.
    scene([&] {
        for (int i = 0; i < 80; ++i) {
            cache.draw(*old, nullptr, 0x08FFFFFFu, -320.0f, 240.0f, 0.0f, 640.0f / old->width, 48.0f);
        }
    });
    // The work done in this thread, where the software renderer of the tests draws (LP_NUM_THREADS=0): what a
    // wait for the GPU costs here, unlike the clock, which a busy machine runs on while this thread waits.
    auto threadMs = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
    };
    double addMs = 0.0;
    scene([&] {
        cache.draw(*old, nullptr, 0xFFFFFFFFu, -100.0f, 100.0f, 0.0f, 1.0f, 1.0f);
        const double start = threadMs();
        const FontCacheEntry* newer = cache.get(u"newer");
        addMs = threadMs() - start;
        ASSERT_NE(newer, nullptr);
        cache.draw(*newer, nullptr, 0xFFFFFFFFu, -100.0f, 50.0f, 0.0f, 1.0f, 1.0f);
        // A second new text in the same scene, after draws of the texture are queued.
        const FontCacheEntry* again = cache.get(u"again");
        ASSERT_NE(again, nullptr);
        cache.draw(*again, nullptr, 0xFFFFFFFFu, -100.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    });
    const double start = threadMs();
    int w = 0, h = 0;
    std::vector<std::uint32_t> pixels = graphics->readScreen(w, h);
    const double drawMs = threadMs() - start;
    // Adding the text did not wait for the slow scene: the GPU drew it only when the screen was read.
    EXPECT_LT(addMs, drawMs);
    auto lit = [&](int x, int y) { return (pixels[static_cast<std::size_t>(y) * w + x] & 0xFFFFFFu) != 0; };
    EXPECT_TRUE(lit(230, 145));  // old
    EXPECT_TRUE(lit(255, 195));  // newer
    EXPECT_TRUE(lit(255, 245));  // again
    EXPECT_FALSE(lit(300, 145)); // right of old
    EXPECT_EQ(cache.getRenderCount(), 3);

    // A full cache starts over from the top-left, where the old text lies; its draw queued before still
    // shows it.
    scene([&] {
        cache.draw(*cache.get(u"old"), nullptr, 0xFFFFFFFFu, -100.0f, 100.0f, 0.0f, 1.0f, 1.0f);
        for (int i = 0; cache.size() > 1 || i < 2; ++i) {
            UString clearLine(128, u'y'); // a whole row of the texture
            clearLine[0] = u'x';
            clearLine[1] = static_cast<char16_t>(0x100 + i);
            ASSERT_NE(cache.get(clearLine), nullptr);
        }
    });
    pixels = graphics->readScreen(w, h);
    EXPECT_TRUE(lit(230, 145));
}

TEST_F(Text, TextChangingEveryFrameMakesNoTexturePerFrame)
{
    // Each character a block 8 pixels wide and 10 high: clear for '.', else white.
    FontCache cache(u"blocks", 10, false, [](const UString& text, int& w, int& h, std::vector<std::uint32_t>& px) {
        w = 8 * static_cast<int>(text.size());
        h = 10;
        px.resize(static_cast<std::size_t>(w) * h);
        for (std::size_t i = 0; i < px.size(); ++i) {
            px[i] = text[i % w / 8] == u'.' ? 0x00FFFFFFu : 0xFFFFFFFFu;
        }
        return true;
    });
    GLDevice& device = graphics->getDevice();
    const std::uint64_t madeBefore = device.texturesCreated();
    auto lit = [](const std::vector<std::uint32_t>& pixels, int w, int x, int y) {
        return (pixels[static_cast<std::size_t>(y) * w + x] & 0xFFFFFFu) != 0;
    };
    // A steady label over a clock of 64 characters (one a row of the cache texture) that shows a new value
    // every frame, as a panel's timer does: the cache starts over about every 90 frames on the way.
    for (int frame = 0; frame < 300; ++frame) {
        UString clock;
        for (int i = 0; i < 64; ++i) {
            clock += (frame >> (i % 9)) & 1 ? u'#' : u'.';
        }
        scene([&] {
            cache.draw(*cache.get(u"label"), nullptr, 0xFFFFFFFFu, -300.0f, 200.0f, 0.0f, 1.0f, 1.0f);
            cache.draw(*cache.get(clock), nullptr, 0xFFFFFFFFu, -300.0f, 100.0f, 0.0f, 1.0f, 1.0f);
        });
        int w = 0, h = 0;
        const std::vector<std::uint32_t> pixels = graphics->readScreen(w, h);
        // Both texts as they are, whichever texture of the cache drew them.
        ASSERT_TRUE(lit(pixels, w, 55, 45) && !lit(pixels, w, 61, 45)) << frame;
        for (int i = 0; i < 64; ++i) {
            ASSERT_EQ(lit(pixels, w, 24 + 8 * i, 145), clock[i] == u'#') << frame << " " << i;
        }
        graphics->present();
    }
    EXPECT_GT(cache.getRenderCount(), 302); // the label again after each start over
    EXPECT_LE(device.texturesCreated() - madeBefore, static_cast<std::uint64_t>(FontCache::TEXTURES));
    EXPECT_EQ(device.texturesCreated() - madeBefore, static_cast<std::uint64_t>(cache.getTextureCount()));

    // Once the GPU is done with the texture in use, new text goes into it, also after a start over.
    graphics->present();
    graphics->present();
    cache.clear();
    const UString full(64, u'#');
    scene([&] { cache.draw(*cache.get(full), nullptr, 0xFFFFFFFFu, -300.0f, 100.0f, 0.0f, 1.0f, 1.0f); });
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = graphics->readScreen(w, h);
    for (int i = 0; i < 64; ++i) {
        EXPECT_TRUE(lit(pixels, w, 24 + 8 * i, 145)) << i;
    }

    // The strings held are bounded too, however small they are.
    for (int i = 0; i < static_cast<int>(FontCache::MAX_ENTRIES) + 10; ++i) {
        ASSERT_NE(cache.get(UString(1, static_cast<char16_t>(0x100 + i))), nullptr);
    }
    EXPECT_LE(cache.size(), FontCache::MAX_ENTRIES);
}

TEST(TextLineTest, ColourRunsAndBadMarkup)
{
    ErrorManager::setThrowForTests(true);
    auto runs = TextLine::splitRuns(u"Hello \x1e{0000ff}blue\x1e{000001} back");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, u"Hello ");
    EXPECT_EQ(runs[0].color, TextLine::DEFAULT_COLOR);
    EXPECT_EQ(runs[1].text, u"blue");
    EXPECT_EQ(runs[1].color, 0xFF0000FFu);
    EXPECT_EQ(runs[2].color, TextLine::DEFAULT_COLOR);
    runs = TextLine::splitRuns(u"\x1e{80ff0000}red");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].color, 0xFFFF0000u); // made opaque
    runs = TextLine::splitRuns(u"");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(runs[0].text.empty());
    for (const UString& bad : {UString(u"x\x1e{zz}y"), UString(u"x\x1e"), UString(u"x\x1e{00ff"), UString(u"\x1e(00)")}) {
        try {
            TextLine::splitRuns(bad);
            ADD_FAILURE() << "no fatal error";
        } catch (const FatalError& e) {
            EXPECT_EQ(e.message, u"Couldn't extract markup from line '" + bad + u"'");
        }
    }
}

TEST_F(Text, BlocksWrapAtSpacesBreakAtBarsAndKeepColoursOverWraps)
{
    // Each 'A' advances 5, a space 4: "AA AA" is 24 wide.
    TextBlock block(u"AA AA AA|B \x1e{00ff00}AA AA", &font, 25.0f, -1.0f);
    ASSERT_EQ(block.getLineCount(), 4);
    EXPECT_EQ(block.getLine(0)->text, u"AA AA");
    EXPECT_EQ(block.getLine(1)->text, u"AA");
    EXPECT_EQ(block.getLine(2)->text, u"B \x1e{00ff00}AA");
    EXPECT_EQ(block.getLine(3)->runs[0].color, 0xFF00FF00u); // the colour goes on after the wrap
    EXPECT_EQ(block.getLine(3)->runs[0].text, u"AA");
    EXPECT_FLOAT_EQ(block.width, 24.0f);
    EXPECT_FLOAT_EQ(block.lineSpacing, 10.0f);
    EXPECT_FLOAT_EQ(block.height, 40.0f);
    EXPECT_FLOAT_EQ(block.getLine(2)->runs[0].width, 11.0f);

    // A word wider than the block stands on a line of its own.
    TextBlock narrow(u"ABCABC A", &font, 5.0f, 12.0f);
    ASSERT_EQ(narrow.getLineCount(), 2);
    EXPECT_EQ(narrow.getLine(0)->text, u"ABCABC");
}

TEST_F(Text, ColourRunsDrawInTheirColours)
{
    graphics->bEnableFontCache = false;
    TextSprite templ(0.0f, 0.0f, 0.0f, u"A\x1e{ff0000}B\x1e{000001}C", &font, UColor(0xFF0000FFu));
    templ.flags = 0x02;
    TextBlockSprite sprite(templ, 200.0f);
    drawn([&] { sprite.render(); });
    EXPECT_EQ(pixelAt(321, 241), 0xFF0000FFu);          // 'A' in the sprite's colour
    EXPECT_EQ(pixelAt(320 + 5 + 1, 241), 0xFFFF0000u);  // 'B' red
    EXPECT_EQ(pixelAt(320 + 12 + 1, 241), 0xFF0000FFu); // 'C' back to the default
}

TEST_F(Text, TextSpriteDelayFadesShadowAndAutoDelete)
{
    graphics->bEnableFontCache = false;
    auto* sprite = new TextSprite(0.0f, 0.0f, 0.0f, u"AB", &font, UColor(0xFFFFFFFFu));
    EXPECT_EQ(sprite->flags, 5u);
    EXPECT_TRUE(sprite->bShadow);
    sprite->delay = 1.0;
    sprite->duration = 2.0;
    sprite->fadeIn = 0.5;
    sprite->fadeOut = 0.5;
    KivBase owner;
    owner.appendChild(sprite);
    EXPECT_EQ(drawn([&] { sprite->render(); }).right, -1); // before its delay
    sprite->tick(0.0, 1.25);
    EXPECT_FLOAT_EQ(sprite->getFade(), 0.5f);
    sprite->tick(0.0, 0.5);
    EXPECT_FLOAT_EQ(sprite->getFade(), 1.0f);
    // The text is white, the shadow black at 64/255 four pixels lower: the box grows by 4.
    const auto box = drawn([&] { sprite->render(); });
    EXPECT_EQ(box.bottom - box.top, 10);
    EXPECT_EQ(pixelAt(box.left, box.top), 0xFFFFFFFFu);
    sprite->tick(0.0, 1.0);
    EXPECT_NEAR(sprite->getFade(), 0.5f, 1e-5f);
    EXPECT_FALSE(sprite->bDeleted);
    sprite->tick(0.0, 0.5);
    EXPECT_TRUE(sprite->bDeleted);

    TextSprite wide(0.0f, 0.0f, 0.0f, u"CCCC", &font, UColor(0xFFFFFFFFu));
    wide.fitToWidth(18.0f);
    EXPECT_FLOAT_EQ(wide.scale.x, 0.5f);
    wide.fitToWidth(100.0f);
    EXPECT_FLOAT_EQ(wide.scale.x, 0.5f);
}

TEST_F(Text, EllipsisCutsToTheWidthAndOffsetShadowsFollowTheDetailFlag)
{
    graphics->bEnableFontCache = false;
    auto dot = glyphPage(dir, "dot", {1});
    font.addSourceTexture(dot.get(), '.', true); // '.' advances 2
    Renderable anchor;
    anchor.color = UColor(0xFFFFFFFFu);
    // "ABCABC" advances 42; 20 leaves room for "AB" (12) and "..." (6), 40 for "ABCAB" (33).
    const auto cut = drawn([&] { font.drawTextEllipsis(anchor, 0x02, 20.0f, u"ABCABC"); });
    EXPECT_EQ(cut.left, 320);
    EXPECT_EQ(cut.right, 320 + 12 + 5);
    const auto longer = drawn([&] { font.drawTextEllipsis(anchor, 0x02, 40.0f, u"ABCABC"); });
    EXPECT_EQ(longer.right - longer.left, 33 + 5);
    const auto whole = drawn([&] { font.drawTextEllipsis(anchor, 0x02, 42.0f, u"ABCABC"); });
    EXPECT_EQ(whole.right - whole.left, 41);

    graphics->bDetail = true;
    const auto shadowed = drawn([&] { font.drawTextOffset(anchor, 0x02, V3(3, -3, 0), UColor(0xFF808080u), u"A"); });
    EXPECT_EQ(shadowed.right - shadowed.left, 4 + 3);
    EXPECT_EQ(shadowed.bottom - shadowed.top, 10 + 3);
    graphics->bDetail = false;
    const auto plain = drawn([&] { font.drawTextOffset(anchor, 0x02, V3(3, -3, 0), UColor(0xFF808080u), u"A"); });
    EXPECT_EQ(plain.right - plain.left, 4);
}

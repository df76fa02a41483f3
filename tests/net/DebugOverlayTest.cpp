#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "NetTestObjects.h"
#include "engine/core/V3.h"
#include "engine/net/NetConnection.h"
#include "engine/render/Context.h"
#include "engine/render/MemoryImageFile.h"
#include "engine/render/Camera.h"
#include "engine/render/Texture.h"
#include "engine/text/FontQuad.h"
#include "engine/files/FileManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "support/KivHarness.h"
#include "support/TempDir.h"

namespace {

// A font whose printable ASCII characters are solid 3 by 10 glyphs.
class OverlayFont {
public:
    explicit OverlayFont(const TempDir& dir)
    {
        std::vector<std::uint8_t> table(512);
        for (int i = 0; i < 256; ++i) {
            table[i * 2] = static_cast<std::uint8_t>(i);
        }
        FontQuad::setLanguage(u"1252", false);
        FontQuad::registerCodePageTable(u"1252", table.data(), table.size());
        const int count = 0x7F - 0x21;
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(count) * 3 * 10, 0xFFFFFFFFu);
        EXPECT_TRUE(MemoryImageFile::writeTGA(dir.file("glyphs.tga"), pixels.data(), count * 3, 10));
        std::string sheet;
        for (int i = 0; i < count; ++i) {
            sheet += "[Skin " + std::to_string(i) + "]\nleft=" + std::to_string(i * 3) + "\ntop=0\nwidth=3\nheight=10\n";
        }
        std::FILE* f = std::fopen(dir.file("glyphs.ini").c_str(), "wb");
        std::fwrite(sheet.data(), 1, sheet.size(), f);
        std::fclose(f);
        page = std::make_unique<Texture>(Texture::KEEP_IMAGE, utf8ToWide(dir.file("glyphs.tga")));
        font.addSourceTexture(page.get(), 0x21, false);
    }

    std::unique_ptr<Texture> page;
    FontQuad font;
};

class DebugOverlay : public ::testing::Test {
protected:
    void TearDown() override { THEROLE = nullptr; }

    // Vertices the device drew for the overlay with the engine's debug level.
    int drawnVertices(NetRole& role, FontQuad* font, uint32_t level)
    {
        Kiv& kiv = harness.kiv();
        kiv.debugLevel = level;
        KivGraphics* graphics = kiv.graphics;
        graphics->getDevice().resetStats();
        graphics->beginScene();
        context.renderEntry();
        Context::setCurrent(&context);
        context.camera->render();
        role.drawDebugOverlay(V3(-390.0f, 280.0f, 0.0f), font);
        Context::setCurrent(nullptr);
        graphics->endScene();
        return graphics->getDevice().stats().verticesSent;
    }

    KivHarness harness; // the engine supplies the debug level and the drawing
    Context context;
    TempDir dir;
};

} // namespace

// The engine draws the overlay's text in the given font, and only while its debug level has bit 0x200.
TEST_F(DebugOverlay, DrawsItsTextOnlyWithTheDebugBit)
{
    harness.kiv().fileManager->bUseWad = false; // the glyph page is a loose file
    OverlayFont overlayFont(dir);
    auto server = std::make_unique<TestServer>();
    server->connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
    server->bOwnsConnection = true;
    buildWorld(*server);
    THEROLE = nullptr;

    EXPECT_EQ(drawnVertices(*server, &overlayFont.font, 0x1FF), 0);
    EXPECT_EQ(drawnVertices(*server, nullptr, 0x200), 0);
    // Every printable character of the text is a glyph of four or six vertices.
    const UString text = server->getDebugText();
    const auto glyphs = std::count_if(text.begin(), text.end(), [](char16_t c) { return c > 0x20 && c < 0x7F; });
    EXPECT_GE(drawnVertices(*server, &overlayFont.font, 0x200 | 0x1), 4 * glyphs);
}

// The role counts the draws its objects make while they render, for the overlay's figures.
TEST_F(DebugOverlay, RenderCountsTheDrawsOfItsObjects)
{
    harness.kiv().fileManager->bUseWad = false;
    OverlayFont overlayFont(dir);
    auto server = std::make_unique<TestServer>();
    server->connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
    server->bOwnsConnection = true;
    buildWorld(*server);
    THEROLE = nullptr;

    struct Writer : KivBase {
        FontQuad* font = nullptr;
        void render() override { font->print(V3(0.0f, 0.0f, 0.0f), 0xFFFFFFFFu, 0x2, u"abc"); }
    };
    auto* writer = new Writer;
    writer->font = &overlayFont.font;
    server->root->appendChild(writer);

    KivGraphics* graphics = harness.kiv().graphics;
    graphics->beginScene();
    context.renderEntry();
    Context::setCurrent(&context);
    context.camera->render();
    server->render();
    Context::setCurrent(nullptr);
    graphics->endScene();
    EXPECT_GT(server->renderDrawCounter, 0u);
}

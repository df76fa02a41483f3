#include <gtest/gtest.h>

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
#include "render/GraphicsFixture.h"
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

class DebugOverlay : public GraphicsFixture {
protected:
    void TearDown() override
    {
        THEROLE = nullptr;
        GraphicsFixture::TearDown();
    }

    // Rows of the screen with anything drawn on them, after the overlay was drawn with the debug level.
    int drawnRows(NetRole& role, FontQuad* font, uint32_t level)
    {
        network.hooks.debugLevel = [level] { return level; };
        graphics->beginScene();
        graphics->clear(GLDevice::ClearTarget, 0xFF000000u);
        context.renderEntry();
        Context::setCurrent(&context);
        context.camera->render();
        role.drawDebugOverlay(V3(-300.0f, 200.0f, 0.0f), font);
        Context::setCurrent(nullptr);
        graphics->endScene();
        int w = 0, h = 0;
        const std::vector<std::uint32_t> pixels = graphics->readScreen(w, h);
        int rows = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if ((pixels[static_cast<std::size_t>(y) * w + x] & 0xFFFFFFu) != 0) {
                    ++rows;
                    break;
                }
            }
        }
        return rows;
    }

    KivNetwork network;
    Context context;
    TempDir dir;
};

} // namespace

// The overlay draws its text line below line, and only while the engine's debug level has bit 0x200.
TEST_F(DebugOverlay, DrawsItsLinesOnlyWithTheDebugBit)
{
    OverlayFont overlayFont(dir);
    auto server = std::make_unique<TestServer>();
    server->connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
    server->bOwnsConnection = true;
    buildWorld(*server);
    THEROLE = nullptr;

    EXPECT_EQ(drawnRows(*server, &overlayFont.font, 0x1FF), 0);
    EXPECT_EQ(drawnRows(*server, nullptr, 0x200), 0);
    // Three lines at least (the role, the counters, the traffic), each 10 glyph rows high on the game
    // screen, 8 rows of this smaller window.
    EXPECT_GE(drawnRows(*server, &overlayFont.font, 0x200 | 0x1), 3 * 8);
}

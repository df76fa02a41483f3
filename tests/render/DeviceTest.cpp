#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include <unistd.h>

#include "engine/core/Logger.h"
#include "engine/render/MemoryImageFile.h"
#include "engine/render/VertexBuffer.h"
#include "support/EnvironmentVariable.h"
#include "support/TempDir.h"
#include "GraphicsFixture.h"

namespace {
// Vertices in clip space (identity view and projection): a quad from (x0, y0) to (x1, y1).
void quad(VertexBuffer& vb, float x0, float y0, float x1, float y1, std::uint32_t color)
{
    vb.setVertexCount(4);
    vb[0] = {x0, y1, 0.5f, color, 0, 0};
    vb[1] = {x1, y1, 0.5f, color, 1, 0};
    vb[2] = {x0, y0, 0.5f, color, 0, 1};
    vb[3] = {x1, y0, 0.5f, color, 1, 1};
}
} // namespace

using Device = GraphicsFixture;

TEST_F(Device, DrawsColouredQuadsAndBatchesRunsOfOneState)
{
    graphics->beginScene();
    graphics->clear(GLDevice::ClearTarget, 0xFF0000FFu);
    graphics->getDevice().resetStats();
    VertexBuffer left, right;
    quad(left, -1, -1, 0, 1, 0xFFFF0000u);
    quad(right, 0, -1, 1, 0, 0xFF00FF00u);
    left.draw(4);
    right.draw(4);
    graphics->endScene();
    EXPECT_EQ(graphics->getDevice().stats().drawCalls, 1);
    EXPECT_EQ(pixelAt(100, 240), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(500, 400), 0xFF00FF00u); // bottom right
    EXPECT_EQ(pixelAt(500, 100), 0xFF0000FFu); // top right stays clear
    EXPECT_EQ(graphics->getUploadCount(), 2u);

    // Small runs that differ only in texture share a call, each quad sampling its own texture in both of its
    // triangles, up to the slots of a call; a large run or a change of blending breaks the call. Strip i, at
    // the top, 37 by 24 pixels, has a texture of its own colour.
    GLDevice& device = graphics->getDevice();
    const int columns = GLDevice::TEXTURE_SLOTS + 1;
    const auto texelOf = [](int i) { return 0xFF000000u | static_cast<std::uint32_t>(i * 15) << 16 | (255u - i * 15); };
    const auto drawStrips = [&](int strips, bool largeAfter) {
        std::vector<TextureHandle> textures;
        graphics->beginScene();
        device.resetStats();
        for (int i = 0; i < strips; ++i) {
            const std::uint32_t texel = texelOf(i);
            textures.push_back(device.createTexture(1, 1, &texel));
            VertexBuffer strip;
            quad(strip, -1.0f + 2.0f * i / columns, 0.9f, -1.0f + 2.0f * (i + 1) / columns, 1, 0xFFFFFFFFu);
            strip.draw(4, nullptr, textures.back());
        }
        if (largeAfter) {
            const std::uint32_t texel = 0xFF808080u;
            textures.push_back(device.createTexture(1, 1, &texel));
            quad(right, 0, -1, 1, 0, 0xFFFFFFFFu);
            right.draw(4, nullptr, textures.back());
        }
        quad(right, -1, -1, 0, 0, 0x8000FF00u); // translucent: alpha blending
        right.draw(4);
        graphics->endScene();
        for (int i = 0; i < strips; ++i) {
            const int x0 = i * 640 / columns, x1 = (i + 1) * 640 / columns;
            EXPECT_EQ(pixelAt(x0 + 2, 2), texelOf(i)) << strips << " strips, strip " << i << ", first triangle";
            EXPECT_EQ(pixelAt(x1 - 3, 21), texelOf(i)) << strips << " strips, strip " << i << ", second triangle";
        }
        for (TextureHandle texture : textures) {
            device.destroyTexture(texture);
        }
        return device.stats().drawCalls;
    };
    // Each way of picking the slot: by tests, and by index where the driver allows it.
    for (const bool byIndex : {false, device.canIndexSlots()}) {
        SCOPED_TRACE(byIndex ? "by index" : "by tests");
        device.setSlotIndexing(byIndex);
        EXPECT_EQ(drawStrips(2, false), 2);
        EXPECT_EQ(drawStrips(3, false), 2);
        EXPECT_EQ(drawStrips(GLDevice::TEXTURE_SLOTS + 1, false), 3);
    }
    EXPECT_EQ(drawStrips(5, true), 3);
    device.setJoining(false);
    EXPECT_EQ(drawStrips(5, false), 6);
    device.setJoining(true);
}

// Run in a fresh process whose software renderer draws on threads of its own (it reads the setting once), so
// that a frame can still be drawing when the next one is shown.
using DeviceDeathTest = GraphicsFixture;
TEST_F(DeviceDeathTest, AtMostTwoFramesAreInFlight)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EnvironmentVariable threads("LP_NUM_THREADS", "2");
    EXPECT_EXIT(
        {
            // Frames of 20 translucent layers over the whole window: when present returns, the GPU has done
            // the frame shown before the last one.
            VertexBuffer cover;
            quad(cover, -1, -1, 1, 1, 0x80FF8000u);
            int notDone = 0;
            for (int frame = 0; frame < 4; ++frame) {
                graphics->beginScene();
                for (int layer = 0; layer < 20; ++layer) {
                    cover.draw(4);
                }
                graphics->endScene();
                graphics->present();
                notDone += graphics->getDevice().frameBeforeLastDone() == (frame > 0) ? 0 : 1;
            }
            std::fprintf(stderr, "frames not done: %d\n", notDone);
            _exit(notDone == 0 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "frames not done: 0");
}

TEST_F(Device, EveryPrimitiveCodeDrawsAndAnUnknownOneIsFatal)
{
    VertexBuffer vb(6);
    for (int i = 0; i < 6; ++i) {
        vb[i] = {-0.5f + 0.2f * i, (i % 2) ? 0.5f : -0.5f, 0.5f, 0xFFFFFFFFu, 0, 0};
    }
    graphics->beginScene();
    for (int code = 0; code <= 5; ++code) {
        vb.draw(code);
    }
    graphics->endScene();
    try {
        vb.draw(6);
        FAIL() << "no fatal error";
    } catch (const FatalError& e) {
        EXPECT_EQ(e.message, u"Unknown primitive type 6");
    }
}

TEST_F(Device, TextureWrapRepeatsAndClampStretchesTheEdge)
{
    // A 2x1 texture: red, green. The quad maps u from 0 to 2.
    const std::uint32_t texels[2] = {0xFFFF0000u, 0xFF00FF00u};
    const TextureHandle texture = graphics->getDevice().createTexture(2, 1, texels);
    VertexBuffer vb;
    quad(vb, -1, -1, 1, 1, 0xFFFFFFFFu);
    vb[1].u = 2;
    vb[3].u = 2;
    graphics->beginScene();
    vb.draw(4, nullptr, texture, false, false, true);
    graphics->endScene();
    // Four texel columns of 160 pixels: red, green, red, green.
    EXPECT_EQ(pixelAt(80, 240), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(240, 240), 0xFF00FF00u);
    EXPECT_EQ(pixelAt(400, 240), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(560, 240), 0xFF00FF00u);
    graphics->beginScene();
    vb.draw(4, nullptr, texture, false, false, false);
    graphics->endScene();
    EXPECT_EQ(pixelAt(400, 240), 0xFF00FF00u);
    graphics->getDevice().destroyTexture(texture);
}

TEST_F(Device, AdditiveBlendingAddsToTheTarget)
{
    VertexBuffer vb;
    quad(vb, -1, -1, 1, 1, 0xFF00FF00u);
    graphics->beginScene();
    graphics->clear(GLDevice::ClearTarget, 0xFFFF0000u);
    vb.draw(4, nullptr, 0, false, true);
    graphics->endScene();
    EXPECT_EQ(pixelAt(10, 10), 0xFFFFFF00u);
}

TEST(GraphicsLayout, LetterboxAndPillarboxKeepTheScreenAspect)
{
    int w = 0, h = 0;
    KivGraphics::computeScreenSize(1280, 720, true, w, h);
    EXPECT_EQ(w, 960);
    EXPECT_EQ(h, 720);
    KivGraphics::computeScreenSize(1280, 1024, true, w, h);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 960);
    KivGraphics::computeScreenSize(1280, 720, false, w, h);
    EXPECT_EQ(w, 1280);

    auto r = KivGraphics::computeViewport(1280, 720, 640, 480, true);
    EXPECT_EQ(r.left, 160);
    EXPECT_EQ(r.right, 1120);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom, 720);
    r = KivGraphics::computeViewport(800, 800, 800, 600, true);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.bottom, 700);
    r = KivGraphics::computeViewport(1280, 720, 640, 480, false);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 1280);
}

// A window opens at its own size when it fits the display, else at the last listed mode that does.
TEST(GraphicsLayout, AWindowLargerThanTheDisplayTakesTheLargestModeThatFits)
{
    const std::vector<KivGraphics::VideoMode> modes = {
        {320, 240, 320, 240}, {800, 600, 800, 600}, {1280, 720, 960, 720}, {1280, 1024, 1280, 960},
        {1920, 1080, 1440, 1080}, {7680, 4320, 5760, 4320}};
    struct Case {
        int width, height, displayWidth, displayHeight, usedWidth, usedHeight;
    };
    const Case cases[] = {
        {7680, 4320, 1280, 1024, 1280, 1024}, // from a large monitor to a laptop
        {16384, 16384, 1920, 1080, 1920, 1080},
        {1280, 1024, 1280, 1024, 1280, 1024}, // the display's own size fits
        {1281, 600, 1280, 1024, 1280, 1024},  // too wide only
        {1024, 1025, 1280, 1024, 1280, 1024}, // too tall only
        {2600, 1500, 1280, 800, 1280, 720},   // 1280x1024 is too tall
        {2600, 1500, 0, 0, 2600, 1500},       // display size unknown
        {900, 700, 640, 480, 320, 240},
        {900, 700, 300, 200, 800, 600},       // no mode fits: the default
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " on " +
                     std::to_string(c.displayWidth) + "x" + std::to_string(c.displayHeight));
        EXPECT_EQ(std::make_pair(c.usedWidth, c.usedHeight),
                  KivGraphics::windowSizeForDisplay(c.width, c.height, c.displayWidth, c.displayHeight, modes));
    }
}

TEST_F(Device, PillarboxBarsStayBlackAroundAFourThreeScreenInASixteenNineWindow)
{
    start(1280, 720, 1280, 720, true);
    // The window keeps the requested mode size unless the platform lets it be changed.
    const auto [ww, wh] = graphics->getDevice().drawableSize();
    if (ww != 1280 || wh != 720) {
        GTEST_SKIP() << "window was resized to " << ww << "x" << wh;
    }
    EXPECT_EQ(graphics->viewport.left, 160);
    EXPECT_EQ(graphics->viewport.right, 1120);
    EXPECT_EQ(graphics->width, 960);
    EXPECT_FLOAT_EQ(graphics->displayScale, 1.0f);
    EXPECT_FLOAT_EQ(graphics->pixelFactor[0], 1.0f);
    graphics->beginScene();
    graphics->clear(GLDevice::ClearTarget, 0xFFFFFFFFu);
    graphics->endScene();
    const std::vector<std::uint32_t> all = graphics->getDevice().readPixels(0, 0, 1280, 720);
    EXPECT_EQ(all[360 * 1280 + 100] | 0xFF000000u, 0xFF000000u);
    EXPECT_EQ(all[360 * 1280 + 1200] | 0xFF000000u, 0xFF000000u);
    EXPECT_EQ(all[360 * 1280 + 640] | 0xFF000000u, 0xFFFFFFFFu);
}

TEST_F(Device, VideoModeNamesAndPresentationChanges)
{
    const auto& modes = graphics->getVideoModes();
    ASSERT_GE(modes.size(), 2u); // the two small test modes at least
    for (std::size_t i = 1; i < modes.size(); ++i) {
        const bool ascending = modes[i - 1].width < modes[i].width ||
                               (modes[i - 1].width == modes[i].width && modes[i - 1].height < modes[i].height);
        EXPECT_TRUE(ascending);
    }
    EXPECT_EQ(graphics->getVideoModeName({320, 240, 320, 240}), u"320x240");
    EXPECT_EQ(graphics->getVideoModeName({1280, 720, 960, 720}), u"1280x720 (16:9)");
    EXPECT_EQ(graphics->getVideoModeName({1280, 800, 1066, 800}), u"1280x800 (16:10)");

    std::vector<UString> lines;
    Logger::setObserver([&](UStringView line) { lines.emplace_back(line); });
    graphics->changePresentationParameters(-1, -1, false, true, true, false);
    EXPECT_FALSE(graphics->isResetPending());
    EXPECT_TRUE(graphics->bBilinearFilter);
    graphics->changePresentationParameters(320, 240, false, true, true, false);
    EXPECT_TRUE(graphics->isResetPending());
    Logger::setObserver(nullptr);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(u"Restarting to apply configuration."), UString::npos);
    graphics->resetIfPending();
    EXPECT_FALSE(graphics->isResetPending());
    EXPECT_EQ(graphics->width, 320);
    EXPECT_EQ(graphics->height, 240);
    // A negative size keeps the current one in that direction only.
    graphics->changePresentationParameters(480, -1, false, true, true, false);
    EXPECT_EQ(graphics->videoModeWidth, 480);
    EXPECT_EQ(graphics->videoModeHeight, 240);
    graphics->changePresentationParameters(-1, 360, false, true, true, false);
    EXPECT_EQ(graphics->videoModeWidth, 480);
    EXPECT_EQ(graphics->videoModeHeight, 360);
    graphics->resetIfPending();
}

TEST_F(Device, ScreenshotsRoundTripAsTgaAndJpg)
{
    TempDir dir;
    VertexBuffer vb;
    quad(vb, -1, -1, 0, 1, 0xFFFF0000u);
    graphics->beginScene();
    graphics->clear(GLDevice::ClearTarget, 0xFF0000FFu);
    vb.draw(4);
    graphics->endScene();
    graphics->setScreenshotFolder(dir.path());
    EXPECT_TRUE(graphics->handleScreenshotKey(false, false).empty());
    const std::string tga = graphics->handleScreenshotKey(true, true);
    ASSERT_FALSE(tga.empty());
    EXPECT_EQ(tga.substr(tga.size() - 4), ".tga");
    MemoryImageFile shot(0, utf8ToWide(tga));
    EXPECT_EQ(shot.getWidth(), 640);
    EXPECT_EQ(shot.getPixel(10, 10), 0xFFFF0000u);
    EXPECT_EQ(shot.getPixel(630, 470), 0xFF0000FFu);

    graphics->saveCrashScreenshot(dir.file("crash.jpg"));
    MemoryImageFile jpg(0, utf8ToWide(dir.file("crash.jpg")));
    EXPECT_EQ(jpg.getHeight(), 480);
    const std::uint32_t p = jpg.getPixel(600, 240);
    EXPECT_GT(p & 0xFF, 0xF0u);
    EXPECT_LT((p >> 16) & 0xFF, 0x10u);
}

TEST_F(Device, AWindowShowsItsModeAsItIs)
{
    start(1280, 720, 1280, 720, false);
    EXPECT_EQ(graphics->width, 1280);
    EXPECT_EQ(graphics->height, 720);
    EXPECT_FLOAT_EQ(graphics->aspectFactor, 720.0f / 1280.0f);
    EXPECT_EQ(graphics->viewport.left, 0);
}

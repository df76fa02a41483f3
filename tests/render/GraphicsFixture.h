#pragma once
// A hidden window with the graphics service on it, and pixel read-back, for the render tests.
#include <gtest/gtest.h>

#include <memory>

#include "engine/core/ErrorManager.h"
#include "engine/render/KivGraphics.h"

class GraphicsFixture : public ::testing::Test {
protected:
    void SetUp() override { start(640, 480, 640, 480, false); }
    void TearDown() override
    {
        graphics.reset();
        window.reset();
    }

    void start(int windowW, int windowH, int modeW, int modeH, bool fullScreen, bool letterbox = true)
    {
        graphics.reset();
        window.reset();
        ErrorManager::setThrowForTests(true);
        window = std::make_unique<OffscreenWindow>(windowW, windowH);
        KivGraphics::Settings settings;
        settings.videoModeWidth = modeW;
        settings.videoModeHeight = modeH;
        settings.bFullScreen = fullScreen;
        settings.bAllowLetterbox = letterbox;
        settings.bBilinearFilter = false;
        graphics = std::make_unique<KivGraphics>(window->window(), settings);
    }

    // The colour of a game-screen pixel (top-left origin) of what was drawn so far.
    std::uint32_t pixelAt(int x, int y)
    {
        int w = 0, h = 0;
        const std::vector<std::uint32_t> pixels = graphics->readScreen(w, h);
        if (x < 0 || y < 0 || x >= w || y >= h) {
            return 0xDEADBEEF;
        }
        return pixels[static_cast<std::size_t>(y) * w + x] | 0xFF000000u;
    }

    std::unique_ptr<OffscreenWindow> window;
    std::unique_ptr<KivGraphics> graphics;
};

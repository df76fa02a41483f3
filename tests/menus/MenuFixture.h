#pragma once
// One headless engine for the whole menu test program, with the game's Global loaded through the real
// loader over the built archives. Each test starts from an empty screen stack and pushes what it needs;
// input is injected straight into the input service's states.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/V3.h"
#include "support/KivHarness.h"

class Context;
class ContextManager;
class ContextMenu;
class Global;
class KivInput;
class MenuItem;

class MenuFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static constexpr int LARGEST_WIDTH = KivHarness::LARGEST_WIDTH;
    static constexpr int LARGEST_HEIGHT = KivHarness::LARGEST_HEIGHT;

    static KivHarness& harness();
    static Global& global();
    static ContextManager& screens();
    static KivInput& input();

    // Deletes every screen and resets the stack, the navigation mode, the pointer and the players.
    static void clearScreens();
    static void frames(int count = 1);
    // Pushes a screen and runs a frame so it is the active top screen.
    static void push(Context* screen);
    static Context* top();

    // Input: a key or input code held down (or released) from the next frame on.
    static void hold(int code, bool down = true);
    // A key pressed for one frame and released in the next.
    static void tap(int code);
    // The pointer to a point in pointer coordinates (pixels from the left and the bottom edge).
    static void movePointer(const V3& pointer);
    // The pointer to a point of a screen's plane.
    static void movePointerTo(const Context* screen, const V3& planePoint);
    // A mouse press and release at the pointer, over two frames.
    static void click();
    static void pressMouse(bool down);
    // A typed character, seen by one frame.
    static void type(char16_t c);
    // A click on the centre of an item.
    static void clickItem(MenuItem* item);
    // A finger on a point of a screen's plane: down in one frame, up in the next.
    static void touch(const Context* screen, const V3& planePoint);
    static void finger(int phase, const V3& pointer);

    // The game screen as read back once; pixel(x, y) is 0xAARRGGBB with a top-left origin.
    struct Screen {
        int width = 0;
        int height = 0;
        std::vector<std::uint32_t> pixels;
        std::uint32_t pixel(int x, int y) const;
        // Pixels of [x0, x1) x [y0, y1) on the screen whose three channels are all below `below`: a text's
        // rim (below 80), bare black (below 9).
        int darkPixels(int x0, int x1, int y0, int y1, int below = 80) const;
        // The pixel differs from the other screen's in a channel by more than 24.
        bool differsFrom(const Screen& other, int x, int y) const;
    };
    // The first and the last column from x0 to x1 (exclusive) with a pixel that ink(x, y) takes, in the 25 rows
    // around row cy (an item's row); {x1, x0 - 1} when there is none.
    template <class Ink>
    static std::pair<int, int> inkColumns(int x0, int x1, int cy, Ink ink)
    {
        std::pair<int, int> found(x1, x0 - 1);
        for (int y = cy - 12; y <= cy + 12; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (ink(x, y)) {
                    found = {std::min(found.first, x), std::max(found.second, x)};
                }
            }
        }
        return found;
    }
    static Screen readScreen();
    // Takes the pictures from behind and in front of a screen and clears it to white: the rims of its
    // texts then show on a light ground.
    static void onWhite(Context* screen);
    // Writes the game screen, or a screen read before, as "<name>.png" into the screenshot folder (kept for
    // a person to look at).
    static std::string screenshot(const std::string& name);
    static std::string screenshot(const std::string& name, const Screen& screen);

    static void addPlayers(int count);
};

#pragma once
// One loaded game for the whole test program: a headless engine with the built data archives, the game's
// Global with its fonts and resources, and the screen stack. Loading takes a while, so the tests share it
// and reset the player and the stack between them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/KivHarness.h"

class Context;
class ContextManager;
class MyGlobal;
struct ProfileData;

class LoadedGame {
public:
    // Loads on first use.
    static LoadedGame& get();
    // Deletes the game and the engine (called once at the end of the program).
    static void shutdown();

    // A fresh current player; the stack keeps only the screens made at start-up.
    void resetPlayer();
    // Takes every screen off the stack above the bottom one that start-up left.
    void clearScreens();
    ProfileData& player();
    ContextManager& screens();
    void frame();
    void frames(int count);
    // Gives the game screen w x h pixels in a window of that size (the display lists only small modes) and
    // runs the frame that applies it.
    void setScreenSize(int w, int h);
    // Full screen in a w x h mode that keeps the game's shape: the game screen is the mode's 4:3 middle, shown
    // as large as the display takes it (the test driver's display is 1024 x 768, so a wide mode's screen is
    // scaled down there rather than framed by bars). Runs the frame that applies it.
    void setFullScreen(int w, int h);
    // Lets `seconds` pass: one frame, then ticks of up to 0.05 s without drawing or input.
    void advance(double seconds);
    // Puts the pointer at a point of a context's world (z = 0) and runs no frame.
    void pointAt(const Context& context, float x, float y);
    // A mouse click at a point of a context's world: press, a frame, release, a frame (the tap's frame).
    void clickAt(const Context& context, float x, float y);
    // A finger tapping at a point, or put down there and moved sideways by `dxWindow` window pixels over
    // `steps` frames, then lifted; the frame of the lift is the last frame run.
    void tapAt(const Context& context, float x, float y);
    void dragFinger(const Context& context, float x, float y, float dxWindow, int steps);
    // Window pixels of a point of a context's world.
    void toWindow(const Context& context, float x, float y, float& wx, float& wy);
    // What is on screen, drawn anew, as 0xAARRGGBB rows from the top, the game screen's size.
    std::vector<std::uint32_t> readScreen(int& w, int& h);
    // Writes what is on screen as a TGA into the build folder's screenshots and returns its path.
    std::string screenshot(const std::string& name);

    // Its window can take the largest screen the game is played at.
    KivHarness harness{{}, {}, KivHarness::LARGEST_WIDTH, KivHarness::LARGEST_HEIGHT};
    MyGlobal* global = nullptr;

private:
    LoadedGame();
    ~LoadedGame();
    int baseScreens = 0;
};

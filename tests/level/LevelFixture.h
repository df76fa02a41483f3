#pragma once
// One headless engine for the level tests, with the game's data loaded from the built archives (every
// texture with its frames, the sounds, the music and the six fonts), a configuration and a player, and
// helpers to build a level in code, play it through a level manager and read pixels back.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/core/UColor.h"
#include "engine/core/UString.h"
#include "support/KivHarness.h"

class ContextLevelManager;
class ContextManager;
class GameController;
class GameConfiguration;
class LevelBuilder;
class MyGlobal;
class Pig;
struct ProfileData;

// Makes the engine build the game's language object (before the harness starts the engine).
struct LanguageForEngine {
    LanguageForEngine();
};

class LevelEnvironment {
public:
    // The shared engine (made on first use, kept for the whole program).
    static LevelEnvironment& get();

    LanguageForEngine languageFactory;
    KivHarness harness;
    MyGlobal* global = nullptr; // lives as long as the program
    double loadSeconds = 0.0;

private:
    LevelEnvironment();
    void loadResources();
};

class LevelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    KivHarness& harness() { return env->harness; }
    ContextManager& stack();
    GameConfiguration& config();
    ProfileData& profile();
    // Plays the level of a builder through a level manager made from its stream.
    void play(LevelBuilder& builder);
    // Plays a level of the builder's defaults into its playing state; answers its pig, or null when the
    // level does not get there.
    Pig* playToPig();
    // The running level's controller and house (the house as a plain object; null when missing).
    GameController& level();
    // Sets or clears the house's pig-at-home flag.
    void setPigAtHome(bool atHome);
    // Delivers every required apple.
    void deliverApples();
    // Runs frames until the level is in `state` (at most `limit` frames); answers whether it got there.
    bool runToState(int state, int limit = 2000);
    // Runs frames of the screen stack with the level manager (each one fixed step of 0.01 s). Drawing
    // every frame is slow on the software renderer, so a longer run polls the input and draws only in
    // its first and last frame and merely ticks in between: input changes belong before a run, and a
    // press or touch should be followed by a single frame before a longer run.
    void frames(int count);
    // Runs ticks until the condition holds or `limit` ticks have passed; answers whether it held. The
    // first tick is a whole frame (input polled, drawn); the rest only tick.
    template <class Condition>
    bool runUntil(Condition condition, int limit)
    {
        for (int i = 0; i < limit; ++i) {
            if (condition()) {
                return true;
            }
            if (i == 0) {
                frames(1);
            } else {
                tickOnly();
            }
        }
        return condition();
    }
    // One tick of the stack without polling the input or drawing.
    void tickOnly();
    // Key state injection: the key goes down (or up) before the next frame.
    void pressKey(int code);
    void releaseKey(int code);
    // A touch or mouse press at screen pixels from the lower-left corner, and its release.
    void touchDown(float x, float y);
    void touchUp();
    // A finger at screen pixels from the lower-left corner (fractions of a pixel kept), and its lifting.
    void fingerDown(float x, float y);
    void fingerUp();

    // Pixels of the last drawn frame (x from the left, y from the top) and a screenshot for looking at.
    UColor pixel(int x, int y);
    void saveScreenshot(const std::string& name);

    LevelEnvironment* env = nullptr;
    std::unique_ptr<ContextLevelManager> manager;
};

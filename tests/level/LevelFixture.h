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
class GameConfiguration;
class LevelBuilder;
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
    std::unique_ptr<GameConfiguration> configuration;
    std::unique_ptr<ProfileData> profile;
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
    // Plays the level of a builder through a level manager made from its stream.
    void play(LevelBuilder& builder);
    // Runs frames of the level manager (each one fixed step of 0.01 s).
    void frames(int count);
    // Runs frames until the condition holds or `limit` frames have passed; answers whether it held.
    template <class Condition>
    bool runUntil(Condition condition, int limit)
    {
        for (int i = 0; i < limit; ++i) {
            if (condition()) {
                return true;
            }
            frames(1);
        }
        return condition();
    }
    // Key state injection: the key goes down (or up) before the next frame.
    void pressKey(int code);
    void releaseKey(int code);
    // A touch or mouse press at screen pixels from the lower-left corner, and its release.
    void touchDown(float x, float y);
    void touchUp();

    // Pixels of the last drawn frame (x from the left, y from the top) and a screenshot for looking at.
    UColor pixel(int x, int y);
    void saveScreenshot(const std::string& name);

    LevelEnvironment* env = nullptr;
    std::unique_ptr<ContextLevelManager> manager;
};

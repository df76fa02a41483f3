#pragma once
// One headless engine per test program with the game's data loaded, a configuration and a player; and the
// level sources, read once.
#include <memory>
#include <vector>

#include "support/KivHarness.h"
#include "tools/databuilder/LevelSource.h"

struct ProfileData;
struct BotStep;

class LevelEnvironment {
public:
    static LevelEnvironment& get();

    KivHarness& harness() { return *engine; }
    ProfileData& profile();
    const std::vector<LevelSource>& sources() const { return levelSources; }
    // The route of a source as the bot's steps.
    static std::vector<BotStep> routeOf(const LevelSource& level);

private:
    LevelEnvironment();
    std::unique_ptr<KivHarness> engine;
    std::vector<LevelSource> levelSources;
};

// The whole game from a first start, as a player meets it: the program's own start and loop from an empty
// user folder, the language taken from the system, intro and splash passed, a player named, the world map
// opened, the first level played to its results by the level bot, and after a restart of the program the
// next level open in the saved profile.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>
#include <string>

#include "ScriptedGame.h"
#include "engine/kiv/Kiv.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/GameInfo.h"
#include "engine/files/FileManager.h"
#include "game/front/ContextIntroText.h"
#include "game/front/ContextSplash.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/level/ContextLevelManager.h"
#include "game/menus/ContextEnterName.h"
#include "game/menus/ContextMain.h"
#include "game/menus/MenuButton.h"
#include "game/userdata/ProfileData.h"
#include "game/userdata/ProfileManager.h"
#include "game/worldmap/ContextValley.h"
#include "support/LevelBot.h"
#include "support/TempDir.h"
#include "tools/databuilder/LevelSource.h"

namespace {
namespace fs = std::filesystem;

// The user's data home and locale for the program, put back at the end.
class SystemSettings {
public:
    SystemSettings(const std::string& dataHome, const char* locale)
    {
        for (const char* name : NAMES) {
            const char* v = std::getenv(name);
            saved.emplace_back(name, v != nullptr ? std::optional<std::string>(v) : std::nullopt);
            unsetenv(name);
        }
        setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        setenv("LANG", locale, 1);
    }
    ~SystemSettings()
    {
        for (const auto& [name, value] : saved) {
            if (value) {
                setenv(name, value->c_str(), 1);
            } else {
                unsetenv(name);
            }
        }
    }

private:
    static constexpr const char* NAMES[] = {"XDG_DATA_HOME", "LANG", "LC_ALL", "LC_MESSAGES"};
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
};

std::vector<BotStep> routeOf(const LevelSource& level)
{
    std::vector<BotStep> steps;
    for (const RouteStep& r : level.route) {
        BotStep s;
        s.kind = static_cast<BotStep::Kind>(static_cast<int>(r.kind));
        s.value = r.value;
        s.target = r.target;
        steps.push_back(s);
    }
    return steps;
}

ProfileData& player() { return Global::instance()->profiles.getCurrentProfile(); }

std::string languageCode() { return wideToUtf8(Kiv::instance()->language->getText(STR_LANGUAGEISOCODE)); }

// The loader has run and left the stack; the splash screen is on top.
bool startedUp(const ScriptedGame& game)
{
    return Global::instance() != nullptr && Global::instance()->contextIntro != nullptr &&
           game.topAs<ContextSplash>() != nullptr;
}

std::vector<fs::path> profileFiles(const std::string& folder)
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.path().extension() == ".pro") {
            found.push_back(entry.path());
        }
    }
    return found;
}

// The current player as the profile file on disk has it (a default record when it cannot be read).
ProfileData savedPlayer(const fs::path& file)
{
    std::vector<std::uint8_t> record(sizeof(ProfileManager));
    const UString folder = utf8ToWide(file.parent_path().string() + "/");
    const auto found = FileManager::loadUserFile(record.data(), record.size(), folder,
                                                 utf8ToWide(file.filename().string()), GameInfo::VERSION);
    ProfileData player;
    if (found == FileManager::UserFile::Loaded) {
        std::int32_t current = 0;
        std::memcpy(&current, record.data() + offsetof(ProfileManager, currentProfile), sizeof current);
        const std::size_t at = offsetof(ProfileManager, profiles) + sizeof(ProfileData) * static_cast<std::size_t>(current);
        std::memcpy(static_cast<void*>(&player), record.data() + at, sizeof player);
    }
    return player;
}

} // namespace

TEST(WholeGame, FirstLevelFromAFreshStartIsBookedSavedAndKeptOverARestart)
{
    ErrorManager::setThrowForTests(true);
    const LevelSource first = readLevelSource(std::string(LEVEL_SOURCE_DIR) + "/a1xmas.level");
    ASSERT_EQ(first.number, 0);
    TempDir home;
    SystemSettings system(home.path(), "de_DE.UTF-8");

    {
        ScriptedGame game;
        ASSERT_TRUE(game.runUntil([&] { return startedUp(game); }, 60.0)) << "the loader never finished";
        EXPECT_EQ(languageCode(), "de") << "the language is the system's";

        // The splash and the intro's story wait for the jump key.
        game.wait(0.5);
        game.press("Space");
        ASSERT_TRUE(game.runUntil([&] { return game.topAs<ContextIntroText>() != nullptr; }, 2.0));
        game.wait(0.5);
        game.press("Space");

        // Without a player the main menu asks for a name.
        ASSERT_TRUE(game.runUntil([&] { return game.topAs<ContextEnterName>() != nullptr; }, 5.0));
        game.type("Tester");
        game.press("Return");
        ASSERT_TRUE(game.runUntil([&] { return game.topAs<ContextMain>() != nullptr; }, 2.0));
        ASSERT_EQ(wideToUtf8(player().getName()), "Tester");

        // Start Game opens the world map, which welcomes the new player and then lets them choose.
        game.wait(0.5);
        game.click(*game.topAs<ContextMain>()->startButton);
        ASSERT_TRUE(game.runUntil([&] { return game.topAs<ContextValley>() != nullptr; }, 2.0));
        ContextValley& valley = *game.topAs<ContextValley>();
        EXPECT_EQ(valley.state, ContextValley::STATE_WELCOME);
        ASSERT_TRUE(game.runUntil([&] { return valley.state == ContextValley::STATE_CHOOSE; }, 5.0));
        EXPECT_EQ(player().currentLevel, 0);
        EXPECT_EQ(player().levelStats[1].available, 0);

        // Play starts the first level after the fade.
        game.wait(0.5);
        game.click(*valley.buttonPlay);
        ASSERT_TRUE(game.runUntil([&] { return valley.levelManager != nullptr && game.top() == valley.levelManager; },
                                  3.0))
            << "the level did not start";

        // The level is drawn at a quarter of the bot's drawn frames: drawing is most of a headless frame.
        int botDrawn = 0;
        LevelBot bot([&](bool draw) { game.turn(draw && botDrawn++ % 4 == 0); });
        const BotReport report = bot.playStarted(*valley.levelManager, routeOf(first));
        EXPECT_EQ(report.failure, "");
        ASSERT_EQ(report.resultCode, ContextValley::RESULT_FINISHED);

        // Back on the map the run is booked, the next level opens with the pan, and all is saved.
        ASSERT_TRUE(game.runUntil([&] { return game.top() == &valley && valley.state == ContextValley::STATE_CHOOSE; },
                                  10.0));
        EXPECT_EQ(player().levelStats[0].completed, 1);
        EXPECT_EQ(player().levelStats[0].timesPlayed, 1);
        EXPECT_EQ(player().levelStats[1].available, 1);
        EXPECT_EQ(player().currentLevel, 1);
        const std::vector<fs::path> files = profileFiles(home.path());
        ASSERT_EQ(files.size(), 1u);
        const ProfileData saved = savedPlayer(files[0]);
        EXPECT_EQ(wideToUtf8(saved.getName()), "Tester");
        EXPECT_EQ(saved.levelStats[0].completed, 1);
        EXPECT_EQ(saved.levelStats[1].available, 1) << "the map saves the unlocked level at once";

        ASSERT_TRUE(game.close()) << "the window's close did not end the program";
    }

    // The program again over the same user folder: the player, their progress and the language are back.
    ScriptedGame again;
    ASSERT_TRUE(again.runUntil([&] { return startedUp(again); }, 60.0));
    EXPECT_EQ(languageCode(), "de");
    ASSERT_EQ(Global::instance()->profiles.countProfiles(), 1);
    EXPECT_EQ(wideToUtf8(player().getName()), "Tester");
    EXPECT_EQ(player().levelStats[0].completed, 1);
    EXPECT_EQ(player().levelStats[1].available, 1);
    EXPECT_EQ(player().levelStats[2].available, 0);
    EXPECT_EQ(player().currentLevel, 1);
    EXPECT_TRUE(again.close());
}

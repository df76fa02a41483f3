// The bot finishes the levels along their routes, as a player would, with full marks within par time, and
// says so when a level does not finish.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "LevelEnvironment.h"
#include "engine/input/KivInput.h"
#include "support/LevelBot.h"

namespace {

class LevelBotTest : public ::testing::TestWithParam<int> {};

void expectFullMarks(const BotReport& report, const LevelSource& source) {
    EXPECT_EQ(report.failure, "");
    EXPECT_EQ(report.resultCode, 5);
    const LevelStats& s = report.stats;
    EXPECT_EQ(s.requiredApplesGot, s.requiredApples);
    EXPECT_EQ(s.bonusApplesGot, s.bonusApples);
    EXPECT_EQ(s.sweetsGot, source.count("sweet"));
    EXPECT_EQ(s.secretsFound, source.count("secret"));
    EXPECT_EQ(s.livesLost, 0);
    EXPECT_LE(s.time, source.parTime);
    EXPECT_EQ(s.totalPoints, 1000);
    std::printf("%s: %d frames, %.1f s played of %.0f s par, %d points\n", source.path.c_str(), report.frames, s.time,
                source.parTime, s.totalPoints);
}

} // namespace

TEST_P(LevelBotTest, FinishesWithFullMarks) {
#if defined(__SANITIZE_ADDRESS__)
    // Under the sanitizers the engine runs many times slower: one level of each kind is enough there.
    if (GetParam() != 0 && GetParam() != 3)
        GTEST_SKIP() << "played in the normal build";
#endif
    LevelEnvironment& env = LevelEnvironment::get();
    const LevelSource& source = env.sources().at(GetParam());
    LevelBot bot(env.harness());
    expectFullMarks(bot.play(source.number, LevelEnvironment::routeOf(source)), source);
}

// Every level, played along its route.
INSTANTIATE_TEST_SUITE_P(AllLevels, LevelBotTest, ::testing::Range(0, 32),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Level" + std::to_string(info.param);
                         });

// The bot's own verdict: a route without its last step (going in) leaves the pig outside, and the bot
// says the level did not finish.
TEST_F(LevelBotTest, ReportsAFailureWhenItsRouteIsCutShort) {
    LevelEnvironment& env = LevelEnvironment::get();
    const LevelSource& source = env.sources().at(0);
    std::vector<BotStep> route = LevelEnvironment::routeOf(source);
    ASSERT_FALSE(route.empty());
    route.pop_back();
    LevelBot bot(env.harness());
    const BotReport report = bot.play(source.number, route);
    EXPECT_NE(report.resultCode, 5);
    EXPECT_NE(report.failure.find("the level ended with result code 0"), std::string::npos) << report.failure;
}

// The first level again, steered by the touch controls: the arrows and the jump button, taps on the
// hints to close them and a tap on the pig at its door to go in.
TEST(LevelBotTouch, FinishesTheFirstLevelByTouch) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "played in the normal build";
#endif
    LevelEnvironment& env = LevelEnvironment::get();
    const LevelSource& source = env.sources().at(0);
    LevelBot bot(env.harness());
    const BotReport report = bot.play(source.number, LevelEnvironment::routeOf(source), true);
    expectFullMarks(report, source);
    EXPECT_EQ(report.inputMode, int(KivInput::INPUT_TOUCH)) << "a key was pressed on the way";
}

// A level from its stream to its result code: the nine states with their timings on the fixed 0.01 s step,
// the completion test, scoring into the profile and the high-score table, the bonus level's countdown.
#include <cstring>

#include "LevelFixture.h"

#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "game/level/ContextHUD.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/LevelBuilder.h"
#include "game/level/LevelServices.h"
#include "game/level/StatsRow.h"
#include "game/userdata/GameConfiguration.h"
#include "game/userdata/ProfileData.h"
#include "game/world/TriggerArea.h"

namespace {

std::vector<StatsRow*> statsRows(const GameController& gc)
{
    std::vector<StatsRow*> rows;
    for (KivBase* o = gc.contextHUD->getFirstChild(); o != nullptr; o = o->getNext()) {
        if (auto* row = dynamic_cast<StatsRow*>(o)) {
            rows.push_back(row);
        }
    }
    return rows;
}

int glyphs(const MessageDisplay& display) { return display.countChildren(); }

// The level end entered at once on the server, after a run of `time` seconds and `framesPlayed` ticks.
void endRunNow(GameController& gc, GameServer* server, double time, uint32_t framesPlayed)
{
    THEROLE = server;
    gc.levelStats.time = time;
    gc.framesPlayed = framesPlayed;
    gc.state = GameController::STATE_LEVELEND;
    gc.stateGoto = gc.state;
    gc.local_enterState();
    THEROLE = nullptr;
}

} // namespace

TEST_F(LevelTest, NineStatesWithTheirTimingsEndInResultCodeFive)
{
    LevelBuilder builder;
    play(builder);
    GameController& gc = level();
    // The level start has run: state 1, the screen fading in from black.
    EXPECT_EQ(gc.state, 1);
    EXPECT_FLOAT_EQ(LevelServices::getFade(), 1.0f);
    EXPECT_FLOAT_EQ(LevelServices::getFadeTarget(), 0.0f);

    frames(99);
    EXPECT_EQ(gc.state, 1);
    frames(3);
    ASSERT_EQ(gc.state, 2);
    // "Level 5" on messenger 2 (level number 4), the title on messenger 1, glyph by glyph.
    EXPECT_EQ(glyphs(gc.contextHUD->messenger2), 7);
    EXPECT_EQ(glyphs(gc.contextHUD->messenger1), static_cast<int>(ProfileData::levelNumberToTitle(4).size()));

    frames(396);
    EXPECT_EQ(gc.state, 2);
    frames(4);
    ASSERT_EQ(gc.state, 4); // state 3 ("GO!") passes on at once
    EXPECT_EQ(glyphs(gc.contextHUD->messenger1), 3);

    // Play a second, then complete: state 5 a second later, which finds the level complete.
    frames(100);
    EXPECT_NEAR(gc.levelStats.time, 1.0, 0.03);
    deliverApples();
    setPigAtHome(true);
    frames(99);
    EXPECT_EQ(gc.state, 4);
    ASSERT_TRUE(runToState(6, 4));
    const double played = gc.levelStats.time;
    EXPECT_NEAR(played, 2.0, 0.05);
    // One tick per 0.01 s, truncated.
    EXPECT_GE(gc.levelStats.averageFrameRate, 99);
    EXPECT_LE(gc.levelStats.averageFrameRate, 100);
    EXPECT_EQ(glyphs(gc.contextHUD->messenger1), 15); // "Level complete!"

    // Scored into the player's record and the high-score table.
    const LevelStats& record = profile().levelStats[4];
    EXPECT_EQ(record.empty, 0);
    EXPECT_EQ(record.totalPoints, gc.levelStats.totalPoints);
    EXPECT_EQ(record.requiredApplesGot, gc.levelStats.requiredApplesGot);
    const HIGHSCOREENTRY& entry = config().highScores[4];
    EXPECT_STREQ(entry.name, "Tester");
    EXPECT_EQ(entry.points, gc.levelStats.totalPoints);
    EXPECT_EQ(entry.time, static_cast<int>(played));

    // Results after 6 s: seven rows from y = 160 down in steps of 35.
    frames(595);
    EXPECT_EQ(gc.state, 6);
    ASSERT_TRUE(runToState(7, 10));
    const auto rows = statsRows(gc);
    ASSERT_EQ(rows.size(), 7u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_FLOAT_EQ(rows[i]->rowPosition.y, 160.0f - 35.0f * static_cast<float>(i));
    }
    EXPECT_TRUE(rows.back()->bTotalRow);

    // The continue key: fade out, then result code 5 a second later and the manager finishes.
    frames(50);
    pressKey(57);
    frames(1);
    releaseKey(57);
    EXPECT_EQ(gc.state, 8);
    EXPECT_FLOAT_EQ(LevelServices::getFadeTarget(), 1.0f);
    EXPECT_EQ(manager->getResultCode(), 0);
    ASSERT_TRUE(runUntil([&] { return manager->getResultCode() != 0; }, 110));
    EXPECT_EQ(manager->getResultCode(), 5);
    EXPECT_TRUE(manager->bClosed);
}

TEST_F(LevelTest, AScheduledStateChangeFallsDueAfterTheFramesPlayLogic)
{
    LevelBuilder builder;
    play(builder);
    GameController& gc = level();
    ASSERT_TRUE(runToState(GameController::STATE_PLAYING));
    frames(10);
    const uint32_t played = gc.framesPlayed;
    // Due in the next frame: that frame still counts as played, then the state changes.
    gc.gotoState(GameController::STATE_LEVELEND, 0.005);
    frames(1);
    EXPECT_EQ(gc.state, GameController::STATE_LEVELEND);
    EXPECT_EQ(gc.framesPlayed, played + 1);
}

TEST_F(LevelTest, LeavingTheHouseWithinASecondReturnsToPlay)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    GameController& gc = level();
    deliverApples();
    setPigAtHome(true);
    frames(50);
    setPigAtHome(false);
    // The pending state 5 still falls due, finds the level incomplete and goes back to 4.
    frames(60);
    EXPECT_EQ(gc.state, 4);
    EXPECT_EQ(gc.stateGoto, 4);
    EXPECT_EQ(gc.stateLeft, 0.0);
    frames(200);
    EXPECT_EQ(gc.state, 4);
    // Back home: the level completes as usual.
    setPigAtHome(true);
    EXPECT_TRUE(runToState(6, 120));
}

TEST_F(LevelTest, BonusLevelThatTimesOutShowsThreeRowsFromOneHundred)
{
    LevelBuilder builder;
    builder.controller().bBonusLevel = true;
    builder.controller().parTime = 2.0;
    play(builder);
    GameController& gc = level();
    EXPECT_FLOAT_EQ(gc.bonusTimer, 2.0f);
    EXPECT_EQ(gc.pigletList->countChildren(), 0); // no piglets on a bonus level
    ASSERT_TRUE(runToState(4));
    frames(150);
    EXPECT_EQ(gc.state, 4);
    EXPECT_NEAR(gc.bonusTimer, 0.5f, 0.02f);
    ASSERT_TRUE(runToState(6, 60));
    EXPECT_EQ(gc.bonusTimer, 0.0f);
    EXPECT_EQ(glyphs(gc.contextHUD->messenger1), 10); // "Time's up!"
    ASSERT_TRUE(runToState(7, 700));
    const auto rows = statsRows(gc);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_FLOAT_EQ(rows[0]->rowPosition.y, 100.0f);
    EXPECT_FLOAT_EQ(rows[1]->rowPosition.y, 65.0f);
    EXPECT_FLOAT_EQ(rows[2]->rowPosition.y, 30.0f);
    // Rows start one after the other: the second waits for the first's duration.
    EXPECT_EQ(rows[0]->state, 1);
    EXPECT_EQ(rows[1]->state, 0);
}

TEST_F(LevelTest, BonusLevelReachedInTimeIsComplete)
{
    LevelBuilder builder;
    builder.controller().bBonusLevel = true;
    builder.controller().parTime = 30.0;
    play(builder);
    ASSERT_TRUE(runToState(4));
    setPigAtHome(true);
    frames(1);
    ASSERT_EQ(level().state, 6); // at once, no confirmation on a bonus level
    EXPECT_EQ(glyphs(level().contextHUD->messenger1), 15);
    EXPECT_EQ(level().levelStats.bonusLevel, 1);
}

TEST_F(LevelTest, RunWithTheThirdCounterSetIsRecordedIneligible)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    level().secureCounter3.set(1);
    deliverApples();
    setPigAtHome(true);
    ASSERT_TRUE(runToState(6, 120));
    const HIGHSCOREENTRY& entry = config().highScores[4];
    EXPECT_STREQ(entry.name, "Tester");
    EXPECT_EQ(entry.digest[0], 1);
    for (int i = 1; i < 16; ++i) {
        EXPECT_EQ(entry.digest[i], 0);
    }
}

TEST_F(LevelTest, TheHighScoreKeepsTheWholeSecondsOfTheRun)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    GameController& gc = level();
    deliverApples();
    endRunNow(gc, manager->server, 12.7, gc.framesPlayed);
    const HIGHSCOREENTRY& entry = config().highScores[4];
    EXPECT_GT(entry.points, 0);
    EXPECT_EQ(entry.time, 12) << "cut to whole seconds, not rounded";
}

TEST_F(LevelTest, LevelEndWithNoPlayedTimeHasNoFrameRate)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    GameController& gc = level();
    endRunNow(gc, manager->server, 0.0, 0);
    EXPECT_EQ(gc.levelStats.averageFrameRate, 0);
}

TEST_F(LevelTest, LevelEndHoldsTimesBeyondTheIntRange)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    GameController& gc = level();
    deliverApples();
    const HIGHSCOREENTRY& entry = config().highScores[4];
    endRunNow(gc, manager->server, 1e10, 1000);
    EXPECT_EQ(entry.time, INT32_MAX);
    EXPECT_EQ(gc.levelStats.averageFrameRate, 0);
    // Frames over a played time next to nothing.
    endRunNow(gc, manager->server, 1e-300, 1000);
    EXPECT_EQ(entry.time, 0);
    EXPECT_EQ(gc.levelStats.averageFrameRate, INT32_MAX);
}

TEST_F(LevelTest, TimeInTheHouseIsNotPlayedTime)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    GameController& gc = level();
    auto* house = dynamic_cast<TriggerArea*>(gc.findHouseOrNull());
    ASSERT_NE(house, nullptr);
    const double before = gc.levelStats.time;
    const uint32_t framesBefore = gc.framesPlayed;
    // The house's own tick decides whether the pig is inside; hold it inside for the test's frames.
    for (int i = 0; i < 20; ++i) {
        house->bHeroInside = true;
        house->triggerRadius = 1.0e6f;
        frames(1);
    }
    EXPECT_LE(gc.levelStats.time - before, 0.015);
    EXPECT_LE(gc.framesPlayed - framesBefore, 1u);
}

TEST_F(LevelTest, SecondRunKeepsTheBetterRecordAndHighScore)
{
    // A first run already booked: more points, a shorter time and a higher score than this run can reach.
    LevelStats& record = profile().levelStats[4];
    record.empty = 0;
    record.score = 999;
    record.time = 0.5;
    record.requiredApples = 10;
    record.requiredApplesGot = 10;
    HIGHSCOREENTRY& best = config().highScores[4];
    std::strcpy(best.name, "Earlier");
    best.points = 1000;
    best.time = 1;

    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    frames(50);
    deliverApples();
    setPigAtHome(true);
    ASSERT_TRUE(runToState(6, 200));
    const LevelStats& run = level().levelStats;
    ASSERT_LT(run.score, 999);
    ASSERT_GT(run.time, 0.5);
    // The better values stay, without record flags; the high-score entry is untouched.
    EXPECT_EQ(record.score, 999);
    EXPECT_DOUBLE_EQ(record.time, 0.5);
    EXPECT_EQ(record.newRecord[LevelStats::RECORD_SCORE], 0);
    EXPECT_EQ(record.newRecord[LevelStats::RECORD_TIME], 0);
    EXPECT_EQ(record.empty, 0);
    EXPECT_STREQ(best.name, "Earlier");
    EXPECT_EQ(best.points, 1000);
    EXPECT_EQ(best.time, 1);
}

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "game/userdata/LevelStats.h"

namespace {

// A normal level finished perfectly: 10 required apples, 4 sweets, 2 secrets, par time 60 s.
LevelStats perfectRun()
{
    LevelStats s;
    s.targetTime = 60.0;
    s.time = 50.0;
    s.requiredApples = s.requiredApplesGot = 10;
    s.sweets = s.sweetsGot = 4;
    s.secrets = s.secretsFound = 2;
    return s;
}

} // namespace

TEST(LevelStats, ResetClearsEverythingButPaddingAndMarksEmpty)
{
    LevelStats s = perfectRun();
    s.computeScore();
    s.completed = s.available = 1;
    s.timesPlayed = 3;
    s.totalTime = 9.5;
    s.reset();
    LevelStats zero;
    EXPECT_EQ(std::memcmp(&s, &zero, sizeof s), 0);
    EXPECT_EQ(s.empty, 1);
    EXPECT_EQ(s.available, 0);
    // A fresh record is byte-for-byte zero apart from the empty flag.
    const auto* bytes = reinterpret_cast<const unsigned char*>(&zero);
    for (std::size_t i = 0; i < sizeof zero; ++i) {
        EXPECT_EQ(bytes[i], i == offsetof(LevelStats, empty) ? 1 : 0) << "byte " << i;
    }
}

TEST(LevelStats, PerfectNormalLevelScoresOneThousand)
{
    LevelStats s = perfectRun();
    s.computeScore();
    EXPECT_EQ(s.timePoints, 100);
    EXPECT_EQ(s.requiredApplesPoints, 600);
    EXPECT_EQ(s.bonusApplesPoints, 0);
    EXPECT_EQ(s.sweetsPoints, 100);
    EXPECT_EQ(s.secretsPoints, 100);
    EXPECT_EQ(s.livesPoints, 100);
    EXPECT_EQ(s.totalPoints, 1000);
    const uint8_t expected[8] = {1, 1, 0, 1, 1, 1, 0, 1};
    EXPECT_EQ(std::memcmp(s.fullMarks, expected, 8), 0);

    // With bonus apples in the level, required apples are worth 500 and bonus apples 100.
    s.bonusApples = s.bonusApplesGot = 3;
    s.computeScore();
    EXPECT_EQ(s.requiredApplesPoints, 500);
    EXPECT_EQ(s.bonusApplesPoints, 100);
    EXPECT_EQ(s.fullMarks[LevelStats::FULL_BONUS_APPLES], 1);
    EXPECT_EQ(s.totalPoints, 1000);

    s.bonusApplesGot = 1;
    s.requiredApplesGot = 7;
    s.computeScore();
    EXPECT_EQ(s.bonusApplesPoints, 33);
    EXPECT_EQ(s.requiredApplesPoints, 350);
    EXPECT_EQ(s.fullMarks[LevelStats::FULL_PERFECT], 0);
}

TEST(LevelStats, TimePointsFallFromParPlusOneSecondToTwiceThePar)
{
    LevelStats s = perfectRun();
    const struct {
        double time;
        int points;
    } cases[] = {{0.0, 100}, {60.0, 100}, {61.0, 100}, {90.0, 50}, {119.9, 0}, {120.0, 0}, {500.0, 0}};
    for (const auto& c : cases) {
        s.time = c.time;
        s.computeScore();
        EXPECT_EQ(s.timePoints, c.points) << c.time;
        EXPECT_EQ(s.fullMarks[LevelStats::FULL_TIME], c.points == 100) << c.time;
    }
    // A par time of one second leaves no range to score in.
    s.targetTime = 1.0;
    s.time = 0.5;
    s.computeScore();
    EXPECT_EQ(s.timePoints, 0);
    // No par time: full points without the flag.
    s.targetTime = 0.0;
    s.time = 1000.0;
    s.computeScore();
    EXPECT_EQ(s.timePoints, 100);
    EXPECT_EQ(s.fullMarks[LevelStats::FULL_TIME], 0);
}

TEST(LevelStats, LivesPointsByLivesLost)
{
    LevelStats s = perfectRun();
    const int expected[] = {100, 75, 50, 25, 0, 0, 0, 0};
    for (int lost = 0; lost < 8; ++lost) {
        s.livesLost = lost;
        s.computeScore();
        EXPECT_EQ(s.livesPoints, expected[lost]) << lost;
        EXPECT_EQ(s.fullMarks[LevelStats::FULL_LIVES], lost == 0);
    }
}

TEST(LevelStats, SharesAreTruncatedInSinglePrecision)
{
    LevelStats s = perfectRun();
    s.requiredApples = 3;
    s.requiredApplesGot = 1;
    s.sweets = 3;
    s.sweetsGot = 2;
    s.secrets = 7;
    s.secretsFound = 6;
    s.computeScore();
    EXPECT_EQ(s.requiredApplesPoints, 200);
    EXPECT_EQ(s.sweetsPoints, 66);
    EXPECT_EQ(s.secretsPoints, 85);
    EXPECT_EQ(s.fullMarks[LevelStats::FULL_SWEETS], 0);
}

TEST(LevelStats, MissingCategoriesGiveTheirMaximumWithoutFullMarks)
{
    LevelStats s;
    s.time = 10.0;
    s.computeScore();
    EXPECT_EQ(s.timePoints, 100);
    EXPECT_EQ(s.requiredApplesPoints, 600);
    EXPECT_EQ(s.sweetsPoints, 100);
    EXPECT_EQ(s.secretsPoints, 100);
    EXPECT_EQ(s.totalPoints, 1000);
    EXPECT_EQ(s.fullMarks[LevelStats::FULL_PERFECT], 1);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(s.fullMarks[i], 0) << i;
    }
}

TEST(LevelStats, BonusLevelCountsOnlySweets)
{
    LevelStats s = perfectRun();
    s.bonusLevel = 1;
    s.bonusApples = 2;
    s.computeScore();
    EXPECT_EQ(s.timePoints, 0);
    EXPECT_EQ(s.requiredApplesPoints, 0);
    EXPECT_EQ(s.bonusApplesPoints, 0);
    EXPECT_EQ(s.secretsPoints, 0);
    EXPECT_EQ(s.livesPoints, 0);
    EXPECT_EQ(s.sweetsPoints, 1000);
    EXPECT_EQ(s.totalPoints, 1000);
    const uint8_t expected[8] = {0, 0, 0, 1, 0, 0, 0, 1};
    EXPECT_EQ(std::memcmp(s.fullMarks, expected, 8), 0);

    s.sweetsGot = 3;
    s.computeScore();
    EXPECT_EQ(s.sweetsPoints, 750);
    EXPECT_EQ(s.totalPoints, 750);

    // A bonus level without sweets: the maximum, never the full-marks flag.
    s.sweets = s.sweetsGot = 0;
    s.computeScore();
    EXPECT_EQ(s.sweetsPoints, 1000);
    EXPECT_EQ(s.fullMarks[LevelStats::FULL_SWEETS], 0);
}

TEST(LevelStats, ReservedFieldsAreWrittenZero)
{
    LevelStats s = perfectRun();
    s.reserved = 77;
    s.fullMarks[LevelStats::FULL_RESERVED] = 1;
    s.computeScore();
    EXPECT_EQ(s.reserved, 0);
    EXPECT_EQ(s.fullMarks[LevelStats::FULL_RESERVED], 0);
}

TEST(LevelStats, DamagedCountersDoNotOverflowThePoints)
{
    LevelStats s = perfectRun();
    s.requiredApples = 1;
    s.requiredApplesGot = INT32_MAX;
    s.time = std::numeric_limits<double>::quiet_NaN();
    s.computeScore();
    EXPECT_EQ(s.requiredApplesPoints, INT32_MAX);
    EXPECT_EQ(s.timePoints, 0);
    EXPECT_EQ(s.totalPoints, INT32_MAX);
}

TEST(LevelStats, UpdateKeepsTheBestOfEachStatistic)
{
    LevelStats record;
    LevelStats slow = perfectRun();
    slow.time = 110.0;
    slow.score = 40;
    slow.livesLost = 2;
    slow.applesLost = 1;
    slow.averageFrameRate = 60;
    record.update(slow);
    EXPECT_EQ(record.empty, 0);
    EXPECT_EQ(record.time, 110.0);
    // The first run sets every flag whose value it brings.
    const uint8_t first[8] = {1, 1, 1, 0, 1, 1, 1, 1};
    EXPECT_EQ(std::memcmp(record.newRecord, first, 8), 0);

    LevelStats fast = perfectRun();
    fast.time = 55.0;
    fast.score = 10;
    fast.requiredApplesGot = 3;
    fast.livesLost = 3;
    fast.applesLost = 0;
    fast.averageFrameRate = 30;
    record.update(fast);
    EXPECT_EQ(record.time, 55.0);
    EXPECT_EQ(record.requiredApplesGot, 10);
    EXPECT_EQ(record.score, 40);
    EXPECT_EQ(record.livesLost, 2);
    EXPECT_EQ(record.applesLost, 0);
    EXPECT_EQ(record.averageFrameRate, 30);
    const uint8_t second[8] = {0, 1, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(std::memcmp(record.newRecord, second, 8), 0);
    // Best time and all apples together.
    EXPECT_EQ(record.timePoints, 100);
    EXPECT_EQ(record.requiredApplesPoints, 600);
    EXPECT_EQ(record.livesPoints, 50);

    // Totals always follow the latest run.
    LevelStats changed = fast;
    changed.requiredApples = 12;
    record.update(changed);
    EXPECT_EQ(record.requiredApples, 12);
    EXPECT_EQ(record.requiredApplesGot, 10);
    EXPECT_EQ(record.requiredApplesPoints, 500);
}

TEST(LevelStats, UpdateOnBonusLevelFlagsOnlyTimesUnderThePar)
{
    LevelStats record;
    LevelStats run;
    run.bonusLevel = 1;
    run.targetTime = 30.0;
    run.time = 40.0;
    run.livesLost = 1;
    record.update(run);
    EXPECT_EQ(record.time, 40.0);
    EXPECT_EQ(record.newRecord[LevelStats::RECORD_TIME], 0);
    EXPECT_EQ(record.newRecord[LevelStats::RECORD_LIVES_LOST], 0);
    run.time = 29.0;
    run.livesLost = 0;
    record.update(run);
    EXPECT_EQ(record.newRecord[LevelStats::RECORD_TIME], 1);
    EXPECT_EQ(record.newRecord[LevelStats::RECORD_LIVES_LOST], 0);
    EXPECT_EQ(record.livesLost, 0);
}

TEST(LevelStats, UpdateLeavesTheWorldMapsSumsAlone)
{
    LevelStats record;
    record.timesPlayed = 4;
    record.totalTime = 100.0;
    record.completed = record.available = 1;
    record.update(perfectRun());
    EXPECT_EQ(record.timesPlayed, 4);
    EXPECT_EQ(record.totalTime, 100.0);
    EXPECT_EQ(record.completed, 1);
    EXPECT_EQ(record.available, 1);
}

TEST(LevelStats, AddBuildsTotals)
{
    LevelStats totals;
    LevelStats a = perfectRun();
    LevelStats b = perfectRun();
    b.bonusLevel = 1;
    b.requiredApplesGot = 0;
    b.livesLost = 1;
    b.averageFrameRate = 50;
    a.timesPlayed = 9;
    a.newRecord[0] = 1;
    totals.add(a);
    totals.add(b);
    EXPECT_EQ(totals.bonusLevel, 0);
    EXPECT_EQ(totals.empty, 0);
    EXPECT_EQ(totals.time, 100.0);
    EXPECT_EQ(totals.targetTime, 120.0);
    EXPECT_EQ(totals.requiredApples, 20);
    EXPECT_EQ(totals.requiredApplesGot, 10);
    EXPECT_EQ(totals.livesLost, 1);
    EXPECT_EQ(totals.averageFrameRate, 50);
    EXPECT_EQ(totals.timesPlayed, 0);
    EXPECT_EQ(totals.newRecord[0], 0);
    EXPECT_EQ(totals.requiredApplesPoints, 300);
    EXPECT_EQ(totals.livesPoints, 75);
}

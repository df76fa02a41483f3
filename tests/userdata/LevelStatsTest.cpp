#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
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

// time, required apples, bonus apples, sweets, secrets, lives, total
using Points = std::array<int32_t, 7>;
using Flags = std::array<uint8_t, 8>;

Points pointsOf(const LevelStats& s)
{
    return {s.timePoints,    s.requiredApplesPoints, s.bonusApplesPoints, s.sweetsPoints,
            s.secretsPoints, s.livesPoints,          s.totalPoints};
}

Flags flagsOf(const uint8_t (&bytes)[8])
{
    Flags out;
    std::memcpy(out.data(), bytes, 8);
    return out;
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
    // Byte for byte zero apart from the empty flag, like a fresh record.
    const auto* bytes = reinterpret_cast<const unsigned char*>(&s);
    for (std::size_t i = 0; i < sizeof s; ++i) {
        EXPECT_EQ(bytes[i], i == offsetof(LevelStats, empty) ? 1 : 0) << "byte " << i;
    }
}

TEST(LevelStats, ComputeScoreByCategory)
{
    const struct {
        const char* what;
        std::function<void(LevelStats&)> change;
        Points points;
        Flags full;
    } cases[] = {
        {"perfect", [](LevelStats&) {}, {100, 600, 0, 100, 100, 100, 1000}, {1, 1, 0, 1, 1, 1, 0, 1}},
        {"bonus apples split the apples 500 + 100",
         [](LevelStats& s) { s.bonusApples = s.bonusApplesGot = 3; },
         {100, 500, 100, 100, 100, 100, 1000},
         {1, 1, 1, 1, 1, 1, 0, 1}},
        {"part of both apple kinds",
         [](LevelStats& s) {
             s.bonusApples = 3;
             s.bonusApplesGot = 1;
             s.requiredApplesGot = 7;
         },
         {100, 350, 33, 100, 100, 100, 783},
         {1, 0, 0, 1, 1, 1, 0, 0}},
        {"shares truncated in single precision",
         [](LevelStats& s) {
             s.requiredApples = 3;
             s.requiredApplesGot = 1;
             s.sweets = 3;
             s.sweetsGot = 2;
             s.secrets = 7;
             s.secretsFound = 6;
         },
         {100, 200, 0, 66, 85, 100, 551},
         {1, 0, 0, 0, 0, 1, 0, 0}},
        {"missing categories: maximum without the flag",
         [](LevelStats& s) {
             s = LevelStats();
             s.time = 10.0;
         },
         {100, 600, 0, 100, 100, 100, 1000},
         {0, 0, 0, 0, 0, 1, 0, 1}},
        {"par time of one second",
         [](LevelStats& s) { s.targetTime = 1.0, s.time = 0.5; },
         {0, 600, 0, 100, 100, 100, 900},
         {0, 1, 0, 1, 1, 1, 0, 0}},
        {"no par time",
         [](LevelStats& s) { s.targetTime = 0.0, s.time = 1000.0; },
         {100, 600, 0, 100, 100, 100, 1000},
         {0, 1, 0, 1, 1, 1, 0, 1}},
        {"bonus level: only sweets",
         [](LevelStats& s) { s.bonusLevel = 1, s.bonusApples = 2; },
         {0, 0, 0, 1000, 0, 0, 1000},
         {0, 0, 0, 1, 0, 0, 0, 1}},
        {"bonus level, three of four sweets",
         [](LevelStats& s) { s.bonusLevel = 1, s.sweetsGot = 3; },
         {0, 0, 0, 750, 0, 0, 750},
         {0, 0, 0, 0, 0, 0, 0, 0}},
        {"bonus level without sweets",
         [](LevelStats& s) { s.bonusLevel = 1, s.sweets = s.sweetsGot = 0; },
         {0, 0, 0, 1000, 0, 0, 1000},
         {0, 0, 0, 0, 0, 0, 0, 1}},
        {"damaged counters do not overflow",
         [](LevelStats& s) {
             s.requiredApples = 1;
             s.requiredApplesGot = INT32_MAX;
             s.time = std::numeric_limits<double>::quiet_NaN();
         },
         {0, INT32_MAX, 0, 100, 100, 100, INT32_MAX},
         {0, 0, 0, 1, 1, 1, 0, 0}},
        {"a time beyond single precision gets no time points",
         [](LevelStats& s) { s.time = 1e300; },
         {0, 600, 0, 100, 100, 100, 900},
         {0, 1, 0, 1, 1, 1, 0, 0}},
    };
    for (const auto& c : cases) {
        LevelStats s = perfectRun();
        c.change(s);
        // The reserved field and flag are written 0 whatever they held.
        s.reserved = 77;
        s.fullMarks[LevelStats::FULL_RESERVED] = 1;
        s.computeScore();
        EXPECT_EQ(pointsOf(s), c.points) << c.what;
        EXPECT_EQ(flagsOf(s.fullMarks), c.full) << c.what;
        EXPECT_EQ(s.reserved, 0) << c.what;
    }
}

TEST(LevelStats, TimeAndLivesPointsFall)
{
    LevelStats s = perfectRun();
    // Par 60 s: full up to 61 s, falling linearly to none at 120 s.
    const std::pair<double, int> times[] = {{0.0, 100}, {60.0, 100}, {61.0, 100}, {90.0, 50},
                                            {119.9, 0}, {120.0, 0},  {500.0, 0}};
    for (const auto& [time, points] : times) {
        s.time = time;
        s.computeScore();
        EXPECT_EQ(s.timePoints, points) << time;
        EXPECT_EQ(s.fullMarks[LevelStats::FULL_TIME], points == 100) << time;
    }
    const int lives[] = {100, 75, 50, 25, 0, 0, 0, 0};
    for (int lost = 0; lost < 8; ++lost) {
        s.livesLost = lost;
        s.computeScore();
        EXPECT_EQ(s.livesPoints, lives[lost]) << lost;
        EXPECT_EQ(s.fullMarks[LevelStats::FULL_LIVES], lost == 0) << lost;
    }
}

TEST(LevelStats, UpdateKeepsTheBestOfEachStatistic)
{
    LevelStats record;
    // The world map's sums are left alone.
    record.timesPlayed = 4;
    record.totalTime = 100.0;
    record.completed = record.available = 1;

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
    EXPECT_EQ(flagsOf(record.newRecord), (Flags{1, 1, 1, 0, 1, 1, 1, 1}));

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
    EXPECT_EQ(flagsOf(record.newRecord), (Flags{0, 1, 0, 0, 0, 0, 0, 1}));
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

    EXPECT_EQ(record.timesPlayed, 4);
    EXPECT_EQ(record.totalTime, 100.0);
    EXPECT_EQ(record.completed, 1);
    EXPECT_EQ(record.available, 1);
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
    // Exactly the par time: the best time, but not under the par.
    run.time = 30.0;
    record.update(run);
    EXPECT_EQ(record.time, 30.0);
    EXPECT_EQ(record.newRecord[LevelStats::RECORD_TIME], 0);
    run.time = 29.0;
    run.livesLost = 0;
    record.update(run);
    EXPECT_EQ(record.newRecord[LevelStats::RECORD_TIME], 1);
    EXPECT_EQ(record.newRecord[LevelStats::RECORD_LIVES_LOST], 0);
    EXPECT_EQ(record.livesLost, 0);
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

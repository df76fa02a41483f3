#pragma once
// The statistics of one level: the running level fills one per run; a player's profile keeps one per level
// as the best of all runs and one more as the totals. Stored byte for byte in the player file, so the layout
// (little-endian, 152 bytes) is a file format; padding is zero.
#include <cstddef>
#include <cstdint>

struct LevelStats {
    LevelStats() { reset(); }

    // Every field 0 and `empty` set; padding is left as it is.
    void reset();
    // Points and full-marks flags from the counters.
    void computeScore();
    // Merges a finished run into this best-of record and sets the new-record flags.
    void update(const LevelStats& run);
    // Adds another record into these totals.
    void add(const LevelStats& other);
    // Flag bytes of a record read from a file become 0 or 1.
    void normaliseFlags();
    // Counters and times of a record read from a file are held to 0..MAXCOUNT and 0..MAXSECONDS (a
    // time that is no number becomes 0), so that the totals of every level cannot overflow.
    void clampCounters();

    static constexpr int32_t MAXCOUNT = 10000000;
    static constexpr double MAXSECONDS = 1.0e9;

    // Indices of `fullMarks`.
    enum FullMarks { FULL_TIME, FULL_REQUIRED_APPLES, FULL_BONUS_APPLES, FULL_SWEETS, FULL_SECRETS, FULL_LIVES,
                     FULL_RESERVED, FULL_PERFECT };
    // Indices of `newRecord`.
    enum NewRecord { RECORD_SCORE, RECORD_TIME, RECORD_REQUIRED_APPLES, RECORD_BONUS_APPLES, RECORD_SWEETS,
                     RECORD_SECRETS, RECORD_LIVES_LOST, RECORD_APPLES_LOST };

    uint8_t bonusLevel;                  // only sweets count
    uint8_t padding0[3] = {};
    int32_t score;                       // sweets and secrets; in a profile the best score
    double time;                         // seconds of play; in a profile the best (lowest)
    double targetTime;                   // the par time in seconds, 0 = none
    int32_t requiredApples;
    int32_t requiredApplesGot;
    int32_t bonusApples;
    int32_t bonusApplesGot;
    int32_t sweets;
    int32_t sweetsGot;
    int32_t secrets;
    int32_t secretsFound;
    int32_t livesLost;
    int32_t applesLost;                  // apples spoiled or lost
    int32_t timePoints;
    int32_t requiredApplesPoints;
    int32_t bonusApplesPoints;
    int32_t sweetsPoints;
    int32_t secretsPoints;
    int32_t livesPoints;
    int32_t reserved;                    // written 0
    int32_t totalPoints;                 // out of 1000
    uint8_t fullMarks[8];                // see FullMarks; [FULL_PERFECT] is set at 1000 points
    uint8_t newRecord[8];                // see NewRecord; set by the last update
    // Kept by the world map over every run of the level.
    int32_t timesPlayed;
    uint8_t padding1[4] = {};
    double totalTime;                    // playing time over all runs
    int32_t totalLivesLost;
    int32_t totalApplesLost;
    uint8_t completed;                   // finished at least once
    uint8_t available;                   // may be chosen on the world map
    uint8_t padding2[2] = {};
    int32_t averageFrameRate;            // level ticks per second; in a profile the lowest
    uint8_t empty;                       // no run merged in yet
    uint8_t padding3[7] = {};
};

static_assert(sizeof(LevelStats) == 152);
static_assert(alignof(LevelStats) == 8);
static_assert(offsetof(LevelStats, score) == 4);
static_assert(offsetof(LevelStats, time) == 8);
static_assert(offsetof(LevelStats, targetTime) == 16);
static_assert(offsetof(LevelStats, requiredApples) == 24);
static_assert(offsetof(LevelStats, applesLost) == 60);
static_assert(offsetof(LevelStats, timePoints) == 64);
static_assert(offsetof(LevelStats, livesPoints) == 84);
static_assert(offsetof(LevelStats, reserved) == 88);
static_assert(offsetof(LevelStats, totalPoints) == 92);
static_assert(offsetof(LevelStats, fullMarks) == 96);
static_assert(offsetof(LevelStats, newRecord) == 104);
static_assert(offsetof(LevelStats, timesPlayed) == 112);
static_assert(offsetof(LevelStats, totalTime) == 120);
static_assert(offsetof(LevelStats, totalLivesLost) == 128);
static_assert(offsetof(LevelStats, totalApplesLost) == 132);
static_assert(offsetof(LevelStats, completed) == 136);
static_assert(offsetof(LevelStats, available) == 137);
static_assert(offsetof(LevelStats, averageFrameRate) == 140);
static_assert(offsetof(LevelStats, empty) == 144);

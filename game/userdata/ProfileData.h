#pragma once
// One player's record: the name, a random profile id, the best-of statistics of every level, their totals
// and the level the world map starts from. Ten of them make the player file, so the layout (little-endian,
// 5288 bytes, padding zero) is a file format. Also the tables that map a level number to its level file,
// title, music and mini-map picture.
#include <cstddef>
#include <cstdint>

#include "engine/core/UString.h"
#include "game/userdata/LevelStats.h"

class Language;

struct ProfileData {
    static constexpr int NUMLEVELS = 32;

    ProfileData() { reset(); }

    // Empty name, a new random id, every record reset, level 0 available, the world map at level 0.
    void reset();
    // The name, cut so that its UTF-8 form fits the field.
    void setName(UStringView text);
    UString getName() const;
    // Fields of a record read from a file brought into range: a NUL in the name, flags 0 or 1, counters
    // whose sums cannot overflow, a level number that indexes the tables.
    void bringIntoRange();

    static UString levelNumberToFile(int levelNumber);
    // The level's title in the current language.
    static UString levelNumberToTitle(int levelNumber);
    // The level's title in the given language's current texts.
    static UString levelNumberToTitle(const Language& language, int levelNumber);
    static UString levelNumberToMusic(int levelNumber);
    static UString levelNumberToMinimap(int levelNumber);

    char name[256] = {};             // UTF-8, NUL-terminated; empty marks a free slot
    uint32_t profileId = 0;
    uint8_t padding0[4] = {};
    LevelStats levelStats[NUMLEVELS];
    LevelStats totals;               // the sum of the 32 records, rebuilt by the world map
    int32_t currentLevel = 0;        // the level selected on the world map, the one that is played
    uint8_t padding1[4] = {};
};

static_assert(sizeof(ProfileData) == 5288);
static_assert(offsetof(ProfileData, profileId) == 256);
static_assert(offsetof(ProfileData, levelStats) == 264);
static_assert(offsetof(ProfileData, totals) == 5128);
static_assert(offsetof(ProfileData, currentLevel) == 5280);

#pragma once
// One level's best result in the high-score table; the same 296 bytes are stored in the configuration file
// and sent by the score upload.
#include <cstddef>
#include <cstdint>

struct HIGHSCOREENTRY {
    // The digest tag: the salted MD5 of the entry, INELIGIBLE_DIGEST for a result that may not be uploaded,
    // or all zero for an empty slot.
    uint8_t digest[16] = {};
    char name[256] = {};          // UTF-8, NUL-terminated
    int32_t levelNumber = 0;      // the slot index
    int32_t score = 0;            // sweets and secrets of the run
    int32_t points = 0;           // out of 1000
    int32_t time = 0;             // whole seconds, truncated
    int64_t timestamp = 0;        // seconds since 1970 when the entry was written

    // Mixed into the digest in front of the entry, as four little-endian bytes.
    static constexpr uint32_t DIGEST_SALT = 0x5A3C9E71u;
    static constexpr uint8_t INELIGIBLE_DIGEST[16] = {1};
};

static_assert(sizeof(HIGHSCOREENTRY) == 296);
static_assert(offsetof(HIGHSCOREENTRY, name) == 16);
static_assert(offsetof(HIGHSCOREENTRY, levelNumber) == 272);
static_assert(offsetof(HIGHSCOREENTRY, score) == 276);
static_assert(offsetof(HIGHSCOREENTRY, points) == 280);
static_assert(offsetof(HIGHSCOREENTRY, time) == 284);
static_assert(offsetof(HIGHSCOREENTRY, timestamp) == 288);

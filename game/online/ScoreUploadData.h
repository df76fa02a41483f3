#pragma once
// The record the score upload sends as the "HSTfile" part: the player's identity fields and the whole
// high-score table, sealed with a salted MD5 tag. Its 9584 bytes are a wire format (little-endian).
#include <cstddef>
#include <cstdint>

#include "game/userdata/GameConfiguration.h"
#include "game/userdata/HighScoreEntry.h"

struct ScoreUploadData {
    uint8_t digest[16];     // MD5 of the salt's four bytes and the record with this field zero
    char gameId[32];
    char version[16];
    char reservedText[32];
    uint32_t installationId;
    char countryCode[4];    // two letters and two zero bytes
    HIGHSCOREENTRY highScores[GameConfiguration::NUMLEVELS];
    int64_t time;           // always zero

    // The record of a configuration, sealed.
    static ScoreUploadData fromConfiguration(const GameConfiguration& config);
};

static_assert(sizeof(ScoreUploadData) == 9584);
static_assert(offsetof(ScoreUploadData, gameId) == 16);
static_assert(offsetof(ScoreUploadData, version) == 48);
static_assert(offsetof(ScoreUploadData, reservedText) == 64);
static_assert(offsetof(ScoreUploadData, installationId) == 96);
static_assert(offsetof(ScoreUploadData, countryCode) == 100);
static_assert(offsetof(ScoreUploadData, highScores) == 104);
static_assert(offsetof(ScoreUploadData, time) == 9576);

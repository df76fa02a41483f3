#pragma once
// The user-wide settings record: every option page's settings, the key and joystick bindings, the network
// settings, the running play time and the high-score table (one entry per level). The record is stored
// whole, byte for byte, as the payload of the user file game id + ".hst" in the user data folder, so its
// layout (little-endian, 9720 bytes, padding zero) is a file format.
//
// Construction resets the record and loads the file; destruction adds this run's play time and saves.
#include <cstddef>
#include <cstdint>

#include "engine/core/UString.h"
#include "engine/core/V3.h"
#include "engine/input/KivInput.h"
#include "engine/net/NetAddress.h"
#include "game/userdata/HighScoreEntry.h"

class GameConfiguration {
public:
    static constexpr int NUMLEVELS = 32;
    static constexpr int NUMKEYBINDINGS = 7;
    // Input codes of the engine's input service run from 0 to this (keyboard, joysticks, mouse).
    static constexpr uint32_t MAXINPUTCODE = KivInput::NUMINPUTCODES - 1;
    // The frame rates the options offer.
    static constexpr int32_t LOWEST_FPS = 25;
    static constexpr int32_t HIGHEST_FPS = 125;

    // Binding slots, one pair each.
    enum Binding { BIND_LEFT, BIND_RIGHT, BIND_USE, BIND_DOWN, BIND_JUMP, BIND_STATISTICS, BIND_MAP };

    struct KeyBinding {
        uint32_t keyboard; // DirectInput key code, 0 = unbound
        uint32_t joystick; // input code of the joystick, 0 = unbound
    };

    GameConfiguration();
    ~GameConfiguration();
    // One record for the user: a copy would save over it when destroyed.
    GameConfiguration(const GameConfiguration&) = delete;
    GameConfiguration& operator=(const GameConfiguration&) = delete;

    // Every byte zero, then the defaults, an empty high-score table and the start time now.
    void reset();
    // Reads the ".hst" file over the record (a missing, damaged or differently sized file keeps what is
    // there), then makes its texts, flags and bindings safe to read (a binding to no input code gets its
    // default back), keeps the later start time and draws an installation id when there is none.
    void load();
    void save() const;
    void resetHighScores();
    // Offers a finished run to its level's entry; returns the slot when the entry was replaced, else -1.
    int submitHighScore(int score, int levelNumber, int timeSeconds, int points, bool eligible, const UString& name);
    // Unbinds every keyboard and joystick code equal to `code`, so that one input drives one action.
    void clearKeyBinding(unsigned int code);
    // Adds the seconds from `startTime` to `now` to `playTime` (nothing when the clock went back).
    void addRunPlayTime(int64_t now);

    static UString getHighScoreFileName();
    static UString getSaveFolder();
    // The salted digest of an entry as it stands with a zero digest field.
    static void computeHighScoreDigest(const HIGHSCOREENTRY& entry, uint8_t (&digest)[16]);

    char gameId[32];
    char version[16];
    char reservedText[32];            // opaque; the score upload copies it
    uint32_t installationId;          // never 0 after a load
    char countryCode[2];              // two ASCII letters, "--" for none
    uint8_t padding0[2];
    HIGHSCOREENTRY highScores[NUMLEVELS];
    int32_t detail;                   // 0 low, 1 high; decoration is made at 1 or more
    int32_t maximumFps;               // the frame period is 1 / maximumFps, held within 25..125
    uint8_t bFullScreen;
    uint8_t bLetterbox;
    uint8_t bBilinearFilter;
    uint8_t bVSync;
    uint8_t bShowFps;
    uint8_t padding1[3];
    int32_t soundQuality;             // 0, 1, 2: 11025, 22050, 44100 Hz
    int32_t soundVolume;              // 0..24
    int32_t musicVolume;              // 0..24
    uint8_t bInGameMusic;
    uint8_t bMuteAudio;
    uint8_t bAllowCheats;
    uint8_t bTutorial;                // in-game help
    uint8_t bColorBlind;
    uint8_t bShowClock;
    uint8_t bNetworkConfigured;
    uint8_t padding2;
    NetAddress masterServer;          // the master server named by the network test's reply
    int32_t countryIndex;             // position in the country list, 0..240
    V3 location;                      // the country's place as a unit vector
    KeyBinding keyBindings[NUMKEYBINDINGS];
    int32_t touchArrowPlacement;      // 0 left side, 1 right side
    int64_t startTime;                // seconds since 1970 from which this run's play time counts
    uint32_t playTime;                // seconds over all runs
    uint8_t bNoPlayerName;
    uint8_t padding3[19];

private:
    void bringIntoRange();
    // Input codes beyond the input table: each slot's default where it is free, else none, with a warning.
    void bringBindingsIntoRange();
};

static_assert(sizeof(GameConfiguration) == 9720);
static_assert(offsetof(GameConfiguration, version) == 32);
static_assert(offsetof(GameConfiguration, reservedText) == 48);
static_assert(offsetof(GameConfiguration, installationId) == 80);
static_assert(offsetof(GameConfiguration, countryCode) == 84);
static_assert(offsetof(GameConfiguration, highScores) == 88);
static_assert(offsetof(GameConfiguration, detail) == 9560);
static_assert(offsetof(GameConfiguration, maximumFps) == 9564);
static_assert(offsetof(GameConfiguration, bFullScreen) == 9568);
static_assert(offsetof(GameConfiguration, bShowFps) == 9572);
static_assert(offsetof(GameConfiguration, soundQuality) == 9576);
static_assert(offsetof(GameConfiguration, soundVolume) == 9580);
static_assert(offsetof(GameConfiguration, musicVolume) == 9584);
static_assert(offsetof(GameConfiguration, bInGameMusic) == 9588);
static_assert(offsetof(GameConfiguration, bNetworkConfigured) == 9594);
static_assert(offsetof(GameConfiguration, masterServer) == 9596);
static_assert(offsetof(GameConfiguration, countryIndex) == 9612);
static_assert(offsetof(GameConfiguration, location) == 9616);
static_assert(offsetof(GameConfiguration, keyBindings) == 9628);
static_assert(offsetof(GameConfiguration, touchArrowPlacement) == 9684);
static_assert(offsetof(GameConfiguration, startTime) == 9688);
static_assert(offsetof(GameConfiguration, playTime) == 9696);
static_assert(offsetof(GameConfiguration, bNoPlayerName) == 9700);

#include "game/userdata/GameConfiguration.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "engine/core/Format.h"
#include "engine/core/GameInfo.h"
#include "engine/core/Logger.h"
#include "engine/files/FileManager.h"
#include "engine/files/Md5.h"
#include "engine/files/UserDataFolder.h"
#include "engine/kiv/Kiv.h"
#include "game/userdata/FixedText.h"
#include "game/userdata/RandomId.h"

namespace {

int64_t now() { return static_cast<int64_t>(std::time(nullptr)); }

void normaliseFlag(uint8_t& flag) { flag = flag != 0 ? 1 : 0; }

constexpr GameConfiguration::KeyBinding DEFAULT_BINDINGS[GameConfiguration::NUMKEYBINDINGS] = {
    {203, 258}, // move left: left arrow, joystick left
    {205, 259}, // move right: right arrow, joystick right
    {45, 256},  // use or carry: X, joystick up
    {208, 257}, // down: down arrow, joystick down
    {57, 272},  // jump: space, button 0
    {28, 273},  // show statistics: return, button 1
    {50, 274},  // show the level map: M, button 2
};

// The actions of the binding slots, for the log.
constexpr const char16_t* ACTION_NAMES[GameConfiguration::NUMKEYBINDINGS] = {
    u"move left", u"move right", u"use or carry", u"down", u"jump", u"show statistics", u"show the level map",
};

} // namespace

GameConfiguration::GameConfiguration()
{
    reset();
    load();
}

GameConfiguration::~GameConfiguration()
{
    addRunPlayTime(now());
    save();
}

void GameConfiguration::reset()
{
    std::memset(static_cast<void*>(this), 0, sizeof *this);
    FixedText32::assign(gameId, GameInfo::GAME_ID);
    FixedText16::assign(version, GameInfo::VERSION);
    countryCode[0] = countryCode[1] = '-';
    resetHighScores();
    detail = 1;
    maximumFps = 100;
    bFullScreen = 1;
    bLetterbox = 1;
    bBilinearFilter = 1;
    soundQuality = 1;
    soundVolume = 24;
    musicVolume = 15;
    bInGameMusic = 1;
    bTutorial = 1;
    bShowClock = 1;
    masterServer = NetAddress(0, 0);
    location = V3(0.0f, 0.0f, -1.0f);
    std::copy(std::begin(DEFAULT_BINDINGS), std::end(DEFAULT_BINDINGS), keyBindings);
    startTime = now();
    bNoPlayerName = 1;
}

void GameConfiguration::load()
{
    FileManager::loadUserFile(this, sizeof *this, getSaveFolder(), getHighScoreFileName(), GameInfo::VERSION);
    bringIntoRange();
    startTime = std::max(startTime, now());
    if (installationId == 0) {
        installationId = drawRandomId();
    }
}

void GameConfiguration::save() const
{
    FileManager::saveUserFile(this, sizeof *this, getSaveFolder(), getHighScoreFileName(), GameInfo::VERSION);
}

// A file written by this program is left as it is. Of a hand-edited or foreign file, the text fields get
// their terminator, input codes beyond the input table get their slot's default back (with a warning) and
// the flags read 0 or 1. The numeric settings stay as stored: their items show the nearest valid entry and
// write only what the player picks, and their readers hold them within range.
void GameConfiguration::bringIntoRange()
{
    FixedText32::terminate(gameId);
    FixedText16::terminate(version);
    FixedText32::terminate(reservedText);
    for (HIGHSCOREENTRY& entry : highScores) {
        FixedText256::terminate(entry.name);
    }
    bringBindingsIntoRange();
    for (uint8_t* flag : {&bFullScreen, &bLetterbox, &bBilinearFilter, &bVSync, &bShowFps, &bInGameMusic,
                          &bMuteAudio, &bAllowCheats, &bTutorial, &bColorBlind, &bShowClock, &bNetworkConfigured,
                          &bNoPlayerName}) {
        normaliseFlag(*flag);
    }
}

void GameConfiguration::bringBindingsIntoRange()
{
    const auto isBound = [this](uint32_t code) {
        for (const KeyBinding& binding : keyBindings) {
            if (binding.keyboard == code || binding.joystick == code) {
                return true;
            }
        }
        return false;
    };
    // An unknown input code gives the slot its default back, unless another slot holds that input (one input
    // drives one action): then the slot binds nothing, as after the player moved the input away. Without it,
    // a lost Jump or move key would leave the start screens and the levels without their keys.
    for (int slot = 0; slot < NUMKEYBINDINGS; ++slot) {
        for (const bool keyboard : {true, false}) {
            uint32_t& code = keyboard ? keyBindings[slot].keyboard : keyBindings[slot].joystick;
            if (code <= MAXINPUTCODE) {
                continue;
            }
            const uint32_t stored = code;
            const uint32_t fallback = keyboard ? DEFAULT_BINDINGS[slot].keyboard : DEFAULT_BINDINGS[slot].joystick;
            code = 0;
            if (!isBound(fallback)) {
                code = fallback;
            }
            Logger::logFrom("GameConfiguration::load",
                            u"Warning: the %s binding of '%s' holds %u, which is no input code; %s.",
                            keyboard ? u"keyboard" : u"joystick", ACTION_NAMES[slot], stored,
                            code != 0 ? formatString(u"using its default %u", code)
                                      : formatString(u"its default %u is bound elsewhere, so it binds nothing",
                                                     fallback));
        }
    }
}

void GameConfiguration::resetHighScores()
{
    const int64_t stamp = now();
    for (int i = 0; i < NUMLEVELS; ++i) {
        HIGHSCOREENTRY& entry = highScores[i];
        std::memset(entry.digest, 0, sizeof entry.digest);
        std::memset(entry.name, 0, sizeof entry.name);
        entry.levelNumber = i;
        entry.score = 0;
        entry.points = 0;
        entry.time = 0;
        entry.timestamp = stamp;
    }
}

int GameConfiguration::submitHighScore(int score, int levelNumber, int timeSeconds, int points, bool eligible,
                                       const UString& name)
{
    if (levelNumber < 0 || levelNumber >= NUMLEVELS) {
        return -1;
    }
    HIGHSCOREENTRY& entry = highScores[levelNumber];
    const bool better = points > entry.points || (points == entry.points && timeSeconds < entry.time);
    if (!better) {
        return -1;
    }
    std::memset(entry.digest, 0, sizeof entry.digest);
    FixedText256::assign(entry.name, name);
    entry.levelNumber = levelNumber;
    entry.score = score;
    entry.time = timeSeconds;
    entry.points = points;
    entry.timestamp = now();
    if (eligible) {
        computeHighScoreDigest(entry, entry.digest);
    } else {
        std::memcpy(entry.digest, HIGHSCOREENTRY::INELIGIBLE_DIGEST, sizeof entry.digest);
    }
    return levelNumber;
}

void GameConfiguration::computeHighScoreDigest(const HIGHSCOREENTRY& entry, uint8_t (&digest)[16])
{
    HIGHSCOREENTRY copy = entry;
    std::memset(copy.digest, 0, sizeof copy.digest);
    const Md5Digest result = md5DigestPrefixed(HIGHSCOREENTRY::DIGEST_SALT, &copy, sizeof copy);
    std::memcpy(digest, result.data(), sizeof digest);
}

void GameConfiguration::clearKeyBinding(unsigned int code)
{
    for (KeyBinding& binding : keyBindings) {
        if (binding.keyboard == code) {
            binding.keyboard = 0;
        }
        if (binding.joystick == code) {
            binding.joystick = 0;
        }
    }
}

void GameConfiguration::addRunPlayTime(int64_t currentTime)
{
    // On the low 32 bits of both times, as a signed difference.
    const auto elapsed = static_cast<int32_t>(static_cast<uint32_t>(currentTime) - static_cast<uint32_t>(startTime));
    if (elapsed > 0) {
        playTime += static_cast<uint32_t>(elapsed);
    }
}

UString GameConfiguration::getHighScoreFileName() { return UString(GameInfo::GAME_ID) + u".hst"; }

UString GameConfiguration::getSaveFolder()
{
    // The engine's user folder (which tests point elsewhere) once the engine exists.
    if (const Kiv* engine = Kiv::instance(); engine != nullptr && !engine->userFolder.empty()) {
        return utf8ToWide(engine->userFolder);
    }
    return createUserDataFolder();
}

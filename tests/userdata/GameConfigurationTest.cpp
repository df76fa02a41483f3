#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/GameInfo.h"
#include "engine/core/Logger.h"
#include "engine/core/KivRandom.h"
#include "engine/files/FileManager.h"
#include "game/userdata/GameConfiguration.h"
#include "userdata/UserFolder.h"

namespace {

// MD5 straight from OpenSSL, to check the digest tags independently of the engine's digest code.
std::vector<uint8_t> opensslMd5(const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> digest(16);
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_md5(), nullptr);
    return digest;
}

template <class T>
void put(std::vector<uint8_t>& bytes, std::size_t offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

void putText(std::vector<uint8_t>& bytes, std::size_t offset, const char* text)
{
    std::memcpy(bytes.data() + offset, text, std::strlen(text));
}

std::vector<uint8_t> bytesOf(const GameConfiguration& config)
{
    const auto* p = reinterpret_cast<const uint8_t*>(&config);
    return std::vector<uint8_t>(p, p + sizeof config);
}

class GameConfigurationTest : public ::testing::Test {
protected:
    UserFolder folder;
    const UString fileName = u"TobbleXmasdemo.hst";
};

} // namespace

TEST_F(GameConfigurationTest, FirstStartHasTheDefaultsByteForByte)
{
    KivRandom::setSeed(1);
    const int64_t before = std::time(nullptr);
    GameConfiguration config;
    EXPECT_EQ(config.installationId, 0xC8230029u);
    EXPECT_LE(config.startTime, std::time(nullptr));
    EXPECT_GE(config.startTime, before);

    std::vector<uint8_t> expected(9720, 0);
    putText(expected, 0, "TobbleXmasdemo");
    putText(expected, 32, "1.25");
    put(expected, 80, config.installationId);
    putText(expected, 84, "--");
    for (int i = 0; i < 32; ++i) {
        const std::size_t entry = 88 + 296 * i;
        put(expected, entry + 272, int32_t{i});
        put(expected, entry + 288, config.highScores[i].timestamp);
        EXPECT_LE(config.highScores[i].timestamp, std::time(nullptr));
        EXPECT_GE(config.highScores[i].timestamp, before);
    }
    put(expected, 9560, int32_t{1});   // detail
    put(expected, 9564, int32_t{100}); // maximum frame rate
    for (std::size_t flag : {9568, 9569, 9570, 9588, 9591, 9593, 9700}) {
        expected[flag] = 1;
    }
    put(expected, 9576, int32_t{1});  // sound quality
    put(expected, 9580, int32_t{24}); // effects volume
    put(expected, 9584, int32_t{15}); // music volume
    put(expected, 9596, uint16_t{2}); // master server: IPv4, port 0, address 0
    put(expected, 9624, -1.0f);       // location (0, 0, -1)
    const uint32_t bindings[14] = {203, 258, 205, 259, 45, 256, 208, 257, 57, 272, 28, 273, 50, 274};
    std::memcpy(expected.data() + 9628, bindings, sizeof bindings);
    put(expected, 9688, config.startTime);

    const std::vector<uint8_t> actual = bytesOf(config);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(actual[i], expected[i]) << "byte " << i;
    }
}

TEST_F(GameConfigurationTest, RoundTripThroughTheHighScoreFile)
{
    std::vector<uint8_t> saved;
    {
        GameConfiguration config;
        config.maximumFps = 60;
        config.bVSync = 1;
        config.countryIndex = 17;
        config.countryCode[0] = 'D';
        config.countryCode[1] = 'E';
        config.location = V3(0.5f, 0.25f, -0.75f);
        config.keyBindings[GameConfiguration::BIND_JUMP] = {30, 275};
        config.submitHighScore(123, 5, 95, 800, true, u"J\u00fcrgen");
        config.save();
        saved = bytesOf(config);
        EXPECT_TRUE(folder.exists(fileName));
    }
    GameConfiguration loaded;
    std::vector<uint8_t> reloaded = bytesOf(loaded);
    // Only the start time may move on (to now) between the two runs.
    std::memcpy(reloaded.data() + 9688, saved.data() + 9688, 8);
    // The destructor's save added at most this run's play time.
    std::memcpy(reloaded.data() + 9696, saved.data() + 9696, 4);
    EXPECT_TRUE(reloaded == saved);
    EXPECT_EQ(loaded.maximumFps, 60);
    EXPECT_EQ(toUString(loaded.highScores[5].name), u"J\u00fcrgen");
}

TEST_F(GameConfigurationTest, WrongSizeDamagedOrTruncatedFilesKeepTheDefaults)
{
    std::vector<std::vector<char>> bad;
    // Records one byte too short and one too long.
    for (std::size_t size : {9719u, 9721u}) {
        std::vector<uint8_t> other(size, 0);
        FileManager::saveUserFile(other.data(), other.size(), GameConfiguration::getSaveFolder(), fileName,
                                  GameInfo::VERSION);
        bad.push_back(folder.read(fileName));
    }
    {
        GameConfiguration config;
        config.maximumFps = 50;
        config.musicVolume = 3;
        config.keyBindings[GameConfiguration::BIND_JUMP].keyboard = 30;
        config.submitHighScore(1, 3, 10, 500, true, u"Ann");
    }
    const std::vector<char> valid = folder.read(fileName);
    ASSERT_GT(valid.size(), 80u);
    bad.push_back(valid);
    bad.back()[valid.size() - 3] ^= 0x40;
    bad.emplace_back(valid.begin(), valid.begin() + static_cast<long>(valid.size() / 2));

    for (const std::vector<char>& bytes : bad) {
        folder.write(fileName, bytes);
        GameConfiguration config;
        EXPECT_EQ(config.maximumFps, 100);
        EXPECT_EQ(config.musicVolume, 15);
        EXPECT_EQ(config.keyBindings[GameConfiguration::BIND_JUMP].keyboard, 57u);
        EXPECT_EQ(config.highScores[3].points, 0);
        EXPECT_NE(config.installationId, 0u);
    }
    folder.write(fileName, valid);
    GameConfiguration config;
    EXPECT_EQ(config.maximumFps, 50);
}

TEST_F(GameConfigurationTest, LoadKeepsStoredNumbersAndMakesTextsFlagsAndBindingsSafe)
{
    // Numbers out of range stay as stored, so that nothing the player did not change is written back; the
    // option items show the nearest valid entry and the readers hold them within range.
    const struct {
        int32_t GameConfiguration::*field;
        int32_t stored;
    } numbers[] = {
        {&GameConfiguration::maximumFps, 0},    {&GameConfiguration::soundQuality, 7},
        {&GameConfiguration::soundVolume, -3},  {&GameConfiguration::musicVolume, 99},
        {&GameConfiguration::countryIndex, 500}, {&GameConfiguration::detail, 2},
        {&GameConfiguration::touchArrowPlacement, 3},
    };
    for (const auto& n : numbers) {
        {
            GameConfiguration config;
            config.*n.field = n.stored;
        }
        GameConfiguration config;
        EXPECT_EQ(config.*n.field, n.stored);
    }

    {
        GameConfiguration config;
        config.keyBindings[0] = {456, 0xFFFFFFFFu};
        config.keyBindings[1] = {455, 0};
        // Space moved from Jump to the map, whose joystick code and Jump's key are then damaged.
        config.keyBindings[GameConfiguration::BIND_MAP] = {57, 1000};
        config.keyBindings[GameConfiguration::BIND_JUMP].keyboard = 70000;
        config.bFullScreen = 0x80;
        config.bVSync = 0;
        config.installationId = 0;
        std::memset(config.gameId, 'x', sizeof config.gameId);
        std::memset(config.version, 'v', sizeof config.version);
        std::memset(config.highScores[2].name, 'y', sizeof config.highScores[2].name);
    }
    std::vector<std::string> log;
    Logger::setObserver([&log](UStringView line) { log.push_back(wideToUtf8(line)); });
    GameConfiguration config;
    Logger::setObserver(nullptr);
    // An unknown input code gives the slot its default back, with a warning; one whose default another slot
    // holds binds nothing.
    EXPECT_EQ(config.keyBindings[0].keyboard, 203u);
    EXPECT_EQ(config.keyBindings[0].joystick, 258u);
    EXPECT_EQ(config.keyBindings[1].keyboard, 455u);
    EXPECT_EQ(config.keyBindings[GameConfiguration::BIND_MAP].keyboard, 57u);
    EXPECT_EQ(config.keyBindings[GameConfiguration::BIND_MAP].joystick, 274u);
    EXPECT_EQ(config.keyBindings[GameConfiguration::BIND_JUMP].keyboard, 0u);
    for (const char* warning :
         {"Warning: the keyboard binding of 'move left' holds 456, which is no input code; using its default 203.",
          "Warning: the joystick binding of 'move left' holds 4294967295, which is no input code; using its default "
          "258.",
          "Warning: the keyboard binding of 'jump' holds 70000, which is no input code; its default 57 is bound "
          "elsewhere, so it binds nothing."}) {
        const auto said = [&](const std::string& line) { return line.find(warning) != std::string::npos; };
        EXPECT_TRUE(std::any_of(log.begin(), log.end(), said)) << warning;
    }
    EXPECT_EQ(config.bFullScreen, 1);
    EXPECT_EQ(config.bVSync, 0);
    EXPECT_NE(config.installationId, 0u);
    EXPECT_EQ(toUString(config.gameId, sizeof config.gameId), UString(31, u'x'));
    EXPECT_EQ(toUString(config.version, sizeof config.version), UString(15, u'v'));
    EXPECT_EQ(toUString(config.highScores[2].name, 256), UString(255, u'y'));
}

TEST_F(GameConfigurationTest, PlayTimeIsAddedAtShutdownUnlessTheClockWentBack)
{
    const int64_t now = std::time(nullptr);
    {
        GameConfiguration config;
        config.playTime = 5;
        config.startTime = now - 100;
    }
    const int64_t ended = std::time(nullptr);
    int64_t future = 0;
    {
        GameConfiguration config;
        EXPECT_GE(config.playTime, 105u);
        EXPECT_LE(config.playTime, 105u + static_cast<uint64_t>(ended - now));
        // Saving during the run adds nothing.
        config.save();
        config.playTime = 1000;
        future = now + 5000;
        config.startTime = future;
    }
    GameConfiguration config;
    // The clock is behind the stored start time: it stays in force, and no time was added.
    EXPECT_EQ(config.startTime, future);
    EXPECT_EQ(config.playTime, 1000u);
}

TEST_F(GameConfigurationTest, HighScoreReplacementRules)
{
    const int64_t started = std::time(nullptr);
    GameConfiguration config;
    EXPECT_EQ(config.submitHighScore(50, 7, 95, 800, true, u"Ann"), 7);
    EXPECT_EQ(config.submitHighScore(50, 7, 95, 800, true, u"Bob"), -1);
    EXPECT_EQ(toUString(config.highScores[7].name), u"Ann");
    EXPECT_EQ(config.submitHighScore(20, 7, 94, 800, true, u"Cy"), 7);
    EXPECT_EQ(config.submitHighScore(90, 7, 10, 790, true, u"Dee"), -1);
    const HIGHSCOREENTRY& e = config.highScores[7];
    EXPECT_EQ(toUString(e.name), u"Cy");
    EXPECT_EQ(e.levelNumber, 7);
    EXPECT_EQ(e.score, 20);
    EXPECT_EQ(e.time, 94);
    EXPECT_EQ(e.points, 800);
    EXPECT_GE(e.timestamp, started);
    EXPECT_LE(e.timestamp, std::time(nullptr));

    // An empty entry is not beaten by nothing, but by any points at all.
    EXPECT_EQ(config.submitHighScore(0, 2, 0, 0, true, u"Zero"), -1);
    EXPECT_EQ(config.highScores[2].name[0], 0);
    EXPECT_EQ(config.submitHighScore(0, 2, 500, 1, true, u"One"), 2);

    // Level numbers outside the table store nothing.
    const std::vector<uint8_t> before = bytesOf(config);
    EXPECT_EQ(config.submitHighScore(1, -1, 1, 1000, true, u"X"), -1);
    EXPECT_EQ(config.submitHighScore(1, 32, 1, 1000, true, u"X"), -1);
    EXPECT_EQ(config.submitHighScore(1, 1000, 1, 1000, true, u"X"), -1);
    EXPECT_TRUE(bytesOf(config) == before);

    // A name is cut at a whole unit so that its UTF-8 form fits 255 bytes.
    ASSERT_EQ(config.submitHighScore(1, 0, 1, 1, true, UString(300, u'n')), 0);
    EXPECT_EQ(std::strlen(config.highScores[0].name), 255u);
    ASSERT_EQ(config.submitHighScore(1, 1, 1, 1, true, UString(300, u'\u00e9')), 1);
    EXPECT_EQ(toUString(config.highScores[1].name), UString(127, u'\u00e9'));

    config.resetHighScores();
    for (int i = 0; i < 32; ++i) {
        const HIGHSCOREENTRY& entry = config.highScores[i];
        EXPECT_EQ(entry.levelNumber, i);
        EXPECT_EQ(entry.points, 0);
        EXPECT_EQ(entry.name[0], 0);
        EXPECT_EQ(entry.digest[0], 0);
    }
}

TEST_F(GameConfigurationTest, HighScoreDigestTags)
{
    GameConfiguration config;
    ASSERT_EQ(config.submitHighScore(321, 4, 61, 950, true, u"Ann"), 4);
    const HIGHSCOREENTRY& entry = config.highScores[4];
    // Salt 0x5A3C9E71 as four little-endian bytes, then the entry with a zero tag.
    std::vector<uint8_t> input = {0x71, 0x9E, 0x3C, 0x5A};
    const auto* p = reinterpret_cast<const uint8_t*>(&entry);
    input.insert(input.end(), p, p + sizeof entry);
    std::fill(input.begin() + 4, input.begin() + 20, 0);
    EXPECT_EQ(std::vector<uint8_t>(entry.digest, entry.digest + 16), opensslMd5(input));
    uint8_t recomputed[16];
    GameConfiguration::computeHighScoreDigest(entry, recomputed);
    EXPECT_EQ(std::memcmp(recomputed, entry.digest, 16), 0);

    // An ineligible result is tagged 01 and fifteen zeros.
    ASSERT_EQ(config.submitHighScore(321, 5, 61, 950, false, u"Ann"), 5);
    const uint8_t ineligible[16] = {1};
    EXPECT_EQ(std::memcmp(config.highScores[5].digest, ineligible, 16), 0);
    // An eligible result replacing it gets a real digest again.
    ASSERT_EQ(config.submitHighScore(321, 5, 60, 950, true, u"Ann"), 5);
    GameConfiguration::computeHighScoreDigest(config.highScores[5], recomputed);
    EXPECT_EQ(std::memcmp(recomputed, config.highScores[5].digest, 16), 0);
    // Empty slots carry a zero tag.
    const uint8_t zero[16] = {};
    EXPECT_EQ(std::memcmp(config.highScores[0].digest, zero, 16), 0);
}

TEST_F(GameConfigurationTest, ClearKeyBindingUnbindsOnlyThatCode)
{
    GameConfiguration config;
    config.keyBindings[GameConfiguration::BIND_MAP].joystick = 57;
    config.clearKeyBinding(57);
    EXPECT_EQ(config.keyBindings[GameConfiguration::BIND_JUMP].keyboard, 0u);
    EXPECT_EQ(config.keyBindings[GameConfiguration::BIND_MAP].joystick, 0u);
    const uint32_t rest[14] = {203, 258, 205, 259, 45, 256, 208, 257, 0, 272, 28, 273, 50, 0};
    EXPECT_EQ(std::memcmp(config.keyBindings, rest, sizeof rest), 0);
}

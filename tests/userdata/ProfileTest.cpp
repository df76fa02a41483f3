#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <set>

#include "engine/core/ErrorManager.h"
#include "engine/core/GameInfo.h"
#include "engine/core/KivRandom.h"
#include "engine/core/Logger.h"
#include "engine/files/FileManager.h"
#include "engine/kiv/Kiv.h"
#include "game/language/Language.h"
#include "game/userdata/GameConfiguration.h"
#include "game/userdata/ProfileManager.h"
#include "support/KivHarness.h"
#include "userdata/UserFolder.h"

namespace {

// The space-separated words of a text.
std::vector<UString> splitWords(const UString& text)
{
    std::vector<UString> out;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find(u' ', start), text.size());
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

class ProfileManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Logger::setObserver([this](UStringView line) { log.emplace_back(line); });
    }
    void TearDown() override { Logger::setObserver(nullptr); }

    UserFolder folder;
    std::vector<UString> log;
};

} // namespace

TEST(ProfileData, ResetGivesAFreshProfile)
{
    // The id is the second draw's upper half over the first draw's upper half.
    KivRandom::setSeed(12345);
    ProfileData profile;
    EXPECT_EQ(profile.profileId, 0x4ADC9DA0u);
    profile.setName(u"Ann");
    profile.levelStats[5].available = 1;
    profile.levelStats[5].completed = 1;
    profile.totals.score = 9;
    profile.currentLevel = 6;
    const uint32_t oldId = profile.profileId;
    profile.reset();
    EXPECT_EQ(profile.getName(), u"");
    EXPECT_NE(profile.profileId, oldId);
    EXPECT_EQ(profile.currentLevel, 0);
    EXPECT_EQ(profile.levelStats[0].available, 1);
    EXPECT_EQ(profile.levelStats[5].available, 0);
    EXPECT_EQ(profile.levelStats[5].completed, 0);
    EXPECT_EQ(profile.levelStats[5].empty, 1);
    EXPECT_EQ(profile.totals.score, 0);
    // Padding is zero, so stored profiles are reproducible.
    const auto* bytes = reinterpret_cast<const unsigned char*>(&profile);
    const unsigned char zero[4] = {};
    EXPECT_EQ(std::memcmp(bytes + 260, zero, 4), 0);
    EXPECT_EQ(std::memcmp(bytes + 5284, zero, 4), 0);
}

TEST(ProfileData, LevelTables)
{
    const struct {
        int level;
        const char16_t* file;
        const char16_t* music;
        const char16_t* minimap;
    } cases[] = {
        {0, u"./levels/a1xmas.lev", u"musicGame1", u"minimap00"},
        {1, u"./levels/a2xmas.lev", u"musicGame2", u"minimap01"},
        {3, u"./levels/a9.lev", u"musicBonus", u"minimap03"},
        {4, u"./levels/b1.lev", u"musicGame1", u"minimap04"},
        {7, u"./levels/b9.lev", u"musicBonus", u"minimap07"},
        {18, u"./levels/e3.lev", u"musicGame3", u"minimap18"},
        {19, u"./levels/e9.lev", u"musicNone", u"minimap19"},
        {31, u"./levels/h9.lev", u"musicMenu", u"minimap31"},
    };
    Language language;
    language.setLanguage(1);
    for (const auto& c : cases) {
        EXPECT_EQ(ProfileData::levelNumberToFile(c.level), c.file);
        EXPECT_EQ(ProfileData::levelNumberToMusic(c.level), c.music);
        EXPECT_EQ(ProfileData::levelNumberToMinimap(c.level), c.minimap);
        EXPECT_EQ(ProfileData::levelNumberToTitle(language, c.level),
                  language.getTextByString(formatString(u"LEVELTITLE%d", c.level), true));
    }
    for (int level : {11, 15, 23, 27}) {
        EXPECT_EQ(ProfileData::levelNumberToMusic(level), u"musicBonus");
    }
}

TEST(ProfileData, LevelTitlesInTheEnginesCurrentLanguage)
{
    Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine);
    {
        KivHarness harness;
        Language& language = *harness.kiv().language;
        language.setLanguage(0);
        EXPECT_EQ(ProfileData::levelNumberToTitle(0), u"First Steps");
        language.setLanguage(1);
        EXPECT_EQ(ProfileData::levelNumberToTitle(19), u"Bl\u00E4tterjagd");
        EXPECT_THROW(ProfileData::levelNumberToTitle(32), FatalError);
    }
    Kiv::setLanguageFactory(nullptr, nullptr);
    ErrorManager::setThrowForTests(false);
}

TEST(ProfileData, UnhandledLevelNumbersAreFatal)
{
    Language language;
    const auto title = [&](int level) { ProfileData::levelNumberToTitle(language, level); };
    const auto file = [](int level) { ProfileData::levelNumberToFile(level); };
    const auto music = [](int level) { ProfileData::levelNumberToMusic(level); };
    const UString assertion = u"Assertion failed.\n Statement: levelNumber >= 0 "
                              u"&& levelNumber < NUMLEVELS";
    const struct {
        std::function<void(int)> call;
        int level;
        const char16_t* function;
        UString error;
    } cases[] = {
        {title, -1, u"ProfileData::levelNumberToTitle", assertion},
        {title, 32, u"ProfileData::levelNumberToTitle", assertion},
        {file, -1, u"ProfileData::levelNumberToFile", u"Unhandled level number (-1)"},
        {file, 32, u"ProfileData::levelNumberToFile", u"Unhandled level number (32)"},
        {file, 1000, u"ProfileData::levelNumberToFile", u"Unhandled level number (1000)"},
        {music, -2, u"ProfileData::levelNumberToMusic", u"Unhandled level number (-2)"},
    };
    ErrorManager::setThrowForTests(true);
    for (const auto& c : cases) {
        try {
            c.call(c.level);
            ADD_FAILURE() << c.level;
        } catch (const FatalError& e) {
            EXPECT_EQ(e.report.rfind(u"Error: " + c.error, 0), 0u) << e.what();
            EXPECT_NE(e.report.find(formatString(u" Function: %s()\n File: ProfileData.cpp", c.function)),
                      UString::npos)
                << e.what();
        }
    }
    ErrorManager::setThrowForTests(false);
}

TEST_F(ProfileManagerTest, FirstStartHasEveryslotFree)
{
    ProfileManager store;
    EXPECT_EQ(store.countProfiles(), 0);
    EXPECT_EQ(store.currentProfile, 0);
    EXPECT_EQ(store.getProfileName(0), u"");
    EXPECT_EQ(store.profiles[3].profileId, 0u);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), u"ProfileManager::onCurrentProfileChanged(): Changing profile to ''...");
}

TEST_F(ProfileManagerTest, AddDeleteAndSelect)
{
    ProfileManager store;
    const UString ten = u"P0 P1 P2 P3 P4 P5 P6 P7 P8 P9";
    // Each step (a: add, d: delete, s: select, f: add players up to ten), then the players in slot order (the
    // other slots free) and the current slot.
    const struct {
        char op;
        const char16_t* argument;
        int slot;
        UString players;
        int current;
    } steps[] = {
        {'a', u"Ann", 0, u"Ann", 0},
        {'a', u"Bob", 0, u"Ann Bob", 1},
        {'a', u"Cy", 0, u"Ann Bob Cy", 2},
        // Bob is chosen and deleted: Cy moves to his slot and is current.
        {'s', nullptr, 1, u"Ann Bob Cy", 1},
        {'d', nullptr, 1, u"Ann Cy", 1},
        // Deleting a player below the current one keeps the same player current.
        {'d', nullptr, 0, u"Cy", 0},
        // Outside the slots nothing happens.
        {'d', nullptr, -1, u"Cy", 0},
        {'d', nullptr, 10, u"Cy", 0},
        // Deleting the only player leaves slot 0 current and free.
        {'d', nullptr, 0, u"", 0},
        {'f', nullptr, 0, ten, 9},
        {'a', u"Eleven", 0, ten, 9},
        {'d', nullptr, 9, u"P0 P1 P2 P3 P4 P5 P6 P7 P8", 0},
        {'a', u"P9", 0, ten, 9},
        {'s', nullptr, 7, ten, 7},
        {'d', nullptr, 4, u"P0 P1 P2 P3 P5 P6 P7 P8 P9", 6},
    };
    std::map<UString, uint32_t> ids; // each player's id since added
    int n = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(++n);
        switch (step.op) {
        case 'a':
            store.addProfile(step.argument);
            break;
        case 'f':
            while (store.countProfiles() < 10) {
                store.addProfile(formatString(u"P%d", store.countProfiles()));
            }
            break;
        case 's':
            store.currentProfile = step.slot;
            store.onCurrentProfileChanged();
            break;
        default:
            ids.erase(store.getProfileName(step.slot));
            store.deleteProfile(step.slot);
        }
        if (step.op != 'd') {
            EXPECT_EQ(log.back(), formatString(u"ProfileManager::onCurrentProfileChanged(): "
                                               u"Changing profile to '%s'...",
                                               store.getCurrentProfile().getName()));
        }
        const std::vector<UString> words = splitWords(step.players);
        EXPECT_EQ(store.countProfiles(), static_cast<int>(words.size()));
        EXPECT_EQ(store.currentProfile, step.current);
        std::set<uint32_t> distinct;
        for (int slot = 0; slot < ProfileManager::MAXPROFILES; ++slot) {
            const std::size_t i = static_cast<std::size_t>(slot);
            EXPECT_TRUE(store.getProfileName(slot) == (i < words.size() ? words[i] : u"")) << slot;
            if (i < words.size()) {
                // A player's whole record moves with the name; a new one starts with level 0 open.
                EXPECT_EQ(store.profiles[slot].profileId,
                          ids.emplace(words[i], store.profiles[slot].profileId).first->second);
                EXPECT_EQ(store.profiles[slot].levelStats[0].available, 1);
                distinct.insert(store.profiles[slot].profileId);
            }
        }
        EXPECT_EQ(distinct.size(), words.size());
    }
    EXPECT_EQ(store.getProfileName(10), u"");
}

TEST_F(ProfileManagerTest, NamesAreCutTo16UnitsWhenTheirPlayerBecomesCurrent)
{
    ProfileManager store;
    store.addProfile(u"Abcdefghijklmnopqrst");
    EXPECT_EQ(store.getProfileName(0), u"Abcdefghijklmnop");
    EXPECT_EQ(log.back(), u"ProfileManager::onCurrentProfileChanged(): Changing "
                          u"profile to 'Abcdefghijklmnop'...");
    // The stored field holds the cut name and nothing of the rest.
    EXPECT_EQ(std::strlen(store.profiles[0].name), 16u);

    // A name stored longer (from a file) is cut once its player is chosen.
    store.profiles[1] = ProfileData();
    store.profiles[1].setName(UString(40, u'\u00fc'));
    EXPECT_EQ(store.getProfileName(1).size(), 40u);
    store.currentProfile = 1;
    store.onCurrentProfileChanged();
    EXPECT_EQ(store.getProfileName(1), UString(16, u'\u00fc'));
}

TEST_F(ProfileManagerTest, RoundTripAndForeignFiles)
{
    {
        ProfileManager store;
        store.addProfile(u"Ann");
        store.addProfile(u"Bob");
        store.getCurrentProfile().levelStats[3].score = 77;
        store.getCurrentProfile().currentLevel = 3;
    }
    std::vector<char> valid = folder.read(u"TobbleXmasdemo.pro");
    {
        ProfileManager store;
        EXPECT_EQ(store.countProfiles(), 2);
        EXPECT_EQ(store.currentProfile, 1);
        EXPECT_EQ(store.getCurrentProfile().levelStats[3].score, 77);
        EXPECT_EQ(store.getCurrentProfile().currentLevel, 3);
        EXPECT_EQ(log.back(), u"ProfileManager::onCurrentProfileChanged(): "
                              u"Changing profile to 'Bob'...");
    }
    // The reloaded store was saved unchanged.
    EXPECT_EQ(folder.read(u"TobbleXmasdemo.pro"), valid);

    // A store of the older size is ignored.
    std::vector<uint8_t> older(50488, 0);
    std::memcpy(older.data() + 8, "Old", 3);
    FileManager::saveUserFile(older.data(), older.size(), GameConfiguration::getSaveFolder(), u"TobbleXmasdemo.pro",
                              GameInfo::VERSION);
    {
        ProfileManager store;
        EXPECT_EQ(store.countProfiles(), 0);
    }
    std::vector<char> damaged = valid;
    damaged[70] ^= 1;
    folder.write(u"TobbleXmasdemo.pro", damaged);
    ProfileManager store;
    EXPECT_EQ(store.countProfiles(), 0);
}

TEST_F(ProfileManagerTest, OutOfRangeValuesAreBroughtIntoRangeOnLoad)
{
    std::vector<char> bad;
    {
        ProfileManager store;
        store.addProfile(u"Ann");
        store.addProfile(u"Bob");
        store.currentProfile = 12;
        store.profiles[0].currentLevel = 40;
        store.profiles[1].currentLevel = -3;
        store.profiles[0].levelStats[1].completed = 7;
        std::memset(store.profiles[1].name, 'q', sizeof store.profiles[1].name);
        store.save();
        bad = folder.read(u"TobbleXmasdemo.pro");
        store.currentProfile = 0;
    }
    folder.write(u"TobbleXmasdemo.pro", bad);
    ProfileManager store;
    EXPECT_EQ(store.currentProfile, 9);
    EXPECT_EQ(store.profiles[0].currentLevel, 31);
    EXPECT_EQ(store.profiles[1].currentLevel, 0);
    EXPECT_EQ(store.profiles[0].levelStats[1].completed, 1);
    EXPECT_EQ(store.getProfileName(1), UString(255, u'q'));
}

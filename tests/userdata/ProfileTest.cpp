#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/ErrorManager.h"
#include "engine/core/GameInfo.h"
#include "engine/core/KivRandom.h"
#include "engine/core/Logger.h"
#include "engine/files/FileManager.h"
#include "game/language/Language.h"
#include "game/userdata/GameConfiguration.h"
#include "game/userdata/ProfileManager.h"
#include "userdata/UserFolder.h"

namespace {

class ProfileManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Logger::setObserver([this](UStringView line) { log.emplace_back(line); });
    }
    void TearDown() override { Logger::setObserver(nullptr); }

    std::vector<UString> names(const ProfileManager& store) const
    {
        std::vector<UString> out;
        for (int i = 0; i < ProfileManager::MAXPROFILES; ++i) {
            out.push_back(store.getProfileName(i));
        }
        return out;
    }

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
    for (std::size_t i = 260; i < 264; ++i) {
        EXPECT_EQ(bytes[i], 0);
    }
    for (std::size_t i = 5284; i < 5288; ++i) {
        EXPECT_EQ(bytes[i], 0);
    }
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
    for (const auto& c : cases) {
        EXPECT_EQ(ProfileData::levelNumberToFile(c.level), c.file);
        EXPECT_EQ(ProfileData::levelNumberToMusic(c.level), c.music);
        EXPECT_EQ(ProfileData::levelNumberToMinimap(c.level), c.minimap);
    }
    for (int level : {11, 15, 23, 27}) {
        EXPECT_EQ(ProfileData::levelNumberToMusic(level), u"musicBonus");
    }
}

TEST(ProfileData, LevelTitlesFollowTheCurrentLanguage)
{
    Language language;
    language.setLanguage(0);
    EXPECT_EQ(ProfileData::levelNumberToTitle(language, 0), language.getTextByString(u"LEVELTITLE0", true));
    EXPECT_EQ(ProfileData::levelNumberToTitle(language, 31), language.getTextByString(u"LEVELTITLE31", true));
    language.setLanguage(1);
    EXPECT_EQ(ProfileData::levelNumberToTitle(language, 19), language.getTextByString(u"LEVELTITLE19", true));
    EXPECT_NE(ProfileData::levelNumberToTitle(language, 19), u"");
}

TEST(ProfileData, UnhandledLevelNumbersAreFatal)
{
    ErrorManager::setThrowForTests(true);
    for (int level : {-1, 32}) {
        Language language;
        try {
            ProfileData::levelNumberToTitle(language, level);
            ADD_FAILURE() << level;
        } catch (const FatalError& e) {
            EXPECT_NE(e.report.find(u"levelNumber >= 0 && levelNumber < NUMLEVELS"), UString::npos);
            EXPECT_NE(e.report.find(u"ProfileData::levelNumberToTitle"), UString::npos);
        }
    }
    for (int level : {-1, 32, 1000}) {
        try {
            ProfileData::levelNumberToFile(level);
            ADD_FAILURE() << level;
        } catch (const FatalError& e) {
            EXPECT_EQ(e.message, formatString(u"Unhandled level number (%d)", level));
            EXPECT_NE(e.report.find(u"ProfileData::levelNumberToFile"), UString::npos);
        }
    }
    try {
        ProfileData::levelNumberToMusic(-2);
        ADD_FAILURE();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.message, u"Unhandled level number (-2)");
        EXPECT_NE(e.report.find(u"ProfileData::levelNumberToMusic"), UString::npos);
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
    store.addProfile(u"Ann");
    store.addProfile(u"Bob");
    store.addProfile(u"Cy");
    EXPECT_EQ(store.countProfiles(), 3);
    EXPECT_EQ(store.currentProfile, 2);
    EXPECT_EQ(log.back(), u"ProfileManager::onCurrentProfileChanged(): Changing profile to 'Cy'...");
    EXPECT_NE(store.profiles[0].profileId, store.profiles[1].profileId);
    EXPECT_EQ(store.profiles[1].levelStats[0].available, 1);

    // Bob is chosen and deleted: Cy moves to his slot and becomes current.
    store.currentProfile = 1;
    store.onCurrentProfileChanged();
    const uint32_t cyId = store.profiles[2].profileId;
    store.deleteProfile(1);
    EXPECT_EQ(names(store)[0], u"Ann");
    EXPECT_EQ(names(store)[1], u"Cy");
    EXPECT_EQ(names(store)[2], u"");
    EXPECT_EQ(store.profiles[1].profileId, cyId);
    EXPECT_EQ(store.currentProfile, 1);

    // Deleting a player below the current one keeps the same player current.
    store.deleteProfile(0);
    EXPECT_EQ(store.currentProfile, 0);
    EXPECT_EQ(store.getCurrentProfile().getName(), u"Cy");

    // Outside the slots nothing happens.
    store.deleteProfile(-1);
    store.deleteProfile(10);
    EXPECT_EQ(store.countProfiles(), 1);
    EXPECT_EQ(store.getProfileName(10), u"");

    // Deleting the only player leaves slot 0 current and free.
    store.deleteProfile(0);
    EXPECT_EQ(store.countProfiles(), 0);
    EXPECT_EQ(store.currentProfile, 0);
    EXPECT_EQ(store.getProfileName(0), u"");
}

TEST_F(ProfileManagerTest, TenPlayersFillTheStore)
{
    ProfileManager store;
    for (int i = 0; i < 10; ++i) {
        store.addProfile(formatString(u"P%d", i));
    }
    EXPECT_EQ(store.countProfiles(), 10);
    store.addProfile(u"Eleven");
    EXPECT_EQ(store.countProfiles(), 10);
    EXPECT_EQ(store.currentProfile, 9);
    EXPECT_EQ(store.getCurrentProfile().getName(), u"P9");

    store.deleteProfile(9);
    EXPECT_EQ(store.countProfiles(), 9);
    EXPECT_EQ(store.getProfileName(9), u"");
    EXPECT_EQ(store.currentProfile, 0);

    store.addProfile(u"P9");
    store.currentProfile = 7;
    store.deleteProfile(4);
    const std::vector<UString> expected = {u"P0", u"P1", u"P2", u"P3", u"P5", u"P6", u"P7", u"P8", u"P9", u""};
    EXPECT_EQ(names(store), expected);
    EXPECT_EQ(store.getCurrentProfile().getName(), u"P7");
}

TEST_F(ProfileManagerTest, NamesAreCutTo16UnitsWhenTheirPlayerBecomesCurrent)
{
    ProfileManager store;
    store.addProfile(u"Abcdefghijklmnopqrst");
    EXPECT_EQ(store.getProfileName(0), u"Abcdefghijklmnop");
    EXPECT_EQ(log.back(), u"ProfileManager::onCurrentProfileChanged(): Changing profile to 'Abcdefghijklmnop'...");
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
        EXPECT_EQ(log.back(), u"ProfileManager::onCurrentProfileChanged(): Changing profile to 'Bob'...");
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

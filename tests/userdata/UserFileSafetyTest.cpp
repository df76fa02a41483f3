// The player's files are never lost: a file that cannot be read is not saved over, a damaged one is kept
// as a ".bad" copy (".bad2" and on beside older ones) before the defaults replace it, and hand-edited
// counters cannot overflow the totals.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <functional>
#include <limits>
#include <vector>

#include "engine/core/GameInfo.h"
#include "engine/core/Logger.h"
#include "engine/files/FileManager.h"
#include "game/userdata/GameConfiguration.h"
#include "game/userdata/ProfileManager.h"
#include "userdata/UserFolder.h"

namespace {

// Runs `body` in a child process as a user that the file's rights keep out (root reads everything, so a
// test run as root switches to "nobody"); returns the child's exit code.
int runWithoutRights(const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(90);
        }
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

// Opens every folder on the way to the user data folder to everyone, so that the child can write there.
void openFolderToEveryone(const UserFolder& folder)
{
    const std::string inside = "share/Kestrelmoor studios/TobbleXmasdemo/1.25/";
    const std::string top = folder.file(u"");
    const std::string base = top.substr(0, top.size() - inside.size());
    for (std::size_t slash = 0; slash != std::string::npos; slash = inside.find('/', slash + 1)) {
        chmod((base + inside.substr(0, slash)).c_str(), 0777);
    }
}

class UserFileSafety : public ::testing::Test {
protected:
    void SetUp() override
    {
        Logger::setObserver([this](UStringView line) { log.push_back(wideToUtf8(line)); });
    }
    void TearDown() override { Logger::setObserver(nullptr); }

    bool logged(const std::string& part) const
    {
        for (const std::string& line : log) {
            if (line.find(part) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    // A player file with two players.
    std::vector<char> writePlayers()
    {
        {
            ProfileManager store;
            store.addProfile(u"Ann");
            store.addProfile(u"Bob");
            store.getCurrentProfile().levelStats[4].score = 321;
        }
        return folder.read(u"TobbleXmasdemo.pro");
    }

    UserFolder folder;
    std::vector<std::string> log;
};

} // namespace

TEST_F(UserFileSafety, AnUnreadablePlayerFileIsNeitherReadNorSavedOver)
{
    const std::vector<char> players = writePlayers();
    const std::string path = folder.file(u"TobbleXmasdemo.pro");
    openFolderToEveryone(folder);
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    const int result = runWithoutRights([] {
        {
            ProfileManager store; // runs on the defaults...
            if (store.countProfiles() != 0) {
                return 1;
            }
            store.addProfile(u"Eve");
        } // ...and its save leaves the file alone
        ProfileManager again;
        return again.countProfiles() == 0 ? 0 : 2;
    });
    EXPECT_EQ(result, 0);
    chmod(path.c_str(), 0644);
    EXPECT_EQ(folder.read(u"TobbleXmasdemo.pro"), players);
    EXPECT_FALSE(folder.exists(u"TobbleXmasdemo.pro.bad"));
}

TEST_F(UserFileSafety, AReadOnlyFolderIsReportedOnStandardErrorOnceAndNothingIsTouched)
{
    const std::vector<char> players = writePlayers();
    openFolderToEveryone(folder);
    const std::string top = folder.file(u"");
    ASSERT_EQ(chmod(top.c_str(), 0555), 0);
    const std::string errors = top.substr(0, top.find("/share/")) + "/stderr.txt";
    const int result = runWithoutRights([&errors] {
        if (std::freopen(errors.c_str(), "w", stderr) == nullptr) {
            return 3;
        }
        FileManager files; // the run
        {
            ProfileManager store;
            store.addProfile(u"Eve");
        }
        GameConfiguration config;
        config.save();
        config.save();
        return 0;
    });
    chmod(top.c_str(), 0755);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(folder.read(u"TobbleXmasdemo.pro"), players);
    EXPECT_FALSE(folder.exists(u"TobbleXmasdemo.hst"));
    std::ifstream in(errors);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("'" + top + "'"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(std::strerror(EACCES)), std::string::npos) << lines[0];
}

TEST_F(UserFileSafety, AHighScoreFileOverTheSizeCapIsLeftAlone)
{
    const std::vector<char> huge(1 << 20, 'x');
    GameConfiguration::getSaveFolder(); // makes the folder
    folder.write(u"TobbleXmasdemo.hst", huge);
    {
        GameConfiguration config;
        EXPECT_EQ(config.soundVolume, 24); // the defaults
        config.soundVolume = 3;
        EXPECT_FALSE(FileManager::saveUserFile(&config, sizeof config, GameConfiguration::getSaveFolder(),
                                               u"TobbleXmasdemo.hst", GameInfo::VERSION));
    }
    EXPECT_EQ(folder.read(u"TobbleXmasdemo.hst"), huge);
    EXPECT_TRUE(logged("Could not read user file"));
    EXPECT_TRUE(logged("not saved over"));
}

TEST_F(UserFileSafety, ADamagedPlayerFileIsKeptAsABadCopyBeforeTheDefaultsReplaceIt)
{
    std::vector<char> damaged = writePlayers();
    damaged[80] ^= 0x10;
    folder.write(u"TobbleXmasdemo.pro", damaged);
    {
        ProfileManager store;
        EXPECT_EQ(store.countProfiles(), 0);
    }
    EXPECT_EQ(folder.read(u"TobbleXmasdemo.pro.bad"), damaged);
    EXPECT_TRUE(logged("is kept as '" + folder.file(u"TobbleXmasdemo.pro.bad") + "'"));
    // The defaults were saved over the damaged file and load cleanly.
    EXPECT_NE(folder.read(u"TobbleXmasdemo.pro"), damaged);
    log.clear();
    {
        ProfileManager store;
        EXPECT_FALSE(logged("ignored"));
    }

    // A newer damaged file is kept beside the older copy, which stays as it was.
    std::vector<char> newer = folder.read(u"TobbleXmasdemo.pro");
    newer.resize(newer.size() - 3);
    folder.write(u"TobbleXmasdemo.pro", newer);
    {
        ProfileManager store;
    }
    EXPECT_EQ(folder.read(u"TobbleXmasdemo.pro.bad"), damaged);
    EXPECT_EQ(folder.read(u"TobbleXmasdemo.pro.bad2"), newer);
    EXPECT_TRUE(logged("is kept as '" + folder.file(u"TobbleXmasdemo.pro.bad2") + "'"));
}

TEST_F(UserFileSafety, HandEditedCountersCannotOverflowTheTotals)
{
    {
        ProfileManager store;
        store.addProfile(u"Ann");
        for (LevelStats& stats : store.getCurrentProfile().levelStats) {
            stats.score = INT32_MAX;
            stats.sweets = stats.sweetsGot = INT32_MAX;
            stats.livesLost = INT32_MIN;
            stats.averageFrameRate = INT32_MAX;
            stats.time = std::numeric_limits<double>::quiet_NaN();
            stats.totalTime = 1e300;
        }
        store.getCurrentProfile().totals.timesPlayed = -5;
    }
    ProfileManager store;
    ProfileData& profile = store.getCurrentProfile();
    EXPECT_EQ(profile.levelStats[7].score, LevelStats::MAXCOUNT);
    EXPECT_EQ(profile.levelStats[7].livesLost, 0);
    EXPECT_EQ(profile.levelStats[7].time, 0.0);
    EXPECT_EQ(profile.levelStats[7].totalTime, LevelStats::MAXSECONDS);
    EXPECT_EQ(profile.totals.timesPlayed, 0);
    // The world map's totals: the sum of every level (the sanitizer build checks the arithmetic).
    LevelStats totals;
    for (const LevelStats& stats : profile.levelStats) {
        totals.add(stats);
    }
    EXPECT_EQ(totals.score, ProfileData::NUMLEVELS * LevelStats::MAXCOUNT);
    EXPECT_EQ(totals.sweetsGot, ProfileData::NUMLEVELS * LevelStats::MAXCOUNT);
    EXPECT_EQ(totals.averageFrameRate, ProfileData::NUMLEVELS * LevelStats::MAXCOUNT);
    EXPECT_GE(totals.totalPoints, 0);
}

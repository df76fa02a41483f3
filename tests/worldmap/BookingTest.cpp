// A level started from the world map and handed back: the run is booked into the player's profile, the
// next level unlocked with its dialog, the user data saved, and the map returns to choosing.
#include <gtest/gtest.h>

#include <filesystem>

#include "LoadedGame.h"
#include "engine/core/ErrorManager.h"
#include "engine/files/FileManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "game/front/ContextManager.h"
#include "game/front/MyGlobal.h"
#include "game/language/Language.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/menus/ContextDialog.h"
#include "game/menus/MenuButton.h"
#include "game/userdata/ProfileData.h"
#include "game/userdata/ProfileManager.h"
#include "game/worldmap/ContextEnding.h"
#include "game/worldmap/ContextValley.h"
#include "support/DataBuild.h"

namespace {

namespace fs = std::filesystem;

class BookingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!DataBuild::ARCHIVES_BUILT) {
            GTEST_SKIP() << DataBuild::NOT_BUILT;
        }
        game = &LoadedGame::get();
        game->clearScreens();
        game->resetPlayer();
        game->global->config.bTutorial = 1;
        KivInput* input = Kiv::instance()->input;
        input->setInputMode(KivInput::INPUT_POINTER);
        const KivGraphics* graphics = KivGraphics::instance();
        input->warpCursor(V3(static_cast<float>(graphics->width / 2), static_cast<float>(graphics->height / 2), 0.0f));
    }
    void TearDown() override
    {
        if (game != nullptr) {
            game->clearScreens();
        }
    }

    // Levels 0..last-1 finished, `last` available and selected (or the finished level `selected`); the map
    // open and settled.
    void openAt(int last, int selected = -1)
    {
        ProfileData& p = game->player();
        for (int i = 0; i <= last; ++i) {
            p.levelStats[i].available = 1;
            p.levelStats[i].completed = i < last ? 1 : 0;
        }
        p.currentLevel = selected < 0 ? last : selected;
        valley = new ContextValley();
        game->screens().addContext(valley);
        game->advance(0.2);
        ASSERT_EQ(valley->state, ContextValley::STATE_CHOOSE);
    }

    // Play, the fade, and the level on top of the map.
    void startLevel()
    {

        valley->buttonPlay->bClicked = true;
        game->frame();
        ASSERT_EQ(valley->state, ContextValley::STATE_FADE_OUT);
        game->advance(1.15);
        ASSERT_EQ(valley->state, ContextValley::STATE_LEVEL_RUNNING);
        ASSERT_NE(valley->levelManager, nullptr);
        ASSERT_EQ(game->screens().getTop(), valley->levelManager);
    }

    // The level ends with `result` after a run of the given time, lives lost and apples lost.
    void endLevel(int result, double time, int lives, int apples)
    {
        GameController* controller = valley->levelManager->getGameController();
        ASSERT_NE(controller, nullptr);
        controller->levelStats.time = time;
        controller->levelStats.livesLost = lives;
        controller->levelStats.applesLost = apples;
        valley->levelManager->server->levelResultCode = result;
        game->frames(2); // the level manager finishes, the map is the top screen again
    }

    // True when the level's file is in the level archive.
    static bool inArchive(int level) { return FileManager::instance()->exists(ProfileData::levelNumberToFile(level)); }

    bool saved() const { return fs::exists(fs::path(wideToUtf8(ProfileManager::getFilePath()))); }
    void forgetSave() const { fs::remove(fs::path(wideToUtf8(ProfileManager::getFilePath()))); }

    ContextDialog* topDialog() { return dynamic_cast<ContextDialog*>(game->screens().getTop()); }

    LoadedGame* game = nullptr;
    ContextValley* valley = nullptr;
};

TEST_F(BookingTest, AFinishedRunIsBookedUnlocksTheNextLevelWithItsHintAndSaves)
{
    ASSERT_TRUE(inArchive(1));
    openAt(1);
    startLevel();
    forgetSave();
    endLevel(ContextValley::RESULT_FINISHED, 65.0, 2, 3);
    EXPECT_EQ(game->screens().getTop(), valley);
    game->advance(1.05);
    EXPECT_EQ(valley->levelManager, nullptr);
    const LevelStats& rec = game->player().levelStats[1];
    EXPECT_EQ(rec.timesPlayed, 1);
    EXPECT_NEAR(rec.totalTime, 65.0, 0.1);
    EXPECT_EQ(rec.totalLivesLost, 2);
    EXPECT_EQ(rec.totalApplesLost, 3);
    EXPECT_EQ(rec.completed, 1);
    EXPECT_TRUE(saved());
    // The camera pans and the road grows to the new level, which opens 3 s later.
    EXPECT_EQ(valley->stateGoto, ContextValley::STATE_NEXT_UNLOCKED);
    EXPECT_EQ(game->player().levelStats[2].available, 0);
    game->advance(3.05);
    EXPECT_EQ(game->player().levelStats[2].available, 1);
    EXPECT_EQ(game->player().currentLevel, 2);
    ContextDialog* dialog = topDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->title, UString(Kiv::instance()->language->getText(STR_HINTVALLEYPERCENTAGESTITLE)));
    game->screenshot("valley-unlock-dialog");
    dialog->bClosed = true;
    game->frames(2);
    EXPECT_EQ(valley->state, ContextValley::STATE_CHOOSE);
    // The totals are rebuilt from the 32 records; the attempt counts stay with each level.
    int32_t scores = 0;
    for (const LevelStats& stats : game->player().levelStats) {
        scores += stats.score;
    }
    EXPECT_EQ(game->player().totals.score, scores);
    EXPECT_EQ(game->player().totals.timesPlayed, 0);
}

TEST_F(BookingTest, WithHelpOffOnlyTheSeasonsSpeak)
{
    ASSERT_TRUE(inArchive(1));
    ASSERT_TRUE(inArchive(7));
    game->global->config.bTutorial = 0;
    openAt(1);
    startLevel();
    endLevel(ContextValley::RESULT_FINISHED, 30.0, 0, 0);
    game->advance(4.1);
    EXPECT_EQ(game->player().currentLevel, 2);
    EXPECT_EQ(topDialog(), nullptr);
    EXPECT_EQ(valley->state, ContextValley::STATE_CHOOSE);
    game->clearScreens();
    openAt(7);
    startLevel();
    endLevel(ContextValley::RESULT_FINISHED, 30.0, 0, 0);
    game->advance(4.1);
    ContextDialog* dialog = topDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->text, UString(Kiv::instance()->language->getText(STR_HINTVALLEYSEASON1)));
}

TEST_F(BookingTest, FinishingALevelAgainWhoseNextIsOpenUnlocksNothing)
{
    ASSERT_TRUE(inArchive(1));
    openAt(2, 1);
    startLevel();
    endLevel(ContextValley::RESULT_FINISHED, 30.0, 0, 0);
    game->advance(4.1);
    EXPECT_EQ(valley->state, ContextValley::STATE_CHOOSE);
    EXPECT_EQ(game->player().currentLevel, 1) << "the selection stays";
    EXPECT_EQ(game->player().levelStats[1].timesPlayed, 1);
    EXPECT_EQ(game->player().levelStats[3].available, 0);
    EXPECT_EQ(topDialog(), nullptr) << "no hint of the next level again";
}

TEST_F(BookingTest, ARestartBooksAndStartsAgainWithoutSaving)
{
    ASSERT_TRUE(inArchive(2));
    openAt(2);
    startLevel();
    ContextLevelManager* first = valley->levelManager;
    forgetSave();
    endLevel(ContextValley::RESULT_RESTART, 12.0, 1, 0);
    EXPECT_EQ(valley->state, ContextValley::STATE_LEVEL_RUNNING);
    EXPECT_NE(valley->levelManager, nullptr);
    EXPECT_EQ(game->screens().getTop(), valley->levelManager);
    (void)first;
    EXPECT_EQ(game->player().levelStats[2].timesPlayed, 1);
    EXPECT_EQ(game->player().levelStats[2].totalLivesLost, 1);
    EXPECT_EQ(game->player().levelStats[2].completed, 0);
    EXPECT_FALSE(saved());
}

TEST_F(BookingTest, LeavingALevelBooksAndSavesWithoutUnlocking)
{
    ASSERT_TRUE(inArchive(2));
    openAt(2);
    startLevel();
    forgetSave();
    endLevel(ContextValley::RESULT_END_LEVEL, 20.0, 4, 5);
    game->advance(1.05);
    EXPECT_EQ(valley->state, ContextValley::STATE_CHOOSE);
    const LevelStats& rec = game->player().levelStats[2];
    EXPECT_EQ(rec.timesPlayed, 1);
    EXPECT_EQ(rec.totalLivesLost, 4);
    EXPECT_EQ(rec.totalApplesLost, 5);
    EXPECT_EQ(rec.completed, 0);
    EXPECT_EQ(game->player().levelStats[3].available, 0);
    EXPECT_TRUE(saved());
    // A play test refused before it began (an edited level that cannot be set up) is no run.
    startLevel();
    endLevel(ContextValley::RESULT_NOT_PLAYED, 4.0, 1, 1);
    game->advance(1.05);
    EXPECT_EQ(valley->state, ContextValley::STATE_CHOOSE);
    EXPECT_EQ(valley->levelManager, nullptr);
    EXPECT_EQ(rec.timesPlayed, 1);
    EXPECT_NEAR(rec.totalTime, 20.0, 0.1);
    EXPECT_EQ(rec.totalLivesLost, 4);
}

TEST_F(BookingTest, FinishingLevelThirtyOpensTheClosingScreen)
{
    ASSERT_TRUE(inArchive(30));
    openAt(30);
    startLevel();
    endLevel(ContextValley::RESULT_FINISHED, 90.0, 0, 0);
    game->advance(4.1);
    EXPECT_EQ(game->player().levelStats[31].available, 1);
    EXPECT_NE(dynamic_cast<ContextEnding*>(game->screens().getTop()), nullptr);
}

TEST_F(BookingTest, EveryLevelAtFullPointsSaysSoAfterEachFinishedRun)
{
    ASSERT_TRUE(inArchive(31));
    ProfileData& p = game->player();
    for (LevelStats& s : p.levelStats) {
        s.available = 1;
        s.completed = 1;
        s.totalPoints = 1000;
    }
    p.currentLevel = 31;
    valley = new ContextValley();
    game->screens().addContext(valley);
    game->advance(0.2);
    startLevel();
    endLevel(ContextValley::RESULT_FINISHED, 90.0, 0, 0);
    game->advance(1.05);
    ContextDialog* dialog = topDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->title, UString(Kiv::instance()->language->getText(STR_HINTALLCOMPLETETITLE)));
    EXPECT_EQ(p.totals.totalPoints, 1000) << "the totals are summed anew";
    dialog->bClosed = true;
    game->frames(2);
    EXPECT_EQ(valley->state, ContextValley::STATE_CHOOSE) << "nothing left to unlock";
}

TEST_F(BookingTest, StartingWhileALevelIsSetOrBookingWithoutOneIsFatal)
{
    ASSERT_TRUE(inArchive(1));
    openAt(1);
    valley->state = ContextValley::STATE_LEVEL_RETURNED;
    try {
        valley->onStateChange();
        FAIL() << "booking without a level";
    } catch (const FatalError& e) {
        EXPECT_NE(e.report.find(u"levelManager != NULL"), UString::npos);
    }
    valley->state = valley->stateGoto = ContextValley::STATE_CHOOSE;
    startLevel();
    valley->state = ContextValley::STATE_START_LEVEL;
    try {
        valley->onStateChange();
        FAIL() << "a second level";
    } catch (const FatalError& e) {
        EXPECT_NE(e.report.find(u"levelManager == NULL"), UString::npos);
    }
    valley->state = ContextValley::STATE_LEVEL_RUNNING;
}

} // namespace

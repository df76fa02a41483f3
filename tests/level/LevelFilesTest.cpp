// Every level file of the level archive loads through the level manager into a full tree: the root with
// UID 1, the controller with its layers and eighteen lists in drawing order, the pig and the house, and
// objects whose UIDs are their keys in the role's map.
#include <set>

#include "LevelFixture.h"

#include "engine/files/FileManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "game/front/ContextManager.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/MyRootObject.h"
#include "game/level/LevelBuilder.h"
#include "game/userdata/ProfileData.h"
#include "support/TempDir.h"

TEST_F(LevelTest, EveryLevelFileBuildsItsTree)
{
    for (int number = 0; number < ProfileData::NUMLEVELS; ++number) {
        const UString file = ProfileData::levelNumberToFile(number);
        if (!Kiv::instance()->fileManager->exists(file)) {
            ADD_FAILURE() << "The level archive lacks " << wideToUtf8(file) << ".";
            continue;
        }
        SCOPED_TRACE(number);
        profile().currentLevel = number;
        manager = std::make_unique<ContextLevelManager>(number);
        stack().addContext(manager.get());
        EXPECT_TRUE(harness().logContains("Loading level: " + wideToUtf8(file)));
        MyRootObject* root = manager->getRoot();
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(root->objectUID, 1);
        GameController* gc = root->gameController;
        ASSERT_NE(gc, nullptr);
        EXPECT_EQ(gc->getParent(), root);
        EXPECT_EQ(root->getFirstChild(), root->playerInfoList);
        ASSERT_NE(gc->contextGame, nullptr);
        EXPECT_EQ(gc->contextGame->countChildren(), 18);
        EXPECT_EQ(gc->contextGame->getFirstChild(), gc->bgList);
        EXPECT_EQ(gc->contextGame->getLastChild(), gc->speechBubbleList);
        EXPECT_NE(gc->findHeroOrNull(), nullptr);
        EXPECT_NE(gc->findHouseOrNull(), nullptr);
        EXPECT_NE(gc->editor, nullptr);
        EXPECT_EQ(gc->state, GameController::STATE_INTRO);
        std::set<int32_t> uids;
        for (const auto& [uid, object] : manager->server->objectMap) {
            EXPECT_EQ(object->objectUID, uid);
            uids.insert(uid);
        }
        EXPECT_LT(*uids.rbegin(), manager->server->nextObjectUID);
        frames(3);
        manager->bClosed = true;
        frames(1);
        manager.reset();
    }
}

TEST_F(LevelTest, LevelFileIsReadWholeAndReplayedWithItsLogLines)
{
    TempDir dir;
    {
        LevelBuilder builder;
        builder.controller().parTime = 77.0;
        ASSERT_TRUE(builder.save(dir.file("built.lev")));
    }
    const int from = static_cast<int>(harness().logLines().size());
    FileManager& files = *Kiv::instance()->fileManager;
    files.bForceDisk = true; // a loose file, not an archive entry
    manager = std::make_unique<ContextLevelManager>(toUString(dir.file("built.lev").c_str()));
    files.bForceDisk = false;
    stack().addContext(manager.get());
    const int loading = harness().logIndex("ContextLevelManager::ContextLevelManager(): Loading level: ", from);
    const int loadedAt = harness().logIndex("ContextLevelManager::ContextLevelManager(): Level loaded in ", from);
    EXPECT_GE(loading, 0);
    EXPECT_GT(loadedAt, loading);
    EXPECT_EQ(harness().logLines()[static_cast<std::size_t>(loadedAt)].back(), '.');
    ASSERT_NE(manager->getGameController(), nullptr);
    EXPECT_EQ(manager->getGameController()->parTime, 77.0);
    EXPECT_FALSE(manager->server->bEditing);
    // A restart ends the level like any other code: music stopped, the manager finished.
    frames(2);
    manager->server->levelResultCode = 6;
    frames(1);
    EXPECT_TRUE(manager->bClosed);
    EXPECT_EQ(manager->getResultCode(), 6);
}

// Every level file of the level archive loads through the level manager into a full tree: the root with
// UID 1, the controller with its layers and eighteen lists in drawing order, the pig and the house, and
// objects whose UIDs are their keys in the role's map.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <vector>

#include "LevelFixture.h"

#include "engine/files/FileBlock.h"
#include "engine/files/FileManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "game/editor/EditorSession.h"
#include "game/front/ContextManager.h"
#include "game/front/MyGlobal.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/MyRootObject.h"
#include "game/level/LevelBuilder.h"
#include "game/userdata/ProfileData.h"
#include "support/ObjectChain.h"
#include "support/TempDir.h"

namespace {
// A level with a chain of nested objects in its object list, saved to `path`.
void saveLevelWithChain(const std::string& path, int depth)
{
    LevelBuilder builder;
    KivBase* top = addChain(builder.server(), builder.controller().objectList, depth);
    ASSERT_TRUE(builder.save(path));
    THEROLE = &builder.server();
    removeChain(top);
}

void writeBytes(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
} // namespace

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

TEST_F(LevelTest, SavedCopyThatCannotBePlayedLeavesItInPlaceAndPlaysTheArchiveLevel)
{
    int number = 0;
    while (number < ProfileData::NUMLEVELS &&
           !Kiv::instance()->fileManager->exists(ProfileData::levelNumberToFile(number))) {
        ++number;
    }
    if (number == ProfileData::NUMLEVELS) {
        GTEST_SKIP() << "The level archive holds no level files.";
    }
    const UString archiveFile = ProfileData::levelNumberToFile(number);
    const std::string path = EditorSession::savedLevelPath(archiveFile);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::vector<char> archived;
    {
        FileBlock block(0, archiveFile);
        archived.assign(reinterpret_cast<const char*>(block.data()),
                        reinterpret_cast<const char*>(block.data()) + block.size());
    }
    const std::vector<std::pair<const char*, std::function<void()>>> copies = {
        {"truncated",
         [&] { writeBytes(path, std::vector<char>(archived.begin(), archived.begin() + archived.size() / 2)); }},
        {"folder", [&] { std::filesystem::create_directory(path); }},
        {"fifo", [&] { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }},
        {"link to /dev/zero", [&] { std::filesystem::create_symlink("/dev/zero", path); }},
        {"16 MB of zero bytes", [&] { writeBytes(path, std::vector<char>(16u << 20, 0)); }},
        {"root only",
         [&] {
             LevelBuilder builder;
             THEROLE = &builder.server();
             builder.clear(&builder.root());
             builder.root().gameController = nullptr;
             builder.root().playerInfoList = nullptr;
             ASSERT_TRUE(builder.save(path));
         }},
        {"no pig",
         [&] {
             LevelBuilder builder;
             builder.clear(builder.controller().pigList);
             ASSERT_TRUE(builder.save(path));
         }},
        {"chain of 60,000", [&] { saveLevelWithChain(path, 60000); }},
        {"chain of 200,000", [&] { saveLevelWithChain(path, 200000); }},
    };
    // Started with "-editor" for this test only.
    struct EditorAllowed {
        MyGlobal& global;
        explicit EditorAllowed(MyGlobal& g) : global(g) { global.bEditorAllowed = true; }
        ~EditorAllowed() { global.bEditorAllowed = false; }
    } allowed(*env->global);
    for (const auto& [what, make] : copies) {
        SCOPED_TRACE(what);
        make();
        THEROLE = nullptr;
        const int from = static_cast<int>(harness().logLines().size());
        manager = std::make_unique<ContextLevelManager>(number);
        stack().addContext(manager.get());
        const int refused =
            harness().logIndex("ContextLevelManager::ContextLevelManager(): The edited level " + path, from);
        EXPECT_GE(refused, 0);
        if (refused >= 0) {
            EXPECT_NE(harness().logLines()[static_cast<std::size_t>(refused)].find("the archive's is used"),
                      std::string::npos);
        }
        EXPECT_GT(harness().logIndex("Loading level: " + wideToUtf8(archiveFile), from), refused);
        ASSERT_NE(manager->getGameController(), nullptr);
        EXPECT_NE(manager->getGameController()->findHeroOrNull(), nullptr);
        frames(2);
        manager->bClosed = true;
        frames(1);
        manager.reset();
        // The copy is the user's to mend: it stays as it was.
        EXPECT_TRUE(std::filesystem::symlink_status(path).type() != std::filesystem::file_type::not_found);
        std::filesystem::remove(path);
    }
}

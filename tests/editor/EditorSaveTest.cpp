// Saving an edited level: Ctrl+S writes it to the user folder's levels/ atomically, from whatever state the
// editor is in, the level manager then loads that copy with every object and property as saved (and without
// what a deletion just before the save left), a level that was played cannot be saved, a copy whose play
// test cannot be set up ends, and a copy that cannot be used is kept and said so on the screen.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <vector>

#include "EditorFixture.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/files/FileIO.h"
#include "engine/files/ResourceManager.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/net/Packet.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/EditorSession.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/ContextHUD.h"
#include "game/level/MessageDisplay.h"
#include "game/level/MyRootObject.h"
#include "game/userdata/ProfileData.h"
#include "game/world/A99Object.h"
#include "game/world/EditorObject.h"
#include "game/world/EditorProxy.h"

namespace {
// Every registered object of the role as "class: name=value; ..." by UID; object pointers as the target's
// UID, resources by name.
void flatten(const Property& p, const std::string& path, std::string& out)
{
    for (const Property* c = p.getFirstProperty(); c != nullptr; c = c->getNextProperty()) {
        const std::string name = path + wideToUtf8(c->name);
        // The state clock runs on while the level stands; it is not part of what was edited.
        if (c->name == u"timeInState") {
            continue;
        }
        std::string value;
        const bool isPointer = c->isDerivedFrom(&PropertyPointer::classRecord);
        if (isPointer || c->isDerivedFrom(&PropertyReferenceBase::classRecord)) {
            const KivBase* target = isPointer ? static_cast<const PropertyPointer*>(c)->get()
                                              : static_cast<const PropertyReferenceBase*>(c)->get();
            const UString* resource = target != nullptr ? ResourceManager::instance()->nameOf(target) : nullptr;
            value = target == nullptr ? "NULL"
                    : resource != nullptr ? wideToUtf8(*resource)
                                          : "uid " + std::to_string(target->objectUID);
        } else {
            value = wideToUtf8(c->toString());
        }
        out += name + "=" + value + "; ";
        flatten(*c, name + ".", out);
    }
}

// The glyphs that the level's second message display holds, against those it makes for `text`.
bool showsMessage(GameController& level, const UString& text)
{
    MessageDisplay& shown = level.contextHUD->messenger2;
    MessageDisplay expected(shown.font, shown.position);
    expected.setMessage(text, 1.0);
    const int count = expected.countChildren();
    expected.destroyAllChildren();
    return count > 0 && shown.countChildren() == count;
}

// An object whose level-start set-up fails as a damaged level's would: through the stream's error while
// the level is untrusted, else through the fatal path.
class FailingSetUp : public KivBase {
public:
    void netPostReplicateGlobal() override
    {
        if (THEROLE != nullptr && THEROLE->isReadingUntrusted()) {
            throw PacketDecodeError(u"Set-up failed.");
        }
        KIV_FATAL(u"Set-up failed.");
    }
};

std::map<int32_t, std::string> snapshot(NetRole& role)
{
    std::map<int32_t, std::string> tree;
    for (const auto& [uid, object] : role.objectMap) {
        PropertyContainer* list = object->getProperties();
        std::string text = wideToUtf8(object->getClass()->nameRef()) + " parent " +
                           std::to_string(object->getParent() != nullptr ? object->getParent()->objectUID : -1) + ": ";
        flatten(*list, "", text);
        delete list;
        tree[uid] = text;
    }
    return tree;
}
} // namespace

TEST_F(EditorTest, SavedLevelLoadsBackPropertyByProperty)
{
    ASSERT_TRUE(loadLevel(true));
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    std::filesystem::remove(path);
    THEROLE = manager->server;
    auto* hero = static_cast<EditorObject*>(level().findHero());
    hero->editorSetPosition(hero->position + V3(13.0f, 7.0f, 0.0f));
    editor().levelName = u"Edited";
    editor().bShowHulls = false;
    const V3 moved = hero->position;

    tapWith("Left Ctrl", "S");
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    EXPECT_EQ(consoleCount("Level saved: "), 1);
    // The outcome is on the screen too, with the file named from the user folder on.
    EXPECT_TRUE(showsMessage(level(), u"Level saved: levels/" +
                                          toUString(std::filesystem::path(path).filename().string().c_str())));
    frames(60);
    saveScreenshot("editor-saved");
    THEROLE = manager->server;
    const std::map<int32_t, std::string> saved = snapshot(*manager->server);

    loadLevel(true, levelNumber);
    EXPECT_TRUE(harness().logContains("Loading level: " + path));
    EXPECT_TRUE(manager->server->bEditing);
    THEROLE = manager->server;
    const std::map<int32_t, std::string> loaded = snapshot(*manager->server);
    EXPECT_EQ(loaded.size(), saved.size());
    for (const auto& [uid, text] : saved) {
        auto it = loaded.find(uid);
        ASSERT_NE(it, loaded.end()) << uid << " " << text;
        EXPECT_EQ(it->second, text) << uid;
    }
    EXPECT_EQ(static_cast<EditorObject*>(level().findHero())->position, moved);
    EXPECT_EQ(editor().levelName, u"Edited");
    EXPECT_FALSE(editor().bShowHulls);

    // Saving again replaces the copy.
    editor().levelName = u"Again";
    tapWith("Left Ctrl", "S");
    loadLevel(true, levelNumber);
    EXPECT_EQ(editor().levelName, u"Again");

    // Without the option the archive's level is played, even with a saved copy.
    loadLevel(false, levelNumber);
    EXPECT_EQ(editor().levelName.find(u"Again"), UString::npos);
    closeLevel();
    std::filesystem::remove(path);
}

TEST_F(EditorTest, ObjectDeletedJustBeforeASaveIsGoneFromTheSavedLevel)
{
    ASSERT_TRUE(loadLevel(true));
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    std::filesystem::remove(path);
    THEROLE = manager->server;
    // A prop with a hull of its own.
    KivBase* prop = level().objectList->getFirstChild();
    while (prop != nullptr &&
           (prop->getClass() != &A99Object::classRecord || static_cast<A99Object*>(prop)->pHull == nullptr)) {
        prop = prop->getNext();
    }
    ASSERT_NE(prop, nullptr);
    const int32_t uid = prop->objectUID;
    // Saved before the level's next pass takes away what the deletion left.
    prop->destroy();
    ASSERT_TRUE(manager->editSession->save(*manager->server));

    const int from = static_cast<int>(harness().logLines().size());
    loadLevel(true, levelNumber);
    EXPECT_GE(harness().logIndex("Loading level: " + path, from), 0);
    EXPECT_LT(harness().logIndex("cannot be used", from), 0);
    EXPECT_EQ(manager->server->findObjectOrNull(uid), nullptr);
    for (KivBase* proxy = level().proxyList->getFirstChild(); proxy != nullptr; proxy = proxy->getNext()) {
        EXPECT_NE(static_cast<EditorProxy*>(proxy)->getObject(), nullptr) << proxy->objectUID;
    }
    closeLevel();
    std::filesystem::remove(path);
}

TEST_F(EditorTest, PlayedLevelIsNotSaved)
{
    ASSERT_TRUE(loadLevel(true));
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    std::filesystem::remove(path);
    tap("F4");
    frames(200);
    tap("F4");
    ASSERT_TRUE(manager->server->bEditing);
    tapWith("Left Ctrl", "S");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(consoleCount("Level not saved: it was played since it was loaded."), 1);
    // The screen shows the outcome and its reason; the console the whole line.
    EXPECT_TRUE(showsMessage(level(), u"Level not saved: it was played since it was loaded. Load it again to save it."));
    frames(60);
    saveScreenshot("editor-not-saved");
    // Ctrl+S is not read while playing either.
    tap("F4");
    tapWith("Left Ctrl", "S");
    EXPECT_EQ(consoleCount("Level not saved"), 1);
}

TEST_F(EditorTest, SavedCopyWhosePlayTestCannotBeSetUpEndsWithTheReason)
{
    ASSERT_TRUE(loadLevel(true));
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    std::filesystem::remove(path);
    tapWith("Left Ctrl", "S");
    auto plantFailingSetUp = [this] {
        THEROLE = manager->server;
        auto* failing = new FailingSetUp();
        manager->server->registerObject(failing, 0);
        level().objectList->appendChild(failing);
    };
    loadLevel(true, levelNumber);
    ASSERT_TRUE(harness().logContains("Loading level: " + path));
    plantFailingSetUp();
    tap("F4");
    EXPECT_TRUE(harness().logContains("EditorSession::toggleEditing(): The edited level " + path +
                                      " cannot be played (Set-up failed.); the level ends."));
    // The console and the screen show the outcome with its reason.
    const UString line = u"Play test not started: the level cannot be set up. (Set-up failed.)";
    EXPECT_EQ(consoleCount(wideToUtf8(line)), 1);
    EXPECT_TRUE(showsMessage(level(), line));
    // The level stands still while the reason is shown, then ends back to the world map.
    EXPECT_TRUE(manager->server->bEditing);
    frames(60);
    saveScreenshot("editor-play-test-refused");
    tap("F4");
    EXPECT_TRUE(manager->server->bEditing);
    EXPECT_EQ(manager->getResultCode(), 0);
    // Spelt out letter by letter, the whole line stands for 4 s once its last letter is there.
    manager->server->replicationClock += 4.0;
    frames(1);
    EXPECT_EQ(manager->getResultCode(), 0);
    manager->server->replicationClock += MessageDisplay::LETTER_DELAY * static_cast<double>(line.size());
    frames(1);
    EXPECT_EQ(manager->getResultCode(), ContextLevelManager::RESULT_NOT_PLAYED);
    EXPECT_TRUE(manager->bClosed);

    // The archive's level keeps the fatal path.
    std::filesystem::remove(path);
    loadLevel(true, levelNumber);
    plantFailingSetUp();
    EXPECT_THROW(manager->editSession->toggleEditing(*manager->server), FatalError);
}

// Ctrl+S from each state the editor can be in: a copy it reports as saved loads again as saved; a save it
// refuses leaves the copy saved before, which loads again.
TEST_F(EditorTest, SaveFromEveryEditorStateLoadsAgainOrKeepsTheEarlierCopy)
{
    ASSERT_TRUE(loadLevel(true));
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    std::filesystem::remove(path);
    editor().levelName = u"Earlier";
    tapWith("Left Ctrl", "S");
    V3 held;
    const UString savedLine =
        u"Level saved: levels/" + toUString(std::filesystem::path(path).filename().string().c_str());
    // Each state with what the screen shows after Ctrl+S.
    struct State {
        const char* what;
        std::function<void()> enter;
        bool saved;
        UString shown;
    };
    const std::vector<State> states = {
        {"class list (F1)", [&] { tap("F1"); }, true, savedLine},
        {"level settings (F2)", [&] { tap("F2"); }, true, savedLine},
        {"editor settings (F3)", [&] { tap("F3"); }, true, savedLine},
        {"pause menu", [&] { tap("Escape"); }, true, savedLine},
        {"play test refused",
         [&] {
             THEROLE = manager->server;
             auto* failing = new FailingSetUp();
             manager->server->registerObject(failing, 0);
             level().objectList->appendChild(failing);
             tap("F4");
         },
         false, u"Play test not started: the level cannot be set up. (Set-up failed.)"},
        {"object held",
         [&] {
             auto* hero = static_cast<EditorObject*>(level().findHero());
             const V3 at = pressOn(*hero);
             mouseMove(at.x + 30.0f, at.y + 10.0f);
             frames(1);
             held = hero->position;
         },
         true, savedLine},
    };
    for (const auto& [what, enter, saved, shown] : states) {
        SCOPED_TRACE(what);
        loadLevel(true, levelNumber);
        ASSERT_TRUE(harness().logContains("Loading level: " + path));
        editor().levelName = toUString(what);
        enter();
        const int savedBefore = consoleCount("Level saved: ");
        tapWith("Left Ctrl", "S");
        EXPECT_EQ(consoleCount("Level saved: "), savedBefore + (saved ? 1 : 0));
        // The menu closes with the save, and the level's line shows the outcome.
        EXPECT_EQ(manager->getRoot()->contextOverlay, nullptr);
        EXPECT_TRUE(showsMessage(level(), shown));
        mouseButton(0, false);
        const int from = static_cast<int>(harness().logLines().size());
        loadLevel(true, levelNumber);
        EXPECT_GE(harness().logIndex("Loading level: " + path, from), 0);
        EXPECT_LT(harness().logIndex("cannot be used", from), 0);
        EXPECT_EQ(editor().levelName, saved ? toUString(what) : UString(u"Earlier"));
        if (saved) {
            editor().levelName = u"Earlier";
            tapWith("Left Ctrl", "S");
        }
    }
    EXPECT_EQ(static_cast<EditorObject*>(level().findHero())->position, held);
    closeLevel();
    std::filesystem::remove(path);
}

// A saved copy that cannot be used is kept as the damaged user files are: the screen says so and why, the
// copy goes to <copy>.bad, which Ctrl+S then leaves as it is; a copy that cannot be copied aside, or not even
// read, is saved over by nothing in this run.
TEST_F(EditorTest, RefusedSavedCopyIsKeptAsideAndNoSaveReplacesIt)
{
    ASSERT_TRUE(loadLevel(true));
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    const std::string folder = std::filesystem::path(path).parent_path().string() + "/";
    // As a save with the pause menu open wrote it.
    tap("Escape");
    ASSERT_NE(manager->getRoot()->contextOverlay, nullptr);
    Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    manager->server->writeFullState(stream);
    const std::vector<std::uint8_t> refused(stream.data(), stream.data() + stream.size());
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(FileIO::writeFileReplacing(path, refused.data(), refused.size()));
    auto bytesOf = [](const std::string& file) {
        std::vector<std::uint8_t> bytes;
        EXPECT_TRUE(FileIO::readWholeFile(file, bytes)) << file;
        return bytes;
    };

    loadLevel(true, levelNumber);
    EXPECT_TRUE(harness().logContains("cannot be used (it was saved with an overlay open)"));
    EXPECT_EQ(consoleCount("Copy not used. It was saved with an overlay open. The saved copy " + path +
                           " is kept as " + path + ".bad;"),
              1);
    EXPECT_TRUE(showsMessage(level(), u"Copy not used. It was saved with an overlay open."));
    // Spelled out letter by letter.
    frames(260);
    saveScreenshot("editor-copy-not-used");
    EXPECT_EQ(bytesOf(path + ".bad"), refused);
    tapWith("Left Ctrl", "S");
    EXPECT_EQ(consoleCount("Level saved: "), 1);
    loadLevel(true, levelNumber);
    EXPECT_FALSE(harness().logContains("cannot be used (it holds"));
    EXPECT_EQ(consoleCount("Copy not used."), 1);
    EXPECT_EQ(bytesOf(path + ".bad"), refused);

    // Where the copy aside cannot be made (a folder in its place), and where the copy cannot be read (a
    // FIFO), the copy stays the only one there is: Ctrl+S leaves it.
    const struct {
        int number;
        std::function<void(const std::string&)> make;
        const char* reason;
    } kept[] = {{5,
                 [&](const std::string& copy) {
                     std::filesystem::create_directories(copy + ".bad/x");
                     ASSERT_TRUE(FileIO::writeFileReplacing(copy, refused.data(), refused.size()));
                 },
                 "It was saved with an overlay open."},
                {6, [](const std::string& copy) { ASSERT_EQ(mkfifo(copy.c_str(), 0600), 0); },
                 "It is not a regular file."}};
    for (const auto& [number, make, reason] : kept) {
        SCOPED_TRACE(reason);
        const std::string copy = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(number));
        make(copy);
        const auto before = std::filesystem::status(copy).type();
        loadLevel(true, number);
        EXPECT_TRUE(showsMessage(level(), u"Copy not used. " + toUString(reason)));
        EXPECT_EQ(consoleCount("is left where it is; the archive's level is shown"), number - 4);
        THEROLE = manager->server;
        EXPECT_FALSE(manager->editSession->save(*manager->server));
        EXPECT_EQ(consoleCount("Level not saved: " + copy + " is kept as it was."), 1);
        EXPECT_EQ(std::filesystem::status(copy).type(), before);
        if (before == std::filesystem::file_type::regular) {
            EXPECT_EQ(bytesOf(copy), refused);
        }
        closeLevel();
        std::filesystem::remove(copy);
        std::filesystem::remove_all(copy + ".bad");
    }
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".bad");
}

TEST_F(EditorTest, UnwritableFolderLeavesTheSavedCopyAlone)
{
    ASSERT_TRUE(loadLevel(true));
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    std::filesystem::remove(path);
    // A folder where the file should be: the rename fails, nothing is lost and no temporary stays.
    std::filesystem::create_directories(path);
    THEROLE = manager->server;
    EXPECT_FALSE(manager->editSession->save(*manager->server));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    EXPECT_EQ(consoleCount("Level not saved: "), 1);
    std::filesystem::remove_all(path);
    // A level held only in memory has no name to save under.
    EditorSession memory{UString()};
    EXPECT_FALSE(memory.save(*manager->server));
}

TEST_F(EditorTest, SaveReplacesTheFileALinkNamesAsTheUserFilesDo)
{
    if (!loadLevel(true)) {
        GTEST_SKIP() << "The level archive holds no level files.";
    }
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    const std::string target = path + ".mine";
    std::filesystem::remove(path);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::fclose(std::fopen(target.c_str(), "wb"));
    std::filesystem::create_symlink(std::filesystem::path(target).filename(), path);
    THEROLE = manager->server;
    EXPECT_TRUE(manager->editSession->save(*manager->server));
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_GT(std::filesystem::file_size(target), 0u);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    EXPECT_FALSE(std::filesystem::exists(target + ".tmp"));
    std::filesystem::remove(path);
    std::filesystem::remove(target);
}

TEST_F(EditorTest, EmptySavedLevelFallsBackToTheArchive)
{
    ASSERT_TRUE(loadLevel(true));
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    closeLevel();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::fclose(std::fopen(path.c_str(), "wb"));
    loadLevel(true, levelNumber);
    EXPECT_TRUE(harness().logContains("the archive's is used"));
    EXPECT_TRUE(harness().logContains("Loading level: " + wideToUtf8(ProfileData::levelNumberToFile(levelNumber))));
    ASSERT_NE(manager->getGameController(), nullptr);
    // The empty file is left for the user to look at; it is not removed or replaced.
    EXPECT_TRUE(std::filesystem::exists(path));
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".bad");
}

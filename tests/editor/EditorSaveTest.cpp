// Saving an edited level: Ctrl+S writes it to the user folder's levels/ atomically, from whatever state the
// editor is in (a play test, a menu page over the level too), the level manager then loads that copy with
// every object and property as saved (and without what a deletion just before the save left), a play test
// changes nothing of what is saved and gives the level back as it stood (however it ends, and it books
// nothing into the player's files), Restart level and End level say first when unsaved edits would go,
// bytes that would not load again are not saved, and a copy that cannot be used is kept under a name of
// its own and said so on the screen.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <vector>

#include "EditorFixture.h"

#include "engine/audio/KivAudio.h"
#include "engine/audio/SoundStream.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/files/FileIO.h"
#include "engine/files/FileManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/net/Packet.h"
#include "engine/platform/PlatformEventInjector.h"
#include "game/front/ContextManager.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/EditorSession.h"
#include "game/editor/PropertyFieldValue.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/ContextHUD.h"
#include "game/level/MessageDisplay.h"
#include "game/level/LevelServices.h"
#include "game/level/MyRootObject.h"
#include "game/level/StatsRow.h"
#include "game/language/StringIds.h"
#include "game/front/MyGlobal.h"
#include "game/menus/ContextDialog.h"
#include "game/menus/GUItextBox.h"
#include "game/menus/MenuButton.h"
#include "game/options/ContextOptions.h"
#include "game/overlays/OverlayPause.h"
#include "game/userdata/GameConfiguration.h"
#include "game/userdata/ProfileData.h"
#include "game/userdata/ProfileManager.h"
#include "game/world/A99Object.h"
#include "game/world/EditorObject.h"
#include "game/world/EditorProxy.h"
#include "game/world/House.h"
#include "game/worldmap/ContextValley.h"

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

// The same objects with the same properties.
void expectSameLevel(const std::map<int32_t, std::string>& actual, const std::map<int32_t, std::string>& expected)
{
    EXPECT_EQ(actual.size(), expected.size());
    for (const auto& [uid, text] : expected) {
        auto it = actual.find(uid);
        ASSERT_NE(it, actual.end()) << uid << " " << text;
        EXPECT_EQ(it->second, text) << uid;
    }
}

std::vector<std::uint8_t> bytesOf(const std::string& file)
{
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(FileIO::readWholeFile(file, bytes)) << file;
    return bytes;
}

// The player's files (profiles, high scores), byte for byte.
std::vector<std::uint8_t> playerFiles()
{
    std::vector<std::uint8_t> bytes = bytesOf(wideToUtf8(ProfileManager::getFilePath()));
    const std::vector<std::uint8_t> scores =
        bytesOf(wideToUtf8(GameConfiguration::getSaveFolder() + GameConfiguration::getHighScoreFileName()));
    bytes.insert(bytes.end(), scores.begin(), scores.end());
    return bytes;
}

OverlayPause* pauseMenu(ContextLevelManager& level)
{
    return dynamic_cast<OverlayPause*>(level.getRoot()->contextOverlay);
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
    expectSameLevel(snapshot(*manager->server), saved);
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

// A play test changes nothing of what is saved, and F4 gives the level back as it stood, the object edited
// then edited again.
TEST_F(EditorTest, PlayTestGivesTheLevelBackAsItStoodAndCtrlSSavesThatLevel)
{
    ASSERT_TRUE(loadLevel(true));
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    std::filesystem::remove(path);
    THEROLE = manager->server;
    level().parTime = 123.0;
    auto* hero = static_cast<EditorObject*>(level().findHero());
    hero->editorSetPosition(hero->position + V3(40.0f, 0.0f, 0.0f));
    editor().editObject(hero);
    const int32_t heroUid = hero->objectUID;
    const V3 edited = hero->position;
    const std::map<int32_t, std::string> before = snapshot(*manager->server);

    tap("F4");
    ASSERT_FALSE(manager->server->bEditing);
    PlatformEventInjector::key("Right", true);
    frames(400);
    EXPECT_NE(static_cast<EditorObject*>(level().findHero())->position, edited); // the pig walked
    auto* music = ResourceManager::instance()->find<SoundStream>(u"musicMenu");
    KivAudio::instance()->setMusic(music);
    tapWith("Left Ctrl", "S");
    PlatformEventInjector::key("Right", false);
    // The check of what is saved leaves the play test as it was, its music too.
    EXPECT_FALSE(manager->server->bEditing);
    EXPECT_EQ(KivAudio::instance()->currentMusic, music);
    EXPECT_TRUE(music->isPlaying());
    const std::vector<std::uint8_t> savedInPlay = bytesOf(path);

    tap("F4");
    ASSERT_TRUE(manager->server->bEditing);
    EXPECT_EQ(consoleCount("Editing on: the level stands as it stood before the play test."), 1);
    THEROLE = manager->server;
    expectSameLevel(snapshot(*manager->server), before);
    ASSERT_NE(editor().edited.get(), nullptr);
    EXPECT_EQ(editor().edited.get()->objectUID, heroUid);
    tapWith("Left Ctrl", "S");
    EXPECT_EQ(consoleCount("Level saved: "), 2);

    // The copy saved after the play test, then the one saved during it.
    for (const bool during : {false, true}) {
        if (during) {
            ASSERT_TRUE(FileIO::writeFileReplacing(path, savedInPlay.data(), savedInPlay.size()));
        }
        const int from = static_cast<int>(harness().logLines().size());
        loadLevel(true, levelNumber);
        EXPECT_GE(harness().logIndex("Loading level: " + path, from), 0);
        THEROLE = manager->server;
        expectSameLevel(snapshot(*manager->server), before);
        EXPECT_EQ(level().parTime, 123.0);
    }
    closeLevel();
    std::filesystem::remove(path);
}

// A play test played to its end (the house reached, or time up on a bonus level) shows its results, and
// continuing gives the level back for editing with every edit; nothing of it reaches the player's record,
// high scores or files.
TEST_F(EditorTest, PlayTestThatEndsGivesTheEditedLevelBackAndBooksNothing)
{
    for (const int number : {4, 3}) {
        SCOPED_TRACE(number);
        ASSERT_TRUE(loadLevel(true, number));
        env->global->saveUserData();
        const std::vector<std::uint8_t> files = playerFiles();
        THEROLE = manager->server;
        const bool bonus = level().bBonusLevel;
        ASSERT_EQ(bonus, number == 3);
        level().parTime = 2.0; // not saved; on the bonus level the seconds it gives
        const std::map<int32_t, std::string> edited = snapshot(*manager->server);

        tap("F4");
        ASSERT_TRUE(manager->editSession->isPlayTest());
        if (!bonus) {
            ASSERT_TRUE(tickToState(GameController::STATE_PLAYING, 1000));
            level().levelStats.requiredApplesGot = level().levelStats.requiredApples;
            static_cast<House*>(level().findHouse())->bPigAtHome = true;
        }
        ASSERT_TRUE(tickToState(GameController::STATE_RESULTS, 2000));
        frames(1);
        int rows = 0;
        for (KivBase* o = level().contextHUD->getFirstChild(); o != nullptr; o = o->getNext()) {
            rows += dynamic_cast<StatsRow*>(o) != nullptr ? 1 : 0;
        }
        EXPECT_EQ(rows, bonus ? 3 : 7);
        tap("Space");
        ticks(150);
        ASSERT_TRUE(manager->server->bEditing);
        EXPECT_FALSE(manager->editSession->isPlayTest());
        EXPECT_EQ(manager->getResultCode(), 0);
        EXPECT_FALSE(manager->bClosed);
        EXPECT_EQ(level().state, 0);
        THEROLE = manager->server;
        expectSameLevel(snapshot(*manager->server), edited);
        EXPECT_EQ(playerFiles(), files);
        // Nor is anything left to be saved later.
        env->global->saveUserData();
        EXPECT_EQ(playerFiles(), files);
    }
    EXPECT_EQ(consoleCount("Editing on: the level stands as it stood before the play test."), 2);
}

// Restart level of a play test's pause menu starts it again from the level as it stood when it began, with
// every edit; End level ends it as F4 does.
TEST_F(EditorTest, RestartAndEndLevelOfAPlayTestKeepEveryEdit)
{
    ASSERT_TRUE(loadLevel(true));
    THEROLE = manager->server;
    auto* hero = static_cast<EditorObject*>(level().findHero());
    hero->editorSetPosition(hero->position + V3(40.0f, 0.0f, 0.0f));
    level().parTime = 77.0;
    const V3 start = hero->position;
    const std::map<int32_t, std::string> edited = snapshot(*manager->server);

    tap("F4");
    PlatformEventInjector::key("Right", true);
    frames(300);
    PlatformEventInjector::key("Right", false);
    frames(1);
    EXPECT_NE(static_cast<EditorObject*>(level().findHero())->position, start); // the pig walked
    tap("Escape");
    OverlayPause* pause = pauseMenu(*manager);
    ASSERT_NE(pause, nullptr);
    EXPECT_FALSE(pause->bUnsavedEdits);
    pause->buttonRestart->answer = 0; // YES to its question
    frames(2);
    ASSERT_TRUE(manager->editSession->isPlayTest());
    EXPECT_FALSE(manager->server->bEditing);
    EXPECT_EQ(manager->getResultCode(), 0);
    EXPECT_EQ(level().state, GameController::STATE_INTRO);
    EXPECT_EQ(static_cast<EditorObject*>(level().findHero())->position, start);
    EXPECT_EQ(level().parTime, 77.0);
    EXPECT_EQ(consoleCount("Play test started again: the level as it stood when the play test began."), 1);

    ticks(100);
    tap("Escape");
    pause = pauseMenu(*manager);
    ASSERT_NE(pause, nullptr);
    pause->buttonEnd->answer = 0;
    frames(2);
    ASSERT_TRUE(manager->server->bEditing);
    EXPECT_FALSE(manager->editSession->isPlayTest());
    EXPECT_FALSE(manager->bClosed);
    THEROLE = manager->server;
    expectSameLevel(snapshot(*manager->server), edited);
}

// Out of a play test, Restart level and End level of the pause menu say first that unsaved edits will be
// lost (a value changed, text typed into a field), the Jump binding on End level too; a level as loaded,
// as saved, or given back by a play test, has none, also after the pause menu opened and closed.
TEST_F(EditorTest, RestartAndEndLevelSayFirstThatUnsavedEditsWillBeLost)
{
    ASSERT_TRUE(loadLevel(true));
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    std::filesystem::remove(path);
    auto openPause = [this](const char* key) {
        tap(key);
        OverlayPause* pause = pauseMenu(*manager);
        EXPECT_NE(pause, nullptr) << key;
        return pause;
    };
    auto closePause = [this] {
        frames(15);
        tap("Escape");
        frames(10);
        ASSERT_EQ(pauseMenu(*manager), nullptr);
    };
    for (const char* when : {"as loaded", "after the pause menu", "after a play test"}) {
        SCOPED_TRACE(when);
        const OverlayPause* pause = openPause("Escape");
        ASSERT_NE(pause, nullptr);
        EXPECT_FALSE(pause->bUnsavedEdits);
        EXPECT_EQ(pause->buttonEnd->confirmText, LevelServices::text(STR_CONFIRM));
        closePause();
        tap("F4");
        tap("F4");
    }

    // Text typed into a field and not yet entered is an edit; saved, it is none.
    tap("F2");
    ASSERT_NE(typeInto(u"parTime", "88"), nullptr);
    EXPECT_TRUE(openPause("Pause")->bUnsavedEdits);
    tapWith("Left Ctrl", "S");
    ASSERT_EQ(consoleCount("Level saved: "), 1);
    EXPECT_FALSE(openPause("Escape")->bUnsavedEdits);
    closePause();

    THEROLE = manager->server;
    level().parTime = 77.0;
    OverlayPause* pause = openPause("Escape");
    ASSERT_NE(pause, nullptr);
    EXPECT_TRUE(pause->bUnsavedEdits);
    const UString question = u"Unsaved edits will be lost (Ctrl+S saves them). Are you sure?";
    EXPECT_EQ(pause->buttonRestart->confirmText, question);
    EXPECT_EQ(pause->buttonEnd->confirmText, question);
    // The Jump binding on End level asks too: NO leaves the menu open over the level, YES ends the level.
    pause->buttonEnd->bForceHover = true;
    for (const int answer : {1, 0}) {
        frames(15);
        tap("Space");
        EXPECT_EQ(manager->getResultCode(), 0);
        auto* asked = dynamic_cast<ContextDialog*>(stack().getTop());
        ASSERT_NE(asked, nullptr);
        EXPECT_EQ(asked->text, question);
        pause->buttonEnd->answer = answer;
        asked->bClosed = true;
        frames(2);
        ASSERT_EQ(pauseMenu(*manager), pause);
    }
    EXPECT_EQ(manager->getResultCode(), ContextLevelManager::RESULT_END_LEVEL);
    closeLevel();
    std::filesystem::remove(path);
}

// A level left from the editor (End level) is none of the player's runs: the world map books nothing and
// saves nothing.
TEST_F(EditorTest, LevelLeftFromTheEditorIsBookedNowhere)
{
    env->global->bEditorAllowed = true;
    ProfileData& player = env->global->profiles.getCurrentProfile();
    player.currentLevel = 4;
    player.levelStats[4].available = 1;
    env->global->saveUserData();
    const std::vector<std::uint8_t> files = playerFiles();
    auto* valley = new ContextValley();
    stack().addContext(valley);
    frames(2);
    valley->enterStateNow(ContextValley::STATE_START_LEVEL);
    ContextLevelManager* played = valley->levelManager;
    ASSERT_NE(played, nullptr);
    frames(2);
    ASSERT_TRUE(played->server->bEditing);
    tap("Escape");
    OverlayPause* pause = pauseMenu(*played);
    ASSERT_NE(pause, nullptr);
    pause->buttonEnd->answer = 0;
    frames(2);
    ticks(150);
    EXPECT_EQ(valley->state, ContextValley::STATE_CHOOSE);
    EXPECT_EQ(valley->levelManager, nullptr);
    EXPECT_EQ(player.levelStats[4].timesPlayed, 0);
    EXPECT_EQ(playerFiles(), files);
    valley->bClosed = true;
    frames(2);
}

TEST_F(EditorTest, PlayTestWhoseSetUpFailsGoesBackToTheLevelAsEditedWithTheReason)
{
    ASSERT_TRUE(loadLevel(true));
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    std::filesystem::remove(path);
    tapWith("Left Ctrl", "S");
    // Registered without a place in the level: the level loads, its set-up fails.
    auto plantFailingSetUp = [this] {
        THEROLE = manager->server;
        manager->server->registerObject(new FailingSetUp(), 0);
    };
    loadLevel(true, levelNumber);
    ASSERT_TRUE(harness().logContains("Loading level: " + path));
    editor().levelName = u"Edited";
    plantFailingSetUp();
    tap("F4");
    EXPECT_TRUE(harness().logContains("EditorSession::toggleEditing(): The edited level " + path +
                                      " cannot be played (Set-up failed.); editing goes on."));
    // The console and the screen show the outcome with its reason; the level is edited on as it stood.
    const UString line = u"Play test not started: the level cannot be set up. (Set-up failed.)";
    EXPECT_EQ(consoleCount(wideToUtf8(line)), 1);
    EXPECT_TRUE(showsMessage(level(), line));
    frames(60);
    saveScreenshot("editor-play-test-refused");
    EXPECT_TRUE(manager->server->bEditing);
    EXPECT_FALSE(manager->editSession->isPlayTest());
    EXPECT_EQ(level().state, 0);
    EXPECT_EQ(editor().levelName, u"Edited");
    EXPECT_EQ(manager->getResultCode(), 0);
    EXPECT_FALSE(manager->bClosed);

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
    const UString parTimeRefused =
        formatString(u"object %d (GameController): 'parTime' 1e+39 is out of range 0 to 5999", level().objectUID);
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
        // A page pushed over the level from its pause menu closes, as Back would close it.
        {"options page", [&] {
             tap("Escape");
             stack().addContext(new ContextOptions());
             frames(2);
         },
         true, savedLine},
        {"play test", [&] { tap("F4"); }, true, savedLine},
        {"play test refused",
         [&] {
             THEROLE = manager->server;
             manager->server->registerObject(new FailingSetUp(), 0);
             tap("F4");
         },
         true, savedLine},
        // What the load refuses is not saved, however the editor let it through, nor played: the play test
        // could not give it back.
        {"list out of its place",
         [&] {
             THEROLE = manager->server;
             level().cargoList = level().findHouse();
             tap("F4");
             EXPECT_TRUE(manager->server->bEditing);
             EXPECT_EQ(consoleCount("Play test not started: the level would not load again. (its controller's "
                                    "cargoList is not a list in its place)"),
                       1);
         },
         false, u"Level not saved: it would not load again (its controller's cargoList is not a list in its place)."},
        {"par time past the clock",
         [&] {
             level().parTime = 1.0e39;
             tap("F4");
             EXPECT_TRUE(manager->server->bEditing);
             EXPECT_EQ(consoleCount("Play test not started: the level would not load again. (" +
                                    wideToUtf8(parTimeRefused) + ")"),
                       1);
         },
         false, u"Level not saved: it would not load again (" + parTimeRefused + u")."},
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
        const std::vector<std::uint8_t> earlier = bytesOf(path);
        tapWith("Left Ctrl", "S");
        EXPECT_EQ(consoleCount("Level saved: "), savedBefore + (saved ? 1 : 0));
        if (!saved) {
            EXPECT_EQ(bytesOf(path), earlier);
        }
        // The menus close with the save, and the level's line shows the outcome.
        EXPECT_EQ(stack().getTop(), manager.get());
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

// Text still being typed into a panel field (Enter not pressed) is what the field shows: Ctrl+S takes it as
// Enter would and the copy holds it, and so does the level a play test keeps, also with the pause menu over
// the level. Esc drops the typing (and only that): the value standing is saved.
TEST_F(EditorTest, TextStillBeingTypedIsSavedAndPlayed)
{
    ASSERT_TRUE(loadLevel(true, 2));
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    std::filesystem::remove(path);
    // F2, the par time typed, Ctrl+S (no Enter).
    tap("F2");
    ASSERT_EQ(editor().edited.get(), &level());
    PropertyFieldValue* parTime = typeInto(u"parTime", "77");
    ASSERT_NE(parTime, nullptr);
    tapWith("Left Ctrl", "S");
    EXPECT_EQ(consoleCount("Level saved: "), 1);
    EXPECT_FALSE(parTime->bTextEntry);
    EXPECT_EQ(level().parTime, 77.0);
    loadLevel(true, levelNumber);
    ASSERT_TRUE(harness().logContains("Loading level: " + path));
    EXPECT_EQ(level().parTime, 77.0);

    // F4 keeps the level with it and F4 gives it back, which Ctrl+S saves.
    tap("F2");
    ASSERT_NE(typeInto(u"parTime", "88"), nullptr);
    tap("F4");
    ASSERT_FALSE(manager->server->bEditing);
    EXPECT_EQ(level().parTime, 88.0);
    tap("F4");
    ASSERT_TRUE(manager->server->bEditing);
    tapWith("Left Ctrl", "S");
    loadLevel(true, levelNumber);
    EXPECT_EQ(level().parTime, 88.0);

    // Under the pause menu (the Pause key leaves the box as it is).
    tap("F2");
    ASSERT_NE(typeInto(u"parTime", "99"), nullptr);
    tap("Pause");
    ASSERT_NE(manager->getRoot()->contextOverlay, nullptr);
    tapWith("Left Ctrl", "S");
    EXPECT_EQ(manager->getRoot()->contextOverlay, nullptr);
    loadLevel(true, levelNumber);
    EXPECT_EQ(level().parTime, 99.0);

    // Esc cancels the typing only; the next Esc opens the pause menu.
    tap("F2");
    parTime = typeInto(u"parTime", "55");
    ASSERT_NE(parTime, nullptr);
    tap("Escape");
    EXPECT_FALSE(parTime->bTextEntry);
    EXPECT_EQ(manager->getRoot()->contextOverlay, nullptr);
    tap("Escape");
    EXPECT_NE(manager->getRoot()->contextOverlay, nullptr);
    tapWith("Left Ctrl", "S");
    EXPECT_EQ(level().parTime, 99.0);
    EXPECT_FALSE(parTime->bRefused);
    loadLevel(true, levelNumber);
    EXPECT_EQ(level().parTime, 99.0);
    closeLevel();
    std::filesystem::remove(path);
}

// A typed text that its field refuses stops Ctrl+S and F4: the copy saved before stays byte for byte, the
// level is not played, and the screen says why.
TEST_F(EditorTest, RefusedTypedTextStopsTheSaveAndThePlayTestWithTheReason)
{
    ASSERT_TRUE(loadLevel(true, 2));
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    std::filesystem::remove(path);
    tapWith("Left Ctrl", "S");
    const std::vector<std::uint8_t> earlier = bytesOf(path);
    const double standing = level().parTime;
    tap("F2");
    PropertyFieldValue* parTime = typeInto(u"parTime", "abc");
    ASSERT_NE(parTime, nullptr);
    tapWith("Left Ctrl", "S");
    EXPECT_EQ(consoleCount("Level saved: "), 1);
    EXPECT_EQ(bytesOf(path), earlier);
    EXPECT_EQ(level().parTime, standing);
    EXPECT_TRUE(parTime->bRefused);
    const UString reason = parTime->refusal();
    EXPECT_NE(reason.find(u"'parTime' 'abc' cannot be read"), UString::npos) << wideToUtf8(reason);
    const UString line = u"Level not saved: the typed value is refused (" + reason + u").";
    EXPECT_EQ(consoleCount(wideToUtf8(line)), 1);
    // The reason stands on the screen (the copy's line too, where it fits).
    EXPECT_TRUE(showsMessage(level(), line) ||
                showsMessage(level(), line + u" The copy saved before stays as it was."));
    frames(700); // spelt out
    saveScreenshot("editor-typed-value-refused");

    ASSERT_NE(typeInto(u"parTime", "abc"), nullptr);
    tap("F4");
    EXPECT_TRUE(manager->server->bEditing);
    EXPECT_FALSE(manager->editSession->isPlayTest());
    EXPECT_EQ(consoleCount("Play test not started: the typed value is refused (" + wideToUtf8(reason) + ")."), 1);
    EXPECT_EQ(level().parTime, standing);
    closeLevel();
    std::filesystem::remove(path);
}

// A saved copy that cannot be used is kept as the damaged user files are: the copy goes aside under a name
// no copy kept before has (<copy>.bad, .bad2, ...), which the screen names with the reason, and Ctrl+S then
// saves in its place; a copy that cannot be copied aside, or not even read, is saved over by nothing in this
// run.
TEST_F(EditorTest, RefusedSavedCopyIsKeptAsideAndNoSaveReplacesIt)
{
    ASSERT_TRUE(loadLevel(true));
    const std::string path = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(levelNumber));
    const std::string folder = std::filesystem::path(path).parent_path().string() + "/";
    const std::string shown = "levels/" + std::filesystem::path(path).filename().string();
    // As saves with the pause menu open wrote them, two different ones.
    tap("Escape");
    ASSERT_NE(manager->getRoot()->contextOverlay, nullptr);
    std::vector<std::uint8_t> refused[2];
    for (std::vector<std::uint8_t>& bytes : refused) {
        Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
        manager->server->writeFullState(stream);
        bytes.assign(stream.data(), stream.data() + stream.size());
        editor().levelName = u"Second";
    }
    ASSERT_NE(refused[0], refused[1]);
    std::filesystem::create_directories(folder);

    for (int i = 0; i < 2; ++i) {
        const std::string copy = path + (i == 0 ? ".bad" : ".bad2");
        ASSERT_TRUE(FileIO::writeFileReplacing(path, refused[i].data(), refused[i].size()));
        loadLevel(true, levelNumber);
        EXPECT_EQ(consoleCount("Copy not used, kept as " + copy + ": it was saved with an overlay open."), 1);
        EXPECT_TRUE(showsMessage(level(), toUString(("Copy not used, kept as " + shown + (i == 0 ? ".bad" : ".bad2") +
                                                     ": it was saved with an overlay open.")
                                                        .c_str())));
        if (i == 1) {
            // Spelled out letter by letter.
            frames(400);
            saveScreenshot("editor-copy-not-used");
        }
        tapWith("Left Ctrl", "S");
        EXPECT_EQ(consoleCount("Level saved: "), i + 1);
        // Every copy kept aside stays as it was.
        for (int kept = 0; kept <= i; ++kept) {
            EXPECT_EQ(bytesOf(path + (kept == 0 ? ".bad" : ".bad2")), refused[kept]);
        }
    }
    loadLevel(true, levelNumber);
    EXPECT_EQ(consoleCount("Copy not used"), 2);

    // Where no copy aside can be made (every name taken), and where the copy cannot be read (a FIFO), the
    // copy stays the only one there is: Ctrl+S leaves it.
    const struct {
        int number;
        std::function<void(const std::string&)> make;
        const char* reason;
    } kept[] = {{5,
                 [&](const std::string& copy) {
                     for (int n = 1; n <= FileManager::MAX_DAMAGED_COPIES; ++n) {
                         std::filesystem::create_directories(copy + ".bad" + (n > 1 ? std::to_string(n) : ""));
                     }
                     ASSERT_TRUE(FileIO::writeFileReplacing(copy, refused[0].data(), refused[0].size()));
                 },
                 "it was saved with an overlay open."},
                {6, [](const std::string& copy) { ASSERT_EQ(mkfifo(copy.c_str(), 0600), 0); },
                 "it is not a regular file."}};
    for (const auto& [number, make, reason] : kept) {
        SCOPED_TRACE(reason);
        const std::string copy = EditorSession::savedLevelPath(ProfileData::levelNumberToFile(number));
        make(copy);
        const auto before = std::filesystem::status(copy).type();
        loadLevel(true, number);
        const std::string line = "Copy not used, levels/" + std::filesystem::path(copy).filename().string() +
                                 " is left as it is: " + reason;
        EXPECT_TRUE(showsMessage(level(), toUString(line.c_str())));
        THEROLE = manager->server;
        EXPECT_FALSE(manager->editSession->save(*manager->server));
        EXPECT_EQ(consoleCount("Level not saved: " + copy + " is kept as it was."), 1);
        EXPECT_EQ(std::filesystem::status(copy).type(), before);
        if (before == std::filesystem::file_type::regular) {
            EXPECT_EQ(bytesOf(copy), refused[0]);
        }
        closeLevel();
        std::filesystem::remove(copy);
        for (int n = 1; n <= FileManager::MAX_DAMAGED_COPIES; ++n) {
            std::filesystem::remove_all(copy + ".bad" + (n > 1 ? std::to_string(n) : ""));
        }
    }
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".bad");
    std::filesystem::remove(path + ".bad2");
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
    // A level held only in memory has no name to save under; the pause menu closes to show why.
    tap("Escape");
    ASSERT_NE(manager->getRoot()->contextOverlay, nullptr);
    EditorSession memory{UString()};
    EXPECT_FALSE(memory.save(*manager->server));
    EXPECT_EQ(manager->getRoot()->contextOverlay, nullptr);
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
    // The empty file stays, and is kept aside as any refused copy is: Ctrl+S then saves in its place.
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::is_regular_file(path + ".bad"));
    EXPECT_EQ(consoleCount("Copy not used, kept as " + path + ".bad: the file is empty."), 1);
    THEROLE = manager->server;
    EXPECT_TRUE(manager->editSession->save(*manager->server));
    EXPECT_GT(std::filesystem::file_size(path), 0u);
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".bad");
}

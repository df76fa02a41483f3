// The editor layer on a real level: editing on and off, the selection keys, the camera steered by the
// mouse, the class list, picking and moving an object, and the level guides of a release build.
#include <cmath>
#include <cstdio>
#include <functional>

#include "EditorFixture.h"

#include "engine/core/Format.h"
#include "engine/core/PropertyClass.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/RuntimeClassManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/render/BlenderCamera.h"
#include "engine/render/ContextBlender.h"
#include "engine/render/KivGraphics.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/EditorSession.h"
#include "game/front/ContextManager.h"
#include "game/front/MyGlobal.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/ContextHUD.h"
#include "game/level/GameServer.h"
#include "game/level/MessageDisplay.h"
#include "game/level/MyRootObject.h"
#include "game/menus/MenuButton.h"
#include "game/overlays/OverlayPause.h"
#include "game/userdata/GameConfiguration.h"
#include "game/editor/PropertyFieldClass.h"
#include "game/world/EditorObject.h"
#include "game/world/House.h"
#include "game/world/Hull.h"
#include "game/world/Terrain.h"

namespace {
V3 heroPosition(GameController& gc) { return static_cast<EditorObject*>(gc.findHero())->position; }

// How many pixels two pictures of the screen differ in.
int differing(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
{
    int n = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        n += a[i] != b[i] ? 1 : 0;
    }
    return n;
}
} // namespace

TEST_F(EditorTest, EditingHoldsTheLevelStillUntilF4StartsAPlayTest)
{
    ASSERT_TRUE(loadLevel(true));
    ASSERT_NE(manager->editSession, nullptr);
    EXPECT_TRUE(manager->server->bEditing);
    // The level-start set-up has not run: no intro, no boundary, the level stands as in its file.
    EXPECT_EQ(level().state, 0);
    const V3 before = heroPosition(level());
    frames(30);
    EXPECT_EQ(level().state, 0);
    EXPECT_EQ(heroPosition(level()), before);

    tap("F4");
    EXPECT_FALSE(manager->server->bEditing);
    EXPECT_TRUE(manager->editSession->isPlayTest());
    EXPECT_EQ(level().state, GameController::STATE_INTRO);
    EXPECT_EQ(consoleCount("Editing off: play test."), 1);
    const int children = level().bgList->countChildren();

    tap("F4");
    EXPECT_TRUE(manager->server->bEditing);
    const int32_t state = level().state;
    frames(20);
    EXPECT_EQ(level().state, state);

    // Off again starts a new play test of the level as edited, set up once.
    tap("F4");
    EXPECT_FALSE(manager->server->bEditing);
    EXPECT_EQ(level().bgList->countChildren(), children);
}

TEST_F(EditorTest, EscapeWhileEditingOpensThePauseMenuWhoseEndLevelLeavesTheLevel)
{
    if (!loadLevel(true)) {
        GTEST_SKIP() << "The level archive holds no level files.";
    }
    ASSERT_EQ(level().state, 0);
    tap("Escape");
    MyRootObject* root = manager->getRoot();
    auto* pause = dynamic_cast<OverlayPause*>(root->contextOverlay);
    ASSERT_NE(pause, nullptr);
    // The Jump key on the highlighted End level asks no question.
    pause->buttonEnd->bForceHover = true;
    frames(15);
    tap("Space");
    EXPECT_EQ(manager->getResultCode(), 1);
}

TEST_F(EditorTest, WithoutTheOptionTheEditorCannotBeReached)
{
    ASSERT_TRUE(loadLevel(false));
    EXPECT_EQ(manager->editSession, nullptr);
    EXPECT_FALSE(manager->server->bEditing);
    EXPECT_EQ(level().state, GameController::STATE_INTRO);
    tap("F4");
    EXPECT_FALSE(manager->server->bEditing);
    tap("F1");
    tap("F2");
    EXPECT_EQ(editor().edited.get(), nullptr);
    EXPECT_EQ(editor().propertyHolder->getFirstChild(), nullptr);
    EXPECT_EQ(consoleCount("Now editing"), 0);
}

TEST_F(EditorTest, F2EditsTheControllerOnceAndF3TheLayer)
{
    ASSERT_TRUE(loadLevel(true));
    tap("F2");
    EXPECT_EQ(editor().edited.get(), &level());
    KivBase* tree = editor().propertyHolder->getFirstChild();
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->getNext(), nullptr);
    // The five timing and selection lines, in order.
    int at = consoleIndex("getProperties(): ");
    ASSERT_GE(at, 0);
    for (const char* line : {"removeFlaggedProperties(): ", "makeGUI(): ", "refresheditedprops(): ", "Now editing "}) {
        const int next = consoleIndex(line, at);
        EXPECT_EQ(next, at + 1) << line;
        at = next;
    }
    char address[32];
    std::snprintf(address, sizeof address, "Now editing %08lx (", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(&level())));
    EXPECT_NE(consoleLine(at).find(address), std::string::npos) << consoleLine(at);
    // Hidden and constructor-group properties are not shown.
    bool flagged = false;
    std::function<void(const Property*)> walk = [&](const Property* p) {
        for (const Property* c = p->getFirstProperty(); c != nullptr; c = c->getNextProperty()) {
            flagged = flagged || (c->flags & 0x90u) != 0;
            walk(c);
        }
    };
    walk(static_cast<Property*>(tree));
    EXPECT_FALSE(flagged);

    // The same object again rebuilds nothing.
    tap("F2");
    EXPECT_EQ(editor().propertyHolder->getFirstChild(), tree);
    EXPECT_EQ(consoleCount("Now editing"), 1);

    tap("F3");
    EXPECT_EQ(editor().edited.get(), &editor());
    EXPECT_EQ(consoleCount("Now editing"), 2);
}

TEST_F(EditorTest, WheelZoomsTowardsThePointerWithinItsClamps)
{
    ASSERT_TRUE(loadLevel(true));
    ContextEditor& layer = editor();
    BlenderCamera* cam = level().getGameCamera();
    layer.setEditorCamera(100.0f, 200.0f, -40.0f);
    mouseMove(500.0f, 400.0f);
    frames(1);
    const V3 c = cam->eye;
    PlatformEventInjector::mouseWheel(-1);
    frames(1);
    const V3 p = level().contextGame->pointer;
    EXPECT_FLOAT_EQ(cam->eye.z, -25.0f);
    EXPECT_NEAR(cam->eye.x, p.x - (p.x - c.x) * 0.5f, 1e-3f);
    EXPECT_NEAR(cam->eye.y, p.y - (p.y - c.y) * 0.5f, 1e-3f);
    EXPECT_EQ(layer.editorCamera, cam->eye);

    layer.setEditorCamera(0.0f, 0.0f, -5000.0f);
    PlatformEventInjector::mouseWheel(1);
    frames(1);
    EXPECT_FLOAT_EQ(cam->eye.z, -6400.0f);
}

TEST_F(EditorTest, MiddleButtonPansWithThePointer)
{
    ASSERT_TRUE(loadLevel(true));
    const float w = static_cast<float>(KivGraphics::instance()->width);
    editor().setEditorCamera(300.0f, 400.0f, -w);
    BlenderCamera* cam = level().getGameCamera();
    mouseMove(400.0f, 300.0f);
    frames(1);
    mouseButton(2, true);
    frames(1);
    const V3 c = cam->eye;
    mouseMove(440.0f, 280.0f);
    frames(1);
    mouseButton(2, false);
    frames(1);
    // s = -z / (W / 2) = 2: the level follows the pointer at twice its pixel movement.
    EXPECT_NEAR(cam->eye.x, c.x - 2.0f * 40.0f, 1e-3f);
    EXPECT_NEAR(cam->eye.y, c.y + 2.0f * 20.0f, 1e-3f);
    EXPECT_FLOAT_EQ(cam->eye.z, -w);
}

TEST_F(EditorTest, ClassListHoldsEveryEditableClassSortedWithItsIndex)
{
    ASSERT_TRUE(loadLevel(true));
    editor().panelPos = V3(-100.0f, 50.0f, 0.0f);
    tap("F1");
    EXPECT_EQ(editor().panelPos, editor().panelHome);
    auto* classes = dynamic_cast<PropertyContainer*>(editor().propertyHolder->getFirstChild());
    ASSERT_NE(classes, nullptr);
    EXPECT_EQ(classes->name, u"CLASSES");

    int expected = 0;
    for (const RuntimeClass* record : RuntimeClassManager::getInstance()->getClasses()) {
        if (record->isDerivedFrom(&EditorObject::classRecord)) {
            ++expected;
            const std::string line = wideToUtf8(formatString(u"%d: %s", record->getIndex(), record->nameRef()));
            EXPECT_EQ(consoleCount(line), 1) << line;
        }
    }
    EXPECT_GT(expected, 10);
    int count = 0;
    bool sawBase = false;
    const Property* previous = nullptr;
    for (const Property* entry = classes->getFirstProperty(); entry != nullptr; entry = entry->getNextProperty()) {
        ++count;
        ASSERT_EQ(entry->getClass(), &PropertyClass::classRecord);
        const auto* cls = static_cast<const PropertyClass*>(entry);
        EXPECT_TRUE(cls->getInstanceClass()->isDerivedFrom(&EditorObject::classRecord));
        sawBase = sawBase || cls->getInstanceClass() == &EditorObject::classRecord;
        if (previous != nullptr) {
            EXPECT_LE(previous->name, entry->name);
        }
        previous = entry;
    }
    EXPECT_EQ(count, expected);
    EXPECT_TRUE(sawBase);

    // The remote call keeps the panel where it is.
    editor().panelPos = V3(-100.0f, 50.0f, 0.0f);
    RPC_ContextEditor_listClasses call(&editor());
    THEROLE = manager->server;
    call.invoke();
    EXPECT_EQ(editor().panelPos, V3(-100.0f, 50.0f, 0.0f));
    EXPECT_EQ(editor().edited.get(), nullptr);
}

TEST_F(EditorTest, PressPicksAnObjectAndDraggingMovesIt)
{
    ASSERT_TRUE(loadLevel(true));
    auto* hero = static_cast<EditorObject*>(level().findHero());
    editor().setEditorCamera(hero->position.x, hero->position.y, -static_cast<float>(KivGraphics::instance()->width / 2));
    frames(1);
    const V3 start = hero->position;
    const V3 at = gameToScreen(start);
    mouseMove(at.x, at.y);
    frames(1);
    ASSERT_EQ(editor().findLevelObjectAt(level().contextGame->pointer), hero);
    mouseButton(0, true);
    frames(1);
    EXPECT_EQ(editor().edited.get(), hero);
    mouseMove(at.x + 30.0f, at.y + 10.0f);
    frames(1);
    mouseButton(0, false);
    frames(1);
    // One unit per pixel at this depth.
    EXPECT_NEAR(hero->position.x, start.x + 30.0f, 1.5f);
    EXPECT_NEAR(hero->position.y, start.y + 10.0f, 1.5f);
    EXPECT_FLOAT_EQ(hero->position.z, start.z);

    // A later move of the pointer without a press leaves it there.
    const V3 placed = hero->position;
    mouseMove(at.x + 80.0f, at.y);
    frames(2);
    EXPECT_EQ(hero->position, placed);
}

TEST_F(EditorTest, DeletingTheEditedObjectEmptiesThePanel)
{
    ASSERT_TRUE(loadLevel(true));
    auto* hero = static_cast<EditorObject*>(level().findHero());
    THEROLE = manager->server;
    editor().editObject(hero);
    ASSERT_NE(editor().propertyHolder->getFirstChild(), nullptr);
    delete hero;
    EXPECT_EQ(editor().edited.get(), nullptr);
    EXPECT_EQ(editor().propertyHolder->getFirstChild(), nullptr);
    frames(2);
}

TEST_F(EditorTest, ARequestedEditRunsAtTheNextTick)
{
    ASSERT_TRUE(loadLevel(true));
    THEROLE = manager->server;
    editor().requestEdit(&level());
    EXPECT_EQ(editor().edited.get(), nullptr);
    frames(1);
    EXPECT_EQ(editor().edited.get(), &level());
    // A request for an object that goes away first is dropped.
    auto* hero = static_cast<EditorObject*>(level().findHero());
    editor().requestEdit(hero);
    delete hero;
    frames(1);
    EXPECT_EQ(editor().edited.get(), &level());
}

TEST_F(EditorTest, ReleaseBuildShowsNoGuidesInPlay)
{
    Kiv& kiv = *Kiv::instance();
    const bool wasRelease = kiv.bRelease;
    kiv.bRelease = true;
    if (loadLevel(false)) {
        EXPECT_FALSE(editor().bShowHulls);
        EXPECT_FALSE(editor().bShowBezierPaths);
        EXPECT_FALSE(editor().bShowTriggerAreas);
        closeLevel();
        // Editing keeps the file's guides.
        loadLevel(true);
        EXPECT_TRUE(editor().bShowHulls);
    }
    kiv.bRelease = wasRelease;
}

TEST_F(EditorTest, PanelAndGuidesAreDrawnOverTheLevel)
{
    ASSERT_TRUE(loadLevel(true));
    auto* house = static_cast<EditorObject*>(level().findHouse());
    pressOn(*house);
    mouseButton(0, false);
    ASSERT_EQ(editor().edited.get(), house);
    ASSERT_NE(editor().panelHolder->getFirstChild(), nullptr);
    ASSERT_TRUE(PlatformEventInjector::key("Left Shift", true));
    frames(2);
    saveScreenshot("editor-level");
    PlatformEventInjector::key("Left Shift", false);
    frames(1);
    tap("F1");
    frames(1);
    saveScreenshot("editor-classes");
}

// The pause menu (with its question) and a play test's results stand whole: the editor's panel, its line to
// the edited object and the editor's line on the screen are not drawn while they show.
TEST_F(EditorTest, PanelAndLinesStepAsideForThePauseMenuAndTheResults)
{
    ASSERT_TRUE(loadLevel(true));
    THEROLE = manager->server;
    auto* house = static_cast<House*>(level().findHouse());
    editor().editObject(house);
    ASSERT_NE(editor().panelHolder->getFirstChild(), nullptr);
    // The level drawn without the panel, its line to the house (the controller draws none) and the
    // editor's line.
    auto withoutEditor = [this] {
        KivBase* edited = editor().edited.get();
        MessageDisplay& line = level().contextHUD->messenger2;
        editor().panelHolder->bInactive = true;
        editor().edited.set(&level());
        for (KivBase* glyph = line.getFirstChild(); glyph != nullptr; glyph = glyph->getNext()) {
            glyph->bInactive = true;
        }
        const std::vector<std::uint32_t> picture = drawn();
        editor().panelHolder->bInactive = false;
        editor().edited.set(edited);
        for (KivBase* glyph = line.getFirstChild(); glyph != nullptr; glyph = glyph->getNext()) {
            glyph->bInactive = false;
        }
        return picture;
    };
    auto showLine = [this] {
        THEROLE = manager->server;
        EditorSession::report(u"Level saved: levels/b1.lev");
        frames(150); // spelt out
    };
    showLine();
    EXPECT_GT(differing(drawn(), withoutEditor()), 1000);
    tap("Escape");
    frames(15);
    ASSERT_NE(manager->getRoot()->contextOverlay, nullptr);
    EXPECT_EQ(differing(drawn(), withoutEditor()), 0);
    saveScreenshot("editor-pause-over-panel");
    tap("Escape");
    frames(15);

    // During a play test the panel stays, until the level ends.
    tap("F4");
    ASSERT_TRUE(tickToState(GameController::STATE_PLAYING, 1000));
    EXPECT_GT(differing(drawn(), withoutEditor()), 1000);
    level().levelStats.requiredApplesGot = level().levelStats.requiredApples;
    house->bPigAtHome = true;
    ASSERT_TRUE(tickToState(GameController::STATE_RESULTS, 2000));
    ticks(1500); // every row in
    ASSERT_NE(editor().panelHolder->getFirstChild(), nullptr);
    showLine();
    EXPECT_EQ(differing(drawn(), withoutEditor()), 0);
    saveScreenshot("editor-results-over-panel");
}

// With "Show frame rate" on, the readout in the top-right corner stays clear of the property panel, which
// opens at its home in the same corner.
TEST_F(EditorTest, FrameRateReadoutKeepsClearOfTheOpenPanel)
{
    ASSERT_TRUE(loadLevel(true));
    tap("F2");
    ASSERT_NE(editor().panelHolder->getFirstChild(), nullptr);
    GameConfiguration& config = env->global->config;
    // A three-figure rate, held for the whole test.
    stack().shownFrameRate = 144.9f;
    stack().nextReadoutTime = 1.0e9;
    config.bShowFps = 1;
    const std::vector<std::uint32_t> both = screen();
    editor().panelHolder->bInactive = true;
    const std::vector<std::uint32_t> readoutOnly = screen();
    config.bShowFps = 0;
    const std::vector<std::uint32_t> neither = screen();
    editor().panelHolder->bInactive = false;
    const std::vector<std::uint32_t> panelOnly = screen();
    config.bShowFps = 1;
    frames(1);
    saveScreenshot("editor-frame-rate");
    config.bShowFps = 0;
    stack().nextReadoutTime = 0.0;
    int readout = 0, covered = 0;
    for (std::size_t i = 0; i < both.size(); ++i) {
        if (readoutOnly[i] != neither[i]) {
            ++readout;
            covered += panelOnly[i] != neither[i];
        }
    }
    EXPECT_GT(readout, 20);
    EXPECT_EQ(covered, 0);
}

TEST_F(EditorTest, GuideSwitchesShowAndHideTheHulls)
{
    ASSERT_TRUE(loadLevel(true));
    auto* house = static_cast<EditorObject*>(level().findHouse());
    editor().setEditorCamera(house->position.x, house->position.y, -static_cast<float>(KivGraphics::instance()->width));
    editor().bShowTriggerAreas = editor().bShowBezierPaths = false;
    const std::vector<std::uint32_t> withHulls = screen();
    editor().bShowHulls = false;
    const std::vector<std::uint32_t> withoutHulls = screen();
    EXPECT_GT(differing(withHulls, withoutHulls), 100);
    // The overlay switch hides every mark and guide, whatever the guide switches say.
    editor().bShowHulls = true;
    editor().bHideEditorOverlay = true;
    const std::vector<std::uint32_t> hidden = screen();
    editor().bShowHulls = false;
    EXPECT_EQ(differing(hidden, screen()), 0);
    // Out of editing, no guides either.
    editor().bHideEditorOverlay = false;
    editor().bShowHulls = true;
    manager->server->bEditing = false;
    const std::vector<std::uint32_t> playing = screen();
    editor().bShowHulls = false;
    EXPECT_EQ(differing(playing, screen()), 0);
}

// Hulls made in the running editor have their owners, as loaded ones do: a terrain's from the class list
// (Ctrl+X), whose guide is drawn at once, and the level boundary's that the play test's set-up makes.
TEST_F(EditorTest, HullsMadeInTheRunningEditorHaveTheirOwners)
{
    ASSERT_TRUE(loadLevel(true));
    // Far above the level, where no other guide is in sight; the pointer in the middle of the screen.
    const KivGraphics& graphics = *KivGraphics::instance();
    editor().setEditorCamera(0.0f, 50000.0f, -static_cast<float>(graphics.width / 2));
    mouseMove(static_cast<float>(graphics.width / 2), static_cast<float>(graphics.height / 2));
    frames(1);
    editor().listClasses();
    PropertyFieldClass* entry = nullptr;
    for (KivBase* row = editor().panelHolder->getFirstChild()->getFirstChild(); row != nullptr; row = row->getNext()) {
        auto* field = dynamic_cast<PropertyFieldClass*>(row);
        if (field != nullptr &&
            static_cast<PropertyClass*>(field->property)->getInstanceClass() == &Terrain::classRecord) {
            entry = field;
        }
    }
    ASSERT_NE(entry, nullptr);
    auto* terrain = static_cast<Terrain*>(static_cast<PropertyClass*>(entry->property)->getInstance());
    ASSERT_TRUE(entry->createInstance());
    ASSERT_NE(terrain->pHull, nullptr);
    EXPECT_EQ(terrain->pHull->getOwner(), terrain);
    EXPECT_EQ(terrain->pHull->countVertices(), terrain->segmentCount + 1);
    editor().editObject(nullptr);
    const std::vector<std::uint32_t> withHulls = screen();
    editor().bShowHulls = false;
    EXPECT_GT(differing(withHulls, screen()), graphics.width / 2); // the ground line across the screen

    tap("F4");
    tap("F4");
    ASSERT_TRUE(manager->server->bEditing);
    int hulls = 0;
    for (KivBase* hull = level().hullList->getFirstChild(); hull != nullptr; hull = hull->getNext(), ++hulls) {
        EXPECT_NE(static_cast<Hull*>(hull)->getOwner(), nullptr) << hull->objectUID;
    }
    EXPECT_GT(hulls, 2);
}

#include "EditorFixture.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/Property.h"
#include "engine/files/FileManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/render/BlenderCamera.h"
#include "engine/render/ContextBlender.h"
#include "engine/render/KivGraphics.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/ContextEditorTools.h"
#include "game/editor/PropertyFieldValue.h"
#include "game/front/ContextManager.h"
#include "game/front/MyGlobal.h"
#include "game/language/Language.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/LevelServices.h"
#include "game/menus/GUIthemeMinimal.h"
#include "game/userdata/ProfileData.h"
#include "game/world/EditorObject.h"
#include "support/DataBuild.h"
#include "support/GameData.h"

namespace {
struct LanguageFactory {
    LanguageFactory() { Kiv::setLanguageFactory(&Language::createForEngine, &Language::destroyForEngine); }
};
} // namespace

EditorEnvironment& EditorEnvironment::get()
{
    static EditorEnvironment* instance = new EditorEnvironment();
    return *instance;
}

EditorEnvironment::EditorEnvironment()
{
    static LanguageFactory factory;
    harness = new KivHarness();
    harness->kiv().language->setLanguage(0);
    ErrorManager::setThrowForTests(true);
    global = new MyGlobal();
    Global::setInstance(global);
    global->contextManager = new ContextManager();
    if (global->profiles.countProfiles() == 0) {
        global->profiles.addProfile(u"Tester");
    }
    GameData::load(*harness, TOBBLE_RUNTIME_DIR);
    if (global->themeMinimal == nullptr) {
        global->themeMinimal = new GUIthemeMinimal();
    }
}

void EditorTest::SetUp()
{
    if (!DataBuild::ARCHIVES_BUILT) {
        GTEST_SKIP() << DataBuild::NOT_BUILT;
    }
    env = &EditorEnvironment::get();
    LevelServices::setFade(0.0f, 0.0f);
    consoleStart = harness().logLines().size();
    mouseMove(400.0f, 300.0f);
    frames(1);
}

void EditorTest::TearDown()
{
    if (env == nullptr) {
        return; // skipped before the engine was made
    }
    closeLevel();
    for (const char* key : {"F1", "F2", "F3", "F4", "S", "Left Ctrl", "Left Shift", "Backspace"}) {
        PlatformEventInjector::key(key, false);
    }
    for (int button = 0; button < 3; ++button) {
        PlatformEventInjector::mouseButton(button, false, static_cast<int>(mouseX), 0);
    }
    frames(1);
    env->global->bEditorAllowed = false;
}

ContextManager& EditorTest::stack() { return *env->global->contextManager; }

bool EditorTest::loadLevel(bool editorAllowed, int number)
{
    closeLevel();
    env->global->bEditorAllowed = editorAllowed;
    levelNumber = number;
    const UString file = ProfileData::levelNumberToFile(levelNumber);
    if (!Kiv::instance()->fileManager->exists(file)) {
        ADD_FAILURE() << "The level archive lacks " << wideToUtf8(file) << ".";
        return false;
    }
    env->global->profiles.getCurrentProfile().currentLevel = levelNumber;
    manager = std::make_unique<ContextLevelManager>(levelNumber);
    stack().addContext(manager.get());
    frames(2);
    return true;
}

void EditorTest::closeLevel()
{
    if (manager == nullptr) {
        return;
    }
    // The stack lets go of a finished screen at its next tick; the test owns it. An open palette goes first.
    if (GameController* gc = manager->getGameController(); gc != nullptr && gc->editor != nullptr &&
                                                           gc->editor->tools->getParent() != nullptr) {
        gc->editor->tools->bClosed = true;
        harness().frame(&stack());
    }
    manager->bClosed = true;
    harness().frame(&stack());
    manager.reset();
    THEROLE = nullptr;
}

GameController& EditorTest::level() { return *manager->getGameController(); }

ContextEditor& EditorTest::editor() { return *level().editor; }

void EditorTest::frames(int count) { harness().frames(count, &stack()); }

void EditorTest::ticks(int count)
{
    Kiv& kiv = harness().kiv();
    for (int i = 0; i < count; ++i) {
        kiv.time += kiv.frameTime;
        ++kiv.frameCounter;
        kiv.currentContext = &stack();
        stack().tick(kiv.time, kiv.frameTime);
    }
}

bool EditorTest::tickToState(int32_t state, int limit)
{
    for (int i = 0; i < limit; ++i) {
        if (manager->getGameController() != nullptr && level().state == state) {
            return true;
        }
        ticks(1);
    }
    ADD_FAILURE() << "The level did not reach state " << state << " in " << limit << " ticks.";
    return false;
}

void EditorTest::tap(const std::string& key)
{
    ASSERT_TRUE(PlatformEventInjector::key(key, true)) << key;
    frames(1);
    PlatformEventInjector::key(key, false);
    frames(1);
}

void EditorTest::tapWith(const std::string& modifier, const std::string& key)
{
    ASSERT_TRUE(PlatformEventInjector::key(modifier, true)) << modifier;
    frames(1);
    tap(key);
    PlatformEventInjector::key(modifier, false);
    frames(1);
}

void EditorTest::mouseMove(float x, float y)
{
    const KivGraphics* graphics = KivGraphics::instance();
    const int h = graphics != nullptr ? graphics->height : 600;
    mouseX = x;
    mouseY = y;
    PlatformEventInjector::mouseMove(static_cast<int>(x), h - static_cast<int>(y));
}

void EditorTest::mouseButton(int button, bool down)
{
    const KivGraphics* graphics = KivGraphics::instance();
    const int h = graphics != nullptr ? graphics->height : 600;
    PlatformEventInjector::mouseButton(button, down, static_cast<int>(mouseX), h - static_cast<int>(mouseY));
}

V3 EditorTest::gameToScreen(const V3& world)
{
    const KivGraphics* graphics = KivGraphics::instance();
    const float w = static_cast<float>(graphics->width);
    const float h = static_cast<float>(graphics->height);
    float sx = 0.0f;
    float sy = 0.0f;
    level().contextGame->camera->worldToScreen(world, w, h, sx, sy);
    return V3(sx, h - sy, 0.0f);
}

V3 EditorTest::pressOn(const EditorObject& object)
{
    editor().setEditorCamera(object.position.x, object.position.y,
                             -static_cast<float>(KivGraphics::instance()->width / 2));
    frames(1);
    const V3 at = gameToScreen(object.position);
    mouseMove(at.x, at.y);
    frames(1);
    mouseButton(0, true);
    frames(1);
    return at;
}

namespace {
PropertyField* findRow(KivBase* from, UStringView name)
{
    for (KivBase* c = from->getFirstChild(); c != nullptr; c = c->getNext()) {
        if (auto* row = dynamic_cast<PropertyField*>(c); row != nullptr) {
            if (row->property != nullptr && row->property->name == name) {
                return row;
            }
            if (PropertyField* deeper = findRow(row, name)) {
                return deeper;
            }
        }
    }
    return nullptr;
}
} // namespace

PropertyField* EditorTest::panelRow(UStringView name) { return findRow(editor().panelHolder, name); }

PropertyFieldValue* EditorTest::typeInto(UStringView name, const std::string& text)
{
    auto* row = dynamic_cast<PropertyFieldValue*>(panelRow(name));
    if (row == nullptr) {
        ADD_FAILURE() << "The panel has no value row " << wideToUtf8(UString(name)) << ".";
        return nullptr;
    }
    // The middle of its top line, in the editor layer's units (pixels from the screen's centre).
    V3 centre;
    row->local2world(centre, V3(0.0f, static_cast<float>(row->height) / 2.0f - 5.0f, 0.0f));
    const KivGraphics* graphics = KivGraphics::instance();
    mouseMove(static_cast<float>(graphics->width / 2) + centre.x, static_cast<float>(graphics->height / 2) + centre.y);
    frames(1);
    mouseButton(0, true);
    frames(1);
    mouseButton(0, false);
    frames(1);
    EXPECT_TRUE(row->bTextEntry) << wideToUtf8(UString(name));
    for (const char c : text) {
        PlatformEventInjector::text(std::string(1, c));
        frames(1);
    }
    return row;
}

int EditorTest::consoleCount(const std::string& text) const
{
    int count = 0;
    const auto& lines = env->harness->logLines();
    for (std::size_t i = consoleStart; i < lines.size(); ++i) {
        if (lines[i].find("> ") != std::string::npos && lines[i].find(text) != std::string::npos) {
            ++count;
        }
    }
    return count;
}

int EditorTest::consoleIndex(const std::string& text, int from) const
{
    const auto& lines = env->harness->logLines();
    for (std::size_t i = consoleStart + static_cast<std::size_t>(from); i < lines.size(); ++i) {
        if (lines[i].find("> ") != std::string::npos && lines[i].find(text) != std::string::npos) {
            return static_cast<int>(i - consoleStart);
        }
    }
    return -1;
}

std::string EditorTest::consoleLine(int index) const
{
    const auto& lines = env->harness->logLines();
    const std::size_t i = consoleStart + static_cast<std::size_t>(index);
    return i < lines.size() ? lines[i] : std::string();
}

void EditorTest::saveScreenshot(const std::string& name)
{
    KivGraphics::instance()->saveScreenshot(std::string(TOBBLE_RUNTIME_DIR) + "/" + name + ".tga", true);
}

std::vector<std::uint32_t> EditorTest::screen()
{
    frames(1);
    int w = 0;
    int h = 0;
    return KivGraphics::instance()->readScreen(w, h);
}

std::vector<std::uint32_t> EditorTest::drawn()
{
    KivGraphics& graphics = *KivGraphics::instance();
    graphics.beginScene();
    Kiv::instance()->currentContext = &stack();
    stack().render();
    graphics.endScene();
    int w = 0;
    int h = 0;
    return graphics.readScreen(w, h);
}

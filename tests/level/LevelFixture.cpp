#include "LevelFixture.h"

#include <chrono>

#include "engine/core/ErrorManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/render/KivGraphics.h"
#include "engine/text/FontQuad.h"
#include "game/front/ContextManager.h"
#include "game/front/MyGlobal.h"
#include "game/language/Language.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/LevelBuilder.h"
#include "game/level/LevelServices.h"
#include "game/userdata/GameConfiguration.h"
#include "game/userdata/ProfileData.h"
#include "game/world/House.h"
#include "game/world/Pig.h"
#include "support/DataBuild.h"
#include "support/GameData.h"

LevelEnvironment& LevelEnvironment::get()
{
    static LevelEnvironment* instance = new LevelEnvironment();
    return *instance;
}

LanguageForEngine::LanguageForEngine()
{
    Kiv::setLanguageFactory(&Language::createForEngine, &Language::destroyForEngine);
}

LevelEnvironment::LevelEnvironment()
{
    harness.kiv().language->setLanguage(0);
    ErrorManager::setThrowForTests(true);
    global = new MyGlobal();
    Global::setInstance(global);
    global->contextManager = new ContextManager();
    if (global->profiles.countProfiles() == 0) {
        global->profiles.addProfile(u"Tester");
    }
    const auto start = std::chrono::steady_clock::now();
    loadResources();
    loadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void LevelEnvironment::loadResources()
{
    GameData::load(harness, TOBBLE_RUNTIME_DIR);
    // The game's fonts, as the loader hands them to the Global.
    const ResourceManager& rm = *harness.kiv().resourceManager;
    global->fontTiny = rm.find<FontQuad>(u"fontTiny");
    global->fontSmall = rm.find<FontQuad>(u"fontSmall");
    global->fontSmallOutline = rm.find<FontQuad>(u"fontSmallOutline");
    global->fontMedium = rm.find<FontQuad>(u"fontMedium");
    global->fontMediumOutline = rm.find<FontQuad>(u"fontMediumOutline");
    global->fontLarge = rm.find<FontQuad>(u"fontLarge");
}

void LevelTest::SetUp()
{
    if (!DataBuild::ARCHIVES_BUILT) {
        GTEST_SKIP() << DataBuild::NOT_BUILT;
    }
    env = &LevelEnvironment::get();
    profile().currentLevel = 4;
    for (LevelStats& record : profile().levelStats) {
        record.reset();
    }
    config().resetHighScores();
    LevelServices::setFade(0.0f, 0.0f);
}

ContextManager& LevelTest::stack() { return *env->global->contextManager; }

GameConfiguration& LevelTest::config() { return env->global->config; }

ProfileData& LevelTest::profile() { return env->global->profiles.getCurrentProfile(); }

void LevelTest::TearDown()
{
    if (env == nullptr) {
        return; // skipped before the engine was made
    }
    if (manager != nullptr) {
        // The stack lets go of a finished screen at its next tick; the test owns it.
        manager->bClosed = true;
        harness().frame(&stack());
        manager.reset();
    }
    THEROLE = nullptr;
    // Keys left down, and the touch input a finger switched to, would leak into the next test.
    for (const char* key : {"Escape", "Pause", "Space", "Return", "M", "X", "Left", "Right"}) {
        PlatformEventInjector::key(key, false);
    }
    harness().kiv().input->setInputMode(KivInput::INPUT_POINTER);
    harness().frame(&stack());
}

void LevelTest::play(LevelBuilder& builder)
{
    Packet stream = builder.stream();
    manager = std::make_unique<ContextLevelManager>(stream);
    stack().addContext(manager.get());
}

Pig* LevelTest::playToPig()
{
    LevelBuilder builder;
    play(builder);
    constexpr int PLAYING = 4;
    return runToState(PLAYING) ? dynamic_cast<Pig*>(level().findHero()) : nullptr;
}

void LevelTest::frames(int count)
{
    if (count <= 2) {
        harness().frames(count, &stack());
        return;
    }
    harness().frame(&stack());
    for (int i = 0; i < count - 2; ++i) {
        tickOnly();
    }
    harness().frame(&stack());
}

void LevelTest::tickOnly()
{
    Kiv& kiv = harness().kiv();
    kiv.time += kiv.frameTime;
    ++kiv.frameCounter;
    kiv.currentContext = &stack();
    stack().tick(kiv.time, kiv.frameTime);
}

void LevelTest::pressKey(int code)
{
    static const std::pair<int, const char*> names[] = {{0x01, "Escape"}, {0xC5, "Pause"}, {57, "Space"},
                                                        {28, "Return"},   {50, "M"},       {45, "X"},
                                                        {203, "Left"},    {205, "Right"}};
    for (const auto& [c, name] : names) {
        if (c == code) {
            PlatformEventInjector::key(name, true);
        }
    }
}

void LevelTest::releaseKey(int code)
{
    static const std::pair<int, const char*> names[] = {{0x01, "Escape"}, {0xC5, "Pause"}, {57, "Space"},
                                                        {28, "Return"},   {50, "M"},       {45, "X"},
                                                        {203, "Left"},    {205, "Right"}};
    for (const auto& [c, name] : names) {
        if (c == code) {
            PlatformEventInjector::key(name, false);
        }
    }
}

void LevelTest::touchDown(float x, float y)
{
    const KivGraphics* graphics = KivGraphics::instance();
    const int h = graphics != nullptr ? graphics->height : 600;
    PlatformEventInjector::mouseButton(0, true, static_cast<int>(x), h - static_cast<int>(y));
}

void LevelTest::touchUp() { PlatformEventInjector::mouseButton(0, false, 0, 0); }

namespace {
float fingerX = 0.0f;
float fingerY = 0.0f;
} // namespace

void LevelTest::fingerDown(float x, float y)
{
    const KivGraphics* graphics = KivGraphics::instance();
    const float w = static_cast<float>(graphics->width);
    const float h = static_cast<float>(graphics->height);
    fingerX = x / w;
    fingerY = (h - y) / h;
    PlatformEventInjector::finger(7, 0, fingerX, fingerY);
}

void LevelTest::fingerUp() { PlatformEventInjector::finger(7, 2, fingerX, fingerY); }

UColor LevelTest::pixel(int x, int y)
{
    int w = 0;
    int h = 0;
    const std::vector<std::uint32_t> all = KivGraphics::instance()->readScreen(w, h);
    if (x < 0 || y < 0 || x >= w || y >= h) {
        return UColor(0u);
    }
    return UColor(all[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)]);
}

void LevelTest::saveScreenshot(const std::string& name)
{
    KivGraphics::instance()->saveScreenshot(std::string(TOBBLE_RUNTIME_DIR) + "/" + name + ".tga", true);
}

GameController& LevelTest::level() { return *manager->getGameController(); }

void LevelTest::setPigAtHome(bool atHome)
{
    auto* house = dynamic_cast<House*>(level().findHouseOrNull());
    ASSERT_NE(house, nullptr);
    house->bPigAtHome = atHome;
}

void LevelTest::deliverApples() { level().levelStats.requiredApplesGot = level().levelStats.requiredApples; }

bool LevelTest::runToState(int state, int limit)
{
    return runUntil([&] { return manager->getGameController()->state == state; }, limit);
}

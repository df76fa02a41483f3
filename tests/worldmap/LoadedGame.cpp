#include "LoadedGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/platform/PlatformWindow.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/MemoryImageFile.h"
#include "game/front/ContextManager.h"
#include "game/front/Loader.h"
#include "game/front/TransitionWipe.h"
#include "game/front/MyGlobal.h"
#include "game/language/Language.h"
#include "game/resources/ResourceCatalogue.h"

namespace {
LoadedGame* gGame = nullptr;

// The harness needs the game's language before the engine starts.
struct LanguageFirst {
    LanguageFirst() { Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine); }
};

class ShutdownAtEnd : public ::testing::Environment {
public:
    void TearDown() override { LoadedGame::shutdown(); }
};
[[maybe_unused]] ::testing::Environment* const gEnvironment = ::testing::AddGlobalTestEnvironment(new ShutdownAtEnd);
} // namespace

LoadedGame& LoadedGame::get()
{
    if (gGame == nullptr) {
        static LanguageFirst languageFirst;
        gGame = new LoadedGame();
    }
    return *gGame;
}

void LoadedGame::shutdown()
{
    delete gGame;
    gGame = nullptr;
}

LoadedGame::LoadedGame()
{
    namespace fs = std::filesystem;
    using ResourceCatalogue::Archive;
    for (Archive archive : {Archive::Main, Archive::Language, Archive::Levels, Archive::CodePage}) {
        const std::string name = ResourceCatalogue::archiveFileName(archive);
        fs::create_symlink(fs::path(TOBBLE_RUNTIME_DIR) / name, fs::path(harness.dataFolder.path()) / name);
    }
    global = new MyGlobal();
    Global::setInstance(global);
    global->initPreLoader();
    // Until the loader has run its last step and left the stack.
    for (int i = 0; i < 5000; ++i) {
        frame();
        if (global->contextIntro != nullptr && dynamic_cast<Loader*>(screens().getTop()) == nullptr) {
            break;
        }
    }
    frames(2);
    baseScreens = screens().countChildren() - 2; // the loader's followers above the main menu go too
    if (baseScreens < 1) {
        baseScreens = 1;
    }
    // With a player the main menu does not ask for a name as soon as it is on top.
    resetPlayer();
    clearScreens();
}

LoadedGame::~LoadedGame()
{
    delete global;
    Global::setInstance(nullptr);
}

void LoadedGame::resetPlayer()
{
    ProfileManager& profiles = global->profiles;
    if (profiles.countProfiles() == 0) {
        profiles.addProfile(u"Tester");
    }
    const UString name = profiles.getCurrentProfile().getName();
    profiles.getCurrentProfile().reset();
    profiles.getCurrentProfile().setName(name);
}

void LoadedGame::clearScreens()
{
    // Stops when a close did not shorten the stack (a screen that will not go, or one that opens another
    // in its place): the count, not the top's address, tells, as a new screen may reuse a freed one's.
    ContextManager& stack = screens();
    while (stack.countChildren() > baseScreens) {
        const int before = stack.countChildren();
        stack.getTop()->bClosed = true;
        frame();
        if (stack.countChildren() >= before) {
            break;
        }
    }
}

ProfileData& LoadedGame::player() { return global->profiles.getCurrentProfile(); }

ContextManager& LoadedGame::screens() { return *global->contextManager; }

void LoadedGame::frame() { harness.frame(global->contextManager); }

void LoadedGame::frames(int count)
{
    for (int i = 0; i < count; ++i) {
        frame();
    }
}

void LoadedGame::setScreenSize(int w, int h)
{
    KivGraphics* graphics = KivGraphics::instance();
    graphics->changePresentationParameters(w, h, false, graphics->bLetterbox, graphics->bBilinearFilter,
                                           graphics->bVSync);
    frame();
}

void LoadedGame::setFullScreen(int w, int h)
{
    KivGraphics* graphics = KivGraphics::instance();
    graphics->changePresentationParameters(w, h, true, true, graphics->bBilinearFilter, graphics->bVSync);
    frame();
}

void LoadedGame::advance(double seconds)
{
    // One whole frame takes up the input of the frames before (an ended touch is dropped); then the
    // screens are ticked without being drawn, which is most of a frame's cost in a software renderer.
    constexpr double STEP = 0.05;
    frame();
    seconds -= KivHarness::STEP;
    while (seconds > 1e-9) {
        const double step = seconds < STEP ? seconds : STEP;
        screens().tick(harness.kiv().time, step);
        seconds -= step;
    }
}

void LoadedGame::pointAt(const Context& context, float x, float y)
{
    const KivGraphics* graphics = KivGraphics::instance();
    float sx = 0.0f, sy = 0.0f;
    context.camera->worldToScreen(V3(x, y, 0.0f), static_cast<float>(graphics->width),
                                  static_cast<float>(graphics->height), sx, sy);
    // Pointer pixels count from the bottom edge.
    harness.kiv().input->warpCursor(V3(sx, static_cast<float>(graphics->height) - sy, 0.0f));
}

void LoadedGame::toWindow(const Context& context, float x, float y, float& wx, float& wy)
{
    const KivGraphics* graphics = KivGraphics::instance();
    const float w = static_cast<float>(graphics->width), h = static_cast<float>(graphics->height);
    float sx = 0.0f, sy = 0.0f;
    context.camera->worldToScreen(V3(x, y, 0.0f), w, h, sx, sy);
    const auto& vp = graphics->viewport;
    wx = static_cast<float>(vp.left) + sx * static_cast<float>(vp.width()) / w;
    wy = static_cast<float>(vp.top) + sy * static_cast<float>(vp.height()) / h;
}

void LoadedGame::clickAt(const Context& context, float x, float y)
{
    float wx = 0.0f, wy = 0.0f;
    toWindow(context, x, y, wx, wy);
    const int ix = static_cast<int>(std::lround(wx)), iy = static_cast<int>(std::lround(wy));
    PlatformEventInjector::mouseMove(ix, iy);
    PlatformEventInjector::mouseButton(0, true, ix, iy);
    frame();
    PlatformEventInjector::mouseButton(0, false, ix, iy);
    frame();
}

void LoadedGame::tapAt(const Context& context, float x, float y) { dragFinger(context, x, y, 0.0f, 0); }

void LoadedGame::dragFinger(const Context& context, float x, float y, float dxWindow, int steps)
{
    const float ww = static_cast<float>(harness.window().width());
    const float wh = static_cast<float>(harness.window().height());
    float wx = 0.0f, wy = 0.0f;
    toWindow(context, x, y, wx, wy);
    PlatformEventInjector::finger(7, 0, wx / ww, wy / wh);
    frame();
    for (int i = 1; i <= steps; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(steps);
        PlatformEventInjector::finger(7, 1, (wx + dxWindow * t) / ww, wy / wh);
        frame();
    }
    PlatformEventInjector::finger(7, 2, (wx + dxWindow) / ww, wy / wh);
    frame();
}

std::vector<std::uint32_t> LoadedGame::readScreen(int& w, int& h)
{
    KivGraphics* graphics = KivGraphics::instance();
    // The screen itself, not the wipe that may still be opening over it.
    screens().transitionWipe->level = 0.0f;
    // Drawn again without presenting: after a present the back buffer is undefined.
    graphics->beginScene();
    Kiv::instance()->currentContext = &screens();
    screens().render();
    graphics->endScene();
    return graphics->readScreen(w, h);
}

std::string LoadedGame::screenshot(const std::string& name)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(TOBBLE_RUNTIME_DIR) / ".." / "screenshots";
    fs::create_directories(folder);
    const std::string path = (folder / (name + ".tga")).string();
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = readScreen(w, h);
    MemoryImageFile::writeTGA(path, pixels.data(), w, h);
    return path;
}

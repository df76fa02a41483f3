// One frame of the main menu with 50 items, headless: the screen stack's tick (items, navigation, the
// backdrop and the snowfall) and the submission of its drawing to the graphics device. The device's flush
// to OpenGL, the present and the frame wait are outside the timing. Counter: draws queued per frame.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>

#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/front/Loader.h"
#include "game/front/ShellHooks.h"
#include "game/language/Language.h"
#include "game/menus/ContextGameMain.h"
#include "game/menus/MenuButton.h"
#include "support/KivHarness.h"

namespace {
std::string programFolder()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    std::string text(path, n > 0 ? static_cast<std::size_t>(n) : 0);
    return text.substr(0, text.find_last_of('/') + 1);
}

int countItems(const ContextMenu& menu)
{
    int items = 0;
    for (KivBase* entry = menu.navigationEntries.getFirstChild(); entry != nullptr; entry = entry->getNext()) {
        ++items;
    }
    return items;
}

void BM_MainMenuFrame50Items(benchmark::State& state)
{
    Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine);
    const std::string folder = programFolder();
    KivHarness harness(KivHarness::readFile(folder + ".cfg.static"), "[Kiv]\ndefaultLanguage=0\n");
    for (const char* archive : {"TobbleXmasdemo.dat", "TobbleXmasdemo.dat.language.v2", "TobbleXmasdemo.dat.levels",
                                "TobbleXmasdemo.dat.1252"}) {
        [[maybe_unused]] const int rc = symlink((folder + archive).c_str(), harness.dataFolder.file(archive).c_str());
    }
    const KivShell::GameHooks hooks = makeGameHooks();
    hooks.create();
    Global& global = *Global::instance();
    ContextManager& stack = *global.contextManager;
    while (dynamic_cast<Loader*>(stack.getTop()) != nullptr) {
        harness.frame(&stack);
    }
    while (KivBase* screen = stack.getLastChild()) {
        delete screen;
    }
    stack.activeScreen = nullptr;
    stack.topScreen = nullptr;
    global.profiles.addProfile(u"Bench");

    auto* menu = new ContextGameMain();
    // The main menu's own seven items, then buttons in a grid up to 50.
    for (int i = countItems(*menu); i < 50; ++i) {
        const int column = i % 5, row = i / 5;
        auto* button = new MenuButton(-300.0f + 150.0f * static_cast<float>(column),
                                      250.0f - 50.0f * static_cast<float>(row), 0.0f, u"Button", u"A hint");
        button->setWidth(140);
        menu->addItem(button);
    }
    stack.addContext(menu);
    harness.frames(60, &stack); // the menu is active, its texts are cached

    KivGraphics& graphics = *KivGraphics::instance();
    Kiv& engine = harness.kiv();
    double time = engine.time;
    std::uint64_t draws = 0;
    for (auto _ : state) {
        time += 0.01;
        stack.tickEntry(time, 0.01);
        const std::uint64_t before = graphics.getDrawCount();
        stack.renderEntry();
        draws = graphics.getDrawCount() - before;
        state.PauseTiming();
        graphics.beginScene();
        graphics.endScene();
        state.ResumeTiming();
    }
    state.counters["items"] = static_cast<double>(countItems(*menu));
    state.counters["draws"] = static_cast<double>(draws);
    engine.forgetRoot();
    hooks.destroy();
}
} // namespace

BENCHMARK(BM_MainMenuFrame50Items)->Unit(benchmark::kMicrosecond);

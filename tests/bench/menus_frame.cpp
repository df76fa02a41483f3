// One frame of the main menu with 50 items, headless: the screen stack's tick (items, navigation, the
// backdrop and the snowfall) and the submission of its drawing to the graphics device. The device's flush
// to OpenGL, the present and the frame wait are outside the timing. Counter: draws queued per frame.
// Also the network-test wizard's whole frames around a huge reply line (see that benchmark).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "engine/http/HttpRequest.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/front/Loader.h"
#include "game/front/ShellHooks.h"
#include "game/language/Language.h"
#include "game/menus/ContextGameMain.h"
#include "game/menus/MenuButton.h"
#include "game/online/ContextNetworkWizard1.h"
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

// The harness over the built archives: the game made, its loader run, the screen stack emptied, one player.
ContextManager& startGame(KivHarness& harness, const KivShell::GameHooks& hooks)
{
    const std::string folder = programFolder();
    for (const char* archive : {"TobbleXmasdemo.dat", "TobbleXmasdemo.dat.language.v2", "TobbleXmasdemo.dat.levels",
                                "TobbleXmasdemo.dat.1252"}) {
        [[maybe_unused]] const int rc = symlink((folder + archive).c_str(), harness.dataFolder.file(archive).c_str());
    }
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
    return stack;
}

void BM_MainMenuFrame50Items(benchmark::State& state)
{
    Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine);
    KivHarness harness(KivHarness::readFile(programFolder() + ".cfg.static"), "[Kiv]\ndefaultLanguage=0\n");
    const KivShell::GameHooks hooks = makeGameHooks();
    ContextManager& stack = startGame(harness, hooks);

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

// The network-test wizard given a reply of one 1 MiB line without a space, as its request hands it over.
// One iteration: the whole engine frame that takes the reply (decoding, wrapping, the status lines), then
// four whole frames showing it, each including the drawing's flush and present and ending when the GPU has
// drawn it (a one-pixel read-back), so that no frame's rendering is left for a later frame to wait for.
// Counters: the frame that took the reply and the slowest frame after it, in ms; frames over 20 ms.
void BM_NetworkWizardFramesWith1MiBReplyLine(benchmark::State& state)
{
    Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine);
    KivHarness harness(KivHarness::readFile(programFolder() + ".cfg.static"), "[Kiv]\ndefaultLanguage=0\n");
    const KivShell::GameHooks hooks = makeGameHooks();
    ContextManager& stack = startGame(harness, hooks);
    Global::instance()->config.bFullScreen = 0;
    auto* page = new ContextNetworkWizard1();
    stack.addContext(page);
    std::vector<unsigned char> reply = {'O', 'K'};
    auto giveReply = [&] {
        page->pRequest = std::make_unique<HttpRequest>(u"localhost", u"/tobble/nettest.php");
        page->pRequest->data = reply.data();
        page->pRequest->size = reply.size();
        page->pRequest->state.store(HttpRequest::STATE_DONE);
    };
    // A short reply first, so that what any first reply costs once (the renderer's first use of the
    // page's drawing) is not counted.
    giveReply();
    harness.frames(60, &stack);
    GLDevice& device = KivGraphics::instance()->getDevice();
    device.readPixels(0, 0, 1, 1);

    using Clock = std::chrono::steady_clock;
    int overBudget = 0;
    auto timeFrame = [&](double& slowest) {
        const auto start = Clock::now();
        harness.frame(&stack);
        device.readPixels(0, 0, 1, 1);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        slowest = std::max(slowest, ms);
        overBudget += ms > 20.0 ? 1 : 0;
    };
    double takingTick = 0.0, takingFrame = 0.0, slowestAfter = 0.0;
    char letter = 'a';
    Kiv& engine = harness.kiv();
    for (auto _ : state) {
        // Another letter each time: the new lines are laid out and cached for drawing afresh.
        reply.assign(1u << 20, static_cast<unsigned char>(letter));
        letter = letter == 'z' ? 'a' : static_cast<char>(letter + 1);
        giveReply();
        // The page's own work on the reply (decoding, cutting, wrapping), then the frame that draws it.
        const auto start = Clock::now();
        stack.tickEntry(engine.time, 0.0);
        takingTick = std::max(takingTick, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        timeFrame(takingFrame);
        for (int i = 0; i < 4; ++i) {
            timeFrame(slowestAfter);
        }
    }
    state.counters["tick_ms"] = takingTick;
    state.counters["taking_ms"] = takingFrame;
    state.counters["after_ms"] = slowestAfter;
    state.counters["over_20ms"] = overBudget;
    engine.forgetRoot();
    hooks.destroy();
}
} // namespace

BENCHMARK(BM_MainMenuFrame50Items)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NetworkWizardFramesWith1MiBReplyLine)->Unit(benchmark::kMillisecond);

// A level played headless on the fixed step: the load (stream to first drawn frame), then 600 steps with
// the CPU time of the level's tick and of the submission of its drawing measured apart. The level is the
// largest level file of the level archive, or, without level files, a level built in code with its
// starter content. Counters: milliseconds per frame for tick and render; the load in milliseconds, to the
// first drawn frame and for the replay of the stream alone. Then 300 steps more with rain at full
// intensity, and 300 with the statistics table open over the level.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <ctime>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "engine/files/FileBlock.h"
#include "engine/files/FileManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/Packet.h"
#include "engine/render/KivGraphics.h"
#include "game/front/ContextManager.h"
#include "game/front/MyGlobal.h"
#include "game/language/Language.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/LevelBuilder.h"
#include "game/level/GameServer.h"
#include "game/level/MyRootObject.h"
#include "game/overlays/OverlayStatistics.h"
#include "game/effects/RainEmitter.h"
#include "engine/net/NetRole.h"
#include "game/userdata/ProfileData.h"
#include "support/GameData.h"
#include "support/KivHarness.h"

namespace {
using Clock = std::chrono::steady_clock;

std::string programFolder()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    const std::string text(path, n > 0 ? static_cast<std::size_t>(n) : 0);
    return text.substr(0, text.find_last_of('/'));
}

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The level with the largest file, or -1 when the archive holds none.
int largestLevel()
{
    FileManager& files = *Kiv::instance()->fileManager;
    int best = -1;
    std::size_t bestSize = 0;
    for (int level = 0; level < ProfileData::NUMLEVELS; ++level) {
        const UString name = ProfileData::levelNumberToFile(level);
        if (!files.exists(name)) {
            continue;
        }
        FileBlock block(0, name);
        if (block.size() > bestSize) {
            bestSize = block.size();
            best = level;
        }
    }
    return best;
}

struct FrameTimes {
    double tickMs = 0.0;   // per frame
    double renderMs = 0.0; // per frame
    double cpuMs = 0.0;    // per frame: the main thread's CPU time for tick and drawing
};

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1.0e6;
}

// Runs fixed steps of 0.01 s, each ticked and drawn, and answers the CPU time per frame.
FrameTimes runSteps(KivHarness& harness, ContextLevelManager& manager, int steps)
{
    Kiv& kiv = harness.kiv();
    KivGraphics& graphics = *KivGraphics::instance();
    FrameTimes times;
    const double cpuStart = threadCpuMs();
    for (int step = 0; step < steps; ++step) {
        kiv.time += 0.01;
        kiv.currentContext = &manager;
        const auto tickStart = Clock::now();
        manager.tick(kiv.time, 0.01);
        times.tickMs += msSince(tickStart);
        graphics.beginScene();
        const auto renderStart = Clock::now();
        manager.render();
        times.renderMs += msSince(renderStart);
        graphics.endScene();
        graphics.present();
    }
    graphics.getDevice().finish();
    times.cpuMs = (threadCpuMs() - cpuStart) / steps;
    times.tickMs /= steps;
    times.renderMs /= steps;
    return times;
}

// The engine with the game's data, made once for every benchmark of the program.
struct BenchGame {
    KivHarness* harness = nullptr;
    MyGlobal* global = nullptr;

    BenchGame()
    {
        Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine);
        harness = new KivHarness();
        harness->kiv().language->setLanguage(0);
        global = new MyGlobal();
        Global::setInstance(global);
        global->contextManager = new ContextManager();
        GameData::load(*harness, programFolder());
        global->profiles.addProfile(u"Bench");
    }
};

// The resources live until the program ends, as in the game.
BenchGame& benchGame()
{
    static BenchGame* game = new BenchGame();
    return *game;
}

void BM_LevelPlay600Steps(benchmark::State& state)
{
    KivHarness& harness = *benchGame().harness;
    MyGlobal* global = benchGame().global;
    const int level = largestLevel();
    KivGraphics& graphics = *KivGraphics::instance();

    for (auto _ : state) {
        global->profiles.getCurrentProfile().currentLevel = level >= 0 ? level : 4;
        const auto loadStart = Clock::now();
        std::unique_ptr<ContextLevelManager> manager;
        if (level >= 0) {
            manager = std::make_unique<ContextLevelManager>(level);
        } else {
            Packet stream(Packet::FLAG_COMMANDS);
            {
                LevelBuilder builder;
                stream = builder.stream();
            }
            manager = std::make_unique<ContextLevelManager>(stream);
        }
        const double replayMs = msSince(loadStart);
        harness.frame(manager.get());
        graphics.getDevice().finish(); // the first frame drawn, not only sent
        const double loadMs = msSince(loadStart);

        Kiv& kiv = harness.kiv();
        double tickMs = 0.0;
        double renderMs = 0.0;
        for (int step = 0; step < 600; ++step) {
            kiv.time += 0.01;
            kiv.currentContext = manager.get();
            const auto tickStart = Clock::now();
            manager->tick(kiv.time, 0.01);
            tickMs += msSince(tickStart);
            graphics.beginScene();
            const auto renderStart = Clock::now();
            manager->render();
            renderMs += msSince(renderStart);
            graphics.endScene();
            graphics.present();
        }

        // The same level with rain at full intensity: first playing, then paused under the statistics
        // table (the frozen level, its weather and hills drawn behind the overlay).
        GameController* controller = manager->getGameController();
        THEROLE = manager->server;
        if (controller->weatherList != nullptr && controller->weatherList->getFirstChild() == nullptr) {
            controller->weatherList->appendChild(new RainEmitter(controller->getGameCamera(), 1.0f, 1.0f));
        }
        const FrameTimes weather = runSteps(harness, *manager, 300);
        THEROLE = manager->server;
        auto* overlay = new OverlayStatistics();
        THEROLE->registerObject(overlay, 0);
        overlay->construct();
        overlay->netCallPostReplicate();
        overlay->netCallPostReplicateGlobal();
        manager->getRoot()->openOverlay(overlay);
        const FrameTimes paused = runSteps(harness, *manager, 300);
        state.counters["weather_tick_ms_per_frame"] = weather.tickMs;
        state.counters["weather_render_ms_per_frame"] = weather.renderMs;
        state.counters["overlay_tick_ms_per_frame"] = paused.tickMs;
        state.counters["overlay_render_ms_per_frame"] = paused.renderMs;
        state.counters["weather_cpu_ms_per_frame"] = weather.cpuMs;
        state.counters["overlay_cpu_ms_per_frame"] = paused.cpuMs;
        state.counters["overlay_open"] = manager->getRoot()->contextOverlay != nullptr ? 1 : 0;
        state.counters["level"] = level;
        state.counters["state"] = manager->getGameController()->state;
        state.counters["load_ms"] = loadMs;
        state.counters["replay_ms"] = replayMs;
        state.counters["tick_ms_per_frame"] = tickMs / 600.0;
        state.counters["render_ms_per_frame"] = renderMs / 600.0;
        manager.reset();
        THEROLE = nullptr;
    }
}
BENCHMARK(BM_LevelPlay600Steps)->Iterations(1)->Unit(benchmark::kMillisecond);

// Each level from its file to its first drawn frame; the counter is the best of the runs.
void BM_LevelLoad(benchmark::State& state)
{
    KivHarness& harness = *benchGame().harness;
    const int level = static_cast<int>(state.range(0));
    if (!Kiv::instance()->fileManager->exists(ProfileData::levelNumberToFile(level))) {
        state.SkipWithError("no level file");
        return;
    }
    double best = 1.0e9;
    for (auto _ : state) {
        benchGame().global->profiles.getCurrentProfile().currentLevel = level;
        const auto loadStart = Clock::now();
        auto manager = std::make_unique<ContextLevelManager>(level);
        harness.frame(manager.get());
        KivGraphics::instance()->getDevice().finish();
        best = std::min(best, msSince(loadStart));
        manager.reset();
        THEROLE = nullptr;
    }
    state.counters["load_ms"] = best;
}
BENCHMARK(BM_LevelLoad)->DenseRange(0, ProfileData::NUMLEVELS - 1)->Iterations(5)->Unit(benchmark::kMillisecond);
} // namespace

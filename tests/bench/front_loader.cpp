// The start-up, headless: from the game object's creation (the main archive mounted, the loader pushed)
// through the loader's 225 steps to the main menu queued by the last step, frames run as the shell runs
// them. Counters: the whole start in ms, and the loader's frames. After the run the five slowest steps
// are printed with their mean time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/front/Loader.h"
#include "game/front/ShellHooks.h"
#include "game/language/Language.h"
#include "game/resources/ResourceCatalogue.h"
#include "support/KivHarness.h"

namespace {
using Clock = std::chrono::steady_clock;

std::string programFolder()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    std::string text(path, n > 0 ? static_cast<std::size_t>(n) : 0);
    return text.substr(0, text.find_last_of('/') + 1);
}

std::array<double, ResourceCatalogue::LOADER_STEP_COUNT + 1> stepSeconds{};
int runs = 0;

void BM_StartToMainMenu(benchmark::State& state)
{
    Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine);
    const std::string folder = programFolder();
    KivHarness harness(KivHarness::readFile(folder + ".cfg.static"), "[Kiv]\ndefaultLanguage=0\n");
    for (const char* archive : {"TobbleXmasdemo.dat", "TobbleXmasdemo.dat.language.v2", "TobbleXmasdemo.dat.levels",
                                "TobbleXmasdemo.dat.1252"}) {
        [[maybe_unused]] const int rc = symlink((folder + archive).c_str(), harness.dataFolder.file(archive).c_str());
    }
    const KivShell::GameHooks hooks = makeGameHooks();
    int frames = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        hooks.create();
        auto* loader = dynamic_cast<Loader*>(Global::instance()->contextManager->getLastChild());
        Clock::time_point stepStart;
        loader->stepObserver = [&stepStart](int step, bool starting) {
            if (starting) {
                stepStart = Clock::now();
            } else {
                stepSeconds[static_cast<std::size_t>(step)] += std::chrono::duration<double>(Clock::now() - stepStart).count();
            }
        };
        frames = 0;
        while (!loader->bClosed) {
            harness.frame(Global::instance()->contextManager);
            ++frames;
        }
        KivGraphics::instance()->getDevice().finish(); // the time includes the rendering
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        ++runs;
        state.PauseTiming();
        Kiv::instance()->forgetRoot();
        hooks.destroy();
        // A fresh engine for the next start: its resource names must be free again.
        harness.stop();
        harness.start();
        state.ResumeTiming();
    }
    state.counters["loaderFrames"] = frames;
    Kiv::setLanguageFactory(nullptr, nullptr);
}
BENCHMARK(BM_StartToMainMenu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

struct SlowestSteps {
    ~SlowestSteps()
    {
        if (runs == 0) {
            return;
        }
        std::vector<int> steps;
        for (int s = 1; s <= ResourceCatalogue::LOADER_STEP_COUNT; ++s) {
            steps.push_back(s);
        }
        std::sort(steps.begin(), steps.end(), [](int a, int b) { return stepSeconds[a] > stepSeconds[b]; });
        double total = 0.0;
        for (double s : stepSeconds) {
            total += s;
        }
        std::fprintf(stderr, "Loader steps: %.1f ms per start in the steps; slowest five:\n", 1000.0 * total / runs);
        for (int i = 0; i < 5; ++i) {
            std::fprintf(stderr, "  step %3d: %6.2f ms\n", steps[static_cast<std::size_t>(i)],
                         1000.0 * stepSeconds[static_cast<std::size_t>(steps[static_cast<std::size_t>(i)])] / runs);
        }
    }
} slowestSteps;
} // namespace

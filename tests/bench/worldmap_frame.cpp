// One frame of the world map (its tick and its drawing submitted to the device, without the present)
// with all 32 levels on the map and the road drawn to the last one: at rest, and while the road grows
// (the ribbon is laid anew every frame). Runs the real game over the built archives.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "game/front/ContextManager.h"
#include "game/front/MyGlobal.h"
#include "game/language/Language.h"
#include "game/userdata/ProfileData.h"
#include "game/worldmap/ContextValley.h"
#include "game/worldmap/ValleyDashedLine.h"
#include "game/worldmap/ValleyLevelIcon.h"
#include "support/GameData.h"
#include "support/KivHarness.h"


namespace {

struct Game {
    Game()
    {
        Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine);
        harness = std::make_unique<KivHarness>();
        global = GameData::startThroughLoader(*harness, TOBBLE_RUNTIME_DIR);
        global->profiles.addProfile(u"Bench");
        ProfileData& p = global->profiles.getCurrentProfile();
        for (int i = 0; i < ProfileData::NUMLEVELS; ++i) {
            p.levelStats[i].available = 1;
            p.levelStats[i].completed = 1;
            p.levelStats[i].totalPoints = (i * 97) % 1001;
            p.levelStats[i].fullMarks[LevelStats::FULL_PERFECT] = i % 3 == 0 ? 1 : 0;
        }
        p.currentLevel = 31;
        valley = new ContextValley();
        global->contextManager->addContext(valley);
        for (int i = 0; i < 400; ++i) {
            harness->frame(global->contextManager);
        }
    }

    void frame(double dt)
    {
        KivGraphics* graphics = KivGraphics::instance();
        valley->tickEntry(valley->time + dt, dt);
        graphics->beginScene();
        valley->renderEntry();
        graphics->endScene();
    }

    std::unique_ptr<KivHarness> harness;
    MyGlobal* global = nullptr;
    ContextValley* valley = nullptr;
};

Game& game()
{
    static Game g;
    return g;
}

void BM_WorldMapFrameAtRest(benchmark::State& state)
{
    Game& g = game();
    GLDevice& device = KivGraphics::instance()->getDevice();
    for (auto _ : state) {
        device.resetStats();
        g.frame(0.01);
    }
    state.counters["drawCalls"] = device.stats().drawCalls;
    state.counters["vertices"] = device.stats().verticesSent;
}
BENCHMARK(BM_WorldMapFrameAtRest)->Unit(benchmark::kMicrosecond);

void BM_WorldMapFrameRoadGrowing(benchmark::State& state)
{
    Game& g = game();
    const float full = g.valley->getIcon(31)->arcLength;
    for (auto _ : state) {
        state.PauseTiming();
        g.valley->pathReveal.setValue(full * 0.5f);
        g.valley->pathReveal.setTarget(full);
        state.ResumeTiming();
        g.frame(0.01);
    }
}
BENCHMARK(BM_WorldMapFrameRoadGrowing)->Unit(benchmark::kMicrosecond);

// Laying the whole road anew, as every frame does while it grows.
void BM_WorldMapRoadRebuild(benchmark::State& state)
{
    Game& g = game();
    const float full = g.valley->getIcon(31)->arcLength;
    for (auto _ : state) {
        g.valley->dashedLine->rebuild(g.valley->path, full);
    }
}
BENCHMARK(BM_WorldMapRoadRebuild)->Unit(benchmark::kMicrosecond);

// The parts of a frame at rest: the game's tick alone, and the drawing alone.
void BM_WorldMapTickOnly(benchmark::State& state)
{
    Game& g = game();
    for (auto _ : state) {
        g.valley->tickEntry(g.valley->time + 0.01, 0.01);
    }
}
BENCHMARK(BM_WorldMapTickOnly)->Unit(benchmark::kMicrosecond);

void BM_WorldMapRenderOnly(benchmark::State& state)
{
    Game& g = game();
    KivGraphics* graphics = KivGraphics::instance();
    for (auto _ : state) {
        graphics->beginScene();
        g.valley->renderEntry();
        graphics->endScene();
    }
}
BENCHMARK(BM_WorldMapRenderOnly)->Unit(benchmark::kMicrosecond);

} // namespace

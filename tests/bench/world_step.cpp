// One level step of a large level: the physics (one fixed step per tick at 60 ticks a second) and the
// ticks of every world object in the game layer's lists, with the pig running and jumping. Reports the
// time per step and the heap allocations per step once the level runs.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>

#include "engine/core/ErrorManager.h"
#include "engine/core/KivRandom.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetConnection.h"
#include "engine/render/ContextBlender.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/LevelBuilder.h"
#include "game/level/LevelWorld.h"
#include "game/world/Apple.h"
#include "game/world/BasketC.h"
#include "game/world/Cargo.h"
#include "game/world/DangerArea.h"
#include "game/world/Ladder.h"
#include "game/world/PhysicsWorld.h"
#include "game/world/Pig.h"
#include "game/world/SecretArea.h"
#include "game/world/Sweet.h"
#include "game/world/Switch.h"
#include "game/world/Terrain.h"
#include "game/world/Telescope.h"
#include "LevelFixture.h"

namespace {
std::atomic<uint64_t> allocations{0};
} // namespace

void* operator new(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size != 0 ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {
constexpr double STEP = 1.0 / 60.0;

template <class T>
T* place(LevelBuilder& builder, float x, float y)
{
    auto* object = new T();
    builder.add(object->getHomeList(), object);
    object->construct();
    object->position = V3{x, y, 0.0f};
    return object;
}

// As large as the biggest levels: a 16,000-unit hilly terrain, 60 apples, 12 crates, 3 baskets, 30
// sweets, 8 danger areas, 4 secrets, 6 ladders, 10 switches and 10 telescopes.
void largeLevel(LevelBuilder& builder)
{
    GameController& gc = builder.controller();
    gc.playingArea.left = -8000.0f;
    gc.playingArea.right = 8000.0f;
    gc.playingArea.top = 3000.0f;
    gc.playingArea.bottom = -600.0f;
    gc.applesNeeded = 40;
    auto* hills = new Terrain();
    builder.add(hills->getHomeList(), hills);
    hills->construct(64, 250);
    for (std::size_t i = 0; i < hills->heights.size(); ++i) {
        hills->heights[i] = 120.0f * std::sin(static_cast<float>(i) * 0.21f) + 40.0f * std::sin(static_cast<float>(i) * 1.3f);
    }
    hills->position = V3{0.0f, -200.0f, 0.0f};
    for (int i = 0; i < 60; ++i) {
        place<Apple>(builder, -7000.0f + 230.0f * static_cast<float>(i), 200.0f)->bSuperApple = i % 7 == 0;
    }
    for (int i = 0; i < 12; ++i) {
        place<Cargo>(builder, -6500.0f + 1100.0f * static_cast<float>(i), 150.0f);
    }
    for (int i = 0; i < 3; ++i) {
        place<BasketC>(builder, -3000.0f + 3000.0f * static_cast<float>(i), 150.0f);
    }
    for (int i = 0; i < 30; ++i) {
        place<Sweet>(builder, -7500.0f + 500.0f * static_cast<float>(i), 300.0f);
    }
    for (int i = 0; i < 8; ++i) {
        place<DangerArea>(builder, -6000.0f + 1600.0f * static_cast<float>(i), -150.0f)->triggerRadius = 80.0f;
    }
    for (int i = 0; i < 4; ++i) {
        place<SecretArea>(builder, -5000.0f + 3000.0f * static_cast<float>(i), 500.0f);
    }
    for (int i = 0; i < 6; ++i) {
        place<Ladder>(builder, -4500.0f + 1700.0f * static_cast<float>(i), 100.0f);
    }
    for (int i = 0; i < 10; ++i) {
        place<Switch>(builder, -7200.0f + 1500.0f * static_cast<float>(i), 100.0f);
        place<Telescope>(builder, -7100.0f + 1500.0f * static_cast<float>(i), 100.0f);
    }
}

struct Level {
    Level()
    {
        KivRandom::setSeed(1);
        LevelBuilder builder;
        largeLevel(builder);
        Packet stream = builder.stream();
        server = std::make_unique<GameServer>(2, 4, u"TobbleXmasdemo", 1.25, u"");
        server->connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
        server->bOwnsConnection = true;
        // Loaded as the editor would, then played: the level needs no pictures for its start.
        server->bEditing = true;
        server->start(&stream);
        THEROLE = server.get();
        server->bEditing = false;
        gc = static_cast<GameController*>(GameController::getCurrent());
        LevelWorld::createBoundary(*gc);
        gc->levelStats.requiredApples = gc->applesNeeded;
        gc->gotoState(GameController::STATE_PLAYING, 0.0);
        pig = static_cast<Pig*>(gc->findHero());
        pig->setInputOverride(&input);
    }
    ~Level()
    {
        THEROLE = server.get();
        server.reset();
        THEROLE = nullptr;
    }
    void step(int n)
    {
        input.right = (n / 300) % 2 == 0;
        input.left = !input.right;
        input.jumpPressed = n % 50 == 0;
        clock += STEP;
        THEROLE = server.get();
        // The controller's step 10 without its layers: the physics, then the game layer with the lists.
        if (gc->physics != nullptr) {
            gc->physics->step(STEP);
        }
        gc->contextGame->tickEntry(clock, STEP);
    }

    std::unique_ptr<GameServer> server;
    GameController* gc = nullptr;
    Pig* pig = nullptr;
    PigInput input;
    double clock = 0.0;
};

void BM_WorldStep(benchmark::State& state)
{
    LevelEnvironment::get();
    Level level;
    int n = 0;
    // The first ticks make the bodies; the level runs from then on.
    for (; n < 120; ++n) {
        level.step(n);
    }
    const uint64_t before = allocations.load();
    int64_t steps = 0;
    for (auto _ : state) {
        level.step(n++);
        ++steps;
    }
    const uint64_t made = allocations.load() - before;
    state.counters["allocs_per_step"] = static_cast<double>(made) / static_cast<double>(steps);
    state.counters["bodies"] = level.gc->physics != nullptr ? level.gc->physics->bodyCount() : 0;
}
BENCHMARK(BM_WorldStep)->Iterations(1000)->Unit(benchmark::kMillisecond);
} // namespace

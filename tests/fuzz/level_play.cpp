// Plays arbitrary bytes as a level the user saved: the level manager reads, checks and sets it up as the
// game does, and a level that cannot be used is refused with its reason. A level that is played runs five
// seconds of play at the physics step with the pig walking right and jumping now and then (its controls are
// set directly, as the pig tests set them). What the level gives the physics must be within what the
// physics takes: every ten steps each shape the physics holds is checked to lie within reach, so a value
// beyond it is found once its body is made, not only when something happens to touch it (the physics' own
// assertions end the process then). Neither the refusal nor the play may reach the fatal path, crash or leak.
//
// The seeds are levels of the game saved with the editor's Ctrl+S (a1xmas and d1); the pictures they name
// stand in as empty frames (MissingResources.h). Besides libFuzzer's own changes the target makes numbers of
// the level extreme (LLVMFuzzerCustomMutator).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <vector>

#include <box2d/box2d.h>

#include "engine/core/ErrorManager.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/world/A99Object.h"
#include "game/world/LevelDataCheck.h"
#include "game/world/PhysicsWorld.h"
#include "game/world/Pig.h"
#include "tests/fuzz/MissingResources.h"

namespace {
constexpr double STEP = 1.0 / 60.0;
constexpr int PLAY_STEPS = 300;
constexpr int JUMP_EVERY = 45;
constexpr int CHECK_EVERY = 10;
// How far from the origin anything the physics holds may reach (metres): far beyond what a level within
// the checked limits makes (a hull point relative to an object at the limit, the largest body), far short
// of where the physics' arithmetic overflows.
constexpr float REACH = 16.0f * LevelDataCheck::MAX_COORDINATE / PhysicsWorld::UNITS_PER_METRE;

bool within(const b2AABB& box)
{
    const auto near = [](float v) { return std::isfinite(v) && std::fabs(v) <= REACH; };
    return near(box.lowerBound.x) && near(box.lowerBound.y) && near(box.upperBound.x) && near(box.upperBound.y);
}

// Every body and every part of its shapes lies within REACH; a level that gave the physics more than it
// takes ends the process here, whether or not a body touched it yet.
void checkPhysics(PhysicsWorld& physics)
{
    for (b2Body* body = physics.world().GetBodyList(); body != nullptr; body = body->GetNext()) {
        for (const b2Fixture* f = body->GetFixtureList(); f != nullptr; f = f->GetNext()) {
            for (int32 child = 0; child < f->GetShape()->GetChildCount(); ++child) {
                b2AABB box;
                f->GetShape()->ComputeAABB(&box, body->GetTransform(), child);
                if (!within(box)) {
                    const auto* owner = reinterpret_cast<const A99Object*>(body->GetUserData().pointer);
                    std::fprintf(stderr, "Object %d gave the physics a shape beyond its reach (%g, %g to %g, %g).\n",
                                 owner != nullptr ? owner->objectUID : 0, box.lowerBound.x, box.lowerBound.y,
                                 box.upperBound.x, box.upperBound.y);
                    std::abort();
                }
            }
        }
    }
}

// Ticks the level's controller in play, as the world tests do, with the pig's controls held.
void play(ContextLevelManager& manager, GameController& level)
{
    THEROLE = manager.server;
    level.gotoState(GameController::STATE_PLAYING, 0.0);
    auto* pig = dynamic_cast<Pig*>(level.findHeroOrNull());
    if (pig == nullptr) {
        return;
    }
    PigInput input;
    input.right = true;
    pig->setInputOverride(&input);
    double clock = 0.0;
    for (int step = 0; step < PLAY_STEPS && manager.server->levelResultCode == 0; ++step) {
        input.jumpPressed = step % JUMP_EVERY == 0;
        clock += STEP;
        THEROLE = manager.server;
        level.tickEntry(clock, STEP);
        if (step % CHECK_EVERY == 0 && level.physics != nullptr) {
            checkPhysics(*level.physics);
        }
    }
    // The pig may have gone with a list the level emptied; the override is only read by a live pig.
    if (dynamic_cast<Pig*>(level.findHeroOrNull()) == pig) {
        pig->setInputOverride(nullptr);
    }
}
} // namespace

// libFuzzer's own change of the input.
extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

// A level stores its numbers as raw floats, and the values that the physics cannot take are rarely reached by
// changing bytes at random: now and then, instead of libFuzzer's own change, one number of the level that
// looks like a coordinate, a size or a speed is made one of a few extreme values.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed)
{
    std::minstd_rand random(seed);
    if (size < sizeof(float) || random() % 3 != 0) {
        return LLVMFuzzerMutate(data, size, maxSize);
    }
    std::vector<std::size_t> numbers;
    for (std::size_t at = 0; at + sizeof(float) <= size; ++at) {
        float value = 0.0f;
        std::memcpy(&value, data + at, sizeof value);
        if (std::fabs(value) >= 0.5f && std::fabs(value) <= LevelDataCheck::MAX_COORDINATE) {
            numbers.push_back(at);
        }
    }
    if (numbers.empty()) {
        return LLVMFuzzerMutate(data, size, maxSize);
    }
    const float limit = LevelDataCheck::MAX_COORDINATE;
    const float extremes[] = {2.49e22f, -1.0e30f, 3.0e38f, std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN(), limit, -limit, 2.0f * limit};
    const float value = extremes[random() % std::size(extremes)];
    std::memcpy(data + numbers[random() % numbers.size()], &value, sizeof value);
    return size;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ErrorManager::setThrowForTests(true);
    ensureEmptyResourceManager();
    ensureLevelStandIns();
    try {
        Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED | Packet::FLAG_PEER, 0);
        stream.setReadData(data, size);
        ContextLevelManager manager(stream);
        if (GameController* level = manager.getGameController()) {
            play(manager, *level);
        }
        THEROLE = manager.server;
    } catch (const FatalError& error) {
        if (!isMissingResource(error)) {
            std::fprintf(stderr, "A level the user saved reached the fatal path:\n%s\n", error.what());
            std::abort();
        }
    }
    THEROLE = nullptr;
    return 0;
}

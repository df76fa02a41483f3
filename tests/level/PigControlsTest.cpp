// The pig answers the player's controls through the running level: a jump press is not lost when the
// frames come faster than the physics steps, and by touch a tap on the pig at its door takes it home.
#include <algorithm>
#include <string>

#include "LevelFixture.h"

#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/LevelBuilder.h"
#include "game/world/PhysicsWorld.h"
#include "game/world/Pig.h"

namespace {
constexpr int SPACE = 57;
constexpr int PLAYING = 4;
} // namespace

TEST_F(LevelTest, EveryJumpPressJumpsAtAnyFrameOfThePhysicsStep)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(PLAYING));
    auto* pig = dynamic_cast<Pig*>(level().findHero());
    ASSERT_NE(pig, nullptr);
    // A frame is 0.01 s and a physics step 1/60 s: some frames run no step. A press in the frame before
    // such a frame used to be dropped, so presses at six successive frame offsets must all jump.
    for (int offset = 0; offset < 6; ++offset) {
        ASSERT_TRUE(runUntil([&] { return pig->moveState == Pig::MOVE_GROUND; }, 300));
        frames(30 + offset);
        const float ground = pig->position.y;
        pressKey(SPACE);
        frames(1);
        releaseKey(SPACE);
        float top = ground;
        for (int i = 0; i < 40; ++i) {
            frames(1);
            top = std::max(top, pig->position.y);
        }
        EXPECT_GT(top - ground, 0.8f * Pig::JUMP_HEIGHT * PhysicsWorld::UNITS_PER_METRE) << "press at offset " << offset;
    }
}

TEST_F(LevelTest, ATapOnThePigAtItsDoorTakesItHome)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(PLAYING));
    GameController& gc = level();
    auto* pig = dynamic_cast<Pig*>(gc.findHero());
    auto* house = dynamic_cast<Renderable*>(gc.findHouse());
    ASSERT_NE(pig, nullptr);
    ASSERT_NE(house, nullptr);
    pig->placeAt(V3(house->position.x + 20.0f, Pig::RADIUS + 40.0f, 0.0f));
    ASSERT_TRUE(runUntil([&] { return pig->moveState == Pig::MOVE_GROUND; }, 300));
    frames(60); // the camera settles on the pig

    // A tap away from the pig does nothing; a tap on it goes in.
    const KivGraphics* g = KivGraphics::instance();
    const float w = static_cast<float>(g->width), h = static_cast<float>(g->height);
    float sx = 0.0f, sy = 0.0f;
    gc.contextGame->camera->worldToScreen(pig->position, w, h, sx, sy);
    fingerDown(sx + 200.0f, h - sy + 150.0f);
    frames(1);
    fingerUp();
    frames(5);
    EXPECT_EQ(pig->moveState, Pig::MOVE_GROUND);
    gc.contextGame->camera->worldToScreen(pig->position, w, h, sx, sy);
    fingerDown(sx, h - sy);
    frames(1);
    fingerUp();
    frames(5);
    EXPECT_EQ(pig->moveState, Pig::MOVE_HOME);
}

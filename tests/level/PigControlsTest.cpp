// The pig answers the player's controls through the running level: a jump press is not lost when the
// frames come faster than the physics steps, at its door the action key takes it home whatever else lies
// within reach, and by touch a tap on the pig at its door takes it home.
#include <algorithm>
#include <string>
#include <vector>

#include "LevelFixture.h"

#include "engine/render/Camera.h"
#include "engine/net/KivNetwork.h"
#include "engine/render/KivGraphics.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/LevelBuilder.h"
#include "game/world/BasketA.h"
#include "game/world/House.h"
#include "game/world/PhysicsWorld.h"
#include "game/world/Pig.h"

namespace {
constexpr int SPACE = 57;
constexpr int X = 45;
constexpr int LEFT = 203;
constexpr int RIGHT = 205;
} // namespace

TEST_F(LevelTest, EveryJumpPressJumpsAtAnyFrameOfThePhysicsStep)
{
    Pig* pig = playToPig();
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

// The pig picks up a basket, pushes the apple ahead of it to its door with the piglets behind and goes in
// there with the action key: the basket on its head, which answers the key before the pig's own action
// elsewhere, no longer takes it. The basket goes in and comes out with the pig.
TEST_F(LevelTest, AtItsDoorTheActionKeyTakesThePigHomeWithWhatItCarries)
{
    LevelBuilder builder;
    auto* basket = new BasketA();
    builder.add(basket->getHomeList(), basket);
    basket->construct();
    basket->position = V3(-200.0f, 60.0f, 0.0f);
    play(builder);
    ASSERT_TRUE(runToState(4));
    Pig* pig = dynamic_cast<Pig*>(level().findHero());
    auto* house = dynamic_cast<House*>(level().findHouse());
    ASSERT_NE(pig, nullptr);
    ASSERT_NE(house, nullptr);
    ASSERT_TRUE(runUntil([&] { return pig->moveState == Pig::MOVE_GROUND; }, 300));
    auto use = [&] {
        pressKey(X);
        frames(1);
        releaseKey(X);
        frames(5);
    };
    use();
    ASSERT_NE(pig->pCarried, nullptr) << "the basket within reach was not picked up";
    Cargo* carried = pig->pCarried;

    pressKey(RIGHT);
    ASSERT_TRUE(runUntil([&] { return pig->position.x > house->position.x - 40.0f; }, 1000));
    releaseKey(RIGHT);
    frames(30);
    ASSERT_TRUE(house->isAtDoor(pig->position));
    EXPECT_EQ(level().levelStats.requiredApplesGot, 1) << "the apple was not pushed home";
    EXPECT_NE(level().pigletList->getFirstChild(), nullptr);
    use();
    EXPECT_EQ(pig->moveState, Pig::MOVE_HOME);
    EXPECT_EQ(pig->pCarried, carried);
    EXPECT_TRUE(carried->bHidden);

    pressKey(LEFT);
    frames(1);
    releaseKey(LEFT);
    frames(30);
    EXPECT_EQ(pig->moveState, Pig::MOVE_GROUND);
    EXPECT_EQ(pig->pCarried, carried);
    EXPECT_FALSE(carried->bHidden);
    // Its touch begins anew as the pig comes out; however hard the physics reports it, the pig stays up.
    NetRole* const outside = THEROLE;
    THEROLE = manager->server;
    pig->onContact(*carried, PhysicsWorld::Contact{pig, carried, 0.0f, -1.0f, 2.0f * Pig::FAINT_LANDING}, true);
    THEROLE = outside;
    EXPECT_FALSE(pig->isFainted());
}

TEST_F(LevelTest, ATapOnThePigAtItsDoorTakesItHome)
{
    Pig* pig = playToPig();
    GameController& gc = level();
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

// A press counts on the pig where it is drawn: the middle of its pink pixels is measured on the screen,
// then the pig stands at its door (behind the house) and is pressed at points above that middle.
TEST_F(LevelTest, APressCountsOnThePigWhereItIsDrawn)
{
    Pig* pig = playToPig();
    GameController& gc = level();
    auto* house = dynamic_cast<Renderable*>(gc.findHouse());
    ASSERT_NE(pig, nullptr);
    ASSERT_NE(house, nullptr);
    ASSERT_TRUE(runUntil([&] { return pig->moveState == Pig::MOVE_GROUND; }, 300));
    frames(60);
    const KivGraphics* g = KivGraphics::instance();
    const float w = static_cast<float>(g->width), h = static_cast<float>(g->height);
    const Camera& camera = *gc.contextGame->camera;
    float sx = 0.0f, sy = 0.0f, upX = 0.0f, upY = 0.0f;
    camera.worldToScreen(pig->position, w, h, sx, sy);
    camera.worldToScreen(pig->position + V3(0.0f, 100.0f, 0.0f), w, h, upX, upY);
    const float unitsPerPixel = 100.0f / (sy - upY);
    int sw = 0, sh = 0;
    const std::vector<std::uint32_t> screen = KivGraphics::instance()->readScreen(sw, sh);
    int top = -1, bottom = -1;
    for (int y = std::max(0, static_cast<int>(sy) - 120); y < std::min(sh, static_cast<int>(sy) + 60); ++y) {
        for (int x = std::max(0, static_cast<int>(sx) - 15); x <= std::min(sw - 1, static_cast<int>(sx) + 15); ++x) {
            const UColor c(screen[static_cast<std::size_t>(y) * static_cast<std::size_t>(sw) + static_cast<std::size_t>(x)]);
            if (c.r() > 200 && c.g() > 120 && c.b() > 140 && c.r() > c.g() + 30) {
                top = top < 0 ? y : top;
                bottom = y;
                break;
            }
        }
    }
    ASSERT_GE(top, 0) << "no pig drawn at its position";
    const float middle = (sy - 0.5f * static_cast<float>(top + bottom)) * unitsPerPixel;

    pig->placeAt(V3(house->position.x + 20.0f, Pig::RADIUS + 40.0f, 0.0f));
    ASSERT_TRUE(runUntil([&] { return pig->moveState == Pig::MOVE_GROUND; }, 300));
    frames(60);
    auto press = [&](float above) {
        camera.worldToScreen(pig->position + V3(0.0f, middle + above, 0.0f), w, h, sx, sy);
        fingerDown(sx, h - sy);
        frames(1);
        fingerUp();
        frames(5);
    };
    // Just out of reach above the drawn middle: nothing; just within it: the pig goes in.
    press(Pig::ACTION_RANGE + 8.0f);
    EXPECT_EQ(pig->moveState, Pig::MOVE_GROUND);
    press(Pig::ACTION_RANGE - 6.0f);
    EXPECT_EQ(pig->moveState, Pig::MOVE_HOME);
}

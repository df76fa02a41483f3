// The pig's movement and what it carries: walking speed, jump heights, the jump test in the air and its
// cheat, hard landings with and without the umbrella, piglets in line behind it.
#include "WorldFixture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <box2d/box2d.h>

#include "LevelFixture.h"
#include "game/level/LevelServices.h"
#include "game/userdata/GameConfiguration.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "game/world/Apple.h"
#include "game/world/Hull.h"
#include "game/world/Ladder.h"
#include "game/world/Piglet.h"
#include "game/world/Umbrella.h"
#include "game/world/WingedHat.h"

namespace {
constexpr float UNITS = PhysicsWorld::UNITS_PER_METRE;
} // namespace

class PigTest : public WorldTest {
protected:
    void start(LevelBuilder& builder)
    {
        load(builder);
        play();
        steps(30); // bodies made, the pig stands
        pig().setInputOverride(&input);
    }
    void TearDown() override
    {
        if (server != nullptr) {
            pig().setInputOverride(nullptr);
        }
        WorldTest::TearDown();
    }
    // The highest the pig gets within `count` steps, from where it stood.
    float jumpHeight(int count = 90)
    {
        const float ground = pig().position.y;
        input.jumpPressed = true;
        float top = ground;
        for (int i = 0; i < count; ++i) {
            steps(1);
            input.jumpPressed = false;
            top = std::max(top, pig().position.y);
        }
        return top - ground;
    }
    PigInput input;
};

TEST_F(PigTest, WalksAtItsSpeedAndJumpsItsHeight)
{
    LevelBuilder builder;
    flatLevel(builder);
    start(builder);
    const float x0 = pig().position.x;
    input.right = true;
    steps(60);
    EXPECT_NEAR(pig().position.x - x0, Pig::WALK_SPEED * UNITS, 0.1f * Pig::WALK_SPEED * UNITS);
    input.right = false;
    steps(5);
    const float standing = pig().position.x;
    steps(30);
    EXPECT_NEAR(pig().position.x, standing, 1.0f) << "it stops when the keys are let go";
    EXPECT_NEAR(jumpHeight(), Pig::JUMP_HEIGHT * UNITS, 0.08f * Pig::JUMP_HEIGHT * UNITS);
}

TEST_F(PigTest, JumpsOnlyFromTheGroundUnlessTheCheatIsOn)
{
    LevelBuilder builder;
    flatLevel(builder);
    start(builder);
    input.jumpPressed = true;
    steps(1);
    input.jumpPressed = false;
    steps(20); // well past the grace time, in the air
    ASSERT_EQ(pig().moveState, Pig::MOVE_AIR);
    const float rising = pig().velocity.y;
    // A press is latched by the pig's tick and acted on by the next physics step.
    input.jumpPressed = true;
    steps(1);
    input.jumpPressed = false;
    steps(1);
    EXPECT_LT(pig().velocity.y, rising) << "no jump in the air";

    // With cheats allowed, debug request 3 turns the second guarded counter on and marks the run.
    steps(120);
    LevelServices::configuration()->bAllowCheats = 1;
    gc().debugRequest = 3;
    steps(1);
    LevelServices::configuration()->bAllowCheats = 0;
    EXPECT_EQ(gc().secureCounter2.get(), 1);
    EXPECT_EQ(gc().secureCounter3.get(), 1);
    input.jumpPressed = true;
    steps(1);
    input.jumpPressed = false;
    steps(20);
    input.jumpPressed = true;
    steps(1);
    input.jumpPressed = false;
    steps(1);
    EXPECT_GT(pig().velocity.y, 0.5f * Pig::JUMP_HEIGHT * UNITS) << "a second jump in the air";
}

TEST_F(PigTest, TheWingedHatRaisesTheJump)
{
    LevelBuilder builder;
    flatLevel(builder);
    auto* hat = add<WingedHat>(builder, V3{-230.0f, 40.0f, 0.0f});
    start(builder);
    loaded<WingedHat>(hat)->use(&pig());
    ASSERT_EQ(pig().pCarried, loaded<WingedHat>(hat));
    steps(10);
    EXPECT_NEAR(jumpHeight(), Pig::HAT_JUMP * Pig::JUMP_HEIGHT * UNITS, 0.08f * Pig::HAT_JUMP * Pig::JUMP_HEIGHT * UNITS);
}

TEST_F(PigTest, AnAppleUnderfootRaisesTheJump)
{
    LevelBuilder builder;
    flatLevel(builder);
    auto* apple = add<Apple>(builder, V3{-600.0f, Apple::RADIUS, 0.0f});
    start(builder);
    // Dropped onto the apple's top, where it stands still.
    pig().placeAt(V3{-600.0f, 2.0f * Apple::RADIUS + Pig::RADIUS + 4.0f, 0.0f});
    steps(30);
    ASSERT_EQ(pig().moveState, Pig::MOVE_GROUND);
    ASSERT_NEAR(loaded<Apple>(apple)->position.x, -600.0f, 2.0f);
    ASSERT_NEAR(pig().position.y, 2.0f * Apple::RADIUS + Pig::RADIUS, 2.0f) << "on the apple, not beside it";
    EXPECT_NEAR(jumpHeight(), Pig::APPLE_JUMP * Pig::JUMP_HEIGHT * UNITS,
                0.08f * Pig::APPLE_JUMP * Pig::JUMP_HEIGHT * UNITS);
}

TEST_F(PigTest, AHardLandingFaintsThePigButNotUnderAnOpenUmbrella)
{
    LevelBuilder builder;
    flatLevel(builder);
    auto* umbrella = add<Umbrella>(builder, V3{-600.0f, 40.0f, 0.0f});
    start(builder);
    // From 16 m up it lands at about 28 m/s.
    auto drop = [&] {
        pig().placeAt(V3{pig().position.x, 16.0f * UNITS, 0.0f});
        float fastest = 0.0f;
        for (int i = 0; i < 180 && !pig().isFainted(); ++i) {
            steps(1);
            fastest = std::max(fastest, -pig().velocity.y / UNITS);
            if (pig().moveState == Pig::MOVE_GROUND) {
                break;
            }
        }
        return fastest;
    };
    EXPECT_GT(drop(), Pig::FAINT_LANDING);
    EXPECT_TRUE(pig().isFainted());
    EXPECT_EQ(gc().levelStats.livesLost, 1);
    steps(120);
    ASSERT_FALSE(pig().isFainted());

    auto* u = loaded<Umbrella>(umbrella);
    u->use(&pig());
    ASSERT_EQ(pig().pCarried, u);
    steps(5);
    EXPECT_LE(drop(), Umbrella::FALL_SPEED + 0.01f);
    EXPECT_FALSE(pig().isFainted());
    EXPECT_EQ(gc().levelStats.livesLost, 1);
}

TEST_F(PigTest, ByTouchATappedLadderIsClimbedToItsTop)
{
    LevelBuilder builder;
    flatLevel(builder);
    auto* ladder = add<Ladder>(builder, V3{-256.0f, 130.0f, 0.0f});
    ladder->triggerRadius = 32.0f;
    ladder->triggerHalfHeight = 130.0f;
    start(builder);
    KivInput* in = Kiv::instance()->input;
    const int mode = in->getInputMode();
    in->setInputMode(KivInput::INPUT_TOUCH);
    pig().use(&pig()); // what a tap on the pig at the ladder does
    ASSERT_EQ(pig().moveState, Pig::MOVE_CLIMBING);
    steps(3 * 60);
    EXPECT_EQ(pig().moveState, Pig::MOVE_CLIMBING) << "it holds on at the top";
    EXPECT_NEAR(pig().position.y, 260.0f, 4.0f);
    const float top = pig().position.y;
    steps(30);
    EXPECT_NEAR(pig().position.y, top, 0.5f);

    // By keys the pig climbs only while the up key is held.
    in->setInputMode(KivInput::INPUT_POINTER);
    input.right = true;
    steps(1);
    input.right = false;
    steps(120);
    pig().placeAt(V3{-256.0f, Pig::RADIUS, 0.0f});
    steps(30);
    pig().use(&pig());
    ASSERT_EQ(pig().moveState, Pig::MOVE_CLIMBING);
    const float foot = pig().position.y;
    steps(60);
    EXPECT_NEAR(pig().position.y, foot, 0.5f);
    in->setInputMode(mode);
}

namespace {
// The piglets by type, 2 to 4.
std::vector<Piglet*> pigletsOf(GameController& level)
{
    std::vector<Piglet*> piglets;
    for (KivBase* p = level.pigletList->getFirstChild(); p != nullptr; p = p->getNext()) {
        piglets.push_back(static_cast<Piglet*>(p));
    }
    std::sort(piglets.begin(), piglets.end(), [](Piglet* a, Piglet* b) { return a->type < b->type; });
    return piglets;
}
} // namespace

TEST_F(PigTest, PigletsFollowInLineAndGoHomeWithThePig)
{
    LevelBuilder builder;
    flatLevel(builder);
    start(builder);
    std::vector<Piglet*> piglets = pigletsOf(gc());
    ASSERT_EQ(piglets.size(), 3u);
    // Where a piglet stands behind the pig: -1 left of it, +1 right, 0 too close.
    auto sideOf = [&](const Piglet* p) {
        const float dx = p->position.x - pig().position.x;
        return std::fabs(dx) + 0.5f < p->gap() ? 0 : (dx < 0.0f ? -1 : 1);
    };
    auto inLine = [&](int side, const char* when) {
        float last = pig().position.x;
        for (Piglet* p : piglets) {
            EXPECT_EQ(sideOf(p), side) << when << ": piglet " << p->type << " at " << p->position.x << ", pig at "
                                       << pig().position.x;
            EXPECT_GT((last - p->position.x) * static_cast<float>(-side), 0.0f) << when << ": line order";
            last = p->position.x;
        }
    };
    // From the level start they stand behind the pig in line, not on it.
    inLine(-static_cast<int>(pig().facing()), "at the start");

    input.right = true;
    steps(60);
    inLine(-1, "walking right");
    for (Piglet* p : piglets) {
        EXPECT_EQ(p->position.x, pig().pathAt(Piglet::FOLLOW_DELAY * (p->type - 1)).position.x) << "on the pig's path";
    }
    input.right = false;
    steps(180);
    inLine(-1, "standing long after a walk");
    // A turn: they cross to its other side and line up behind it again.
    input.left = true;
    steps(90);
    inLine(1, "walking left");
    input.left = false;
    steps(60);
    inLine(1, "standing after the turn");
    // Walk to the door and go in: the piglets go in too.
    pig().body->SetTransform(b2Vec2(512.0f / UNITS, pig().position.y / UNITS), 0.0f);
    steps(2);
    pig().use(&pig());
    steps(1);
    EXPECT_TRUE(pig().isHome());
    for (KivBase* p = gc().pigletList->getFirstChild(); p != nullptr; p = p->getNext()) {
        EXPECT_TRUE(static_cast<Piglet*>(p)->bHome);
    }
    input.left = true;
    steps(1);
    EXPECT_FALSE(pig().isHome()) << "any move brings it out";
}

// A pig that jumps on its way and stands soon after landing: each piglet, once the line has come to rest,
// stands on the ground and not at a point of the jump.
TEST_F(PigTest, PigletsThatComeToRestStandOnTheGround)
{
    LevelBuilder builder;
    flatLevel(builder);
    start(builder);
    const float ground = pig().position.y;
    for (int after : {0, 6, 12}) {
        SCOPED_TRACE(after);
        input.right = true;
        steps(60);
        input.jumpPressed = true;
        steps(2);
        input.jumpPressed = false;
        for (int i = 0; i < 120 && pig().moveState != Pig::MOVE_GROUND; ++i) {
            steps(1);
        }
        steps(after);
        input.right = false;
        steps(90);
        for (Piglet* p : pigletsOf(gc())) {
            EXPECT_NEAR(p->position.y, ground, 1.0f) << "piglet " << p->type << " at " << p->position.x;
        }
    }
}

// The pig walks to a wall and turns back short of it, at several distances from it: the piglets, running past
// it to their places behind it, stop with all of their pictures clear of the wall.
TEST_F(PigTest, PigletsRunningPastAPigThatTurnedBackShortOfAWallStayClearOfIt)
{
    LevelBuilder builder;
    flatLevel(builder);
    constexpr float WALL = -1200.0f;
    auto* wall = add<A99Object>(builder, V3{WALL, 0.0f, 0.0f});
    wall->createHull();
    wall->pHull->addHullPoint(0.0f, -40.0f, 0.0f, true);
    wall->pHull->addHullPoint(0.0f, 600.0f, 0.0f, true);
    start(builder);
    const std::vector<Piglet*> piglets = pigletsOf(gc());
    for (float stop = 40.0f; stop < 300.0f; stop += 13.0f) {
        for (int back : {6, 20, 40}) {
            SCOPED_TRACE("stopped " + std::to_string(stop) + " short, back for " + std::to_string(back) + " steps");
            pig().placeAt(V3{WALL + stop + 400.0f, Pig::RADIUS, 0.0f});
            input.left = true;
            for (int i = 0; i < 300 && pig().position.x > WALL + stop; ++i) {
                steps(1);
            }
            input.left = false;
            input.right = true;
            steps(back);
            input.right = false;
            float worst = -1.0f;
            for (int i = 0; i < 90; ++i) {
                steps(1);
                for (const Piglet* p : piglets) {
                    worst = std::max(worst, WALL - (p->position.x - p->pictureHalfWidth()));
                }
            }
            EXPECT_LE(worst, 0.5f) << "a piglet's picture in the wall";
        }
    }
}

TEST_F(PigTest, TheWalkCycleRunsOnlyOnTheGroundAndTheEyesBlinkNowAndThen)
{
    LevelBuilder builder;
    flatLevel(builder);
    start(builder);
    // Standing: the legs stay still, and within six seconds the eye closes at least once, briefly.
    int shut = 0;
    for (int i = 0; i < 360; ++i) {
        steps(1);
        EXPECT_EQ(pig().getLook().walkFrame, 0);
        shut += pig().getLook().lid == 2 ? 1 : 0;
    }
    EXPECT_GT(shut, 0);
    EXPECT_LT(shut, 30);
    // Walking: every frame of the cycle shows.
    input.right = true;
    std::vector<int> seen(PigBody::WALK_FRAMES, 0);
    for (int i = 0; i < 60; ++i) {
        steps(1);
        ++seen[static_cast<std::size_t>(pig().getLook().walkFrame)];
    }
    for (int frame = 0; frame < PigBody::WALK_FRAMES; ++frame) {
        EXPECT_GT(seen[static_cast<std::size_t>(frame)], 0) << "frame " << frame;
    }
    // In the air the legs do not walk, and the mouth is open on the way up.
    input.jumpPressed = true;
    steps(2);
    input.jumpPressed = false;
    steps(3);
    ASSERT_EQ(pig().moveState, Pig::MOVE_AIR);
    EXPECT_EQ(pig().getLook().walkFrame, 0);
    EXPECT_NE(pig().getLook().mouth, 0);
}

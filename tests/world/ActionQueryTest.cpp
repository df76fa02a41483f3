// Which object the pig's action aims at: switches, telescopes and signs before cargo, cargo before the
// pig's own action, the nearer of equals, nothing beyond reach, and the carried cargo first among cargo.
#include "WorldFixture.h"

#include "game/world/Cargo.h"
#include "game/world/House.h"
#include "game/world/Switch.h"
#include "game/world/Telescope.h"
#include "game/level/TouchButton.h"
#include "engine/render/Camera.h"
#include "engine/render/ContextBlender.h"

namespace {
// The controller's search over its three lists, as a press of the action key makes it.
KivBase* target(GameController& level)
{
    level.actionTarget.set(nullptr);
    level.actionTargetPriority = 0;
    level.actionTargetDistance = GameController::NO_TARGET_DISTANCE;
    level.findActionTarget(level.objectList);
    level.findActionTarget(level.cargoList);
    level.findActionTarget(level.pigList);
    return level.actionTarget.get();
}
} // namespace

TEST_F(WorldTest, ActionQueryPrefersSwitchesThenCargoThenThePigsOwnAction)
{
    LevelBuilder builder;
    flatLevel(builder);
    auto* lever = add<Switch>(builder, V3{-200.0f, 28.0f, 0.0f});
    auto* nearCrate = add<Cargo>(builder, V3{-230.0f, 40.0f, 0.0f});
    auto* farCrate = add<Cargo>(builder, V3{-300.0f, 40.0f, 0.0f});
    auto* outOfReach = add<Telescope>(builder, V3{-256.0f + 97.0f + 2.0f, 28.0f, 0.0f});
    load(builder);
    play();
    steps(1);
    auto* s = loaded<Switch>(lever);
    auto* crate = loaded<Cargo>(nearCrate);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(target(gc()), s) << "priority 3 beats nearer cargo";

    s->bHidden = true;
    EXPECT_EQ(target(gc()), crate) << "of two cargos the nearer";

    crate->bHidden = true;
    EXPECT_EQ(target(gc()), loaded<Cargo>(farCrate));
    loaded<Cargo>(farCrate)->bHidden = true;
    EXPECT_EQ(target(gc()), nullptr) << "the telescope is out of reach and the pig is not at the door";
    (void)outOfReach;

    // At the door the pig offers its own action, and going in works through it.
    Pig& p = pig();
    p.position = gc().findHouse() != nullptr ? static_cast<House*>(gc().findHouse())->position : V3{};
    EXPECT_EQ(target(gc()), &p);
    p.use(&p);
    EXPECT_TRUE(p.isHome());
    EXPECT_TRUE(static_cast<House*>(gc().findHouse())->bPigAtHome);
}

TEST_F(WorldTest, CarriedCargoComesFirstAndUseDropsItBeforePickingUpAnother)
{
    LevelBuilder builder;
    flatLevel(builder);
    auto* first = add<Cargo>(builder, V3{-200.0f, 40.0f, 0.0f});
    auto* second = add<Cargo>(builder, V3{-300.0f, 40.0f, 0.0f});
    load(builder);
    play();
    steps(30);
    auto* a = loaded<Cargo>(first);
    auto* b = loaded<Cargo>(second);
    a->use(&pig());
    EXPECT_EQ(pig().pCarried, a);
    EXPECT_EQ(a->carriedBy, &pig());
    steps(10);
    EXPECT_GT(a->position.y, pig().position.y + Pig::RADIUS) << "carried on the head";
    EXPECT_EQ(target(gc()), a) << "distance 0 beats the nearer free cargo";
    EXPECT_EQ(gc().actionTargetDistance, 0.0f);
    // Using the other cargo puts the first one down first.
    b->use(&pig());
    EXPECT_EQ(pig().pCarried, b);
    EXPECT_EQ(a->carriedBy, nullptr);
    steps(60);
    EXPECT_LT(a->position.y, pig().position.y + Pig::RADIUS);
}

TEST_F(WorldTest, ATouchAimsAtTheObjectUnderIt)
{
    LevelBuilder builder;
    flatLevel(builder);
    auto* lever = add<Switch>(builder, V3{-100.0f, 28.0f, 0.0f});
    auto* crate = add<Cargo>(builder, V3{-400.0f, 40.0f, 0.0f});
    load(builder);
    play();
    steps(2);
    // The screen point (from the lower-left corner, at depth 0) that shows a world point.
    const Camera& cam = *gc().contextGame->camera;
    auto screenPointOf = [&](const V3& world) {
        const float d = cam.lookAt.z - cam.eye.z;
        const float k = (0.0f - cam.eye.z) / (static_cast<float>(HudTouch::screenWidth()) * 0.5f);
        return V3{(world.x - (cam.eye.x - d)) / k, (world.y - (cam.eye.y - d * cam.aspectFactor)) / k, 0.0f};
    };
    auto touchTarget = [&](const V3& world) {
        gc().actionTarget.set(nullptr);
        gc().actionTargetPriority = 0;
        gc().actionTargetDistance = GameController::NO_TARGET_DISTANCE;
        const V3 touch = screenPointOf(world);
        gc().findTouchTarget(gc().objectList, touch);
        gc().findTouchTarget(gc().cargoList, touch);
        gc().findTouchTarget(gc().pigList, touch);
        return gc().actionTarget.get();
    };
    auto* c = loaded<Cargo>(crate);
    auto* s = loaded<Switch>(lever);
    EXPECT_EQ(touchTarget(c->position), c) << "the switch is out of reach of the touch";
    EXPECT_EQ(touchTarget(s->position), s);
    EXPECT_EQ(touchTarget(V3{-250.0f, 600.0f, 0.0f}), nullptr) << "a touch on the sky aims at nothing";
}

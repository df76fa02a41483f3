// What the world objects count while a level is played: deliveries, sweets, secrets, lives and lost
// apples, each against the level's running statistics and its scoring.
#include "WorldFixture.h"

#include <box2d/box2d.h>

#include "game/world/Apple.h"
#include "game/world/BasketA.h"
#include "game/world/DangerArea.h"
#include "game/world/House.h"
#include "game/world/SecretArea.h"
#include "game/world/Sweet.h"
#include "engine/net/KivNetwork.h"

namespace {
// The house of the starter content stands at (512, 96) with a door radius of 96.
const V3 AT_DOOR{512.0f, 40.0f, 0.0f};
} // namespace

TEST_F(WorldTest, ApplesAtTheDoorFillTheRequirementFirstThenCountAsBonus)
{
    LevelBuilder builder;
    flatLevel(builder);
    add<Apple>(builder, AT_DOOR);
    add<Apple>(builder, V3{AT_DOOR.x + 30.0f, AT_DOOR.y, 0.0f});
    load(builder);
    // Three apples in the level (one of the starter content), one needed.
    EXPECT_EQ(gc().levelStats.requiredApples, 1);
    EXPECT_EQ(gc().levelStats.bonusApples, 2);
    steps(5);
    EXPECT_EQ(gc().levelStats.requiredApplesGot, 0) << "nothing is delivered before play";
    play();
    steps(2);
    EXPECT_EQ(gc().levelStats.requiredApplesGot, 1);
    EXPECT_EQ(gc().levelStats.bonusApplesGot, 1);
    EXPECT_EQ(gc().appleList->countChildren(), 1) << "delivered apples are gone";
    gc().levelStats.computeScore();
    EXPECT_EQ(gc().levelStats.requiredApplesPoints, 500);
    EXPECT_EQ(gc().levelStats.bonusApplesPoints, 50);
}

TEST_F(WorldTest, AnAppleInABasketIsDeliveredWithItsBasket)
{
    LevelBuilder builder;
    flatLevel(builder);
    auto* basket = add<BasketA>(builder, V3{100.0f, 40.0f, 0.0f});
    load(builder);
    auto* b = loaded<BasketA>(basket);
    ASSERT_NE(b, nullptr);
    play();
    steps(30); // the basket settles on the ground
    // An apple dropped onto the rim takes the first slot and loses its body.
    auto* apple = static_cast<Apple*>(gc().appleList->getFirstChild());
    ASSERT_NE(apple, nullptr);
    apple->position = V3{b->position.x, b->position.y + b->halfHeight() + 4.0f, 0.0f};
    ASSERT_NE(apple->body, nullptr);
    apple->body->SetTransform(b2Vec2(apple->position.x / 64.0f, apple->position.y / 64.0f), 0.0f);
    steps(1);
    EXPECT_EQ(apple->pBasket, b);
    EXPECT_EQ(apple->basketSlot, 0);
    EXPECT_EQ(apple->body, nullptr);
    EXPECT_EQ(b->nextFreeSlot(), 1);
    steps(5);
    EXPECT_EQ(gc().levelStats.requiredApplesGot, 0);
    // Carried to the door, the basket's apple counts.
    ASSERT_NE(b->body, nullptr);
    b->body->SetTransform(b2Vec2(AT_DOOR.x / 64.0f, AT_DOOR.y / 64.0f), 0.0f);
    steps(2);
    EXPECT_EQ(gc().levelStats.requiredApplesGot, 1);
    EXPECT_EQ(b->countApples(), 0);
}

TEST_F(WorldTest, ASweetIsCollectedOnceAndASecretCountsOnlyTheFirstTime)
{
    LevelBuilder builder;
    flatLevel(builder);
    add<Sweet>(builder, V3{-200.0f, 30.0f, 0.0f});
    auto* secret = add<SecretArea>(builder, V3{-256.0f, 28.0f, 0.0f});
    secret->triggerRadius = 40.0f;
    load(builder);
    play();
    steps(2);
    const LevelStats& s = gc().levelStats;
    EXPECT_EQ(s.sweetsGot, 1);
    EXPECT_EQ(s.secretsFound, 1);
    EXPECT_EQ(s.score, 550);
    EXPECT_EQ(gc().sweetList->countChildren(), 0);
    // Out of the secret area and in again: no second count.
    PigInput right;
    right.right = true;
    pig().setInputOverride(&right);
    steps(60);
    EXPECT_FALSE(loaded<SecretArea>(secret)->bHeroInside);
    PigInput left;
    left.left = true;
    pig().setInputOverride(&left);
    steps(60);
    EXPECT_EQ(s.secretsFound, 1);
    EXPECT_EQ(s.score, 550);
    pig().setInputOverride(nullptr);
}

TEST_F(WorldTest, ThePigFaintsInDangerAndComesBackAtItsLastSafeSpot)
{
    LevelBuilder builder;
    flatLevel(builder);
    auto* water = add<DangerArea>(builder, V3{100.0f, 28.0f, 0.0f});
    water->triggerRadius = 40.0f;
    load(builder);
    play();
    steps(30);
    const V3 start = pig().position;
    PigInput right;
    right.right = true;
    pig().setInputOverride(&right);
    ASSERT_TRUE([&] {
        for (int i = 0; i < 300 && !pig().isFainted(); ++i) {
            steps(1);
        }
        return pig().isFainted();
    }());
    EXPECT_EQ(gc().levelStats.livesLost, 1);
    EXPECT_LT(pig().safeSpot.x, 100.0f - 40.0f) << "the last safe spot lies before the water";
    EXPECT_GT(pig().safeSpot.x, start.x);
    pig().setInputOverride(nullptr);
    steps(static_cast<int>(Pig::FAINT_TIME * 60.0) + 2);
    EXPECT_FALSE(pig().isFainted());
    EXPECT_NEAR(pig().position.x, pig().safeSpot.x, 8.0f);
    EXPECT_EQ(gc().levelStats.livesLost, 1);
    gc().levelStats.computeScore();
    EXPECT_EQ(gc().levelStats.livesPoints, 75);
}

TEST_F(WorldTest, ApplesAreLostToWaterAcidAndTheFloor)
{
    LevelBuilder builder;
    flatLevel(builder);
    auto* water = add<DangerArea>(builder, V3{-800.0f, 30.0f, 0.0f});
    auto* acid = add<DangerArea>(builder, V3{-1200.0f, 30.0f, 0.0f});
    acid->kind = DangerArea::KIND_ACID;
    add<Apple>(builder, V3{-800.0f, 30.0f, 0.0f});
    add<Apple>(builder, V3{-1200.0f, 30.0f, 0.0f});
    add<Apple>(builder, V3{-1500.0f, -500.0f, 0.0f}); // below the playing area
    (void)water;
    load(builder);
    play();
    steps(2);
    EXPECT_EQ(gc().levelStats.applesLost, 3);
    int lost = 0;
    for (KivBase* a = gc().appleList->getFirstChild(); a != nullptr; a = a->getNext()) {
        auto* apple = static_cast<Apple*>(a);
        if (apple->bLost) {
            ++lost;
            EXPECT_TRUE(apple->bHidden);
            EXPECT_EQ(apple->body, nullptr);
        }
    }
    EXPECT_EQ(lost, 3);
    EXPECT_EQ(gc().appleGhostList->countChildren(), 3);
    steps(70);
    EXPECT_EQ(gc().appleGhostList->countChildren(), 0) << "ghosts fade away";
    EXPECT_EQ(gc().levelStats.applesLost, 3) << "a lost apple counts once";
}

TEST_F(WorldTest, NothingCountsOnceTheLevelHasEnded)
{
    LevelBuilder builder;
    flatLevel(builder);
    add<Sweet>(builder, V3{-200.0f, 30.0f, 0.0f});
    add<Apple>(builder, AT_DOOR);
    load(builder);
    THEROLE = server.get();
    gc().gotoState(GameController::STATE_LEVELEND, 0.0);
    THEROLE = nullptr;
    steps(5);
    EXPECT_EQ(gc().levelStats.sweetsGot, 0);
    EXPECT_EQ(gc().levelStats.requiredApplesGot, 0);
    EXPECT_EQ(gc().levelStats.score, 0);
}

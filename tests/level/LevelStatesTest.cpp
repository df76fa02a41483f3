#include "LevelFixture.h"

#include "engine/render/Renderable.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/LevelBuilder.h"

TEST_F(LevelTest, SmokeStatesOneToFour)
{
    LevelBuilder builder;
    GameController& gc = builder.controller();
    if (gc.pigList->getFirstChild() == nullptr) {
        builder.add(gc.pigList, new Renderable());
    }
    if (gc.houseList->getFirstChild() == nullptr) {
        builder.add(gc.houseList, new Renderable());
    }
    play(builder);
    GameController* level = manager->getGameController();
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->state, 1);
    frames(101);
    EXPECT_EQ(level->state, 2);
    frames(400);
    EXPECT_EQ(level->state, 4);
    saveScreenshot("level-smoke");
}

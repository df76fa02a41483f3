// A level of world objects as the player sees it: drawn through the level manager, read back and saved.
#include "LevelFixture.h"

#include "engine/net/KivNetwork.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/LevelBuilder.h"
#include "game/world/Apple.h"
#include "game/world/BasketA.h"
#include "game/world/Switch.h"
#include "game/world/Sweet.h"
#include "game/world/TriggerHint.h"
#include "game/world/Umbrella.h"

namespace {
template <class T>
T* place(LevelBuilder& builder, float x, float y)
{
    auto* object = new T();
    builder.add(object->getHomeList(), object);
    object->construct();
    object->position = V3{x, y, 0.0f};
    return object;
}
} // namespace

TEST_F(LevelTest, WorldObjectsAreDrawnWhereTheyStand)
{
    LevelBuilder builder;
    place<Apple>(builder, -120.0f, 30.0f);
    place<Apple>(builder, -60.0f, 30.0f)->bSuperApple = true;
    place<BasketA>(builder, -420.0f, 40.0f);
    place<Umbrella>(builder, 150.0f, 40.0f);
    place<Sweet>(builder, -300.0f, 120.0f);
    place<Switch>(builder, 260.0f, 40.0f);
    auto* sign = place<TriggerHint>(builder, -520.0f, 50.0f);
    sign->pSkin = nullptr;
    play(builder);
    frames(2);
    level().gotoState(GameController::STATE_PLAYING, 0.0);
    frames(90);
    // The ground is drawn: the lower middle of the screen is not the sky's colour at the top.
    EXPECT_NE(pixel(640, 700), pixel(640, 20));
    saveScreenshot("world-objects");
}

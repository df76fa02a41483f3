// What the player sees: a frame of the playing level with its HUD, the results panel with its rows, and
// the pause menu over the frozen level, checked at a few pixels (and saved for a look).
#include "LevelFixture.h"

#include "engine/render/KivGraphics.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/LevelBuilder.h"
#include "game/level/MyRootObject.h"

TEST_F(LevelTest, PlayingResultsAndPauseFrames)
{
    LevelBuilder builder;
    play(builder);
    frames(150);
    saveScreenshot("level-title");
    ASSERT_TRUE(runToState(4));
    frames(30);
    saveScreenshot("level-playing");
    pressKey(0x01);
    frames(1);
    releaseKey(0x01);
    frames(30);
    saveScreenshot("level-paused");
    pressKey(0x01);
    frames(1);
    releaseKey(0x01);
    frames(20);
    deliverApples();
    setPigAtHome(true);
    ASSERT_TRUE(runToState(7, 800));
    frames(600);
    saveScreenshot("level-results");
    frames(1000);
    saveScreenshot("level-results-end");
}

// Pausing a level: the pause menu by Escape, the Pause key or a touch on the HUD's pause button, the
// level standing still under it, the overlay's close rules against the role's replication steps, and the
// result codes of the menu's restart and end-level choices.
#include "LevelFixture.h"

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "game/level/ContextHUD.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/LevelBuilder.h"
#include "game/level/MyRootObject.h"
#include "game/overlays/OverlayPause.h"
#include "game/menus/MenuButton.h"

namespace {
constexpr int ESCAPE = 0x01;
constexpr int PAUSE = 0xC5;
constexpr int SPACE = 57;
} // namespace

class PauseTest : public LevelTest {
protected:
    void startPlaying()
    {
        play(builder);
        ASSERT_TRUE(runToState(4));
    }
    Overlay* overlay() { return manager->getRoot()->contextOverlay; }
    void tap(int key)
    {
        pressKey(key);
        frames(1);
        releaseKey(key);
        frames(1);
    }

    LevelBuilder builder;
};

TEST_F(PauseTest, EscapeOpensThePauseMenuAndTheLevelStandsStill)
{
    startPlaying();
    tap(ESCAPE);
    ASSERT_NE(overlay(), nullptr);
    EXPECT_NE(dynamic_cast<OverlayPause*>(overlay()), nullptr);
    const double played = level().levelStats.time;
    const double timeInState = level().timeInState;
    frames(100);
    EXPECT_EQ(level().levelStats.time, played);
    EXPECT_EQ(level().timeInState, timeInState);
    // Escape again after 0.5 s closes it at the next replication step, at most 0.05 s later.
    Overlay* open = overlay();
    pressKey(ESCAPE);
    frames(1);
    releaseKey(ESCAPE);
    EXPECT_TRUE(open->closeRequested || overlay() == nullptr);
    EXPECT_TRUE(runUntil([&] { return overlay() == nullptr; }, 7));
    frames(10);
    EXPECT_GT(level().levelStats.time, played);
}

TEST_F(PauseTest, PauseKeyOpensThePauseMenuOnce)
{
    startPlaying();
    tap(PAUSE);
    Overlay* first = overlay();
    ASSERT_NE(first, nullptr);
    // The open overlay takes the next pause itself; no second one is made.
    frames(20);
    tap(PAUSE);
    EXPECT_TRUE(overlay() == first || overlay() == nullptr);
}

TEST_F(PauseTest, EscapeInTheFirstTenthOfASecondIsDropped)
{
    startPlaying();
    tap(ESCAPE);
    ASSERT_NE(overlay(), nullptr);
    frames(3); // about 0.05 s open
    tap(ESCAPE);
    frames(40);
    EXPECT_NE(overlay(), nullptr);
    EXPECT_FALSE(overlay()->closeRequested);
}

TEST_F(PauseTest, JumpKeyClosesOnlyAfterTheMinimumOpenTime)
{
    startPlaying();
    tap(ESCAPE);
    ASSERT_NE(overlay(), nullptr);
    tap(SPACE); // 0.02 s open: ignored outright
    EXPECT_FALSE(overlay()->closeRequested);
    frames(20);
    tap(SPACE);
    EXPECT_TRUE(runUntil([&] { return overlay() == nullptr; }, 7));
}

TEST_F(PauseTest, NoPauseMenuOnceTheRunIsBooked)
{
    startPlaying();
    deliverApples();
    setPigAtHome(true);
    ASSERT_TRUE(runToState(6, 120));
    tap(ESCAPE);
    EXPECT_EQ(overlay(), nullptr);
    ASSERT_TRUE(runToState(7, 700));
    tap(PAUSE);
    EXPECT_EQ(overlay(), nullptr);
}

TEST_F(PauseTest, TouchWithinReachOfThePauseButtonOpensTheMenu)
{
    startPlaying();
    const float w = static_cast<float>(KivGraphics::instance()->width);
    const float h = static_cast<float>(KivGraphics::instance()->height);
    // The button stands at (W/2 - 35, H/2 - 35) of the HUD: (W - 35, H - 35) on the screen.
    const float bx = w - 35.0f;
    const float by = h - 35.0f;

    // Exactly 35.0 units away (right of the button, at the screen's edge): not within reach.
    fingerDown(bx + 35.0f, by);
    frames(1);
    fingerUp();
    frames(1);
    ASSERT_EQ(Kiv::instance()->input->getInputMode(), KivInput::INPUT_TOUCH);
    EXPECT_FALSE(level().contextHUD->buttonPause->bHidden);
    EXPECT_EQ(overlay(), nullptr);

    // 34.9 units away: the pause menu opens.
    fingerDown(bx - 34.9f, by);
    frames(1);
    fingerUp();
    frames(1);
    EXPECT_NE(dynamic_cast<OverlayPause*>(overlay()), nullptr);
}

TEST_F(PauseTest, RestartAndEndLevelSetTheirResultCodes)
{
    startPlaying();
    tap(ESCAPE);
    auto* pause = dynamic_cast<OverlayPause*>(overlay());
    ASSERT_NE(pause, nullptr);
    // A confirmed Restart.
    pause->buttonRestart->bClicked = true;
    frames(1);
    EXPECT_EQ(manager->getResultCode(), 6);
    frames(1);
    EXPECT_TRUE(manager->bClosed);
}

TEST_F(PauseTest, JumpOnAHighlightedEndLevelEndsWithoutAQuestion)
{
    startPlaying();
    tap(ESCAPE);
    auto* pause = dynamic_cast<OverlayPause*>(overlay());
    ASSERT_NE(pause, nullptr);
    frames(20);
    pause->buttonEnd->bForceHover = true;
    tap(SPACE);
    EXPECT_EQ(manager->getResultCode(), 1);
    EXPECT_TRUE(manager->bClosed);
}

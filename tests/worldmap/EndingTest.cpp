// The closing screen's timed events and the credits scroller in the running game.
#include <gtest/gtest.h>

#include "LoadedGame.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "engine/text/TextSprite.h"
#include "game/front/ContextIntro.h"
#include "game/front/ContextManager.h"
#include "game/front/MyGlobal.h"
#include "game/front/TransitionWipe.h"
#include "game/language/Language.h"
#include "game/worldmap/ContextEnding.h"
#include "game/worldmap/CreditsScroller.h"

namespace {

class EndingTest : public ::testing::Test {
protected:
    void SetUp() override { game.clearScreens(); }
    void TearDown() override { game.clearScreens(); }

    static int count(const KivBase& parent, bool scrollers)
    {
        int n = 0;
        for (KivBase* c = parent.getFirstChild(); c != nullptr; c = c->getNext()) {
            n += (dynamic_cast<CreditsScroller*>(c) != nullptr) == scrollers ? 1 : 0;
        }
        return n;
    }

    LoadedGame& game = LoadedGame::get();
};

TEST_F(EndingTest, OpensCoveredAndBlurredAndSharpensAfterThreeSeconds)
{
    auto* ending = new ContextEnding();
    game.screens().addContext(ending);
    game.frame();
    EXPECT_TRUE(game.global->contextIntro->bBlurred);
    EXPECT_FLOAT_EQ(game.global->contextIntro->blend, 1.0f);
    EXPECT_FLOAT_EQ(game.screens().transitionWipe->targetLevel, 0.0f) << "the stack opens it out of black";
    game.advance(2.9);
    EXPECT_TRUE(game.global->contextIntro->bBlurred);
    game.advance(0.2);
    EXPECT_FALSE(game.global->contextIntro->bBlurred);
    EXPECT_EQ(count(*ending, true), 0);
}

TEST_F(EndingTest, AFrameJumpingOverSeveralEventsRunsEachOnce)
{
    ContextEnding ending;
    game.global->contextIntro->bBlurred = true;
    ending.tickContents(2.9, 0.01);
    EXPECT_TRUE(game.global->contextIntro->bBlurred);
    ending.tickContents(4.5, 1.6);
    EXPECT_FALSE(game.global->contextIntro->bBlurred);
    EXPECT_EQ(count(ending, false), 0);
    // 4.5 s to 16 s in one step: of the lines of 5, 10 and 15 s those of 15 s are still showing (the
    // others have already run their four seconds).
    ending.tickContents(16.0, 11.5);
    ASSERT_EQ(count(ending, false), 3);
    const UString first = static_cast<TextSprite*>(ending.getFirstChild())->text;
    EXPECT_EQ(first, UString(Kiv::instance()->language->getText(STR_WIN31)));
    // The same times again add nothing.
    ending.tickContents(16.0, 0.0);
    ending.tickContents(16.5, 0.5);
    EXPECT_EQ(count(ending, false), 3);
    // On to the credits, which come once.
    ending.tickContents(90.0, 73.5);
    EXPECT_EQ(count(ending, true), 1);
    ending.tickContents(90.1, 0.1);
    EXPECT_EQ(count(ending, true), 1);
}

TEST_F(EndingTest, ClosingEarlyLeavesTheBackdropSharpening)
{
    auto* ending = new ContextEnding();
    game.screens().addContext(ending);
    game.advance(1.0);
    ASSERT_TRUE(game.global->contextIntro->bBlurred);
    ending->bClosed = true;
    game.frame();
    EXPECT_FALSE(game.global->contextIntro->bBlurred);
}

TEST_F(EndingTest, CreditsRiseFromHalfAScreenBelowAndLeaveAtTheTop)
{
    auto* scroller = new CreditsScroller();
    const int h = KivGraphics::instance()->height;
    EXPECT_FLOAT_EQ(scroller->nextY, static_cast<float>(-(h / 2)));
    scroller->addCredits();
    // The title, three rows, eight role rows and 76 name rows.
    EXPECT_EQ(scroller->pLines->countChildren(), 1 + 3 + 8 + 76);
    auto* first = static_cast<TextSprite*>(scroller->pLines->getFirstChild());
    game.screens().addContext(scroller);
    game.advance(1.0);
    EXPECT_NEAR(first->position.y, static_cast<float>(-(h / 2)) + 30.0f, 0.5f);
    EXPECT_TRUE(first->bHidden) << "still in the faded band at the bottom";
    game.advance(9.0);
    EXPECT_FALSE(first->bHidden);
    game.screenshot("credits");
    // Long after, every line has gone through the top and was released.
    scroller->velocity = V3(0.0f, 3000.0f, 0.0f);
    game.advance(3.0);
    EXPECT_EQ(scroller->pLines->countChildren(), 0);
}

TEST_F(EndingTest, TwoColumnRowsMeetAtTheCentre)
{
    CreditsScroller scroller;
    scroller.addRow(u"Role", u"Person");
    scroller.addRow(u"Only", UString());
    scroller.addRow(u"Alone", u" ");
    auto* two = static_cast<TextSprite*>(scroller.pLines->getFirstChild());
    auto* one = static_cast<TextSprite*>(two->getNext());
    auto* spaced = static_cast<TextSprite*>(one->getNext());
    EXPECT_EQ(two->text, u"Role      Person");
    EXPECT_EQ(two->flags, 2u);
    EXPECT_LT(two->position.x, 0.0f);
    EXPECT_EQ(one->flags, 4u);
    EXPECT_EQ(one->position.x, 0.0f);
    EXPECT_EQ(spaced->flags, 2u) << "a single space still makes two columns";
    EXPECT_LT(two->position.y, 0.0f);
    EXPECT_GT(two->position.y, one->position.y);
}

} // namespace

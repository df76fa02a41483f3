// Escape on a screen that asks first: one question, YES closes both, NO closes only the question.
#include <gtest/gtest.h>

#include "FrontHarness.h"
#include "engine/platform/PlatformEventInjector.h"
#include "game/front/ContextManager.h"
#include "game/front/TransitionWipe.h"
#include "game/menus/ContextDialog.h"
#include "game/menus/MenuButton.h"

namespace {
class CloseQuestion : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(game.runUntilLoaded());
        // Past the splash and the story, to the main menu (and what it opens itself).
        game.stack().getTop()->bClosed = true;
        game.frame();
        game.stack().getTop()->bClosed = true;
        game.frame();
        below = game.screens();
        asking = new Context();
        asking->bDeleteWhenClosed = true;
        asking->bConfirmClose = true;
        game.stack().addContext(asking);
        game.frame();
        ASSERT_EQ(asking, game.stack().getTop());
    }
    void escape()
    {
        PlatformEventInjector::key("Escape", true);
        game.frame();
        PlatformEventInjector::key("Escape", false);
        game.frame();
    }
    int countDialogs()
    {
        int n = 0;
        for (KivBase* child = game.stack().getFirstChild(); child != nullptr; child = child->getNext()) {
            n += dynamic_cast<ContextDialog*>(child) != nullptr ? 1 : 0;
        }
        return n;
    }

    FrontHarness game;
    Context* asking = nullptr;
    std::string below; // the stack under the asking screen
};
} // namespace

TEST_F(CloseQuestion, YesClosesTheQuestionAndTheScreenBelow)
{
    escape();
    auto* question = dynamic_cast<ContextDialog*>(game.stack().getTop());
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(1, countDialogs());
    EXPECT_FALSE(asking->bClosed);
    EXPECT_EQ(-1, game.stack().confirmAnswer);
    game.stack().transitionWipe->level = 0.0f; // fully open, to look at
    game.screenshot("close-question");
    question->pFirstButton->bClicked = true;
    game.frames(3);
    EXPECT_EQ(0, countDialogs());
    EXPECT_NE(asking, game.stack().getTop());
    EXPECT_EQ(-1, game.stack().confirmAnswer);
    EXPECT_EQ(below, game.screens());
}

TEST_F(CloseQuestion, NoClosesOnlyTheQuestionAndTheNextEscapeAsksAgain)
{
    escape();
    auto* question = dynamic_cast<ContextDialog*>(game.stack().getTop());
    ASSERT_NE(nullptr, question);
    question->pSecondButton->bClicked = true;
    game.frames(3);
    EXPECT_EQ(asking, game.stack().getTop());
    EXPECT_FALSE(asking->bClosed);
    escape();
    EXPECT_EQ(1, countDialogs());
    EXPECT_EQ(-1, game.stack().confirmAnswer);
}

TEST_F(CloseQuestion, WithoutTheQuestionEscapeClosesAtOnce)
{
    asking->bConfirmClose = false;
    escape();
    EXPECT_EQ(0, countDialogs());
    EXPECT_EQ(below, game.screens());
}

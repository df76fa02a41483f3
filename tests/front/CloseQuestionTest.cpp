// Escape on a screen that asks first: one question, YES closes both, NO closes only the question.
#include <gtest/gtest.h>

#include "FrontHarness.h"
#include "engine/platform/PlatformEventInjector.h"
#include "game/front/ContextManager.h"
#include "game/front/TransitionWipe.h"
#include "game/menus/ContextDialog.h"
#include "game/menus/MenuButton.h"

namespace {
// One loaded game for the suite, past the splash and the story to the main menu (and what it opens
// itself); each test puts a screen that asks on top and leaves the stack as it found it.
class CloseQuestion : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        shared = new FrontHarness();
        shared->runUntilLoaded();
        shared->stack().getTop()->bClosed = true;
        shared->frame();
        shared->stack().getTop()->bClosed = true;
        shared->frame();
    }
    static void TearDownTestSuite()
    {
        delete shared;
        shared = nullptr;
    }
    void SetUp() override
    {
        below = game.screens();
        asking = new Context();
        asking->bDeleteWhenClosed = true;
        asking->bConfirmClose = true;
        game.stack().addContext(asking);
        game.frame();
        ASSERT_EQ(asking, game.stack().getTop());
    }
    void TearDown() override
    {
        while (game.screens() != below) {
            game.stack().getTop()->bClosed = true;
            game.frame();
        }
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

    static inline FrontHarness* shared = nullptr;
    FrontHarness& game = *shared;
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

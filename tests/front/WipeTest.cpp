// The transition wipe's pixels and timing.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "game/front/ContextManager.h"
#include "game/front/TransitionWipe.h"
#include "support/KivHarness.h"

namespace {
class WipeTest : public ::testing::Test {
protected:
    WipeTest()
    {
        screen = new Context();
        screen->clearColor = UColor(0xFFFFFFFFu);
        screen->bShowPointer = false;
        screen->bDeleteWhenClosed = true;
        manager.addContext(screen);
        harness.frame(&manager);
    }

    // The manager drawn with the wipe at `level`, read back.
    std::vector<std::uint32_t> drawAt(float level)
    {
        manager.transitionWipe->level = level;
        KivGraphics& graphics = *KivGraphics::instance();
        graphics.beginScene();
        Kiv::instance()->currentContext = &manager;
        manager.render();
        graphics.endScene();
        return graphics.readScreen(width, height);
    }
    bool isWhite(const std::vector<std::uint32_t>& pixels, int x, int y) const
    {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
        return ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200 && (p & 0xFF) > 200;
    }
    bool isBlack(const std::vector<std::uint32_t>& pixels, int x, int y) const
    {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
        return ((p >> 16) & 0xFF) < 30 && ((p >> 8) & 0xFF) < 30 && (p & 0xFF) < 30;
    }

    KivHarness harness;
    ContextManager manager;
    Context* screen = nullptr;
    int width = 0;
    int height = 0;
};
} // namespace

TEST_F(WipeTest, OpenShowsTheScreenClosedIsBlackHalfwayLeavesAHoleInTheMiddle)
{
    std::vector<std::uint32_t> open = drawAt(0.0f);
    ASSERT_EQ(800, width);
    EXPECT_TRUE(isWhite(open, 400, 300));
    EXPECT_TRUE(isWhite(open, 2, 2));
    EXPECT_TRUE(isWhite(open, 797, 597));

    std::vector<std::uint32_t> closed = drawAt(1.0f);
    int notBlack = 0;
    for (int y = 0; y < height; y += 7) {
        for (int x = 0; x < width; x += 7) {
            notBlack += isBlack(closed, x, y) ? 0 : 1;
        }
    }
    EXPECT_EQ(0, notBlack);

    // Halfway the iris (at least half the corner distance wide) shows the middle; the corners are black.
    std::vector<std::uint32_t> half = drawAt(0.5f);
    EXPECT_TRUE(isWhite(half, 400, 300));
    EXPECT_TRUE(isWhite(half, 400 + 200, 300));
    EXPECT_TRUE(isBlack(half, 3, 3));
    EXPECT_TRUE(isBlack(half, 796, 596));
    EXPECT_TRUE(isBlack(half, 3, 596));
}

TEST_F(WipeTest, LevelMovesTowardTheTargetAtOnePerSecondAndActivationOpensIt)
{
    TransitionWipe& wipe = *manager.transitionWipe;
    wipe.level = 1.0f;
    wipe.targetLevel = 1.0f;
    auto* next = new Context();
    next->bDeleteWhenClosed = true;
    manager.addContext(next);
    harness.frame(&manager); // the new top opens the wipe
    EXPECT_EQ(0.0f, wipe.targetLevel);
    EXPECT_NEAR(1.0f - static_cast<float>(KivHarness::STEP), wipe.level, 1e-5f);
    harness.frames(120, &manager);
    EXPECT_EQ(0.0f, wipe.level);
}

TEST(WipeShape, RimFactorsFollowTheTable)
{
    EXPECT_FLOAT_EQ(1.0f, TransitionWipe::shapeFactor(0));
    EXPECT_FLOAT_EQ(1.5f, TransitionWipe::shapeFactor(31));
    EXPECT_FLOAT_EQ(1.48f, TransitionWipe::shapeFactor(32));
    EXPECT_FLOAT_EQ(1.5f, TransitionWipe::shapeFactor(33));
    const float plain96 = 1.0f + 0.25f * std::pow(std::sin(2.0f * 2.0f * 3.14159265f * 96.0f / 127.0f), 2.0f);
    EXPECT_NEAR(plain96 * 0.92f, TransitionWipe::shapeFactor(96), 1e-5f);
}

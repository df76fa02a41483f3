// The backdrop's cross-fade and lights, the snowfall, the story's timed events and the splash.
#include <gtest/gtest.h>

#include "FrontHarness.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"
#include "engine/files/ResourceManager.h"
#include "engine/text/TextSprite.h"
#include "game/front/ContextIntro.h"
#include "game/front/ContextIntroText.h"
#include "game/front/ContextManager.h"
#include "game/front/ContextSnow.h"
#include "game/front/ContextSplash.h"
#include "game/front/Global.h"
#include "game/front/SnowFlake.h"
#include "game/menus/GameLogo.h"

namespace {
// One loaded game for the suite; the splash test, which changes the stack, comes last.
class IntroScreens : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        shared = new FrontHarness();
        shared->runUntilLoaded();
    }
    static void TearDownTestSuite()
    {
        delete shared;
        shared = nullptr;
    }

    int countTexts(const Context& screen)
    {
        int n = 0;
        for (KivBase* child = screen.getFirstChild(); child != nullptr; child = child->getNext()) {
            n += dynamic_cast<TextSprite*>(child) != nullptr ? 1 : 0;
        }
        return n;
    }

    static inline FrontHarness* shared = nullptr;
    FrontHarness& game = *shared;
};
} // namespace

TEST_F(IntroScreens, BackdropCrossFadesAtHalfPerSecondAndHidesTheCoveredPicture)
{
    ContextIntro& intro = *game.global().contextIntro;
    intro.blend = 0.3f;
    intro.bBlurred = true;
    intro.tickEntry(0.0, 0.05);
    EXPECT_NEAR(0.325f, intro.blend, 1e-5f);
    EXPECT_FALSE(intro.pSharp->bHidden);
    for (int i = 0; i < 26; ++i) {
        intro.tickEntry(0.0, 0.05);
    }
    EXPECT_LT(intro.blend, 1.0f);
    intro.tickEntry(0.0, 0.051); // 1.4 s after 0.3 (and a little for the float sums)
    EXPECT_FLOAT_EQ(1.0f, intro.blend);
    EXPECT_TRUE(intro.pSharp->bHidden);
    EXPECT_EQ(255u, intro.pBlurred->color.a());
    intro.bBlurred = false;
    for (int i = 0; i < 41; ++i) {
        intro.tickEntry(0.0, 0.05);
    }
    EXPECT_FLOAT_EQ(0.0f, intro.blend);
    EXPECT_TRUE(intro.pBlurred->bHidden);
    EXPECT_FALSE(intro.pSharp->bHidden);
}

TEST_F(IntroScreens, LightsSwitchEverySecond)
{
    ContextIntro& intro = *game.global().contextIntro;
    auto* sheet = ResourceManager::instance()->find<Texture>(u"intro-xmaslights");
    intro.time = 1.0;
    intro.tickEntry(0.0, 0.0);
    EXPECT_EQ(sheet->skins[1], intro.pLights->pSkin);
    intro.time = 1.999;
    intro.tickEntry(0.0, 0.0);
    EXPECT_EQ(sheet->skins[1], intro.pLights->pSkin);
    intro.time = 2.0;
    intro.tickEntry(0.0, 0.0);
    EXPECT_EQ(sheet->skins[0], intro.pLights->pSkin);
}

TEST_F(IntroScreens, SnowDensityAndWrappingAtTheBoxEdges)
{
    SnowFlake half(game.global().contextSnow->camera, 1.0f, 0.5f);
    EXPECT_EQ(64, half.count);
    SnowFlake& snow = *game.global().contextSnow->snow;
    EXPECT_EQ(128, snow.count);
    SnowFlake::Flake& flake = snow.all()[0];
    flake.pos = V3(-401.0f, 100.0f, 0.0f);
    snow.tick(0.0, 0.0);
    EXPECT_FLOAT_EQ(399.0f, flake.pos.x);
    EXPECT_FLOAT_EQ(100.0f, flake.pos.y);
    flake.pos = V3(0.0f, -301.0f, 0.0f);
    snow.tick(0.0, 0.0);
    EXPECT_FLOAT_EQ(299.0f, flake.pos.y);
    // The drift: left and down.
    flake.pos = V3(0.0f, 0.0f, 0.0f);
    snow.tick(0.0, 0.5);
    EXPECT_FLOAT_EQ(-16.0f, flake.pos.x);
    EXPECT_FLOAT_EQ(-32.0f, flake.pos.y);
    // A new screen size stretches the box and the flakes in it, instead of wrapping them into a clump.
    KivGraphics& graphics = *KivGraphics::instance();
    auto resize = [&](int w, int h) {
        graphics.changePresentationParameters(w, h, false, graphics.bLetterbox, graphics.bBilinearFilter,
                                              graphics.bVSync);
        graphics.resetIfPending();
        snow.tick(0.0, 0.0);
    };
    flake.pos = V3(390.0f, -290.0f, -90.0f);
    resize(400, 300);
    EXPECT_FLOAT_EQ(195.0f, flake.pos.x);
    EXPECT_FLOAT_EQ(-145.0f, flake.pos.y);
    EXPECT_FLOAT_EQ(-45.0f, flake.pos.z);
    resize(800, 600);
    EXPECT_FLOAT_EQ(390.0f, flake.pos.x);
}

TEST_F(IntroScreens, StoryEventsFireOnceEvenWhenAFrameJumpsOverThem)
{
    auto* story = new ContextIntroText();
    ContextIntro& intro = *game.global().contextIntro;
    intro.bBlurred = true;
    // One step from 5.5 s to 9.5 s passes the sharpening (6 s) and the logo and copyright (9 s).
    story->tickContents(9.5, 4.0);
    EXPECT_FALSE(intro.bBlurred);
    EXPECT_EQ(1, countTexts(*story));
    // One from 16.5 s to 19.5 s passes the blurring (17 s) and the first group of three lines (19 s).
    story->tickContents(19.5, 3.0);
    EXPECT_TRUE(intro.bBlurred);
    EXPECT_EQ(3, countTexts(*story));
    story->tickContents(19.6, 0.1);
    EXPECT_EQ(3, countTexts(*story));
    story->tickContents(88.0, 0.01);
    EXPECT_FALSE(story->bClosed);
    story->tickContents(88.01, 0.01);
    EXPECT_TRUE(story->bClosed);
    delete story;
}

// The story's lines stand on the roof, the snow and the sky: on a plain white screen their dark rims still
// frame the light pink letters.
TEST_F(IntroScreens, StoryLinesWearADarkRimOnALightPicture)
{
    auto* story = new ContextIntroText();
    story->pPreObject = nullptr;
    story->pPostObject = nullptr;
    story->clearColor = UColor(0xFFFFFFFFu);
    story->addStoryLine(u"Once upon a time", 0.0f, 10.0f, 0.0f);
    game.stack().addContext(story);
    game.frames(60); // past the line's fade-in
    game.screenshot("story-on-white");
    int width = 0, height = 0;
    const std::vector<std::uint32_t> pixels = KivGraphics::instance()->readScreen(width, height);
    int dark = 0;
    for (int y = height / 2 - 20; y < height / 2 + 20; ++y)
        for (int x = width / 2 - 150; x < width / 2 + 150; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x];
            dark += ((p >> 16) & 0xFF) < 80 && ((p >> 8) & 0xFF) < 80 && (p & 0xFF) < 80;
        }
    EXPECT_GT(dark, 100);
    story->bClosed = true;
    game.frames(2);
}

TEST_F(IntroScreens, TheLogoHasFadedOutWhenTheFirstStoryLineComes)
{
    auto* story = new ContextIntroText();
    auto logoFade = [&] {
        for (KivBase* child = story->getFirstChild(); child != nullptr; child = child->getNext()) {
            if (const auto* logo = dynamic_cast<const GameLogo*>(child); logo != nullptr && !logo->bDeleted) {
                return logo->getFade();
            }
        }
        return 0.0f;
    };
    double now = 9.0;
    story->tickContents(now, 0.25);
    EXPECT_GT(logoFade(), 0.0f);
    while (now < 18.5) {
        now += 0.25;
        story->tickContents(now, 0.25);
    }
    // Fading out in the last second before the story.
    EXPECT_GT(logoFade(), 0.0f);
    EXPECT_LT(logoFade(), 1.0f);
    for (int i = 0; i < 2; ++i) {
        now += 0.25;
        story->tickContents(now, 0.25);
    }
    ASSERT_EQ(3, countTexts(*story));
    EXPECT_EQ(logoFade(), 0.0f);
    delete story;
}

TEST_F(IntroScreens, SplashEndsAfterThreeAndAHalfSecondsOrOnContinue)
{
    auto* splash = dynamic_cast<ContextSplash*>(game.stack().getTop());
    ASSERT_NE(nullptr, splash);
    EXPECT_TRUE(splash->bWaitForContinue);
    EXPECT_FALSE(splash->bShowPointer);
    splash->time = 3.45;
    game.frames(5); // 3.5 s: still shown
    EXPECT_EQ(splash, game.stack().getTop());
    game.frames(2);
    EXPECT_EQ("loader(closed) menu story", game.screens());
}

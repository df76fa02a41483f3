// The start-up from the engine's first frame to the main menu, through the real engine and archives.
#include <gtest/gtest.h>

#include "FrontHarness.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/TimeKeeper.h"
#include "engine/files/ResourceManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"
#include "game/front/ContextIntroText.h"
#include "game/front/ContextLanguageSelect.h"
#include "game/front/ContextManager.h"
#include "game/front/ContextSplash.h"
#include "game/front/Global.h"
#include "game/front/LanguageFlag.h"
#include "game/front/Loader.h"
#include "game/front/LoaderProgressBar.h"
#include "game/language/Language.h"

namespace {
template <class T>
bool isA(KivBase* object)
{
    return dynamic_cast<T*>(object) != nullptr;
}

Loader* loaderOf(ContextManager& stack)
{
    for (KivBase* child = stack.getFirstChild(); child != nullptr; child = child->getNext()) {
        if (auto* loader = dynamic_cast<Loader*>(child)) {
            return loader;
        }
    }
    return nullptr;
}

bool loaded(ContextManager& stack)
{
    const Loader* loader = loaderOf(stack);
    return loader == nullptr || loader->bClosed;
}
} // namespace

TEST(Startup, FirstFrameShowsOneStepAndReadsNoFile)
{
    FrontHarness game;
    Loader* loader = loaderOf(game.stack());
    ASSERT_NE(nullptr, loader);
    const std::size_t registered = ResourceManager::instance()->resources().size();
    game.frame();
    EXPECT_EQ(1, loader->currentStep);
    EXPECT_FLOAT_EQ(1.0f / 225.0f, loader->pProgressBar->progress);
    EXPECT_EQ(registered, ResourceManager::instance()->resources().size());
    game.screenshot("loader-first-frame");
    // The settings step ends its frame, so the next frame is drawn with the settings applied.
    game.frame();
    EXPECT_EQ(3, loader->currentStep);
    EXPECT_EQ(0, loader->loadStuff(true) - 225);
    EXPECT_EQ(3, loader->currentStep);
}

TEST(Startup, ProgressBarShowsTheLeftPartOfTheFillClamped)
{
    FrontHarness game;
    Loader* loader = loaderOf(game.stack());
    ASSERT_NE(nullptr, loader);
    LoaderProgressBar& bar = *loader->pProgressBar;
    game.frame(); // step 1 only
    const Quad& fullFill = *bar.pTexture->skins[1];
    const auto* shown = dynamic_cast<const Quad*>(bar.fill.pSkin);
    ASSERT_NE(nullptr, shown);
    bar.setProgress(-0.5f);
    EXPECT_EQ(0.0f, bar.progress);
    EXPECT_EQ(0.0f, shown->width);
    bar.setProgress(0.5f);
    EXPECT_NEAR(fullFill.width / 2.0f, shown->width, 1.0f);
    EXPECT_FLOAT_EQ(fullFill.texLeft, shown->texLeft);
    game.screenshot("loader-half");
    bar.setProgress(2.0f);
    EXPECT_EQ(1.0f, bar.progress);
    EXPECT_FLOAT_EQ(fullFill.width, shown->width);
    EXPECT_FLOAT_EQ(fullFill.texRight, shown->texRight);
    // The fill's left edge stays where the centred fill picture's left edge is.
    EXPECT_FLOAT_EQ(-0.5f * fullFill.width, bar.fill.position.x);

    // After the last step the loader does nothing more.
    ASSERT_TRUE(game.runUntilLoaded());
    EXPECT_EQ(225, loader->currentStep);
    EXPECT_EQ(225, loader->loadStuff(false));
    EXPECT_FLOAT_EQ(1.0f, bar.progress);
}

TEST(Startup, GermanSystemLanguageIsDetectedWithoutFlagScreen)
{
    FrontHarness game({}, "de_DE.UTF-8");
    bool flagScreenSeen = false;
    for (int i = 0; i < 400 && !loaded(game.stack()); ++i) {
        game.frame();
        flagScreenSeen = flagScreenSeen || isA<ContextLanguageSelect>(game.stack().getLastChild());
    }
    EXPECT_FALSE(flagScreenSeen);
    EXPECT_EQ(1, Kiv::instance()->language->currentLanguage);
    EXPECT_EQ(1, Kiv::instance()->defaultLanguage);
    EXPECT_EQ("loader(closed) menu story splash", game.screens());

    const KivHarness& log = game.engine();
    const int loading = log.logIndex("Loader::Loader(): Loading resources...");
    const int multi = log.logIndex("Loader::loadStuff(): Multilanguage mode (-2).", loading);
    const int complete = log.logIndex("Global::initPostLoader(): Global initialization complete at t=", multi);
    EXPECT_GE(loading, 0);
    EXPECT_GT(multi, loading);
    EXPECT_GT(complete, multi);
    game.frames(30);
    game.screenshot("splash");
    // Skipping the splash starts the story; its first lines come at 19 seconds.
    game.stack().getTop()->bClosed = true;
    game.frames(2);
    auto* story = dynamic_cast<ContextIntroText*>(game.stack().getTop());
    ASSERT_NE(nullptr, story);
    story->time = 8.995;
    game.frames(60);
    game.screenshot("story-logo");
    story->time = 18.995;
    game.frames(60);
    game.screenshot("story");
    // Skipping the story brings the main menu up, which saves.
    story->bClosed = true;
    game.frames(2);
    EXPECT_GT(log.logIndex("Global::saveUserData(): Saving.", complete), complete);
    game.frames(10);
    game.screenshot("main-menu");
}

TEST(Startup, FrameRateReadoutSitsInTheCornerAndRefreshesAtMostEighthOfASecond)
{
    FrontHarness game;
    ASSERT_TRUE(game.runUntilLoaded());
    game.global().config.bShowFps = 1;
    game.stack().getTop()->bClosed = true; // past the splash's black
    game.frames(2);
    Kiv::instance()->frameRate = 57.0;
    game.stack().nextReadoutTime = 0.0;
    const TimeKeeper& clock = *Kiv::instance()->timeKeeper;
    const double before = clock.getPhysicalTime() - clock.getStartTime();
    game.frame();
    const double after = clock.getPhysicalTime() - clock.getStartTime();
    EXPECT_FLOAT_EQ(57.0f, game.stack().shownFrameRate);
    // The next refresh is due an eighth of a second after this one, and not before.
    EXPECT_GE(game.stack().nextReadoutTime, before + 0.125);
    EXPECT_LE(game.stack().nextReadoutTime, after + 0.125);
    Kiv::instance()->frameRate = 99.0;
    game.stack().nextReadoutTime = after + 1000.0;
    game.stack().renderContents();
    EXPECT_FLOAT_EQ(57.0f, game.stack().shownFrameRate);
    game.stack().nextReadoutTime = 0.0;
    game.stack().renderContents();
    EXPECT_FLOAT_EQ(99.0f, game.stack().shownFrameRate);
    game.screenshot("frame-rate");

    // The readout's white digits are in the top right corner, nowhere else near the top edge.
    KivGraphics& graphics = *KivGraphics::instance();
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = graphics.readScreen(w, h);
    auto whiteIn = [&](int x0, int x1, int y0, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const std::uint32_t p = pixels[static_cast<std::size_t>(y * w + x)];
                count += ((p >> 16) & 0xFF) > 160 && ((p >> 8) & 0xFF) > 160 && (p & 0xFF) > 160 ? 1 : 0;
            }
        }
        return count;
    };
    EXPECT_GT(whiteIn(w - 60, w, 0, 20), 20);
    EXPECT_EQ(0, whiteIn(0, w - 60, 0, 20));
}

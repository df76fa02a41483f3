// The language step: detection from the system language, the flag screen and its choice, the masks.
#include <gtest/gtest.h>

#include "FrontHarness.h"
#include "engine/core/ErrorManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/PlatformEventInjector.h"
#include "game/front/ContextLanguageSelect.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/front/LanguageFlag.h"
#include "game/front/Loader.h"
#include "game/language/Language.h"

namespace {
constexpr const char* ASK = "[Kiv]\ndefaultLanguage=-1\n";

std::string staticConfig(const std::string& mask, int singleLanguage = -1)
{
    return "[Language]\nsingleLanguage=" + std::to_string(singleLanguage) + "\nlanguageMask=" + mask +
           "\n[Graphics]\nhq2x=1\n";
}

// Frames until the flag screen is the top screen or loading has finished.
ContextLanguageSelect* runToFlagScreen(FrontHarness& game)
{
    for (int i = 0; i < 400; ++i) {
        if (auto* screen = dynamic_cast<ContextLanguageSelect*>(game.stack().getLastChild())) {
            return screen;
        }
        if (game.runUntilLoaded(1)) {
            return nullptr;
        }
    }
    return nullptr;
}

Loader* loaderOf(ContextManager& stack) { return dynamic_cast<Loader*>(stack.getFirstChild()); }

// A left click at a window pixel, delivered over two frames.
void click(FrontHarness& game, int x, int y)
{
    PlatformEventInjector::mouseMove(x, y);
    PlatformEventInjector::mouseButton(0, true, x, y);
    game.frame();
    PlatformEventInjector::mouseButton(0, false, x, y);
    game.frame();
}

// A key pressed and released, a frame each.
void press(FrontHarness& game, const char* key)
{
    PlatformEventInjector::key(key, true);
    game.frame();
    PlatformEventInjector::key(key, false);
    game.frame();
}
} // namespace

TEST(LanguageScreen, ClearedChoiceShowsTwoFlagsAndAClickStoresTheLanguage)
{
    FrontHarness game(ASK, "en_US.UTF-8");
    ContextLanguageSelect* screen = runToFlagScreen(game);
    ASSERT_NE(nullptr, screen);
    EXPECT_EQ(209, loaderOf(game.stack())->currentStep);
    EXPECT_EQ("loader language", game.screens());

    auto* english = dynamic_cast<LanguageFlag*>(screen->getFirstChild());
    ASSERT_NE(nullptr, english);
    auto* german = dynamic_cast<LanguageFlag*>(english->getNext());
    ASSERT_NE(nullptr, german);
    EXPECT_EQ(0, english->language);
    EXPECT_EQ(1, german->language);
    EXPECT_FLOAT_EQ(50.0f, english->position.y);
    EXPECT_FLOAT_EQ(-50.0f, german->position.y);
    EXPECT_FLOAT_EQ(0.0f, german->position.x);

    game.frame();
    game.screenshot("language-select");
    // The loader waits behind the screen; Escape and a click beside the flags change nothing.
    PlatformEventInjector::key("Escape", true);
    game.frame();
    PlatformEventInjector::key("Escape", false);
    click(game, 700, 500);
    EXPECT_EQ(screen, game.stack().getLastChild());
    EXPECT_EQ(209, loaderOf(game.stack())->currentStep);

    click(game, 400, 350); // the German flag, 50 units below the centre
    EXPECT_EQ(1, Kiv::instance()->defaultLanguage);
    ASSERT_TRUE(game.runUntilLoaded());
    EXPECT_EQ(1, Kiv::instance()->language->currentLanguage);
    EXPECT_EQ("loader(closed) menu story splash", game.screens());
}

TEST(LanguageScreen, MaskWithOneLanguageShowsOneFlagInTheCentre)
{
    FrontHarness game(ASK, "en_US.UTF-8", staticConfig("01"));
    ContextLanguageSelect* screen = runToFlagScreen(game);
    ASSERT_NE(nullptr, screen);
    auto* flag = dynamic_cast<LanguageFlag*>(screen->getFirstChild());
    ASSERT_NE(nullptr, flag);
    EXPECT_EQ(nullptr, flag->getNext());
    EXPECT_EQ(1, flag->language);
    EXPECT_FLOAT_EQ(0.0f, flag->position.x);
    EXPECT_FLOAT_EQ(0.0f, flag->position.y);
}

TEST(LanguageScreen, MaskOfferingNothingOffersLanguageZero)
{
    FrontHarness game(ASK, "de_DE.UTF-8", staticConfig("00"));
    ContextLanguageSelect* screen = runToFlagScreen(game);
    ASSERT_NE(nullptr, screen);
    auto* flag = dynamic_cast<LanguageFlag*>(screen->getFirstChild());
    ASSERT_NE(nullptr, flag);
    EXPECT_EQ(0, flag->language);
    EXPECT_TRUE(game.engine().logContains("The language mask offers no language; using language 0."));
    click(game, 400, 300);
    EXPECT_EQ(0, Kiv::instance()->defaultLanguage);
    EXPECT_TRUE(game.runUntilLoaded());
}

TEST(LanguageScreen, DetectionFollowsTheSystemLanguageAndTheMask)
{
    {
        FrontHarness game({}, "fr_FR.UTF-8");
        ASSERT_TRUE(game.runUntilLoaded());
        EXPECT_TRUE(game.engine().logContains("Trying to autodetect system language 'fr'..."));
        EXPECT_TRUE(game.engine().logContains("ContextLanguageSelect::autodetectLanguage(): Not found."));
        EXPECT_EQ(0, Kiv::instance()->language->currentLanguage);
    }
    {
        // English is not on offer, so detection finds nothing; language 0 is used all the same.
        FrontHarness game({}, "en_GB.UTF-8", staticConfig("01"));
        ASSERT_TRUE(game.runUntilLoaded());
        EXPECT_EQ(0, Kiv::instance()->defaultLanguage);
        EXPECT_EQ(0, Kiv::instance()->language->currentLanguage);
    }
    {
        FrontHarness game({}, "de_AT.UTF-8");
        ASSERT_TRUE(game.runUntilLoaded());
        EXPECT_TRUE(game.engine().logContains("Found match."));
        game.restart(); // the engine wrote the detected language into ".cfg"
        EXPECT_EQ(1, Kiv::instance()->defaultLanguage);
    }
}

TEST(LanguageScreen, FixedLanguageOrStoredChoiceShowNoScreen)
{
    {
        FrontHarness game(ASK, "en_GB.UTF-8", staticConfig("", 1));
        EXPECT_EQ(nullptr, runToFlagScreen(game));
        EXPECT_TRUE(game.engine().logContains("Loader::loadStuff(): Single language mode (1)."));
        EXPECT_EQ(1, Kiv::instance()->language->currentLanguage);
    }
    {
        // A stored language that is not on offer falls back to language 0.
        FrontHarness game("[Kiv]\ndefaultLanguage=7\n", "de_DE.UTF-8");
        EXPECT_EQ(nullptr, runToFlagScreen(game));
        EXPECT_EQ(0, Kiv::instance()->language->currentLanguage);
    }
}

TEST(LanguageScreen, FlagPicturesByIsoCode)
{
    EXPECT_EQ(0, ContextLanguageSelect::isoCode2skinIndex(u"en"));
    EXPECT_EQ(2, ContextLanguageSelect::isoCode2skinIndex(u"de"));
    EXPECT_EQ(14, ContextLanguageSelect::isoCode2skinIndex(u"nl"));
    ErrorManager::setThrowForTests(true);
    try {
        ContextLanguageSelect::isoCode2skinIndex(u"sv");
        FAIL() << "an unknown code must stop the program";
    } catch (const FatalError& error) {
        EXPECT_EQ(u"Could not find flag for ISO code 'sv'", error.message);
    }
    ErrorManager::setThrowForTests(false);
}

// The keys used on the flags long into a run, then the game restarted (as a change of language restarts
// it, counting its frames from 0 again): on the new run's flags the keys move at once.
TEST(LanguageScreen, AfterARestartTheKeysMoveAtOnce)
{
    FrontHarness game(ASK, "en_US.UTF-8");
    ASSERT_NE(nullptr, runToFlagScreen(game));
    game.frames(300);
    press(game, "Up");
    game.restart();
    ASSERT_NE(nullptr, runToFlagScreen(game));
    game.frame();
    press(game, "Down");
    EXPECT_FLOAT_EQ(250.0f, Kiv::instance()->input->pointer.y) << "on German";
    press(game, "Up");
    EXPECT_FLOAT_EQ(350.0f, Kiv::instance()->input->pointer.y) << "on English";
}

TEST(LanguageScreen, KeyboardMovesToAFlagAndConfirmChoosesIt)
{
    FrontHarness game(ASK, "en_US.UTF-8");
    ASSERT_NE(nullptr, runToFlagScreen(game));
    game.frame();
    press(game, "Up"); // from the lower right corner onto a flag
    const V3 onFlag = Kiv::instance()->input->pointer;
    EXPECT_FLOAT_EQ(400.0f, onFlag.x);
    press(game, onFlag.y > 300.0f ? "Down" : "Up"); // onto the other flag
    press(game, "Down"); // nothing further down: the pointer stays on German
    EXPECT_FLOAT_EQ(250.0f, Kiv::instance()->input->pointer.y);
    press(game, "Return");
    game.frame();
    EXPECT_EQ(1, Kiv::instance()->defaultLanguage);
    ASSERT_TRUE(game.runUntilLoaded());
    EXPECT_EQ(1, Kiv::instance()->language->currentLanguage);
}

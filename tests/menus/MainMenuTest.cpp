// The main menu as a player sees it and uses it: logo, greeting, buttons, quitting, saving, crash key.
#include "MenuFixture.h"

#include "engine/core/ErrorManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextSprite.h"
#include "game/language/Language.h"
#include "game/front/ContextIntro.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/menus/ContextDialog.h"
#include "game/menus/ContextEnterName.h"
#include "game/menus/ContextGameMain.h"
#include "game/menus/ContextPlayers.h"
#include "game/menus/GameLogo.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuLinkButton.h"
#include "game/menus/PlayerGreeting.h"
#include "game/options/ContextHighScores.h"
#include "game/options/ContextOptions.h"
#include "game/worldmap/ContextValley.h"

namespace {
class MainMenu : public MenuFixture {
protected:
    ContextGameMain* open()
    {
        auto* menu = new ContextGameMain();
        push(menu);
        return menu;
    }
    template <class T>
    static T* find(Context* screen)
    {
        for (KivBase* child = screen->getFirstChild(); child != nullptr; child = child->getNext()) {
            if (auto* found = dynamic_cast<T*>(child)) {
                return found;
            }
        }
        return nullptr;
    }
};
} // namespace

TEST_F(MainMenu, ShowsTheLogoAndGreetsTheCurrentPlayer)
{
    addPlayers(2);
    global().profiles.currentProfile = 1;
    ContextGameMain* menu = open();
    auto* greeting = find<PlayerGreeting>(menu);
    ASSERT_NE(nullptr, greeting);
    frames(1);
    EXPECT_EQ(u"Hello, Ben!", greeting->greetingText->text);
    EXPECT_EQ(u"Click here to change players.", greeting->hintText->text);
    find<GameLogo>(menu)->age = 3.0; // the subtitle has unfolded
    frames(2);
    screenshot("main-menu");
    const Screen screen = readScreen();

    // The logo stands in the upper half: many of its pixels differ from the backdrop around it.
    const int w = ContextMenu::screenWidth(), h = ContextMenu::screenHeight();
    const int logoY = h / 2 - (h / 2 - 100); // the logo's centre, from the top
    int inked = 0;
    for (int x = w / 2 - 100; x < w / 2 + 100; x += 4) {
        const std::uint32_t above = screen.pixel(x, 4), logo = screen.pixel(x, logoY);
        inked += (above & 0xFFFFFF) != (logo & 0xFFFFFF);
    }
    EXPECT_GT(inked, 20);
    // The greeting is drawn in light pink at y = 35 above the centre.
    int pink = 0;
    for (int y = h / 2 - 35; y < h / 2 - 10; ++y) {
        for (int x = w / 2 - 100; x < w / 2 + 100; ++x) {
            const std::uint32_t p = screen.pixel(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            pink += r > 200 && g > 130 && g < 210 && b > 130 && b < 210;
        }
    }
    EXPECT_GT(pink, 10) << "the greeting is not visible";
}

// The greeting and its hint stand on the backdrop's roof and snow: on a plain white screen their dark rims
// still frame the light letters.
TEST_F(MainMenu, TheGreetingWearsADarkRimOnALightPicture)
{
    addPlayers(1);
    ContextGameMain* menu = open();
    onWhite(menu);
    frames(2);
    screenshot("main-menu-greeting-on-white");
    const Screen screen = readScreen();
    const int w = ContextMenu::screenWidth(), h = ContextMenu::screenHeight();
    auto dark = [&](int top, int bottom) { return screen.darkPixels(w / 2 - 150, w / 2 + 150, top, bottom); };
    EXPECT_GT(dark(h / 2 - 40, h / 2 - 10), 40) << "Hello";
    EXPECT_GT(dark(h / 2 - 8, h / 2 + 14), 40) << "the hint";
}

TEST_F(MainMenu, TheSubtitleUnfoldsBetweenTwoAndThreeSeconds)
{
    GameLogo logo;
    EXPECT_EQ(u"logoSubtitle:0", *ResourceManager::instance()->nameOf(logo.subtitleSprite.pSkin));
    for (int i = 0; i < 150; ++i) {
        logo.tick(0.0, 0.01);
    }
    EXPECT_EQ(0.0f, logo.subtitleSprite.scale.y);
    for (int i = 0; i < 75; ++i) {
        logo.tick(0.0, 0.01);
    }
    EXPECT_NEAR(1.0f - 0.75f * 0.75f, logo.subtitleSprite.scale.y, 0.02f);
    for (int i = 0; i < 100; ++i) {
        logo.tick(0.0, 0.01);
    }
    EXPECT_EQ(1.0f, logo.subtitleSprite.scale.y);
}

TEST_F(MainMenu, BecomingTheTopSavesAndSharpensTheBackdrop)
{
    addPlayers(1);
    ContextGameMain* menu = open();
    const int saved = harness().logIndex("Saving.", static_cast<int>(harness().logLines().size()) - 40);
    EXPECT_GE(saved, 0);
    EXPECT_FALSE(global().contextIntro->bBlurred);
    auto* page = new ContextMenu();
    page->bDeleteWhenClosed = true;
    push(page);
    EXPECT_TRUE(global().contextIntro->bBlurred);
    const std::size_t before = harness().logLines().size();
    page->bClosed = true;
    frames(2);
    EXPECT_EQ(menu, top());
    EXPECT_FALSE(global().contextIntro->bBlurred);
    EXPECT_GE(harness().logIndex("Saving.", static_cast<int>(before)), 0);
}

TEST_F(MainMenu, EscapeAsksFirstAndQuitEndsAtOnce)
{
    addPlayers(1);
    ContextGameMain* menu = open();
    tap(1);
    auto* question = dynamic_cast<ContextDialog*>(top());
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(u"Are you sure?", question->text);
    clickItem(question->pSecondButton); // NO
    frames(2);
    EXPECT_EQ(menu, top());
    EXPECT_FALSE(screens().bQuit);

    tap(1);
    question = dynamic_cast<ContextDialog*>(top());
    ASSERT_NE(nullptr, question);
    clickItem(question->pFirstButton); // YES
    frames(3);
    EXPECT_TRUE(screens().bQuit);
    EXPECT_EQ(nullptr, top());

    menu = open();
    MenuBackButton* quit = find<MenuBackButton>(menu);
    ASSERT_NE(nullptr, quit);
    clickItem(quit);
    frames(1);
    EXPECT_TRUE(screens().bQuit);
    EXPECT_EQ(nullptr, top()) << "no question";
}

TEST_F(MainMenu, TheWebsiteLinkLeavesForTheMakersPage)
{
    addPlayers(1);
    ContextGameMain* menu = open();
    MenuLinkButton* link = find<MenuLinkButton>(menu);
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(u"http://localhost/?src=TobbleXmasdemov1.25", link->url);
    clickItem(link);
    EXPECT_EQ(link->url, global().exitUrl);
    EXPECT_TRUE(screens().bQuit);
}

TEST_F(MainMenu, StartOpensTheWorldMap)
{
    addPlayers(1);
    ContextGameMain* menu = open();
    clickItem(menu->startButton);
    frames(1);
    EXPECT_NE(nullptr, dynamic_cast<ContextValley*>(top()));
}

TEST_F(MainMenu, HighScoresOptionsAndCreditsOpenAPageAbove)
{
    addPlayers(1);
    ContextGameMain* menu = open();
    for (MenuButton* button : {menu->highScoresButton, menu->optionsButton, menu->creditsButton}) {
        clickItem(button);
        frames(1);
        EXPECT_NE(menu, top());
        EXPECT_FALSE(button->bClicked);
        top()->bClosed = true;
        frames(1);
        EXPECT_EQ(menu, top());
    }
}

TEST_F(MainMenu, ClicksInOneFrameAreReadStartOptionsHighScoresCredits)
{
    addPlayers(1);
    ContextGameMain* menu = open();
    menu->highScoresButton->bClicked = true;
    menu->optionsButton->bClicked = true;
    frames(1);
    // Options were pushed first, the high scores above them.
    ASSERT_NE(nullptr, dynamic_cast<ContextHighScores*>(top()));
    EXPECT_NE(nullptr, dynamic_cast<ContextOptions*>(top()->getPrev()));
    for (int i = 0; i < 2; ++i) {
        top()->bClosed = true;
        frames(1);
    }
    EXPECT_EQ(menu, top());
}

TEST_F(MainMenu, TheGreetingOpensThePlayersPageAndANamelessPlayerIsAskedForAName)
{
    addPlayers(1);
    ContextGameMain* menu = open();
    auto* greeting = find<PlayerGreeting>(menu);
    movePointerTo(menu, V3(0, 20, 0));
    frames(1);
    EXPECT_TRUE(greeting->isHovered());
    click();
    EXPECT_NE(nullptr, dynamic_cast<ContextPlayers*>(top()));
    top()->bClosed = true;
    frames(2);
    EXPECT_EQ(menu, top());

    addPlayers(0);
    frames(2);
    auto* entry = dynamic_cast<ContextEnterName*>(top());
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(1, global().config.bNoPlayerName);
    EXPECT_FALSE(entry->bEscapeCloses) << "a first name cannot be skipped";
    EXPECT_EQ(2, screens().countChildren()) << "asked once";
}

TEST_F(MainMenu, TheHintFollowsTheInputMode)
{
    addPlayers(1);
    ContextGameMain* menu = open();
    auto* greeting = find<PlayerGreeting>(menu);
    input().setInputMode(KivInput::INPUT_TOUCH);
    EXPECT_EQ(u"Tap here to change players.", greeting->hintText->text);
    input().setInputMode(KivInput::INPUT_POINTER);
    EXPECT_EQ(u"Click here to change players.", greeting->hintText->text);
}

TEST_F(MainMenu, CtrlAltXCrashesOnPurpose)
{
    addPlayers(1);
    open();
    hold(29);  // left Ctrl
    hold(56);  // left Alt
    frames(1);
    hold(45);
    try {
        frames(1);
        FAIL() << "no crash";
    } catch (const FatalError& error) {
        EXPECT_EQ(u"Crash requested.", error.message);
    }
    hold(45, false);
    hold(29, false);
    hold(56, false);
}

TEST_F(MainMenu, GermanCaptionsFitTheirButtons)
{
    Language& language = *Kiv::instance()->language;
    language.setLanguage(1);
    addPlayers(1);
    ContextGameMain* menu = open();
    frames(2);
    screenshot("main-menu-de");
    for (MenuButton* button : {menu->startButton, menu->highScoresButton, menu->optionsButton, menu->creditsButton}) {
        const float room = button->frameWidth() - button->frameHeight();
        EXPECT_LE(static_cast<float>(button->pFont->measureLine(button->caption)) * button->getFitScale(button->caption),
                  room + 0.5f)
            << wideToUtf8(button->caption);
    }
    auto* players = new ContextPlayers();
    push(players);
    frames(2);
    screenshot("players-de");
    language.setLanguage(0);
}

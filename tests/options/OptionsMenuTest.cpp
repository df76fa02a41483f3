// The options menu and the pages behind its buttons: each opens from its button and closes by Back and
// by Escape; the language change restarts the game; the pause menu opens the same options.
#include "OptionsFixture.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <string_view>

#include "engine/core/Process.h"
#include "engine/core/Reference.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/FontQuad.h"
#include "game/overlays/OverlayPause.h"
#include "game/menus/ContextGameMain.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuChoiceItem.h"
#include "game/online/ContextNetworkWizard1.h"
#include "game/options/ContextAdvancedGraphics.h"
#include "game/options/ContextAlternativeControls.h"
#include "game/options/ContextControlsOptions.h"
#include "game/options/ContextCredits.h"
#include "game/options/ContextGameplayOptions.h"
#include "game/options/ContextGraphicsOptions.h"
#include "game/options/ContextHelp.h"
#include "game/options/ContextHighScores.h"
#include "game/options/ContextKeyboardControls.h"
#include "game/options/ContextOptions.h"
#include "game/options/ContextPlayerControls.h"
#include "game/options/ContextSoundOptions.h"
#include "game/options/ContextTouchControls.h"
#include "game/menus/MenuLinkButton.h"
#include "engine/render/KivGraphics.h"
#include "engine/text/TextSprite.h"
#include "game/front/ContextLanguageSelect.h"
#include "game/language/Language.h"
#include "game/menus/ContextDialog.h"
#include "game/menus/ContextEnterName.h"
#include "game/menus/ContextPlayers.h"
#include "game/online/ContextErrorReport.h"
#include "game/online/ContextNetworkConfig.h"
#include "game/online/ContextScoreUpload.h"
#include "game/options/ContextHighScoreOptions.h"
#include "game/menus/MenuSupport.h"

namespace {
class OptionsMenu : public OptionsFixture {
protected:
    ContextOptions* openOptions()
    {
        auto* options = new ContextOptions();
        push(options);
        return options;
    }
    // Opens a page from the button, closes it by Back, opens it again and closes it by Escape.
    template <class T>
    void opensAndCloses(MenuItem* button, Context* parent, const char* name)
    {
        SCOPED_TRACE(name);
        T* page = open<T>(button);
        ASSERT_NE(nullptr, page);
        screenshot(std::string("options-") + name);
        clickItem(backOf(page));
        frames(1);
        EXPECT_EQ(parent, top());
        ASSERT_NE(nullptr, open<T>(button));
        tap(ESCAPE);
        frames(1);
        EXPECT_EQ(parent, top());
    }
};
} // namespace

// A caption beside its item stands on the night backdrop of the pages: its light letters in their dark rim
// differ clearly from each other.
TEST_F(OptionsMenu, CaptionsAndStackedItemsReadOnTheBackdrop)
{
    auto* page = new ContextSoundOptions();
    push(page);
    frames(2);
    const MenuChoiceItem* item = childOf<MenuChoiceItem>(page);
    ASSERT_NE(nullptr, item);
    ASSERT_NE(nullptr, item->pFont);
    const Screen shot = readScreen();
    const int right = shot.width / 2 + static_cast<int>(item->position.x - item->frameWidth() / 2 - 5.0f);
    const int left = right - item->pFont->measureLine(item->caption);
    const int middle = shot.height / 2 - static_cast<int>(item->position.y);
    auto luminance = [](std::uint32_t p) {
        auto channel = [&](int shift) {
            const double c = ((p >> shift) & 0xFF) / 255.0;
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(16) + 0.7152 * channel(8) + 0.0722 * channel(0);
    };
    double darkest = 1.0, lightest = 0.0;
    for (int y = middle - 8; y <= middle + 8; ++y)
        for (int x = left; x < right; ++x) {
            darkest = std::min(darkest, luminance(shot.pixel(x, y)));
            lightest = std::max(lightest, luminance(shot.pixel(x, y)));
        }
    EXPECT_GT((lightest + 0.05) / (darkest + 0.05), 4.5) << "caption from x " << left << " to " << right;

    // The items stand a row apart, closer than their frames are high: the light fields still keep apart,
    // with the backdrop showing between one item and the next.
    const int x = shot.width / 2 + static_cast<int>(item->position.x);
    EXPECT_GT(luminance(shot.pixel(x + 40, middle)), 0.5) << "the field";
    EXPECT_LT(luminance(shot.pixel(x + 40, middle + page->rowHeight / 2)), 0.3) << "between two fields";
}

TEST_F(OptionsMenu, EveryPageOpensFromItsButtonAndClosesByBackAndEscape)
{
    ContextOptions* options = openOptions();
    screenshot("options-menu");
    opensAndCloses<ContextGameplayOptions>(options->pGameplayButton, options, "gameplay");
    opensAndCloses<ContextSoundOptions>(options->pSoundButton, options, "sound");
    opensAndCloses<ContextHelp>(options->pHelpButton, options, "help");
    opensAndCloses<ContextGraphicsOptions>(options->pGraphicsButton, options, "graphics");
    opensAndCloses<ContextControlsOptions>(options->pControlsButton, options, "controls");

    auto* graphics = open<ContextGraphicsOptions>(options->pGraphicsButton);
    ASSERT_NE(nullptr, graphics);
    opensAndCloses<ContextAdvancedGraphics>(graphics->pAdvancedButton, graphics, "advanced-graphics");
    tap(ESCAPE);

    auto* controls = open<ContextControlsOptions>(options->pControlsButton);
    ASSERT_NE(nullptr, controls);
    opensAndCloses<ContextTouchControls>(controls->pTouchButton, controls, "touch");
    opensAndCloses<ContextKeyboardControls>(controls->pKeyboardButton, controls, "keyboard");
    opensAndCloses<ContextPlayerControls>(controls->pPlayerButton, controls, "player-controls");
    opensAndCloses<ContextAlternativeControls>(controls->pAlternativeButton, controls, "alternative-controls");
    tap(ESCAPE);
    EXPECT_EQ(options, top());

    EXPECT_NE(nullptr, open<ContextNetworkWizard1>(options->pNetworkWizardButton));
    tap(ESCAPE);
    frames(1);
    EXPECT_EQ(options, top());
    tap(ESCAPE);
    frames(1);
    EXPECT_EQ(nullptr, top());
}

TEST_F(OptionsMenu, TheLanguageChangeIsOfferedOnlyWhenTheLanguageIsNotFixed)
{
    Kiv& engine = *Kiv::instance();
    const int single = engine.singleLanguage, language = engine.defaultLanguage;
    engine.singleLanguage = 0; // what a missing key reads as: one fixed language
    ContextOptions* fixed = openOptions();
    EXPECT_EQ(nullptr, fixed->pChangeLanguageButton);
    EXPECT_FLOAT_EQ(-100.0f, fixed->pNetworkWizardButton->position.y);
    EXPECT_FLOAT_EQ(static_cast<float>(-fixed->cornerY), fixed->pHelpButton->position.y);
    fixed->bClosed = true;
    frames(1);

    engine.singleLanguage = -1;
    ContextOptions* options = openOptions();
    ASSERT_NE(nullptr, options->pChangeLanguageButton);
    EXPECT_FLOAT_EQ(-150.0f, options->pChangeLanguageButton->position.y);
    screenshot("options-menu-with-language");
    clickItem(options->pChangeLanguageButton);
    EXPECT_EQ(-1, engine.defaultLanguage) << "the next start asks for the language";
    EXPECT_TRUE(Process::restartRequested());
    // The engine's settings, written when it is deleted for the restart, carry the cleared language.
    engine.saveConfig();
    EXPECT_EQ(-1, engine.config.getInt(u"Kiv", u"defaultLanguage", 0));
    Process::setRestartRequested(false);
    engine.defaultLanguage = language;
    engine.singleLanguage = single;
    engine.saveConfig();
}

TEST_F(OptionsMenu, TheMainMenuOpensHighScoresOptionsAndCredits)
{
    addPlayers(1);
    auto* menu = new ContextGameMain();
    push(menu);
    EXPECT_NE(nullptr, open<ContextHighScores>(menu->highScoresButton));
    tap(ESCAPE);
    EXPECT_NE(nullptr, open<ContextOptions>(menu->optionsButton));
    tap(ESCAPE);
    EXPECT_NE(nullptr, open<ContextCredits>(menu->creditsButton));
    tap(ESCAPE);
    EXPECT_EQ(menu, top());
}

TEST_F(OptionsMenu, ThePauseMenuOpensTheOptionsWhichAreDeletedWhenClosed)
{
    auto* pause = new OverlayPause();
    pause->bDeleteWhenClosed = true;
    push(pause);
    pause->buttonOptions->bClicked = true;
    frames(2);
    auto* options = topAs<ContextOptions>();
    ASSERT_NE(nullptr, options);
    EXPECT_TRUE(options->bDeleteWhenClosed);
    Reference watch;
    watch.set(options);
    tap(ESCAPE);
    frames(1);
    EXPECT_EQ(nullptr, watch.get()) << "the closed options page is deleted";
    EXPECT_EQ(pause, top());
}

TEST_F(OptionsMenu, HelpLinksLeaveForTheDocumentationBesideTheProgramAndTheOnlineHelp)
{
    auto* help = new ContextHelp();
    push(help);
    const UString documentation = help->pDocumentationButton->url;
    EXPECT_EQ(u'/', documentation.front()) << "an absolute path, whatever the working folder";
    EXPECT_EQ(u"/readme.htm", documentation.substr(documentation.size() - 11));
    const UString online = help->pOnlineHelpButton->url;
    EXPECT_EQ(u"http://", online.substr(0, 7));
    EXPECT_EQ(u"/tobble/onlinehelp.php", online.substr(online.size() - 22));
    EXPECT_EQ(UString::npos, online.find(u"//tobble"));
    // The data builder writes the page beside the program.
    std::ifstream readme(std::string(TOBBLE_RUNTIME_DIR) + "/readme.htm");
    std::string page((std::istreambuf_iterator<char>(readme)), std::istreambuf_iterator<char>());
    EXPECT_NE(std::string::npos, page.find("Controls"));
    EXPECT_NE(std::string::npos, page.find("Space"));
    clickItem(help->pDocumentationButton);
    EXPECT_EQ(documentation, global().exitUrl);
    EXPECT_TRUE(screens().bQuit);
}

// Every page in both languages, at 800x600 and at the largest size the game is played at (the test display
// lists only small modes, so a window of that size stands in): each caption, value and title is drawn
// inside the screen and at no less than a readable height, and the page's picture covers the screen. The
// screenshots are kept for a person to look at.
TEST_F(OptionsMenu, EveryPageReadsAndCoversTheScreenInBothLanguagesFrom800x600To2560x1440)
{
    KivGraphics& graphics = *KivGraphics::instance();
    addPlayers(2);
    using Make = Context* (*)();
    const std::pair<const char*, Make> pages[] = {
        {"main", [] () -> Context* { return new ContextGameMain(); }},
        {"options", [] () -> Context* { return new ContextOptions(); }},
        {"gameplay", [] () -> Context* { return new ContextGameplayOptions(); }},
        {"sound", [] () -> Context* { return new ContextSoundOptions(); }},
        {"graphics", [] () -> Context* { return new ContextGraphicsOptions(); }},
        {"advanced", [] () -> Context* { return new ContextAdvancedGraphics(); }},
        {"controls", [] () -> Context* { return new ContextControlsOptions(); }},
        {"touch", [] () -> Context* { return new ContextTouchControls(); }},
        {"keyboard", [] () -> Context* { return new ContextKeyboardControls(); }},
        {"player", [] () -> Context* { return new ContextPlayerControls(); }},
        {"alternative", [] () -> Context* { return new ContextAlternativeControls(); }},
        {"help", [] () -> Context* { return new ContextHelp(); }},
        {"highscores", [] () -> Context* { return new ContextHighScores(); }},
        {"highscore-options", [] () -> Context* { return new ContextHighScoreOptions(); }},
        {"credits", [] () -> Context* { return new ContextCredits(); }},
        {"players", [] () -> Context* { return new ContextPlayers(); }},
        {"enter-name", [] () -> Context* { return new ContextEnterName(true); }},
        {"network-test", [] () -> Context* { return new ContextNetworkWizard1(); }},
        {"network-config", [] () -> Context* { return new ContextNetworkConfig(); }},
        {"score-upload", [] () -> Context* { return new ContextScoreUpload(); }},
        {"error-report", [] () -> Context* { return new ContextErrorReport(); }},
        {"language", [] () -> Context* { return new ContextLanguageSelect(); }},
        {"pause", [] () -> Context* { return new OverlayPause(); }},
        {"question", [] () -> Context* {
             auto* dialog = new ContextDialog();
             dialog->text = MenuSupport::text(STR_CONFIRM);
             dialog->firstCaption = MenuSupport::text(STR_YES);
             dialog->secondCaption = MenuSupport::text(STR_NO);
             dialog->buildContents();
             return dialog;
         }},
    };
    inEachLanguageAt({{800, 600}, {LARGEST_WIDTH, LARGEST_HEIGHT}}, [&](const std::string& lang, int w) {
        const float halfW = static_cast<float>(graphics.width) / 2.0f;
        for (const auto& [name, make] : pages) {
            const std::string shotName = "pages-" + lang + "-" + std::to_string(w) + "-" + name;
            SCOPED_TRACE(shotName);
            Context* page = make();
            push(page);
            const Screen shot = readScreen();
            screenshot(shotName, shot);
            // Bare black: every channel 8 or less of 255, which the pictures never are; the rims and
            // outlines of the texts are black on a few pixels. The question and the pause menu show the
            // screen below them, which they do not have here.
            if (std::string_view(name) != "question" && std::string_view(name) != "pause") {
                const double black = shot.darkPixels(0, shot.width, 0, shot.height, 9);
                EXPECT_LT(black, 0.03 * shot.width * shot.height)
                    << "bare black: " << 100.0 * black / (shot.width * shot.height) << " %";
            }
            auto check = [&](const char* what, const UString& text, const FontQuad* font, const V3& at,
                             std::uint32_t flags, float sx, float sy, float margin) {
                if (text.empty() || font == nullptr) {
                    return;
                }
                const float width = static_cast<float>(font->measureLine(text)) * sx;
                const float height = static_cast<float>(font->getLineHeight()) * sy;
                float left = at.x;
                if (flags & 8) left -= width;
                if (flags & 4) left -= width / 2.0f;
                // At least 85 per cent of its font's height, and clear of the screen's edges.
                EXPECT_GE(height, 0.85f * static_cast<float>(font->getLineHeight()))
                    << what << " " << wideToUtf8(text);
                EXPECT_GE(left, margin - halfW) << what << " " << wideToUtf8(text);
                EXPECT_LE(left + width, halfW - margin) << what << " " << wideToUtf8(text);
                EXPECT_LT(std::abs(at.y), static_cast<float>(graphics.height) / 2.0f)
                    << what << " " << wideToUtf8(text);
            };
            for (KivBase* child = page->getFirstChild(); child != nullptr; child = child->getNext()) {
                if (auto* item = dynamic_cast<MenuItem*>(child)) {
                    if (item->bHidden) continue;
                    const MenuItem::CaptionPlacement placed = item->captionPlacement();
                    check("caption", item->caption, item->pFont, placed.at, placed.flags,
                          item->scale.x * placed.scale, item->scale.y * placed.scale, 8.0f);
                    if (auto* choice = dynamic_cast<MenuChoiceItem*>(item)) {
                        const UString shown = choice->currentText();
                        const float fit = choice->getFitScale(shown);
                        check("value", shown, item->pFont, item->position, 0x14, item->scale.x * fit,
                              item->scale.y * fit, 8.0f);
                    }
                } else if (auto* sprite = dynamic_cast<TextSprite*>(child)) {
                    if (sprite->bHidden) continue;
                    check("text", sprite->text, sprite->pFont, sprite->position, sprite->flags, sprite->scale.x,
                          sprite->scale.y, 4.0f);
                }
            }
            clearScreens();
        }
    });
}

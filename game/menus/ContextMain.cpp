#include "game/menus/ContextMain.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/GameInfo.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "game/front/ContextIntro.h"
#include "game/front/ContextSnow.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/GameLogo.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuLinkButton.h"
#include "game/menus/MenuSupport.h"
#include "game/menus/PlayerGreeting.h"
#include "game/options/ContextCredits.h"
#include "game/options/ContextHelp.h"
#include "game/options/ContextHighScores.h"
#include "game/options/ContextOptions.h"

UString ContextMain::websiteUrl()
{
    return ContextHelp::makerPage(u"/?src=" + UString(GameInfo::GAME_ID) + u"v" + GameInfo::VERSION);
}

ContextMain::ContextMain()
{
    bDeleteWhenClosed = true;
    bConfirmClose = true;
    if (const Global* global = Global::instance()) {
        pPreObject = global->contextIntro;
        pPostObject = global->contextSnow;
    }

    auto* logo = new GameLogo();
    logo->setScale(V3(0.5f, 0.5f, 1.0f));
    logo->setPosition(V3(0.0f, static_cast<float>(screenHeight() / 2 - 100), 0.0f));
    appendChild(logo);
    keepToEdges(logo, false, true);

    auto* greeting = new PlayerGreeting(0.0f, 0.0f, 0.0f);
    addItem(greeting);

    auto button = [&](int row, int textId) {
        auto* item = new MenuButton(0.0f, static_cast<float>(-rowHeight * row), 0.0f, MenuSupport::text(textId),
                                    UString());
        addItem(item);
        return item;
    };
    startButton = button(1, STR_STARTGAME);
    highScoresButton = button(2, STR_HIGHSCORES);
    optionsButton = button(3, STR_OPTIONSDOTS);
    creditsButton = button(4, STR_CREDITS);

    // The corner buttons keep their outer edges at the corners and are wide enough for the German "Beenden"
    // with its arrow to stand at full size, as large as the caption of the other corner.
    constexpr int cornerWidth = 192;
    auto* link = new MenuLinkButton(static_cast<float>(cornerX - cornerWidth / 2), static_cast<float>(-cornerY), 0.0f,
                                    MenuSupport::text(STR_WEBSITE), MenuSupport::text(STR_WEBSITEHINT));
    link->url = websiteUrl();
    link->setWidth(cornerWidth);
    addItem(link);
    keepToEdges(link, true, true);

    auto* quit = new MenuBackButton(static_cast<float>(cornerWidth / 2 - cornerX), static_cast<float>(-cornerY), 0.0f,
                                    MenuSupport::text(STR_QUIT), UString());
    quit->setWidth(cornerWidth);
    addItem(quit);
    keepToEdges(quit, true, true);
}

void ContextMain::onActivate(bool firstActivation)
{
    ContextMenu::onActivate(firstActivation);
    if (Global* global = Global::instance()) {
        global->saveUserData();
        if (global->contextIntro != nullptr) {
            global->contextIntro->bBlurred = false;
        }
    }
}

void ContextMain::onDeactivate(bool closing)
{
    ContextMenu::onDeactivate(closing);
    if (Global* global = Global::instance()) {
        if (global->contextIntro != nullptr) {
            global->contextIntro->bBlurred = true;
        }
    }
}

void ContextMain::tickContents(double tickTime, double dt)
{
    ContextMenu::tickContents(tickTime, dt);
    const KivInput* input = Kiv::instance() != nullptr ? Kiv::instance()->input : nullptr;
    if (input != nullptr && input->wasKeyPressed(45) && input->getModifierState() == 4) {
        ErrorManager::error(u"Crash requested.", "ContextMain::tickContents", __FILE__, __LINE__);
    }
    if (startButton != nullptr && startButton->takeClick()) {
        startGame();
    }
    if (optionsButton != nullptr && optionsButton->takeClick()) {
        MenuSupport::pushScreen(new ContextOptions());
    }
    if (highScoresButton != nullptr && highScoresButton->takeClick()) {
        MenuSupport::pushScreen(new ContextHighScores());
    }
    if (creditsButton != nullptr && creditsButton->takeClick()) {
        MenuSupport::pushScreen(new ContextCredits());
    }
}

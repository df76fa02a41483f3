#include "game/options/ContextOptions.h"

#include "engine/core/Process.h"
#include "engine/kiv/Kiv.h"
#include "game/language/Language.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuSupport.h"
#include "game/online/ContextNetworkWizard1.h"
#include "game/options/ContextControlsOptions.h"
#include "game/options/ContextGameplayOptions.h"
#include "game/options/ContextGraphicsOptions.h"
#include "game/options/ContextHelp.h"
#include "game/options/ContextSoundOptions.h"

ContextOptions::ContextOptions() : ContextOptionPage(STR_OPTIONS)
{
    auto button = [&](float y, int textId) {
        auto* item = new MenuButton(0.0f, y, 0.0f, MenuSupport::text(textId), UString());
        addItem(item);
        return item;
    };
    pGameplayButton = button(row(2), STR_GAMEPLAY);
    pControlsButton = button(row(1), STR_CONTROLS);
    pGraphicsButton = button(row(0), STR_GRAPHICS);
    pSoundButton = button(row(-1), STR_SOUND);
    pNetworkWizardButton = button(row(-2), STR_NETWORKWIZARD);
    const Kiv* engine = Kiv::instance();
    if (engine != nullptr && engine->singleLanguage < 0) {
        pChangeLanguageButton = button(row(-3), STR_CHANGELANGUAGE);
    }
    pHelpButton = button(static_cast<float>(-cornerY), STR_HELP);
    pHelpButton->setWidth(160);
    keepToEdges(pHelpButton, false, true);
    addBackButton();
}

void ContextOptions::changeLanguage()
{
    if (Kiv* engine = Kiv::instance()) {
        engine->defaultLanguage = -1;
    }
    Process::setRestartRequested(true);
}

void ContextOptions::tickContents(double tickTime, double dt)
{
    ContextOptionPage::tickContents(tickTime, dt);
    if (pGameplayButton->takeClick()) {
        MenuSupport::pushScreen(new ContextGameplayOptions());
    }
    if (pControlsButton->takeClick()) {
        MenuSupport::pushScreen(new ContextControlsOptions());
    }
    if (pGraphicsButton->takeClick()) {
        MenuSupport::pushScreen(new ContextGraphicsOptions());
    }
    if (pSoundButton->takeClick()) {
        MenuSupport::pushScreen(new ContextSoundOptions());
    }
    if (pNetworkWizardButton->takeClick()) {
        MenuSupport::pushScreen(new ContextNetworkWizard1());
    }
    if (pChangeLanguageButton != nullptr && pChangeLanguageButton->takeClick()) {
        changeLanguage();
    }
    if (pHelpButton->takeClick()) {
        MenuSupport::pushScreen(new ContextHelp());
    }
}

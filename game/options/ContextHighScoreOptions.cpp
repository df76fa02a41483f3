#include "game/options/ContextHighScoreOptions.h"

#include "engine/text/TextSprite.h"
#include "game/front/ContextIntro.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuLinkButton.h"
#include "game/menus/MenuSupport.h"
#include "game/online/ContextNetworkWizard1.h"
#include "game/online/ContextScoreUpload.h"
#include "game/options/ContextHelp.h"

ContextHighScoreOptions::ContextHighScoreOptions()
{
    bDeleteWhenClosed = true;
    if (const Global* global = Global::instance()) {
        pPreObject = global->contextIntro;
    }
    addTitle(STR_HIGHSCOREOPTIONS);

    pOkButton = addBackButton(STR_OK);
    const float row = static_cast<float>(rowHeight);
    pWorldWideButton = new MenuLinkButton(0.0f, row, 0.0f, MenuSupport::text(STR_WORLDWIDESCORES),
                                          MenuSupport::text(STR_WORLDWIDESCORESHINT));
    pWorldWideButton->url = ContextHelp::makerPage(u"/tobble/highscoretable.php");
    addItem(pWorldWideButton);
    uploadButton = new MenuButton(0.0f, 0.0f, 0.0f, MenuSupport::text(STR_UPLOADSCORES),
                                  MenuSupport::text(STR_UPLOADSCORESHINT));
    addItem(uploadButton);
    resetButton = new MenuButton(0.0f, -row, 0.0f, MenuSupport::text(STR_RESETSCORES),
                                 MenuSupport::text(STR_RESETSCORESHINT));
    resetButton->confirmText = MenuSupport::text(STR_CONFIRM);
    addItem(resetButton);
}

void ContextHighScoreOptions::tickContents(double tickTime, double dt)
{
    ContextMenu::tickContents(tickTime, dt);
    Global* global = Global::instance();
    if (resetButton->takeClick() && global != nullptr) {
        global->config.resetHighScores();
        global->highlightedHighScore = -1;
    }
    if (uploadButton->takeClick() && global != nullptr) {
        // The network is tested and configured first.
        if (global->config.bNetworkConfigured != 0) {
            MenuSupport::pushScreen(new ContextScoreUpload());
        } else {
            MenuSupport::pushScreen(new ContextNetworkWizard1());
        }
    }
}

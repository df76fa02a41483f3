#include "game/options/ContextCredits.h"

#include "engine/core/Format.h"
#include "engine/core/GameInfo.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/TextSprite.h"
#include "game/front/ContextIntro.h"
#include "game/front/Global.h"
#include "game/menus/MenuSupport.h"
#include "game/worldmap/CreditsScroller.h"

ContextCredits::ContextCredits()
{
    endTime = DURATION;
    bDeleteWhenClosed = true;
    bWaitForContinue = true;
    if (const Global* global = Global::instance()) {
        pPreObject = global->contextIntro;
    }
    const Kiv* engine = Kiv::instance();
    const int renderMode = engine != nullptr ? engine->hq2x : 1;
    const int w = screenWidth() / 2, h = screenHeight() / 2;
    pVersion = new TextSprite(static_cast<float>(w - 4), static_cast<float>(2 - h), 0.0f,
                              formatString(u"%s %dx", getVersionString(), renderMode),
                              MenuSupport::font(MenuSupport::FONT_TINY), UColor(0xFFFFFFFFu));
    pVersion->flags = 0x28;
    pVersion->bShadow = false;
    appendChild(pVersion);
    keepToEdges(pVersion, true, true);

    pScroller = new CreditsScroller();
    pScroller->addCredits();
    appendChild(pScroller);
}

void ContextCredits::renderContents()
{
    for (KivBase* child = pScroller->pLines->getFirstChild(); child != nullptr; child = child->getNext()) {
        if (const auto* line = dynamic_cast<const TextSprite*>(child); line != nullptr && !child->bDeleted) {
            MenuSupport::drawRim(*line, UColor(MenuSupport::DARK_RIM));
        }
    }
    ContextMenu::renderContents();
}

#include "game/options/ContextOptionPage.h"

#include "engine/text/TextSprite.h"
#include "game/front/ContextIntro.h"
#include "game/front/Global.h"

ContextOptionPage::ContextOptionPage(int titleId)
{
    bDeleteWhenClosed = true;
    if (const Global* global = Global::instance()) {
        pPreObject = global->contextIntro;
    }
    pTitle = addTitle(titleId);
    pTitle->bAutoDelete = false;
}

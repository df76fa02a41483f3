#include "game/options/ContextOptionPage.h"

#include "engine/text/TextSprite.h"
#include "game/front/ContextIntro.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuSupport.h"

ContextOptionPage::ContextOptionPage(int titleId)
{
    bDeleteWhenClosed = true;
    if (const Global* global = Global::instance()) {
        pPreObject = global->contextIntro;
    }
    pTitle = new TextSprite(0.0f, static_cast<float>(cornerY), 0.0f, MenuSupport::text(titleId),
                            MenuSupport::font(MenuSupport::FONT_LARGE), UColor(0xFFFFFFFFu));
    pTitle->flags = 5 + 16;
    pTitle->bAutoDelete = false;
    appendChild(pTitle);
}

MenuBackButton* ContextOptionPage::addBackButton()
{
    auto* back = new MenuBackButton(static_cast<float>(80 - cornerX), static_cast<float>(-cornerY), 0.0f,
                                    MenuSupport::text(STR_BACK), UString());
    back->setWidth(160);
    addItem(back);
    return back;
}

#include "game/worldmap/ContextRecipe.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Format.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextBlock.h"
#include "engine/text/TextLine.h"
#include "engine/text/TextSprite.h"
#include "game/front/ContextIntro.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuChoiceItem.h"
#include "game/menus/MenuLinkButton.h"
#include "game/menus/MenuSupport.h"
#include "game/userdata/ProfileData.h"
#include "game/worldmap/RecipeLink.h"

ContextRecipe::ContextRecipe()
{
    bDeleteWhenClosed = true;
    Global* global = Global::instance();
    pPreObject = global->contextIntro;
    const int w = screenWidth(), h = screenHeight();
    const float areaX = static_cast<float>(w / 2 + rowHeight / 2 - marginX);
    const float areaY = static_cast<float>(h / 2 - marginY);

    auto* title = new TextSprite(0.0f, areaY, 0.0f, MenuSupport::text(STR_RECIPE), global->fontLarge,
                                 UColor(0xFFFFFFFFu));
    title->flags = 0x15;
    appendChild(title);

    pageContainer = new KivBase();
    appendChild(pageContainer);

    pageSelector = new MenuChoiceItem(0.0f, static_cast<float>(h / 2 - 125), 0.0f, &page, 0, PAGES - 1,
                                      STR_RECIPEPART0, UString(), UString());
    addItem(pageSelector);

    linkButton = new MenuLinkButton(areaX - 128.0f, -areaY, 0.0f, MenuSupport::text(STR_RECIPEONLINE),
                                    MenuSupport::text(STR_RECIPEONLINEHINT));
    linkButton->url = buildRecipeUrl();
    addItem(linkButton);

    auto* ok = new MenuBackButton(80.0f - areaX, -areaY, 0.0f, MenuSupport::text(STR_OK), UString());
    ok->setWidth(160);
    addItem(ok);

    showPage();
}

void ContextRecipe::tickContents(double time, double dt)
{
    ContextMenu::tickContents(time, dt);
    if (page != shownPage) {
        showPage();
    }
}

UString ContextRecipe::buildRecipeUrl()
{
    const Kiv* kiv = Kiv::instance();
    const UString host = kiv != nullptr ? kiv->webHost : UString(u"localhost");
    return RecipeLink::url(host, RecipeLink::maskOf(Global::instance()->profiles.getCurrentProfile()));
}

void ContextRecipe::showPage()
{
    while (pageContainer->getLastChild() != nullptr) {
        pageContainer->getLastChild()->destroy();
    }
    if (page < 0 || page >= PAGES) {
        page = 0;
    }
    shownPage = page;
    const Global* global = Global::instance();
    const LevelStats& s = global->profiles.getCurrentProfile().levelStats[page];
    if (s.fullMarks[LevelStats::FULL_PERFECT] == 0) {
        auto* locked = new TextSprite(0.0f, 10.0f, 0.0f, MenuSupport::text(STR_RECIPELOCKED1), global->fontSmallOutline,
                                      UColor(0xFFFFFFFFu));
        locked->flags = 4;
        locked->bShadow = false;
        pageContainer->appendChild(locked);
        if (s.available != 0) {
            auto* how = new TextSprite(
                0.0f, -10.0f, 0.0f,
                formatString(UStringView(MenuSupport::text(STR_RECIPELOCKED2)), ProfileData::levelNumberToTitle(page)),
                global->fontSmallOutline, UColor(0xFFFFFFFFu));
            how->flags = 4;
            how->bShadow = false;
            pageContainer->appendChild(how);
        }
        return;
    }

    const int w = screenWidth();
    auto* background = new Renderable();
    background->pSkin = ResourceManager::instance()->find<Skin>(u"minimapBackground:0");
    // The parchment reaches a tenth of the text's width beyond it on either side, so that the text stays
    // clear of its rim; it is never narrower than two and a half times the picture.
    const float pictureWidth = background->pSkin != nullptr ? background->pSkin->width : 0.0f;
    const float wide = pictureWidth > 0.0f ? 1.2f * static_cast<float>(w - 200) / pictureWidth : 0.0f;
    background->scale = V3(std::max(2.5f, wide), 1.1f, 1.0f);
    // The parchment is darkened so that the recipe's white lines stand out on it.
    background->color = UColor(PARCHMENT_TINT);
    background->setPosition(V3(0.0f, -30.0f, 0.0f));
    pageContainer->appendChild(background);

    FontQuad* font = global->fontSmall;
    TextBlock block(MenuSupport::text(STR_RECIPE0 + page), font, static_cast<float>(w - 200), -1.0f);
    const int step = static_cast<int>(1.25f * static_cast<float>(font->getScaledLineHeight()));
    const int n = block.getLineCount();
    float y = static_cast<float>(n * step / 2);
    for (int i = 0; i < n; ++i) {
        float x = static_cast<float>(100 - w / 2);
        for (const TextLine::Run& run : block.getLine(i)->runs) {
            const std::uint32_t color = run.color == TextLine::DEFAULT_COLOR ? 0xFFFFFFFFu : run.color;
            auto* sprite = new TextSprite(x + background->position.x, background->position.y + y,
                                          background->position.z, run.text, font, UColor(color));
            sprite->flags = 2;
            sprite->bShadow = false;
            pageContainer->appendChild(sprite);
            x = std::trunc(x + run.width);
        }
        y -= static_cast<float>(step);
    }
}

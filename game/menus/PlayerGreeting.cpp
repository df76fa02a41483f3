#include "game/menus/PlayerGreeting.h"

#include "engine/core/Format.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Context.h"
#include "engine/text/FontGDI.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextAlign.h"
#include "engine/text/TextSprite.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/ContextEnterName.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/ContextPlayers.h"
#include "game/menus/MenuSupport.h"

PlayerGreeting::PlayerGreeting(float x, float y, float z)
{
    position = V3(x, y, z);
    updateVisuals();
    greetingText = new TextSprite(x, y + 35.0f, z, UString(), MenuSupport::font(MenuSupport::FONT_MEDIUM),
                                  UColor(0xFFFCB7B7u));
    greetingText->bShadow = false;
    greetingText->flags |= TextAlign::SYSTEM_FONT;
    greetingText->bHidden = true; // drawn by render() with the greeting's own font
    appendChild(greetingText);
    greetingFont = std::make_unique<FontGDI>(u"Arial", GREETING_HEIGHT);
    hintText = new TextSprite(x, y + 5.0f, z, UString(), MenuSupport::font(MenuSupport::FONT_SMALL),
                              UColor(0xFFFFFFFFu));
    hintText->bShadow = false;
    appendChild(hintText);
    updateCaption();
}

PlayerGreeting::~PlayerGreeting() = default;

void PlayerGreeting::render()
{
    // Both lines stand on the backdrop's roof and snow: a dark rim keeps the light pink and white letters
    // readable on either.
    if (!bHidden) {
        MenuSupport::drawRim(*hintText, UColor(MenuSupport::DARK_RIM));
    }
    Renderable::render();
    if (!bHidden && greetingFont != nullptr && !greetingText->text.empty()) {
        const float* world = greetingText->world.data();
        const std::uint32_t rim = MenuSupport::darkRimFor(greetingText->color).argb;
        for (const auto& d : MenuSupport::RIM) {
            greetingFont->drawText(world, rim, 0x205, greetingText->text, MenuSupport::RIM_WIDTH * d[0],
                                   MenuSupport::RIM_WIDTH * d[1]);
        }
        greetingFont->drawText(world, greetingText->color.argb, 0x205, greetingText->text);
    }
}

void PlayerGreeting::updateCaption()
{
    const Kiv* engine = Kiv::instance();
    const bool touch = engine != nullptr && engine->input != nullptr &&
                       engine->input->getInputMode() == KivInput::INPUT_TOUCH;
    hintText->setText(MenuSupport::text(touch ? STR_IOS_CLICKTOCHANGEPLAYERS : STR_CLICKTOCHANGEPLAYERS));
}

void PlayerGreeting::onInputModeChange()
{
    Renderable::onInputModeChange();
    updateCaption();
}

void PlayerGreeting::tick(double time, double dt)
{
    Global* global = Global::instance();
    UString name;
    if (global != nullptr) {
        name = global->profiles.getProfileName(global->profiles.currentProfile);
    }
    const UString greeting = formatString(MenuSupport::text(STR_HELLO), name);
    if (greeting != greetingText->text) {
        greetingText->setText(greeting);
    }
    Renderable::tick(time, dt);

    const Context* context = Context::getCurrent();
    bHovered = false;
    if (context != nullptr) {
        const float px = context->pointer.x - position.x;
        const float py = context->pointer.y;
        const float gy = greetingText->position.y;
        bHovered = px >= -100.0f && px < 100.0f && py > gy - 36.0f && py <= gy;
    }
    greetingText->color = UColor(bHovered ? 0xFFFF0000u : 0xFFFCB7B7u);

    const KivInput* input = Kiv::instance() != nullptr ? Kiv::instance()->input : nullptr;
    if (bHovered && input != nullptr && input->isAnyTouchDown()) {
        MenuSupport::pushScreen(new ContextPlayers());
    }
    if (global != nullptr) {
        if (name.empty()) {
            global->config.bNoPlayerName = 1;
            MenuSupport::pushScreen(new ContextEnterName(false));
        } else {
            global->config.bNoPlayerName = 0;
        }
    }
}

V3 PlayerGreeting::getNavigationPoint(int index)
{
    if (index != 0) {
        return NONE;
    }
    const float half = static_cast<float>(greetingFont->getLineHeight()) / 2.0f;
    const V3& at = greetingText->position;
    return ContextMenu::planeToPointer(ContextMenu::contextOf(this), V3(at.x, at.y - half, at.z));
}

#include "game/level/ContextHUD.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Format.h"
#include "engine/core/MathUtil.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Skin.h"
#include "engine/text/FontQuad.h"
#include "game/editor/ContextEditor.h"
#include "game/language/StringIds.h"
#include "game/level/GameController.h"
#include "game/level/LevelServices.h"
#include "game/front/Global.h"
#include "game/userdata/GameConfiguration.h"

const RuntimeClass ContextHUD::classRecord(0xeabb58a6u, &Context::classRecord,
                                           &RuntimeClass::factoryOf<ContextHUD>);

namespace {
Skin* sprite(UStringView name) { return dynamic_cast<Skin*>(LevelServices::resource(name)); }

Renderable* makeButton(UStringView name, float x, float y)
{
    auto* button = new Renderable();
    button->setSkin(sprite(name));
    button->scaleMode = Renderable::SCALE_ASPECT;
    button->setPosition(V3(x, y, 0.0f));
    return button;
}
} // namespace

ContextHUD::ContextHUD()
    : messenger1(LevelServices::font(u"fontLarge"), V3(0.0f, 105.0f, 0.0f)),
      messenger2(LevelServices::font(u"fontMediumOutline"), V3(0.0f, 155.0f, 0.0f)),
      touchLeft(new TouchButton(sprite(u"hud-touchscreen:5"), false)),
      touchRight(new TouchButton(sprite(u"hud-touchscreen:7"), false)),
      touchJump(new TouchButton(sprite(u"hud-touchscreen:6"), true))
{
    messenger1.bSelfRemoving = false;
    messenger2.bSelfRemoving = false;
    const int halfW = HudTouch::screenWidth() / 2;
    const int halfH = HudTouch::screenHeight() / 2;
    const float left = static_cast<float>(-halfW);
    const float right = static_cast<float>(halfW);
    const float bottom = static_cast<float>(-halfH);
    const float top = static_cast<float>(halfH);

    const float r = touchLeft->radius;
    const float m = r + 5.0f;
    const GameConfiguration* config = LevelServices::configuration();
    if (config == nullptr || config->touchArrowPlacement == 0) {
        touchLeft->setPosition(V3(left + m, bottom + m, 0.0f));
        touchRight->setPosition(V3(touchLeft->position.x + 2.0f * r, touchLeft->position.y, touchLeft->position.z));
        touchJump->setPosition(V3(right - m, bottom + m, 0.0f));
    } else {
        touchRight->setPosition(V3(right - m, bottom + m, 0.0f));
        touchLeft->setPosition(V3(touchRight->position.x - 2.0f * r, touchRight->position.y, touchRight->position.z));
        touchJump->setPosition(V3(left + m, bottom + m, 0.0f));
    }
    buttonPause = makeButton(u"hud-touchscreen:1", right - 35.0f, top - 35.0f);
    buttonTutorial = makeButton(u"hud-touchscreen:2", right - 105.0f, top - 35.0f);
    buttonStatistics = makeButton(u"hud-touchscreen:3", right - 175.0f, top - 35.0f);
    buttonMiniMap = makeButton(u"hud-touchscreen:4", right - 245.0f, top - 35.0f);
    for (Renderable* child : {static_cast<Renderable*>(touchLeft), static_cast<Renderable*>(touchRight),
                              static_cast<Renderable*>(touchJump), buttonPause, buttonTutorial, buttonStatistics,
                              buttonMiniMap}) {
        appendChild(child);
    }
}

bool ContextHUD::buttonsShown() const
{
    return !buttonPause->bHidden || !buttonTutorial->bHidden || !buttonStatistics->bHidden || !buttonMiniMap->bHidden;
}

bool ContextHUD::clockBelowButtons() const
{
    const Kiv* kiv = Kiv::instance();
    const bool touch = kiv != nullptr && kiv->input != nullptr && kiv->input->getInputMode() == KivInput::INPUT_TOUCH;
    return touch || buttonsShown();
}

float ContextHUD::topRowHeight() const { return clockBelowButtons() ? TOP_ROW_WITH_BUTTONS : TOP_ROW; }

ContextHUD::~ContextHUD()
{
    messenger2.destroyAllChildren();
    messenger1.destroyAllChildren();
}

void ContextHUD::tickContents(double time, double dt)
{
    Context::tickContents(time, dt);
    const GameController* gc = GameController::getCurrent();
    const int score = gc != nullptr ? gc->levelStats.score : 0;
    const float target = static_cast<float>(score) + 3.0f;
    if (target != scoreCounter.to) {
        scoreCounter.setTarget(target, 0.0f);
    }
    scoreCounter.tick(time, dt);
    messenger1.tick(time, dt);
    messenger2.tick(time, dt);
}

void ContextHUD::renderContents()
{
    Context::renderContents();
    const GameController* gc = GameController::getCurrent();
    if (gc == nullptr) {
        messenger1.render();
        messenger2.render();
        return;
    }
    const int halfW = HudTouch::screenWidth() / 2;
    const int halfH = HudTouch::screenHeight() / 2;
    const float left = static_cast<float>(-halfW);
    const float top = static_cast<float>(halfH);
    const LevelStats& stats = gc->levelStats;

    Renderable stamp;
    stamp.bSkipVisibility = true;
    auto draw = [&](UStringView name, float x, float y, UColor colour) {
        stamp.setSkin(sprite(name));
        stamp.color = colour;
        stamp.setPosition(V3(x, y, 0.0f));
        stamp.render();
    };
    const int n = std::max(0, stats.requiredApples);
    const int d = stats.requiredApplesGot;
    const float step = n <= 10 ? 25.0f : 16.0f;
    draw(u"gui-game-hud:0", left - 70.0f + static_cast<float>(n) * step, top, UColor(0xFFFFFFFFu));
    for (int i = 0; i < n; ++i) {
        draw(n <= 10 ? u"gui-game-hud:1" : u"gui-game-hud:2", left + 128.0f + static_cast<float>(i) * step,
             top - 20.0f, UColor(i < d ? 0xFFFFFFFFu : 0x80000000u));
    }
    stamp.setSkin(nullptr);

    if (FontQuad* medium = LevelServices::font(u"fontMedium")) {
        const int shown = std::min(truncateClamped<int>(scoreCounter.value), stats.score);
        medium->print(V3(left + 5.0f, top - 2.0f, 0.0f), UColor(0x80000000u), 3, formatNumber(shown));
    }

    const GameConfiguration* config = LevelServices::configuration();
    FontQuad* outline = LevelServices::font(u"fontMediumOutline");
    if ((config == nullptr || config->bShowClock != 0) && outline != nullptr) {
        const int t = truncateClamped<int>(stats.time);
        const float x = static_cast<float>(halfW - 50);
        // Below the row of buttons whenever they are drawn: they keep their state while an overlay holds
        // the level, even when a click or key has switched the input mode meanwhile.
        const float y = clockBelowButtons() ? top - 72.0f : top - 12.0f;
        const UColor colour(0xFFFCB7B7u);
        outline->print(V3(x - 3.0f, y, 0.0f), colour, 9, formatString(u"%02d", t / 60));
        outline->print(V3(x, y, 0.0f), colour, 5, u":");
        outline->print(V3(x + 3.0f, y, 0.0f), colour, 3, formatString(u"%02d", t % 60));
    }

    messenger1.render();
    // The editor's lines stand on the second display: they step aside with its panel.
    if (gc->editor == nullptr || !gc->editor->standsAside()) {
        messenger2.render();
    }

    FontQuad* large = LevelServices::font(u"fontLarge");
    if (gc->bBonusLevel && large != nullptr) {
        // Whole seconds and hundredths of the time left, which counts down from the level's par time (at
        // most 5999 s) to 0; a timer that is no number reads as none left.
        const float t = std::isnan(gc->bonusTimer) ? 0.0f : gc->bonusTimer;
        const int s = truncateClamped<int>(t);
        const int c = truncateClamped<int>(std::fmod(t, 1.0f) * 100.0f);
        const float f = std::clamp((5.0f - t) / 5.0f, 0.0f, 1.0f);
        const UColor colour = lerpColor(UColor(0xFFFFFFFFu), UColor(0xFFFF0000u), f);
        const float y = static_cast<float>(halfH - 25);
        large->print(V3(-16.0f, y, 0.0f), colour, 8, formatString(u"%02d", s));
        large->print(V3(0.0f, y, 0.0f), colour, 4, LevelServices::text(STR_DECIMALSEPARATOR));
        large->print(V3(16.0f, y, 0.0f), colour, 2, formatString(u"%02d", c));
    }
}

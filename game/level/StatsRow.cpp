#include "game/level/StatsRow.h"

#include <algorithm>
#include <cmath>

#include "engine/core/MathUtil.h"
#include "engine/render/ParticleEmitter.h"
#include "engine/render/Renderable.h"
#include "engine/render/Skin.h"
#include "engine/text/TextSprite.h"
#include "game/language/StringIds.h"
#include "game/level/LevelServices.h"
#include "game/front/Global.h"
#include "game/userdata/GameConfiguration.h"

namespace {
TextSprite* makeText(float x, const UString& text, uint32_t flags)
{
    auto* sprite = new TextSprite(x, -50.0f, 0.0f, text, LevelServices::font(u"fontLarge"), UColor(0xFFFFFFFFu));
    sprite->flags = flags;
    sprite->bShadow = false;
    sprite->fadeIn = 0.5;
    sprite->bAutoDelete = false;
    return sprite;
}

Renderable* makeBadge(UStringView sheetFrame, UColor colour)
{
    auto* badge = new Renderable();
    badge->setSkin(dynamic_cast<Skin*>(LevelServices::resource(sheetFrame)));
    badge->color = colour;
    return badge;
}

V3 easeQuadOut(const V3& from, const V3& to, float t)
{
    V3 out;
    out.ease(3, from, to, t);
    return out;
}
} // namespace

StatsRow::StatsRow(int32_t target, const V3& rowPosition, UColor starColour, int32_t semitoneOffset, bool trophy,
                   bool star, bool totalRow, const UString& label, const UString& value, double startDelay)
    : target(target), rowPosition(rowPosition), semitoneOffset(semitoneOffset), bTrophy(trophy), bStar(star),
      bTotalRow(totalRow)
{
    duration = 1.0 + ((star || trophy) ? 1.0 : 0.0) + CLEAR_TIME;
    labelText = makeText(-350.0f, label, 0x12);
    valueText = makeText(150.0f, value, 0x18);
    counterText = makeText(350.0f, UString(), 0x18);
    if (star) {
        starSprite = makeBadge(u"statsStar:0", starColour);
    }
    if (trophy) {
        trophySprite = makeBadge(u"statsTrophy:0", UColor(0xFFFFFFFFu));
    }
    stateGoto = 1;
    stateLeft = startDelay;
    if (startDelay <= 0.0) {
        stateLeft = 0.0;
        timeInState = 0.0;
        state = 1;
        onStateChange();
    }
}

StatsRow::~StatsRow() { deleteDetached(); }

void StatsRow::deleteDetached()
{
    for (KivBase** part : {reinterpret_cast<KivBase**>(&labelText), reinterpret_cast<KivBase**>(&valueText),
                           reinterpret_cast<KivBase**>(&counterText), reinterpret_cast<KivBase**>(&starSprite),
                           reinterpret_cast<KivBase**>(&trophySprite)}) {
        if (*part != nullptr && (*part)->getParent() == nullptr) {
            delete *part;
        }
        *part = nullptr;
    }
}

void StatsRow::addBadge(Renderable* sprite, float x, UColor particleColour, int textId)
{
    const V3 at(x, -150.0f, 0.0f);
    sprite->setPosition(at);
    appendChild(sprite);
    const GameConfiguration* config = LevelServices::configuration();
    if (config == nullptr || config->detail >= 1) {
        appendChild(new ParticleEmitter(50, at, 100.0f, 200.0f, 0.0f, 2.0f * static_cast<float>(M_PI), particleColour,
                                        1.0));
    }
    auto* caption =
        new TextSprite(at, LevelServices::text(textId), LevelServices::font(u"fontMediumOutline"), UColor(0xFFFFFFFFu));
    caption->fadeIn = 0.5;
    caption->fadeOut = 0.5;
    caption->flags = 0x14;
    caption->duration = 2.0;
    caption->bShadow = false;
    appendChild(caption);
}

void StatsRow::onStateChange()
{
    switch (state) {
    case 1:
        appendChild(labelText);
        appendChild(valueText);
        appendChild(counterText);
        if (stateGoto != 2) {
            stateGoto = 2;
            stateLeft = 0.5;
        }
        break;
    case 2:
        if (target > 0) {
            LevelServices::playSoundSemitones(u"bellSmall", semitoneOffset);
        }
        break;
    case 3: {
        const int n = (bStar ? 1 : 0) + (bTrophy ? 1 : 0);
        float x = n == 2 ? -100.0f : 0.0f;
        if (bStar) {
            addBadge(starSprite, x, starSprite->color, STR_PERFECT);
            x += 200.0f;
        }
        if (bTrophy) {
            addBadge(trophySprite, x, UColor(0xFFFFFF00u), STR_NEWRECORD);
        }
        if (n > 0) {
            LevelServices::playSoundSemitones(u"vibe", semitoneOffset);
            LevelServices::playSound(u"fireworkBang");
            stateGoto = 4;
            stateLeft = 1.0;
        } else {
            enterStateNow(4);
        }
        break;
    }
    default:
        break;
    }
}

void StatsRow::tick(double time, double dt)
{
    KivBase::tick(time, dt);
    if (state == 2) {
        const float t = std::min(2.0f * static_cast<float>(timeInState), 1.0f);
        const float v = static_cast<float>(target) * (1.0f - (1.0f - t) * (1.0f - t));
        if (target > 0) {
            const UString percent = formatPercentTenths(truncateClamped<int>(v));
            counterText->setText(bTotalRow ? percent : u"+" + percent);
        }
        if (t >= 1.0f && stateGoto != 3) {
            stateLeft = 0.0;
            timeInState = 0.0;
            state = 3;
            stateGoto = 3;
            onStateChange();
        }
    } else if (state == 4) {
        const float t = std::min(static_cast<float>(timeInState), 1.0f);
        const float e = 1.0f - (1.0f - t) * (1.0f - t);
        const V3 r = rowPosition;
        if (!bTotalRow) {
            for (TextSprite* text : {labelText, valueText, counterText}) {
                text->setScaleXY(1.0f - 0.5f * e);
            }
        }
        labelText->setPosition(easeQuadOut(V3(-350.0f, -50.0f, 0.0f), V3(r.x - 280.0f, r.y, r.z), t));
        valueText->setPosition(easeQuadOut(V3(150.0f, -50.0f, 0.0f), V3(r.x + 50.0f, r.y, r.z), t));
        counterText->setPosition(easeQuadOut(V3(350.0f, -50.0f, 0.0f), V3(r.x + 200.0f, r.y, r.z), t));
        auto slide = [&](Renderable* badge, UStringView sheet, float startX, float endX) {
            if (t >= 1.0f) {
                const UString frame = UString(sheet) + (bTotalRow ? u":1" : u":2");
                badge->setSkin(dynamic_cast<Skin*>(LevelServices::resource(frame)));
                badge->setScaleXY(1.0f);
            } else {
                badge->setScaleXY(easeOutQuad(1.0f, bTotalRow ? 0.35f : 0.25f, t));
            }
            badge->setPosition(easeQuadOut(V3(startX, -150.0f, 0.0f), V3(endX, r.y, r.z), t));
        };
        if (bStar) {
            slide(starSprite, u"statsStar", bTrophy ? -100.0f : 0.0f, r.x + 250.0f);
        }
        if (bTrophy) {
            slide(trophySprite, u"statsTrophy", bStar ? 100.0f : 0.0f, bTotalRow ? r.x + 293.0f : r.x + 280.0f);
        }
    }
}

#include "game/level/ContextSky.h"

#include <algorithm>
#include <cmath>

#include "engine/core/KivRandom.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/ParticleEmitter.h"
#include "engine/render/Skin.h"
#include "game/level/GameController.h"
#include "game/level/LevelServices.h"
#include "game/level/TouchButton.h"
#include "game/userdata/GameConfiguration.h"

const RuntimeClass ContextSky::classRecord(0x1cef93a5u, &ContextBlender::classRecord,
                                           &RuntimeClass::factoryOf<ContextSky>);

ContextSky::ContextSky() : sky(new Renderable()), sleigh(new Renderable())
{
    appendChild(sky);
    appendChild(sleigh);
    sleigh->setSkin(dynamic_cast<Skin*>(LevelServices::resource(u"santaSleigh:0")));
    sleigh->color = UColor(0x20FFFFFFu);
    sleigh->setPosition(V3(-10.0f * static_cast<float>(HudTouch::screenWidth()), 0.0f, 0.0f));
}

ContextSky::~ContextSky() = default;

void ContextSky::tickContents(double time, double dt)
{
    const float w = static_cast<float>(HudTouch::screenWidth());
    V3 p = sleigh->position;
    p.x = static_cast<float>(sleighDirection) * 100.0f * static_cast<float>(dt) + p.x;
    if (sleighDirection == 1 && p.x > 5.0f * w) {
        sleighDirection = -1;
        sleigh->setScale(V3(-1.0f, 1.0f, 1.0f));
        p.y = KivRandom::nextFloat() * static_cast<float>(HudTouch::screenHeight() / 2);
    }
    if (sleighDirection == -1 && p.x < -5.0f * w) {
        sleighDirection = 1;
        sleigh->setScale(V3(1.0f, 1.0f, 1.0f));
        p.y = KivRandom::nextFloat() * static_cast<float>(HudTouch::screenHeight() / 2);
    }
    sleigh->setPosition(p);

    const GameConfiguration* config = LevelServices::configuration();
    const int detail = config != nullptr ? config->detail : 1;
    if (detail >= 1 && sleigh->bVisible) {
        sparkleTimer += dt;
        if (sparkleTimer >= sparkleInterval) {
            sparkleTimer = 0.0;
            const float direction = static_cast<float>(sleighDirection) * static_cast<float>(M_PI) / 2.0f +
                                    static_cast<float>(M_PI) / 2.0f;
            for (float k : {50.0f, 26.0f, 0.0f}) {
                auto* glints = new ParticleEmitter(2, V3(p.x + k * static_cast<float>(sleighDirection), p.y - 12.0f, p.z),
                                                   5.0f, 10.0f, direction, static_cast<float>(M_PI),
                                                   UColor(0x20FFFFFFu), 1.5);
                insertChildAfter(glints, sleigh->getPrev());
            }
        }
    }
    Context::tickContents(time, dt);
}

void ContextSky::renderContents()
{
    Kiv* kiv = Kiv::instance();
    KivInput* in = kiv != nullptr ? kiv->input : nullptr;
    if (in != nullptr && in->wasKeyPressed(0x43) && in->isDown(0x36)) {
        if (KivGraphics* graphics = KivGraphics::instance()) {
            // Target, depth and stencil.
            graphics->clear(1u | 2u | 4u, 0xFF000000u, 1.0f, 0);
        }
        return;
    }
    static const char16_t* const skies[4] = {u"sky-spring:0", u"sky-summer:0", u"sky-autumn:0", u"sky-winter:0"};
    if (const GameController* gc = GameController::getCurrent()) {
        const int season = static_cast<int>(gc->season);
        if (season >= 0 && season < 4) {
            auto* skin = dynamic_cast<Skin*>(LevelServices::resource(skies[season]));
            if (skin != sky->pSkin) {
                sky->setSkin(skin);
                // The picture covers the whole screen, whatever its own size.
                if (skin != nullptr && skin->width > 0.0f && skin->height > 0.0f) {
                    const float cover = std::max(static_cast<float>(HudTouch::screenWidth()) / skin->width,
                                                 static_cast<float>(HudTouch::screenHeight()) / skin->height);
                    sky->setScale(V3(cover, cover, 1.0f));
                }
            }
        }
    }
    Context::renderContents();
}

#include "engine/render/FadingSprite.h"

#include <algorithm>

#include "engine/render/Skin.h"

const RuntimeClass FadingSprite::classRecord(u"FadingSprite", &Renderable::classRecord,
                                             &RuntimeClass::factoryOf<FadingSprite>);

FadingSprite::FadingSprite(Skin* skin, const V3& p, double delay_, double fadeIn_, double duration_, double fadeOut_)
    : delay(delay_), fadeIn(fadeIn_), duration(duration_), fadeOut(fadeOut_)
{
    position = p;
    setSkin(skin, false);
}

float FadingSprite::getFade() const
{
    double t = age - delay;
    if (t < 0.0) {
        return 0.0f;
    }
    if (t < fadeIn) {
        return static_cast<float>(t / fadeIn);
    }
    t -= fadeIn;
    if (t <= duration) {
        return 1.0f;
    }
    t -= duration;
    if (t < fadeOut) {
        return static_cast<float>(1.0 - t / fadeOut);
    }
    return 0.0f;
}

void FadingSprite::tick(double time, double dt)
{
    Renderable::tick(time, dt);
    age += dt;
    if (bAutoDelete && age > delay + fadeIn + duration + fadeOut) {
        bDeleted = true;
    }
}

void FadingSprite::render()
{
    const float fade = getFade();
    if (fade <= 0.0f || pSkin == nullptr || bHidden) {
        KivBase::render();
        return;
    }
    const UColor base = color;
    color = UColor((base.argb & 0x00FFFFFFu) | (static_cast<std::uint32_t>(static_cast<float>(base.a()) * fade) << 24));
    Renderable::render();
    color = base;
}

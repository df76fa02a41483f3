#include "game/level/FadingGlyph.h"

#include "engine/core/MathUtil.h"

FadingGlyph::FadingGlyph(Skin* skin, float x, float y, float z, double delay, double time)
    : basePosition(x, y, z), startDelay(delay), displayTime(time)
{
    bSkipVisibility = true;
    setSkin(skin);
    setPosition(basePosition);
    color = UColor(0x00FFFFFFu);
}

void FadingGlyph::tick(double time, double dt)
{
    Renderable::tick(time, dt);
    const double age = timeInState;
    const double end = startDelay + displayTime;
    if (age > end) {
        bDeleted = true;
        return;
    }
    if (pSkin == nullptr) {
        return;
    }
    float alpha;
    if (age < startDelay + 0.25) {
        const float s = linearStep(static_cast<float>(startDelay), static_cast<float>(startDelay + 0.25),
                                   static_cast<float>(age));
        alpha = 255.0f * s * s;
    } else {
        const float s = linearStep(static_cast<float>(end - 0.25), static_cast<float>(end), static_cast<float>(age));
        alpha = 255.0f * (1.0f - s * s);
    }
    color = UColor((static_cast<uint32_t>(alpha) << 24) | (color.argb & 0x00FFFFFFu));
}

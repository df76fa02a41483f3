#include "engine/text/TextSprite.h"

#include <algorithm>
#include <cmath>

#include "engine/text/FontQuad.h"

const RuntimeClass TextSprite::classRecord(u"TextSprite", &Renderable::classRecord, &RuntimeClass::factoryOf<TextSprite>);

TextSprite::TextSprite(float x, float y, float z, const UString& text_, FontQuad* font, UColor color_)
    : text(text_), pFont(font)
{
    color = color_;
    position = V3(x, y, z);
    updateVisuals();
}

void TextSprite::setText(const UString& newText)
{
    text = newText;
    updateVisuals();
}

void TextSprite::updateVisuals()
{
    Renderable::updateVisuals();
    if (pFont != nullptr) {
        const float w = static_cast<float>(pFont->measureLine(text)) * std::fabs(scale.x);
        const float h = static_cast<float>(pFont->getLineHeight()) * std::fabs(scale.y);
        // The anchor may be any corner or edge: a circle around the anchor that holds the whole line.
        boundsCenter = world.getTranslation();
        boundingRadius = std::sqrt(w * w + h * h);
    }
}

void TextSprite::fitToWidth(float width)
{
    if (pFont == nullptr) {
        return;
    }
    const float textWidth = static_cast<float>(pFont->measureLine(text));
    if (textWidth > width && textWidth > 0.0f) {
        scale = V3(width / textWidth, 1.0f, 1.0f);
        updateVisuals();
    }
}

float TextSprite::getFade() const
{
    const double t = age - delay;
    if (t < 0.0 || t > duration) {
        return 0.0f;
    }
    double f = 1.0;
    if (fadeIn > 0.0 && t < fadeIn) {
        f = t / fadeIn;
    }
    if (fadeOut > 0.0 && t > duration - fadeOut) {
        f = std::min(f, (duration - t) / fadeOut);
    }
    return static_cast<float>(std::clamp(f, 0.0, 1.0));
}

bool TextSprite::isShowing() const { return age >= delay && age - delay <= duration; }

void TextSprite::tick(double time, double dt)
{
    Renderable::tick(time, dt);
    age += dt;
    if (bAutoDelete && age - delay > duration) {
        bDeleted = true;
    }
}

void TextSprite::render()
{
    if (!bHidden && pFont != nullptr && isShowing()) {
        bVisible = isInView();
        if (bVisible) {
            const std::uint32_t alpha = static_cast<std::uint32_t>(static_cast<float>(color.a()) * getFade());
            const std::uint32_t rgb = color.argb & 0x00FFFFFFu;
            if (bShadow) {
                const std::uint32_t shadowAlpha = alpha * 64 / 255;
                pFont->drawLine(world, shadowAlpha << 24, flags, text, 0.0f, -4.0f, 0.0f);
            }
            pFont->drawLine(world, (alpha << 24) | rgb, flags, text);
        }
    }
    KivBase::render();
}

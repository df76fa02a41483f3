#include "game/level/MessageDisplay.h"

#include "engine/render/Quad.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextSprite.h"
#include "game/level/FadingGlyph.h"

MessageDisplay::MessageDisplay(FontQuad* font, const V3& position) : font(font), position(position) {}

void MessageDisplay::setMessage(const UString& text, double time)
{
    while (KivBase* child = getLastChild()) {
        child->destroy();
    }
    if (text.empty() || font == nullptr) {
        return;
    }
    if (!bLetterByLetter) {
        auto* sprite = new TextSprite(position, text, font, color);
        sprite->flags = 0x24;
        sprite->bShadow = false;
        sprite->duration = time + 1.0;
        sprite->fadeIn = 1.0;
        sprite->fadeOut = 1.0;
        appendChild(sprite);
        return;
    }
    const int width = font->measureLine(text);
    float x = position.x - static_cast<float>(width / 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const FontQuad::Symbol* symbol = font->getSymbol(text[i]);
        const double delay = static_cast<double>(i) * 0.05;
        Quad* glyph = symbol != nullptr ? symbol->pBaseQuad : nullptr;
        auto* base = new FadingGlyph(glyph, x, position.y, position.z, delay, time);
        base->color = UColor(color.argb & 0x00FFFFFFu);
        appendChild(base);
        if (symbol != nullptr && symbol->pAccentQuad != nullptr) {
            auto* accent = new FadingGlyph(symbol->pAccentQuad, x + static_cast<float>(symbol->accentX),
                                           position.y + static_cast<float>(symbol->accentY), position.z, delay, time);
            accent->color = UColor(color.argb & 0x00FFFFFFu);
            appendChild(accent);
        }
        const int advance = glyph != nullptr ? static_cast<int>(glyph->width) : font->spaceAdvance;
        x += static_cast<float>((symbol != nullptr ? symbol->extraSpacing : 0) + advance);
    }
}

void MessageDisplay::tick(double time, double dt)
{
    KivBase::tick(time, dt);
    if (bSelfRemoving && getFirstChild() == nullptr) {
        bDeleted = true;
    }
}

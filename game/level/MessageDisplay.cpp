#include "game/level/MessageDisplay.h"

#include "engine/render/Quad.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextSprite.h"
#include "game/level/FadingGlyph.h"

MessageDisplay::MessageDisplay(FontQuad* font, const V3& position) : font(font), position(position) {}

void MessageDisplay::setMessage(const UString& message, double time)
{
    text = message;
    laidOutX = position.x;
    laidOutWidth = maxWidth;
    while (KivBase* child = getLastChild()) {
        child->destroy();
    }
    if (message.empty() || font == nullptr) {
        return;
    }
    if (!bLetterByLetter) {
        auto* sprite = new TextSprite(position, message, font, color);
        sprite->flags = 0x24;
        sprite->bShadow = false;
        sprite->duration = time + 1.0;
        sprite->fadeIn = 1.0;
        sprite->fadeOut = 1.0;
        if (maxWidth > 0.0f) {
            sprite->fitToWidth(maxWidth);
        }
        appendChild(sprite);
        return;
    }
    const int width = font->measureLine(message);
    const float fit = maxWidth > 0.0f && static_cast<float>(width) > maxWidth ? maxWidth / static_cast<float>(width)
                                                                                 : 1.0f;
    float x = position.x - (fit < 1.0f ? static_cast<float>(width) * fit / 2.0f : static_cast<float>(width / 2));
    auto place = [&](FadingGlyph* glyph) {
        if (fit < 1.0f) {
            glyph->setScale(V3(fit, fit, 1.0f));
        }
        glyph->color = UColor(color.argb & 0x00FFFFFFu);
        appendChild(glyph);
    };
    // x runs along the glyphs' left edges; a glyph sprite is drawn about its centre, level with the line.
    for (std::size_t i = 0; i < message.size(); ++i) {
        const FontQuad::Symbol* symbol = font->getSymbol(message[i]);
        const double delay = static_cast<double>(i) * LETTER_DELAY;
        Quad* glyph = symbol != nullptr ? symbol->pBaseQuad : nullptr;
        const float glyphWidth = glyph != nullptr ? glyph->width : 0.0f;
        const float glyphHeight = glyph != nullptr ? glyph->height : 0.0f;
        place(new FadingGlyph(glyph, x + glyphWidth * fit / 2.0f, position.y, position.z, delay, time));
        if (glyph != nullptr && symbol->pAccentQuad != nullptr) {
            const Quad* accent = symbol->pAccentQuad;
            const float accentX = static_cast<float>(symbol->accentX) + accent->width / 2.0f;
            const float accentY = glyphHeight / 2.0f - static_cast<float>(symbol->accentY) - accent->height / 2.0f;
            place(new FadingGlyph(symbol->pAccentQuad, x + accentX * fit, position.y + accentY * fit, position.z,
                                  delay, time));
        }
        const int advance = glyph != nullptr ? static_cast<int>(glyph->width) + symbol->extraSpacing : font->spaceAdvance;
        x += static_cast<float>(advance) * fit;
    }
}

void MessageDisplay::tick(double time, double dt)
{
    KivBase::tick(time, dt);
    if (bSelfRemoving && getFirstChild() == nullptr) {
        bDeleted = true;
    }
}

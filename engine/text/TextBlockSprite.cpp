#include "engine/text/TextBlockSprite.h"

#include "engine/text/FontQuad.h"
#include "engine/text/TextAlign.h"
#include "engine/text/TextBlock.h"
#include "engine/text/TextLine.h"
#include "engine/text/TextSprite.h"

const RuntimeClass TextBlockSprite::classRecord(u"TextBlockSprite", &Renderable::classRecord,
                                                &RuntimeClass::factoryOf<TextBlockSprite>);

TextBlockSprite::TextBlockSprite() = default;

TextBlockSprite::TextBlockSprite(const TextSprite& templateSprite, float wrapWidth)
    : pFont(templateSprite.pFont), flags(templateSprite.flags),
      block(std::make_unique<TextBlock>(templateSprite.text, templateSprite.pFont, wrapWidth, -1.0f))
{
    color = templateSprite.color;
    position = templateSprite.position;
    scale = templateSprite.scale;
    rotation = templateSprite.rotation;
    bSkipVisibility = true;
    updateVisuals();
}

TextBlockSprite::~TextBlockSprite() = default;

void TextBlockSprite::render()
{
    if (!bHidden && pFont != nullptr && block != nullptr) {
        const float sx = pFont->getScaleX(), sy = pFont->getScaleY();
        // Vertical placement of the whole block, horizontal placement per line.
        float top = 0.0f;
        if (flags & TextAlign::VCENTER) {
            top += block->height * 0.5f;
        }
        if (flags & TextAlign::BOTTOM) {
            top += block->height;
        }
        const std::uint32_t alpha = color.argb & 0xFF000000u;
        float y = top;
        for (KivBase* child = block->getFirstChild(); child != nullptr; child = child->getNext()) {
            const auto* line = static_cast<TextLine*>(child);
            const int lineWidth = static_cast<int>(line->width / (sx != 0.0f ? sx : 1.0f));
            const TextAlign::Offset offset = TextAlign::compute(flags & (TextAlign::CENTER | TextAlign::RIGHT), lineWidth,
                                                                0, 0, 0, sx, sy);
            float x = offset.x;
            for (const TextLine::Run& run : line->runs) {
                const std::uint32_t runColor =
                    run.color == TextLine::DEFAULT_COLOR ? color.argb : ((run.color & 0x00FFFFFFu) | alpha);
                pFont->drawLine(world, runColor, flags & TextAlign::SYSTEM_FONT, run.text, x, y, 0.0f);
                x += run.width;
            }
            y -= block->lineSpacing;
        }
    }
    KivBase::render();
}

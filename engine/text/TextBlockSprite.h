#pragma once
// A renderable that draws a text wrapped into a TextBlock, with the position, font, colour and flags of a
// template TextSprite. Colour runs without a colour of their own use the sprite's colour.
#include <memory>

#include "engine/render/Renderable.h"

class FontQuad;
class TextBlock;
class TextSprite;

class TextBlockSprite : public Renderable {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    TextBlockSprite();
    TextBlockSprite(const TextSprite& templateSprite, float wrapWidth);
    ~TextBlockSprite() override;

    void render() override;
    TextBlock* getBlock() const { return block.get(); }

    FontQuad* pFont = nullptr;
    std::uint32_t flags = 5;

private:
    std::unique_ptr<TextBlock> block;
};

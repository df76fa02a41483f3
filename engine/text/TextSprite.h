#pragma once
// A renderable that shows one line of text with a font. It stays hidden until its delay has run down, is
// then drawn for its duration with its alpha ramping up over the fade-in and down over the fade-out, and
// at the end deletes itself when auto-delete is on. With the shadow flag a black copy (alpha x 64 / 255)
// is drawn 4 pixels lower behind the text.
#include "engine/core/UString.h"
#include "engine/render/Renderable.h"

class FontQuad;

class TextSprite : public Renderable {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    TextSprite() = default;
    TextSprite(float x, float y, float z, const UString& text, FontQuad* font, UColor color);
    TextSprite(const V3& position, const UString& text, FontQuad* font, UColor color)
        : TextSprite(position.x, position.y, position.z, text, font, color) {}

    void tick(double time, double dt) override;
    void render() override;
    void updateVisuals() override;

    // When the text is wider, scales it to (width / text width, 1, 1).
    void fitToWidth(float width);
    void setText(const UString& newText);
    // The alpha factor (0 to 1) at the sprite's age; 0 before the delay and after the duration.
    float getFade() const;
    bool isShowing() const;

    UString text;
    FontQuad* pFont = nullptr;
    std::uint32_t flags = 5;
    bool bShadow = true;
    bool bAutoDelete = true;
    double delay = 0.0;
    double duration = 999999.0;
    double fadeIn = 0.0;
    double fadeOut = 0.0;
    double age = 0.0;
};

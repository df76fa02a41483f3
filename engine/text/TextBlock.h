#pragma once
// A text word-wrapped at spaces into lines no wider than the wrap width, with a new line at every "|".
// Its children are the TextLine objects, one per line, in order. A colour set by markup carries over to
// the wrapped lines that follow until the next code; a "|" starts in the default colour again.
#include "engine/core/KivBase.h"
#include "engine/core/UString.h"

class FontQuad;
class TextLine;

class TextBlock : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    TextBlock() = default;
    // A line spacing below 0 means the font's scaled line height.
    TextBlock(const UString& text, FontQuad* font, float wrapWidth, float lineSpacing);
    TextBlock(FontQuad* font, float wrapWidth, float lineSpacing, const UString& text)
        : TextBlock(text, font, wrapWidth, lineSpacing) {}

    void setText(const UString& text);
    int getLineCount() const { return countChildren(); }
    TextLine* getLine(int index) const;

    FontQuad* pFont = nullptr;
    float wrapWidth = 0.0f;
    float lineSpacing = 0.0f;
    float width = 0.0f;  // of the widest line
    float height = 0.0f; // lines x line spacing
};

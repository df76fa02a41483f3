#include "engine/text/TextBlock.h"

#include <algorithm>

#include "engine/text/FontQuad.h"
#include "engine/text/TextLine.h"

const RuntimeClass TextBlock::classRecord(u"TextBlock", &KivBase::classRecord, &RuntimeClass::factoryOf<TextBlock>);

TextBlock::TextBlock(const UString& text, FontQuad* font, float wrap, float spacing)
    : pFont(font), wrapWidth(wrap), lineSpacing(spacing)
{
    if (lineSpacing < 0.0f) {
        lineSpacing = font != nullptr ? static_cast<float>(font->getScaledLineHeight()) : 0.0f;
    }
    setText(text);
}

TextLine* TextBlock::getLine(int index) const
{
    KivBase* child = getFirstChild();
    for (int i = 0; child != nullptr && i < index; ++i) {
        child = child->getNext();
    }
    return static_cast<TextLine*>(child);
}

namespace {
// The last colour code of a line ("" when none), to open the next line with it.
UString lastMarkup(const UString& line)
{
    const std::size_t at = line.rfind(TextLine::MARKUP);
    if (at == UString::npos) {
        return {};
    }
    const std::size_t close = line.find(u'}', at);
    return close == UString::npos ? UString() : line.substr(at, close - at + 1);
}
} // namespace

void TextBlock::setText(const UString& text)
{
    destroyAllChildren();
    width = 0.0f;
    const float scaleX = pFont != nullptr ? pFont->getScaleX() : 1.0f;
    auto measure = [&](const UString& s) {
        return pFont != nullptr ? static_cast<float>(pFont->measureLine(s)) * scaleX : 0.0f;
    };
    std::vector<UString> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t bar = text.find(u'|', start);
        if (bar == UString::npos) {
            bar = text.size();
        }
        const UString paragraph = text.substr(start, bar - start);
        UString line;
        UString carried; // a wrapped line keeps the colour its paragraph had at the break
        std::size_t pos = 0;
        bool lineHasWord = false;
        while (pos <= paragraph.size()) {
            std::size_t space = paragraph.find(u' ', pos);
            if (space == UString::npos) {
                space = paragraph.size();
            }
            const UString word = paragraph.substr(pos, space - pos);
            const UString candidate = lineHasWord ? line + u" " + word : line + word;
            if (lineHasWord && wrapWidth > 0.0f && measure(candidate) > wrapWidth) {
                lines.push_back(line);
                const UString markup = lastMarkup(carried + line);
                carried = markup;
                line = markup + word;
            } else {
                line = candidate;
            }
            lineHasWord = true;
            pos = space + 1;
        }
        lines.push_back(line);
        start = bar + 1;
        if (bar == text.size()) {
            break;
        }
    }
    for (const UString& l : lines) {
        auto* line = new TextLine(l, pFont, scaleX);
        width = std::max(width, line->width);
        appendChild(line);
    }
    height = static_cast<float>(lines.size()) * lineSpacing;
}

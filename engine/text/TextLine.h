#pragma once
// One line of text split into colour runs at the markup: U+001E followed by a braced colour code
// ("{0000ff}", read as at most eight hexadecimal digits). The code 1 returns to the default colour; any
// other code gives that colour made opaque. A code that cannot be read is fatal.
#include <cstdint>
#include <vector>

#include "engine/core/KivBase.h"
#include "engine/core/UString.h"

class FontQuad;

class TextLine : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    static constexpr std::uint32_t DEFAULT_COLOR = 1; // the run has no colour of its own
    static constexpr char16_t MARKUP = 0x1E;

    struct Run {
        UString text;
        float width = 0.0f;
        std::uint32_t color = DEFAULT_COLOR;
    };

    TextLine() = default;
    // Splits the line and measures each run with the font (null: widths 0).
    TextLine(const UString& line, const FontQuad* font, float scaleX = 1.0f);

    // The runs of a line; an empty line has one empty run.
    static std::vector<Run> splitRuns(const UString& line);

    UString text;
    std::vector<Run> runs;
    float width = 0.0f;
};

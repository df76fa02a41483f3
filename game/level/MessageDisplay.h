#pragma once
// One short message centred at a fixed place of a layer, spelled out glyph by glyph: each character is a
// FadingGlyph appearing 0.05 s after the previous one. A new message replaces the old one at once. With
// letter by letter off the whole text is one text sprite instead. A message wider than maxWidth is drawn
// smaller, to fit.
#include "engine/core/KivBase.h"
#include "engine/core/UColor.h"
#include "engine/core/UString.h"

class FontQuad;

class MessageDisplay : public KivBase {
public:
    // Letter by letter, each character appears this long after the one before it (seconds).
    static constexpr double LETTER_DELAY = 0.05;

    MessageDisplay(FontQuad* font, const V3& position);

    void setMessage(const UString& text, double time);
    // The glyphs tick; a self-removing display with no glyph left flags itself for deletion.
    void tick(double time, double dt) override;

    bool bSelfRemoving = true;
    UColor color{0xFFFFFFFFu};
    FontQuad* font;
    V3 position;
    bool bLetterByLetter = true;
    // The widest a message is drawn, in the layer's units; 0 for no limit.
    float maxWidth = 0.0f;
    // The message set last (it stands while the display has glyphs), and where it was laid out: the
    // position's x and the maxWidth it was set with.
    UString text;
    float laidOutX = 0.0f;
    float laidOutWidth = 0.0f;
};

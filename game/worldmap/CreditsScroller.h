#pragma once
// A column of text lines rising slowly over the screen, fading in near the bottom edge and out near the
// top, released once they have left the top. Used by the credits page and the closing screen.
#include "engine/core/UColor.h"
#include "engine/core/UString.h"
#include "engine/core/V3.h"
#include "engine/render/Context.h"

class FontQuad;

class CreditsScroller : public Context {
public:
    static constexpr UColor ROW_COLOR{0xFFFF8080u};

    CreditsScroller();

    // A centred heading line in the medium outlined font.
    void addLine(const UString& text);
    // One row `yOffset` from the next line's place, without moving it: empty, one centred text, or two
    // columns meeting at the centre line (swapped in a right-to-left language).
    void placeRow(float yOffset, UColor color, const UString& left, const UString& right);
    // A row in the row colour; the next line goes one row lower.
    void addRow(const UString& left, const UString& right);
    // The game's credits list.
    void addCredits();

    void tickContents(double time, double dt) override;

    // The alpha (0..255) of a line at height y under a view whose top and bottom edges are given.
    static int alphaAt(float y, float top, float bottom);

    KivBase* pLines = nullptr; // child; its children are the line sprites
    V3 velocity{0.0f, 30.0f, 0.0f};
    float nextY = 0.0f;

private:
    static FontQuad* font(const char16_t* name);
};

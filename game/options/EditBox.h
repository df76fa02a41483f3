#pragma once
// A single-line text field on a menu page: while it is highlighted it takes the typed characters of the
// allowed set up to a length in UTF-16 units, drops the last one on Backspace, blinks a caret and writes
// its text back to the bound string on every such tick.
#include <cstdint>

#include "engine/core/V3.h"
#include "game/menus/MenuItem.h"

class EditBox : public MenuItem {
public:
    // The space and "!" to "}" without the grave accent: 94 characters.
    static const UString PRINTABLE;

    EditBox(const V3& position, UString* bound, uint32_t maxLength, const UString& caption, const UString& hint);

    void tick(double time, double dt) override;
    void renderValue(float x, float y, float z) override;
    // Called after every typed character other than Backspace, taken or not.
    virtual void onCharacterKey() {}
    // Writes the text back to where it belongs.
    virtual void commit();

    // Takes one typed unit (8 is Backspace); returns true when the text changed.
    bool typeCharacter(char16_t c);

    UString allowedCharacters;
    UString text;
    uint32_t maxLength;
    UString* pBound;
    bool bCaretVisible = false;
};

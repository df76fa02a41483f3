#pragma once
// An edit box over a 32-byte UTF-8 text field of a stored record; the text is written back cut at a whole
// character so that it fits with its terminating NUL.
#include "game/options/EditBox.h"

class FixedTextEditBox : public EditBox {
public:
    FixedTextEditBox(const V3& position, char (*field)[32], uint32_t maxLength, const UString& caption,
                     const UString& hint);

    void commit() override;

    char (*pField)[32];
};

#include "game/options/FixedTextEditBox.h"

#include "game/userdata/FixedText.h"

FixedTextEditBox::FixedTextEditBox(const V3& at, char (*field)[32], uint32_t maximum, const UString& itemCaption,
                                   const UString& itemHint)
    : EditBox(at, nullptr, maximum, itemCaption, itemHint), pField(field)
{
    if (pField != nullptr) {
        text = FixedText32::read(*pField);
    }
}

void FixedTextEditBox::commit()
{
    EditBox::commit();
    if (pField != nullptr) {
        FixedText32::assign(*pField, text);
    }
}

#include "game/menus/KeyboardKeyButton.h"

KeyboardKeyButton::KeyboardKeyButton(const V3& at, char16_t* target, char16_t character, const UString& itemCaption,
                                     const UString& itemHint)
    : MenuButton(at.x, at.y, at.z, itemCaption, itemHint), keyCharacter(character), pTarget(target)
{
}

void KeyboardKeyButton::onClick()
{
    MenuItem::onClick();
    if (pTarget != nullptr) {
        *pTarget = keyCharacter;
    }
}

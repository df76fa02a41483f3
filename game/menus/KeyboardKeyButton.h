#pragma once
// A key of the on-screen keyboard: a click stores its character where the name-entry page reads it.
#include "game/menus/MenuButton.h"

class KeyboardKeyButton : public MenuButton {
public:
    KeyboardKeyButton(const V3& position, char16_t* target, char16_t character, const UString& caption,
                      const UString& hint);

    void onClick() override;

    char16_t keyCharacter;
    char16_t* pTarget;
};

#pragma once
// The question of a binding item: a button-less box that waits for the next keyboard key or joystick
// input and reports its code. Escape reports the cancel answer; a click closes it without an answer. Mouse
// buttons and motion never become a binding: the pointer is what chooses on the menus.
#include <cstdint>

#include "engine/core/Reference.h"
#include "game/menus/ContextDialog.h"

class KivInput;

class KeyBindingPopup : public ContextDialog {
public:
    // `answer` belongs to `owner`; nothing is written once the owner is gone.
    KeyBindingPopup(int32_t* answer, KivBase* owner, const UString& title, const UString& text);

    void tickContents(double time, double dt) override;

    // The lowest keyboard or joystick code that went down in this frame; 0 when none.
    static int32_t firstPressedCode(const KivInput& input);

    int32_t* pItemAnswer;

private:
    Reference itemOwner;
};

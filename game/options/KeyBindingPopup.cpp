#include "game/options/KeyBindingPopup.h"

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"

KeyBindingPopup::KeyBindingPopup(int32_t* answer, KivBase* owner, const UString& popupTitle, const UString& popupText)
    : pItemAnswer(answer), itemOwner(this)
{
    itemOwner.set(owner);
    bShowPointer = false;
    title = popupTitle;
    text = popupText;
    firstCaption = UString(); // no buttons: the box waits for an input
    buildContents();
    *pItemAnswer = 0;
}

int32_t KeyBindingPopup::firstPressedCode(const KivInput& input)
{
    // Keyboard keys and joystick inputs only: the mouse codes start at MOUSE_UP.
    for (int code = 1; code < KivInput::MOUSE_UP; ++code) {
        if (input.wasKeyPressed(code)) {
            return code;
        }
    }
    return 0;
}

void KeyBindingPopup::tickContents(double tickTime, double dt)
{
    ContextDialog::tickContents(tickTime, dt);
    if (itemOwner.get() == nullptr) {
        bClosed = true; // the page of the item has gone
        return;
    }
    const KivInput* input = Kiv::currentInput();
    if (input != nullptr) {
        const int32_t code = firstPressedCode(*input);
        if (code != 0) {
            *pItemAnswer = code;
            return;
        }
    }
    if (*pItemAnswer != 0) {
        bClosed = true;
    }
}

#pragma once
// A plain menu button. A press belongs to the button it started on; its release activates the button
// when the contact was never dragged or the pointer is back over it. A button with a confirmation title
// or text first asks YES or NO in a dialog and reports its click only after YES.
#include "game/menus/MenuItem.h"

class MenuButton : public MenuItem {
public:
    MenuButton(float x, float y, float z, const UString& caption, const UString& hint);

    void tick(double time, double dt) override;

    // The release over the button: the click, or the confirmation question.
    void activate();

    UString confirmTitle;
    UString confirmText;
    int32_t answer = -1; // -1 none, 0 YES, 1 NO
};

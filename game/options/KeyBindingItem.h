#pragma once
// One action's binding in one column: shows the name of the bound input and, on a press, asks for a new
// key or joystick input in a popup. A new input is first taken away from every other action and column,
// so one input drives one action.
#include <cstdint>

#include "engine/core/V3.h"
#include "game/menus/MenuItem.h"

class KeyBindingItem : public MenuItem {
public:
    // The popup's answer: 0 none yet, 1 cancelled (Escape), else the new input code.
    static constexpr int32_t ANSWER_NONE = 0;
    static constexpr int32_t ANSWER_CANCEL = 1;

    KeyBindingItem(const V3& position, uint32_t* binding, const UString& caption, const UString& hint);

    void tick(double time, double dt) override;
    void renderValue(float x, float y, float z) override;

    uint32_t* pBinding;
    int32_t answer = ANSWER_NONE;
};

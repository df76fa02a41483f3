#pragma once
// A one-line text field of the editor, bound to a string. Idle it mirrors the bound string; a press gives
// it the focus and starts editing; Return, keypad Enter, Tab, Delete or losing the focus commits the text
// into the bound string and sends the event "edited" (type 8) up the object tree.
#include "engine/core/UString.h"
#include "game/menus/GUIitem.h"

class GUItextBox : public GUIitem {
public:
    static constexpr int32_t EVENT_EDITED = 8;

    explicit GUItextBox(GUItheme* theme);

    void tick(double time, double dt) override;
    bool onEvent(KivEvent& event) override;
    void commit();

    UString* pBound = nullptr;
    bool bEditing = false;
    UString text;
    int32_t cursor = 0;
};

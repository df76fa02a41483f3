#pragma once
// The panel row of a value typed as text (numbers, colours, texts, enumerations, pointers). Taking the
// focus opens a text box on a second line; ending the entry writes the text through the property:
// Delete clears the value, an empty entry keeps it, text the property cannot parse is refused (the row
// shows red until the next entry) and the value stays as it was.
#include "game/editor/PropertyField.h"

class GUItextBox;

class PropertyFieldValue : public PropertyField {
public:
    static constexpr char16_t CLEAR_MARK = u'\u0008'; // what the text box holds after Delete

    explicit PropertyFieldValue(Property* property);

    void render() override;
    bool onEvent(KivEvent& event) override;
    bool onEventBubble(KivEvent& event) override;
    void place(V3& cursor, float width) override;
    virtual void beginEdit();
    virtual void commitEdit();

    GUItextBox* textBox; // owned child, hidden while idle
    bool bTextEntry = false;
    // The last entry was refused.
    bool bRefused = false;

protected:
    // Writes a typed text (not empty, not the clear mark) into the property; false when refused.
    virtual bool applyText(const UString& text);
};

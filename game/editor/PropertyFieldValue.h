#pragma once
// The panel row of a value typed as text (numbers, colours, texts, enumerations, pointers). Taking the
// focus opens a text box on a second line; ending the entry writes the text through the property:
// Delete clears the value, an empty entry keeps it, text the property cannot parse is refused (the row
// shows red until the next entry) and the value stays as it was. So is a value the edited object's own
// check of its values refuses (a coordinate beyond what the physics takes): the value is put back as it
// was. Either way the reason goes to the editor's console and the level's message line. Esc drops what was
// typed. A read-only row takes no typing and says so.
#include <functional>
#include <optional>

#include "game/editor/PropertyField.h"
#include "game/world/LevelDataCheck.h"

class GUItextBox;

class PropertyFieldValue : public PropertyField {
public:
    static constexpr char16_t CLEAR_MARK = u'\u0008'; // what the text box holds after Delete

    explicit PropertyFieldValue(Property* property);

    void render() override;
    bool onEvent(KivEvent& event) override;
    bool onEventBubble(KivEvent& event) override;
    // Esc while typing: the typed text goes and the entry ends, the row showing the value that stands.
    bool onEventCapture(KivEvent& event) override;
    void place(V3& cursor, float width) override;
    virtual void beginEdit();
    // Ends the entry and writes what was typed (Enter, the box losing the focus, and
    // ContextEditor::takeTypedText before the panel goes, a save or a play test, Esc with the value
    // standing). Text that is the value standing already writes nothing.
    virtual void commitEdit();
    // Why the last entry was refused (the reason said on the screen); empty when it was not.
    const UString& refusal() const { return refusalReason; }

    GUItextBox* textBox; // owned child, hidden while idle
    bool bTextEntry = false;
    // The last entry was refused.
    bool bRefused = false;

protected:
    // Writes a typed text into the property (empty after Delete, which clears it); false when refused. A
    // refusal that gives no reason of its own (through refuse) is said to be text the property cannot read
    // (or, for Delete, a value that cannot be cleared).
    virtual bool applyText(const UString& text);
    // Writes the property through `write`; a value that the checks refuse (editedObjectTakesValue) is put
    // back as it was, byte for byte, and the reason reported. False when `write` or the checks refuse it.
    bool writeChecked(const std::function<bool()>& write);
    // Says why a value was refused ("'parTime' 6000 is out of range 0 to 5999") on the console and the
    // level's message line.
    void refuse(const UString& why);
    // Runs the edited object's check of its values for the value just typed (for a class-list entry, its
    // fresh instance's check); false, with the reason, when the check refuses it.
    virtual bool editedObjectTakesValue(UString& why);

private:
    // Whether this frame's key is typing (a character or Delete), not a command.
    static bool isTyping();
    bool bReadOnlySaid = false; // a read-only row said so since it was last hovered
    // The reason a text the property cannot parse is refused: a number beyond the range the field takes is
    // out of it, anything else cannot be read as what the field takes.
    UString unreadable(const UString& text);
    // The range the edited object's check holds this value to, as the check answers it (for a float without
    // one, the float's).
    std::optional<LevelDataCheck::Range> rangeTaken();
    // Runs the check of the object that holds this value (a class-list entry's instance, else the edited
    // object) for `run`; false, with the reason, when it refuses. True for an object without a check.
    bool runEditedObjectCheck(const LevelDataCheck::Run& run, UString& why);
    bool bReasonGiven = false; // the entry being applied was refused through refuse
    UString refusalReason;
};

#pragma once
// The panel row of an object pointer or reference. Typed entry takes a registered object's UID (never a
// raw address), or a resource's name for a resource pointer. Ctrl+B opens the resource palette for a
// resource pointer, Ctrl+G takes the object (or, for a resource pointer, the sprite) under the pointer,
// Ctrl+F edits the object pointed to. While the row has the focus it shows green or red whether Ctrl+G
// would take what is under the pointer, and it draws a line and a circle to the object it points to.
// It takes only what a level load takes: what the edited object's check would empty, or what leaves the
// level one that its load refuses (a house for the cargo list), is refused as a typed value is, the pointer
// kept as it was. So is a level object that Ctrl+G cannot take for its class; a read-only row says so.
#include "game/editor/PropertyFieldValue.h"

class PropertyFieldPointer : public PropertyFieldValue {
public:
    static constexpr int CIRCLE_POINTS = 64;

    explicit PropertyFieldPointer(Property* property);

    void render() override;
    // The row's keys while its text box has the focus.
    bool onEventCapture(KivEvent& event) override;
    bool onEvent(KivEvent& event) override;

    // The object pointed to (null for none).
    KivBase* getTarget() const;
    bool isResource() const;
    // What Ctrl+G would store for `under` (null when it would refuse it for its class or kind).
    KivBase* grabCandidate(KivBase* under) const;
    // Why Ctrl+G refuses a level object `under` that has no candidate (its class, or a picture that is no
    // loaded resource), for the screen; empty for anything else (nothing, a panel row).
    UString whyNotGrabbed(KivBase* under) const;
    // Whether Ctrl+G would take `under`: a row that takes changes, its candidate, and a level that its load
    // takes with it (the row's green or red).
    bool wouldTake(KivBase* under);
    // Stores the object when the property takes it; answers whether it did.
    bool assign(KivBase* object);

protected:
    bool applyText(const UString& text) override;
    // The edited object's check, then the load's check of the level (GameController::whyNotPlayable).
    bool editedObjectTakesValue(UString& why) override;

private:
    // Stores the object (or none) as a checked write; false when refused.
    bool assignChecked(KivBase* object);
    UString whyLevelNotPlayable() const;
    // Ctrl+B, Ctrl+G and Ctrl+F; true when the key was one of them.
    bool handleKey(KivEvent& event);
    void openPalette();
    void grab(PointerDispatcher* dispatcher);
    void follow(PointerDispatcher* dispatcher);
    void drawLinkToTarget();

    UString levelRefusedBefore; // the load's refusal of the level before the write
};

#pragma once
// The panel row of a class-list entry: a closed group holding the constructor-group properties of a
// fresh instance of the class. Ctrl+X puts that instance into the running level at the pointer.
#include "game/editor/PropertyFieldGroup.h"

class PropertyFieldClass : public PropertyFieldGroup {
public:
    explicit PropertyFieldClass(Property* property);
    // Ctrl+X while this row is the focus.
    bool onEvent(KivEvent& event) override;
    // Ctrl+X while one of the entry's own rows is the focus.
    bool onEventBubble(KivEvent& event) override;

    // Registers the entry's instance with the current role, runs its post-replication hooks, appends it to
    // its home list, sets it at the game layer's pointer and tells it (event 9). Nothing when the entry
    // holds no instance, the instance names no home list or no role runs. Answers whether it created.
    bool createInstance();
};

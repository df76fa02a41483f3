#pragma once
// The panel row of a member object: Ctrl+F makes the editor edit that object itself.
#include "game/editor/PropertyField.h"

class PropertyFieldSubObject : public PropertyField {
public:
    explicit PropertyFieldSubObject(Property* property);
    bool onEvent(KivEvent& event) override;
};

#pragma once
// The panel row of a bool: a click toggles it (not when the property is read-only).
#include "game/editor/PropertyField.h"

class PropertyFieldBool : public PropertyField {
public:
    explicit PropertyFieldBool(Property* property);
    bool onEvent(KivEvent& event) override;
};

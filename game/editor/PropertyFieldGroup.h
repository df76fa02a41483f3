#pragma once
// The panel row of a group of properties: a click opens or closes it; while open its children's rows lie
// below its own, indented by 5 units and 10 units narrower.
#include "game/editor/PropertyField.h"

class PropertyFieldGroup : public PropertyField {
public:
    explicit PropertyFieldGroup(Property* property);
    bool onEvent(KivEvent& event) override;
    void place(V3& cursor, float width) override;

    bool bOpen = true;
};

#pragma once
// The panel row of a remote call: a group of the call's arguments; Ctrl+X runs the call on this side.
#include "game/editor/PropertyFieldGroup.h"

class PropertyFieldRPC : public PropertyFieldGroup {
public:
    explicit PropertyFieldRPC(Property* property);
    bool onEvent(KivEvent& event) override;
};

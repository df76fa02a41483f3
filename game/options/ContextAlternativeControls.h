#pragma once
// The binding page of the second column (by default the joystick's).
#include "game/options/ContextPlayerControls.h"

class ContextAlternativeControls : public ContextPlayerControls {
public:
    ContextAlternativeControls();
};

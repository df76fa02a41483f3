#pragma once
// The touch-screen page: on which side the movement arrows are drawn.
#include "game/options/ContextOptionPage.h"

class ContextTouchControls : public ContextOptionPage {
public:
    ContextTouchControls();
};

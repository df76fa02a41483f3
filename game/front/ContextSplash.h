#pragma once
// The maker's splash on black, 3.5 seconds at most; Escape, the jump action or a pointer press skip it.
#include "engine/render/Context.h"

class ContextSplash : public Context {
public:
    static constexpr double DURATION = 3.5;

    ContextSplash();
};

#pragma once
// The snowfall layer drawn over the story text and the main menu: a plain context holding one snowfall.
#include "engine/render/Context.h"

class SnowFlake;

class ContextSnow : public Context {
public:
    ContextSnow();

    SnowFlake* snow = nullptr; // the only child
};

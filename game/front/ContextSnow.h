#pragma once
// The snowfall layer drawn over the story text and the main menu: a plain context holding one snowfall,
// its view kept to the screen's size.
#include "engine/render/Context.h"

class SnowFlake;

class ContextSnow : public Context {
public:
    ContextSnow();

    void renderEntry() override;

    SnowFlake* snow = nullptr; // the only child
};

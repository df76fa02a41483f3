#pragma once
// What menu navigation asks of a navigable object: its hot spots in pointer coordinates (pixels from the
// left and the bottom edge, y up). Index 0, 1, 2, ... gives one hot spot each; NONE ends the list.
#include "engine/core/V3.h"

class Navigable {
public:
    static constexpr V3 NONE{-1.0f, -1.0f, -1.0f};

    virtual ~Navigable() = default;
    virtual V3 getNavigationPoint(int index) = 0;
};

#pragma once
// A rectangle (left, top, right, bottom; y up) with immediate line drawing in the current context's view.
#include <cstdint>

#include "engine/core/UColor.h"
#include "engine/core/V3.h"

struct Rect {
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;

    // A line from one point to the other, the colour running from the first to the second.
    static void drawLine(const V3& from, const V3& to, UColor fromColor);
    static void drawLine(const V3& from, const V3& to, UColor fromColor, UColor toColor);
    // The outline as a closed line strip of five points.
    void drawOutline(UColor color, float z = 0.0f) const;
};

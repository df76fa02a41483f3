#pragma once
// The placement offset of a line of text by its alignment flags (0x01 top at the anchor, 0x02 left edge at
// the anchor, 0x04 centred, 0x08 right edge at the anchor, 0x10 centred vertically, 0x20 bottom at the
// anchor, 0x40 raised by half of two further metrics). y points up; the offset moves the text's top-left.
#include <cstdint>

namespace TextAlign {
enum Flags : std::uint32_t {
    TOP = 0x01,
    LEFT = 0x02,
    CENTER = 0x04,
    RIGHT = 0x08,
    VCENTER = 0x10,
    BOTTOM = 0x20,
    RAISE_METRICS = 0x40,
    RAISE_METRICS2 = 0x80,
    SYSTEM_FONT = 0x200,
};

struct Offset {
    float x = 0.0f;
    float y = 0.0f;
};

// width: the measured text in whole pixels; metricA and metricB: the font's two further metrics.
Offset compute(std::uint32_t flags, int width, int lineHeight, int metricA, int metricB, float scaleX, float scaleY);
} // namespace TextAlign

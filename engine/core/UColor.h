#pragma once
// A 32-bit colour: alpha in the top byte, then red, green and blue. All bits set (opaque white) is the
// default colour of every drawable object.
#include <cstdint>

struct UColor {
    uint32_t argb = 0xFFFFFFFFu;

    constexpr UColor() = default;
    constexpr UColor(uint32_t value) : argb(value) {}
    static constexpr UColor fromArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
    {
        return UColor(((a & 0xFFu) << 24) | ((r & 0xFFu) << 16) | ((g & 0xFFu) << 8) | (b & 0xFFu));
    }

    constexpr uint32_t a() const { return argb >> 24; }
    constexpr uint32_t r() const { return (argb >> 16) & 0xFFu; }
    constexpr uint32_t g() const { return (argb >> 8) & 0xFFu; }
    constexpr uint32_t b() const { return argb & 0xFFu; }
    constexpr bool operator==(const UColor&) const = default;

    // Red, green and blue multiplied by `factor` (truncated, kept within 0 to 255); alpha unchanged.
    static UColor scale(UColor colour, float factor);
};

// Per channel a + (b - a) * t, truncated toward zero.
UColor lerpColor(UColor a, UColor b, float t);

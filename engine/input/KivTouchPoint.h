#pragma once
// One touch or pointer contact. A finger, a mouse press or a synthetic press (KivInput::addPointerTouch)
// makes one; it lives through the states began (1), held (2) and ended (3) and is dropped in the frame
// after it ended.
#include <cstdint>

#include "engine/core/V3.h"

struct KivTouchPoint {
    enum State { STATE_BEGAN = 1, STATE_HELD = 2, STATE_ENDED = 3 };
    enum Flag : std::uint32_t {
        FLAG_BEGAN = 0x1, // the frame it went down
        FLAG_DOWN = 0x2,  // began or held
        FLAG_ENDED = 0x4, // the frame it ended
        FLAG_TAP = 0x8,   // ended without having been dragged
        FLAG_DRAG = 0x10, // moved more than DRAG_THRESHOLD from where it began; kept until it ends
    };
    static constexpr float DRAG_THRESHOLD = 20.0f;

    int id = 0;
    V3 start;
    V3 position;
    double time = 0.0;
    // 0 while no one has taken the contact; a taker stores itself (or another non-zero value) here.
    const void* handled = nullptr;
    int state = STATE_BEGAN;
    std::uint32_t flags = 0;

    bool hasFlag(Flag flag) const { return (flags & flag) != 0; }
    bool isReleased() const { return hasFlag(FLAG_ENDED); }
    bool isDragged() const { return hasFlag(FLAG_DRAG); }

    // Clears the flags and sets those of the new state.
    void setState(int newState);
    // Moves the contact; sets the drag flag once it is farther than the threshold from its start.
    void moveTo(const V3& point);

    // Bookkeeping of the input service.
    std::int64_t source = 0;     // finger id, or a negative mouse or synthetic source
    bool releasePending = false; // released in the frame it began: it ends in the next frame
    bool dragged = false;
};

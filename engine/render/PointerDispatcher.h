#pragma once
// The engine's pointer-event dispatcher. Every frame it finds the object under the pointer on the top
// screen, moves the focus (the hovered object) to the object pressed, and sends the pointer events:
// 2 focus lost, 3 focus gained, 4 click (released less than 2.0 units from where the contact went down),
// 5 drag, 6 key input (to the focused object), 7 pointer moved.
#include <cstdint>

#include "engine/core/KivEvent.h"
#include "engine/core/Reference.h"
#include "engine/core/V3.h"

class KivBase;

class PointerDispatcher {
public:
    enum EventType : int32_t {
        EVENT_HOVER_LOST = 2,
        EVENT_HOVER_GAINED = 3,
        EVENT_CLICK = 4,
        EVENT_DRAG = 5,
        EVENT_KEY = 6,
        EVENT_MOVE = 7,
    };
    static constexpr float CLICK_DISTANCE = 2.0f;

    PointerDispatcher() = default;
    PointerDispatcher(const PointerDispatcher&) = delete;
    PointerDispatcher& operator=(const PointerDispatcher&) = delete;

    // One frame: the top screen (may be null), the pointer in its plane and whether the contact is down.
    void dispatch(KivBase* topScreen, const V3& pointer, bool contactDown);
    // Sends a key (event 6) to the focused object; the handler reads it with getKey().
    bool sendKey(int32_t key);

    // Offers the event to the target's parent (capture), the target (unless it ignores events), then up
    // through its parents; true when a handler took it.
    bool sendEvent(int32_t type, KivBase* source, KivBase* target);
    // Event 2 to the old hovered object and event 3 to the new one (when they differ).
    void setHovered(KivBase* object);

    KivBase* getHovered() const { return hovered.get(); }
    KivBase* getObjectUnderPointer() const { return underPointer.get(); }
    int32_t getKey() const { return currentKey; }
    const V3& getPressPosition() const { return pressPosition; }
    bool isContactDown() const { return bDown; }

private:
    Reference hovered;
    Reference underPointer;
    V3 pressPosition;
    V3 lastPointer;
    bool bDown = false;
    bool bDragging = false;
    bool bHavePointer = false;
    int32_t currentKey = 0;
};

#pragma once
// An event record: offered to the target's ancestors (capture), the target, then its ancestors again
// (bubble). Pointer events use the types 2 to 7; the game adds its own.
#include <cstdint>

class KivBase;
class PointerDispatcher;
class Reference;

struct KivEvent {
    // Event type 0: a Reference owned by the target was emptied.
    static constexpr int32_t REFERENCE_CLEARED = 0;

    int32_t type = 0;
    KivBase* source = nullptr;
    KivBase* target = nullptr;
    PointerDispatcher* dispatcher = nullptr;
    Reference* reference = nullptr; // REFERENCE_CLEARED: the reference that was emptied
};

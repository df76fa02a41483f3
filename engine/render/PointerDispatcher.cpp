#include "engine/render/PointerDispatcher.h"

#include "engine/core/KivBase.h"

bool PointerDispatcher::sendEvent(int32_t type, KivBase* source, KivBase* target)
{
    if (target == nullptr) {
        return false;
    }
    KivEvent event;
    event.type = type;
    event.source = source;
    event.target = target;
    event.dispatcher = this;
    return KivBase::sendEvent(event);
}

void PointerDispatcher::setHovered(KivBase* object)
{
    KivBase* old = hovered.get();
    if (old == object) {
        return;
    }
    hovered.set(object);
    if (old != nullptr) {
        sendEvent(EVENT_HOVER_LOST, object, old);
    }
    if (object != nullptr && hovered.get() == object) {
        sendEvent(EVENT_HOVER_GAINED, old, object);
    }
}

bool PointerDispatcher::sendKey(int32_t key)
{
    currentKey = key;
    const bool taken = sendEvent(EVENT_KEY, nullptr, hovered.get());
    currentKey = 0;
    return taken;
}

void PointerDispatcher::dispatch(KivBase* topScreen, const V3& pointer, bool contactDown)
{
    KivBase* under = topScreen != nullptr ? topScreen->findObjectUnderPointer(pointer) : nullptr;
    underPointer.set(under);

    const bool moved = bHavePointer && !(pointer == lastPointer);
    lastPointer = pointer;
    bHavePointer = true;
    if (moved && under != nullptr) {
        sendEvent(EVENT_MOVE, nullptr, under);
    }

    if (contactDown && !bDown) {
        // The first contact went down: the focus moves to what it hit, when that takes events.
        bDown = true;
        bDragging = false;
        pressPosition = pointer;
        setHovered(under != nullptr && !under->isIgnoringEvents() ? under : nullptr);
    } else if (contactDown && bDown) {
        if (moved && hovered.get() != nullptr) {
            bDragging = true;
            sendEvent(EVENT_DRAG, under, hovered.get());
        }
    } else if (!contactDown && bDown) {
        bDown = false;
        const V3 d = pointer - pressPosition;
        if (hovered.get() != nullptr && d.lengthSquared() < CLICK_DISTANCE * CLICK_DISTANCE) {
            sendEvent(EVENT_CLICK, under, hovered.get());
        }
        bDragging = false;
    }
}

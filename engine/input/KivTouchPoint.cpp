#include "engine/input/KivTouchPoint.h"

void KivTouchPoint::setState(int newState)
{
    state = newState;
    flags = 0;
    switch (newState) {
    case STATE_BEGAN: flags = FLAG_BEGAN | FLAG_DOWN; break;
    case STATE_HELD: flags = FLAG_DOWN; break;
    case STATE_ENDED: flags = dragged ? FLAG_ENDED : (FLAG_ENDED | FLAG_TAP); break;
    default: break;
    }
    if (dragged) {
        flags |= FLAG_DRAG;
    }
}

void KivTouchPoint::moveTo(const V3& point)
{
    position = point;
    if (!dragged && (point - start).lengthSquared() > DRAG_THRESHOLD * DRAG_THRESHOLD) {
        dragged = true;
        flags |= FLAG_DRAG;
    }
}

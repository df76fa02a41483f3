#include "engine/core/Reference.h"

#include "engine/core/KivBase.h"

Reference::~Reference() { unlinkFromTarget(); }

void Reference::set(KivBase* object)
{
    if (object == target) {
        return;
    }
    const bool hadTarget = target != nullptr;
    unlinkFromTarget();
    linkTo(object);
    if (object == nullptr && hadTarget && owner != nullptr) {
        KivEvent event;
        event.type = KivEvent::REFERENCE_CLEARED;
        event.source = owner;
        event.target = owner;
        event.reference = this;
        KivBase::sendEvent(event);
    }
}

void Reference::linkTo(KivBase* object)
{
    target = object;
    if (object == nullptr) {
        return;
    }
    prevInTarget = nullptr;
    nextInTarget = object->firstBackReference;
    if (nextInTarget != nullptr) {
        nextInTarget->prevInTarget = this;
    }
    object->firstBackReference = this;
}

void Reference::unlinkFromTarget()
{
    if (target == nullptr) {
        return;
    }
    if (prevInTarget != nullptr) {
        prevInTarget->nextInTarget = nextInTarget;
    } else {
        target->firstBackReference = nextInTarget;
    }
    if (nextInTarget != nullptr) {
        nextInTarget->prevInTarget = prevInTarget;
    }
    prevInTarget = nullptr;
    nextInTarget = nullptr;
    target = nullptr;
}

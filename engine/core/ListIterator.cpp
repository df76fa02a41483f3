#include "engine/core/ListIterator.h"

#include "engine/core/KivBase.h"

ListIterator::ListIterator(KivBase* list, uint32_t flags) : flags(flags)
{
    if (list != nullptr) {
        node = skipToVisible((flags & BACKWARDS) != 0 ? list->getLastChild() : list->getFirstChild());
    }
}

KivBase* ListIterator::step(KivBase* from) const
{
    return (flags & BACKWARDS) != 0 ? from->getPrev() : from->getNext();
}

KivBase* ListIterator::skipToVisible(KivBase* from) const
{
    while (from != nullptr && (from->bDeleted || (from->bInactive && (flags & INCLUDE_INACTIVE) == 0))) {
        KivBase* following = step(from);
        if (from->bDeleted && (flags & RELEASE_DELETED) != 0) {
            from->destroy();
        }
        from = following;
    }
    return from;
}

KivBase* ListIterator::next()
{
    if (node == nullptr) {
        return nullptr;
    }
    KivBase* left = node;
    KivBase* following = step(left);
    if (left->bDeleted && (flags & RELEASE_DELETED) != 0) {
        left->destroy();
    }
    node = skipToVisible(following);
    return node;
}

#include "engine/core/BasicLink.h"

#include "engine/core/ErrorManager.h"

BasicLink::~BasicLink()
{
    while (lastChild != nullptr) {
        delete lastChild; // its destructor unlinks it
    }
    unlink();
}

void BasicLink::appendChild(BasicLink* child)
{
    KIV_ASSERT(child != nullptr && child != this);
    // Only a node with children can be an ancestor of this one.
    KIV_ASSERT(child->firstChild == nullptr || !child->isAncestorOf(this));
    child->unlink();
    child->parent = this;
    child->prevSibling = lastChild;
    child->nextSibling = nullptr;
    if (lastChild != nullptr) {
        lastChild->nextSibling = child;
    } else {
        firstChild = child;
    }
    lastChild = child;
}

void BasicLink::insertChildAfter(BasicLink* node, BasicLink* after)
{
    KIV_ASSERT(node != nullptr && node != this && node != after);
    KIV_ASSERT(after == nullptr || after->parent == this);
    KIV_ASSERT(!node->isAncestorOf(this));
    node->unlink();
    node->parent = this;
    node->prevSibling = after;
    node->nextSibling = after != nullptr ? after->nextSibling : firstChild;
    if (node->prevSibling != nullptr) {
        node->prevSibling->nextSibling = node;
    } else {
        firstChild = node;
    }
    if (node->nextSibling != nullptr) {
        node->nextSibling->prevSibling = node;
    } else {
        lastChild = node;
    }
}

void BasicLink::unlink()
{
    if (parent == nullptr) {
        return;
    }
    if (prevSibling != nullptr) {
        prevSibling->nextSibling = nextSibling;
    } else {
        parent->firstChild = nextSibling;
    }
    if (nextSibling != nullptr) {
        nextSibling->prevSibling = prevSibling;
    } else {
        parent->lastChild = prevSibling;
    }
    parent = nullptr;
    prevSibling = nullptr;
    nextSibling = nullptr;
}

int BasicLink::countChildren() const
{
    int count = 0;
    for (const BasicLink* c = firstChild; c != nullptr; c = c->nextSibling) {
        ++count;
    }
    return count;
}

void BasicLink::setChildrenFlag(int value)
{
    for (BasicLink* c = firstChild; c != nullptr; c = c->nextSibling) {
        c->bInactive = value != 0;
    }
}

bool BasicLink::isAncestorOf(const BasicLink* node) const
{
    for (const BasicLink* p = node != nullptr ? node->parent : nullptr; p != nullptr; p = p->parent) {
        if (p == this) {
            return true;
        }
    }
    return false;
}

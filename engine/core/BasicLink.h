#pragma once
// The tree node under every engine object: parent, first and last child, previous and next sibling.
// Deleting a node deletes its children, last first.

class BasicLink {
public:
    BasicLink() = default;
    virtual ~BasicLink();
    BasicLink(const BasicLink&) = delete;
    BasicLink& operator=(const BasicLink&) = delete;

    // Links `child` as the last child (unlinking it from any earlier parent first).
    void appendChild(BasicLink* child);
    // Links `node` right after `after`, one of this node's children; null `after` makes it the first child.
    void insertChildAfter(BasicLink* node, BasicLink* after);
    // Takes this node out of its parent's child list; it keeps its own children.
    void unlink();
    int countChildren() const;
    // 1 makes every direct child inactive (skipped by tick, render and pointer search), 0 active again.
    void setChildrenFlag(int value);

    BasicLink* getParentLink() const { return parent; }
    BasicLink* getFirstChildLink() const { return firstChild; }
    BasicLink* getLastChildLink() const { return lastChild; }
    BasicLink* getNextLink() const { return nextSibling; }
    BasicLink* getPrevLink() const { return prevSibling; }
    bool isAncestorOf(const BasicLink* node) const;

    bool bInactive = false;

private:
    BasicLink* parent = nullptr;
    BasicLink* firstChild = nullptr;
    BasicLink* lastChild = nullptr;
    BasicLink* prevSibling = nullptr;
    BasicLink* nextSibling = nullptr;
};

#pragma once
// One entry of a menu's navigation list: a safe reference to a navigable object. The reference empties
// when the object is deleted; the next walk of the list then deletes the entry.
#include "engine/core/KivBase.h"
#include "engine/core/Reference.h"

class Navigable;
class Renderable;

class MenuNavigationEntry : public KivBase {
public:
    MenuNavigationEntry(Renderable* item, Navigable* navigable);

    // The navigable object, or null once it is gone.
    Navigable* getNavigable() const { return item.get() != nullptr ? navigable : nullptr; }
    Renderable* getItem() const;

private:
    Reference item;
    Navigable* navigable;
};

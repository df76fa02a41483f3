#include "game/menus/MenuNavigationEntry.h"

#include "engine/render/Renderable.h"

MenuNavigationEntry::MenuNavigationEntry(Renderable* target, Navigable* nav) : item(this), navigable(nav)
{
    item.set(target);
}

Renderable* MenuNavigationEntry::getItem() const { return static_cast<Renderable*>(item.get()); }

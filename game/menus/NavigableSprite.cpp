#include "game/menus/NavigableSprite.h"

#include "game/menus/ContextMenu.h"

V3 NavigableSprite::getNavigationPoint(int index)
{
    if (index != 0 || !bNavigable) {
        return NONE;
    }
    return ContextMenu::planeToPointer(ContextMenu::contextOf(this), position);
}

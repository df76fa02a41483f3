#include "game/worldmap/MenuSprite.h"

#include "game/menus/ContextMenu.h"

V3 MenuSprite::getNavigationPoint(int index)
{
    if (index != 0 || !bNavigable || bHidden) {
        return NONE;
    }
    return ContextMenu::planeToPointer(ContextMenu::contextOf(this), position);
}

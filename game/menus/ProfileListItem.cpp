#include "game/menus/ProfileListItem.h"

#include "game/front/Global.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/ContextPlayers.h"

V3 ProfileListItem::getNavigationPoint(int index)
{
    const Global* global = Global::instance();
    const int rows = global != nullptr ? global->profiles.countProfiles() : 0;
    if (index < 0 || index >= rows) {
        return NONE;
    }
    return ContextMenu::planeToPointer(ContextMenu::contextOf(this),
                                       V3(-150.0f, ContextPlayers::rowMiddle(index, rows), 0.0f));
}

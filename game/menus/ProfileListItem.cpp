#include "game/menus/ProfileListItem.h"

#include "game/front/Global.h"
#include "game/menus/ContextMenu.h"

V3 ProfileListItem::getNavigationPoint(int index)
{
    const Global* global = Global::instance();
    const int rows = global != nullptr ? global->profiles.countProfiles() : 0;
    if (index < 0 || index >= rows) {
        return NONE;
    }
    return ContextMenu::planeToPointer(ContextMenu::contextOf(this),
                                       V3(-150.0f, 135.0f - 30.0f * static_cast<float>(index), 0.0f));
}

#include "game/menus/GUIthemeMinimal.h"

#include "engine/core/ErrorManager.h"
#include "game/menus/GUIitem.h"
#include "game/menus/MenuSupport.h"

GUIthemeMinimal::GUIthemeMinimal()
{
    rowHeight = 10;
    captionGap = 1;
    frameBorder = 0;
    for (int32_t& border : sliceBorders) {
        border = 3;
    }
    pFont = MenuSupport::font(MenuSupport::FONT_TINY);
}

void GUIthemeMinimal::setStyle(GUIitem& item, int style)
{
    if (style < 0 || style > 11) {
        ErrorManager::error(u"Unhandled style", "GUIthemeMinimal::setStyle", "src/GUIthemeMinimal", __LINE__);
    }
    if (style == 0) {
        return;
    }
    item.applySkin(style == 1 ? u"gui-invisible" : u"gui-minimal-generic");
}

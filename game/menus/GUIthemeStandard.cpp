#include "game/menus/GUIthemeStandard.h"

#include "engine/core/ErrorManager.h"
#include "engine/files/ResourceManager.h"
#include "game/menus/GUIitem.h"
#include "game/menus/MenuSupport.h"

GUIthemeStandard::GUIthemeStandard()
{
    rowHeight = 20;
    captionGap = 3;
    frameBorder = 1;
    for (int32_t& border : sliceBorders) {
        border = 5;
    }
    pFont = MenuSupport::font(MenuSupport::FONT_SMALL);
}

void GUIthemeStandard::setStyle(GUIitem& item, int style)
{
    static const char16_t* const sheets[] = {
        nullptr,
        u"gui-invisible",
        u"gui-standard-generic",
        u"gui-standard-thickframe",
        u"gui-standard-thinframe",
        u"gui-standard-groove",
        u"gui-standard-panel-bevelinner",
        u"gui-standard-editbox",
        u"gui-standard-button",
        u"gui-standard-button-nogroove",
        u"gui-standard-tab",
        u"gui-standard-tab-selected",
    };
    if (style < 0 || style > 11) {
        ErrorManager::error(u"Unhandled style", "GUIthemeStandard::setStyle", "src/GUIthemeStandard", __LINE__);
    }
    if (style == 0) {
        return;
    }
    if (style == 3) {
        // A thick frame takes a margin of 2; the theme and the other elements keep theirs.
        item.frameBorder = 2;
    }
    if (style == 10 || style == 11) {
        item.sliceBorders[0] = 10;
        item.sliceBorders[1] = 5;
        item.sliceBorders[2] = 5;
        item.sliceBorders[3] = 10;
    }
    UString sheet = sheets[style];
    if (ResourceManager::instance()->find(sheet + u":0", false) == nullptr) {
        sheet = u"gui-minimal-generic";
    }
    item.applySkin(sheet);
}
